// Fuzz target "pixmap_ops": a short program of pixmap operations read from the input, run on a pool of
// four pixmaps (windows of one another included), with fuzzed sizes, coordinates, alignments and
// formats, hostile values among them. Besides the sanitizers' watch, each step checks what the pixmap
// module promises: which requests give `Null`, which throw `TArrayBoundsError`, the shape of every
// pixmap made, and results that two independent paths must agree on (conversion against single
// pixels, double flips, same-size resizes, pastes against a snapshot).
#include "fuzz/FuzzInput.h"
#include "fuzz/FuzzTargets.h"
#include "pixmap/Pixmap.h"
#include "runtime/Error.h"

#include <array>
#include <cstring>
#include <functional>
#include <vector>

namespace vanta::fuzz {
namespace {

constexpr int POOL = 4;
constexpr int MAX_STEPS = 48;
// Room for the static pixmaps the target wraps around memory of its own.
constexpr std::size_t ARENA_BYTES = 48 * 48 * 4;

std::int32_t Side(FuzzInput& in)
{
    return in.Small(0, 41, {-1, 0, 16385, 100000, INT32_MAX, INT32_MIN, -16384});
}

std::int32_t Coordinate(FuzzInput& in)
{
    return in.Small(-3, 48, {-1, INT32_MIN, INT32_MAX, 16384, 16385, -100000});
}

// Mostly the six formats, with the unknown codes 0 and 7 among them.
std::int32_t Format(FuzzInput& in)
{
    return in.Small(0, 8, {-1, 255, INT32_MAX, INT32_MIN});
}

std::int32_t Align(FuzzInput& in)
{
    return in.Small(-1, 10, {0, 4096, INT32_MAX, INT32_MIN});
}

bool ValidSide(std::int64_t side)
{
    return side >= 1 && side <= PIXMAP_MAX_SIDE;
}

bool IsEmpty(const Ref<TPixmap>& p)
{
    return p->Width() == 0;
}

bool Inside(const Ref<TPixmap>& p, std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h)
{
    return x >= 0 && y >= 0 && w >= 0 && h >= 0 && x + w <= p->Width() && y + h <= p->Height();
}

// The shape every pixmap that `Create` or `CreateStatic` made keeps.
void CheckShape(const Ref<TPixmap>& p)
{
    FuzzCheck(!p.IsNull(), "a pixmap was expected");
    FuzzCheck(ValidSide(p->Width()) && ValidSide(p->Height()), "sides within 1 .. 16384");
    FuzzCheck(PixelFormatBytes(p->Format()) != 0, "a known format");
    FuzzCheck(p->Pitch() >= p->Width() * p->BytesPerPixel(), "pitch holds a row");
    FuzzCheck(p->Capacity() == -1 || std::int64_t{p->Capacity()} >= std::int64_t{p->Pitch()} * p->Height(),
              "owned memory holds every row");
}

bool SamePixels(const Ref<TPixmap>& a, const Ref<TPixmap>& b)
{
    if (a->Width() != b->Width() || a->Height() != b->Height() || a->Format() != b->Format()) return false;
    const std::size_t rowBytes = static_cast<std::size_t>(a->Width() * a->BytesPerPixel());
    for (std::int32_t y = 0; y < a->Height(); ++y) {
        if (std::memcmp(a->PixelPtr(0, y), b->PixelPtr(0, y), rowBytes) != 0) return false;
    }
    return true;
}

template <class F>
bool ThrowsBounds(F&& call)
{
    try {
        call();
    } catch (const Exception& e) {
        if (!e.Is<TArrayBoundsError>()) throw;
        return true;
    }
    return false;
}

// Pops the objects one input made when the input is done, whichever way it ends.
class ReleaseMark
{
public:
    ReleaseMark() : level_(ReleaseStackLevel()) {}
    ~ReleaseMark() { FlushReleaseStack(level_); }
    ReleaseMark(const ReleaseMark&) = delete;
    ReleaseMark& operator=(const ReleaseMark&) = delete;

private:
    int level_;
};

class Program
{
public:
    explicit Program(FuzzInput& in) : in_(in) { arena_.resize(ARENA_BYTES); }

    void Run()
    {
        Create(0);
        for (int step = 0; step < MAX_STEPS && !in_.Empty(); ++step) {
            const std::uint8_t op = in_.Byte();
            const int a = in_.Byte() % POOL;
            const int kind = op % 12;
            if (kind >= 1 && kind <= 8 && pool_[a].IsNull()) continue;
            switch (kind) {
            case 0: Create(a); break;
            case 1: Window(a); break;
            case 2: Paste(a); break;
            case 3: Convert(a); break;
            case 4: Pixel(a); break;
            case 5: Mask(a); break;
            case 6: Flips(a); break;
            case 7: Resize(a); break;
            case 8: Copy(a); break;
            case 9: RawConvert(); break;
            case 10: Static(a); break;
            default: pool_[a] = New<TPixmap>(); break;
            }
        }
    }

private:
    // What `format` stores for `argb` (by way of `WritePixel` on a one-pixel pixmap) and reads back.
    std::uint32_t StoredAs(std::int32_t format, std::uint32_t argb)
    {
        Ref<TPixmap>& dot = dots_[static_cast<std::size_t>(format)];
        if (dot.IsNull()) dot = CreatePixmap(1, 1, format);
        dot->WritePixel(0, 0, argb);
        return dot->ReadPixel(0, 0);
    }

    void Create(int slot)
    {
        const std::int32_t w = Side(in_), h = Side(in_), format = Format(in_), align = Align(in_);
        const std::int64_t bytes = PixelFormatBytes(format);
        bool valid = ValidSide(w) && ValidSide(h) && bytes != 0 && align >= 1;
        if (valid) valid = (w * bytes + align - 1) / align * align * h <= PIXMAP_MAX_BYTES;
        Ref<TPixmap> p = CreatePixmap(w, h, format, align);
        FuzzCheck(p.IsNull() != valid, "Create answers Null exactly for invalid requests");
        if (!valid) return;
        CheckShape(p);
        FuzzCheck(p->Capacity() == p->Pitch() * h && p->Pitch() % align == 0, "pitch rounded to the alignment");
        for (std::int32_t y = 0; y < h; ++y)
            in_.Fill(p->PixelPtr(0, y), static_cast<std::size_t>(w * bytes));
        pool_[slot] = p;
    }

    void Static(int slot)
    {
        const std::int32_t w = Side(in_), h = Side(in_), format = Format(in_);
        const std::int32_t pitch = in_.Small(-4, 200, {INT32_MIN, INT32_MAX, 0});
        const std::int64_t bytes = PixelFormatBytes(format);
        const bool valid = ValidSide(w) && ValidSide(h) && bytes != 0 && pitch >= w * bytes;
        // Only shapes that fit the arena are asked for; the others must be refused before any access.
        if (valid && std::int64_t{pitch} * (h - 1) + w * bytes > static_cast<std::int64_t>(arena_.size())) return;
        Ref<TPixmap> p = CreateStaticPixmap(arena_.data(), w, h, pitch, format);
        FuzzCheck(p.IsNull() != valid, "CreateStatic answers Null exactly for invalid shapes");
        if (!valid) return;
        CheckShape(p);
        FuzzCheck(p->Capacity() == -1, "a static pixmap owns nothing");
        pool_[slot] = p;
    }

    void Window(int a)
    {
        const Ref<TPixmap>& p = pool_[a];
        const std::int32_t x = Coordinate(in_), y = Coordinate(in_), w = Side(in_), h = Side(in_);
        Ref<TPixmap> window;
        const bool threw = ThrowsBounds([&] { window = p->Window(x, y, w, h); });
        if (w < 1 || h < 1) {
            FuzzCheck(!threw && window.IsNull(), "an empty window is Null");
        } else if (!Inside(p, x, y, w, h)) {
            FuzzCheck(threw, "a window reaching outside throws");
        } else {
            FuzzCheck(!threw, "a window inside does not throw");
            CheckShape(window);
            FuzzCheck(window->Pixels() == p->PixelPtr(x, y) && window->Pitch() == p->Pitch(), "a window shares memory");
            pool_[in_.Byte() % POOL] = window;
        }
    }

    void Paste(int a)
    {
        const Ref<TPixmap> target = pool_[a];
        const Ref<TPixmap> source = pool_[in_.Byte() % POOL];
        if (source.IsNull()) return;
        const std::int32_t x = Coordinate(in_), y = Coordinate(in_);
        const bool fits = Inside(target, x, y, source->Width(), source->Height());
        // The expected picture: a snapshot of the source pasted into a snapshot of the target, however
        // the two share memory (windows of one another, static pixmaps over the same bytes).
        const bool comparable = fits && !IsEmpty(target);
        Ref<TPixmap> expected;
        if (comparable) {
            expected = target->Copy();
            if (!IsEmpty(source)) expected->Paste(source->Copy(), x, y);
        }
        const bool threw = ThrowsBounds([&] { target->Paste(source, x, y); });
        FuzzCheck(threw != fits, "a paste throws exactly when the source does not fit");
        if (comparable) FuzzCheck(SamePixels(target, expected), "a paste writes the source's pixels");
    }

    void Convert(int a)
    {
        const Ref<TPixmap>& p = pool_[a];
        const std::int32_t format = Format(in_);
        Ref<TPixmap> converted = p->Convert(format);
        const bool valid = !IsEmpty(p) && PixelFormatBytes(format) != 0;
        FuzzCheck(converted.IsNull() != valid, "Convert answers Null exactly for unknown formats and empty pixmaps");
        if (!valid) return;
        CheckShape(converted);
        FuzzCheck(converted->Width() == p->Width() && converted->Height() == p->Height(), "same size");
        for (std::int32_t y = 0; y < p->Height(); ++y) {
            for (std::int32_t x = 0; x < p->Width(); ++x) {
                FuzzCheck(converted->ReadPixel(x, y) == StoredAs(format, p->ReadPixel(x, y)),
                          "row conversion agrees with single pixels");
            }
        }
        pool_[in_.Byte() % POOL] = converted;
    }

    void Pixel(int a)
    {
        const Ref<TPixmap>& p = pool_[a];
        const std::int32_t x = Coordinate(in_), y = Coordinate(in_);
        const std::uint32_t argb = in_.Word();
        const bool inside = Inside(p, x, y, 1, 1);
        FuzzCheck(ThrowsBounds([&] { p->WritePixel(x, y, argb); }) != inside, "WritePixel throws exactly outside");
        std::uint32_t read = 0;
        FuzzCheck(ThrowsBounds([&] { read = p->ReadPixel(x, y); }) != inside, "ReadPixel throws exactly outside");
        FuzzCheck(ThrowsBounds([&] { p->PixelPtr(x, y); }) != inside, "PixelPtr throws exactly outside");
        if (inside) FuzzCheck(read == StoredAs(p->Format(), argb), "a pixel reads back as stored");
    }

    void Mask(int a)
    {
        const Ref<TPixmap>& p = pool_[a];
        std::int32_t r = in_.Byte(), g = in_.Byte(), b = in_.Byte();
        // Half the time the mask colour is one the picture has, so that masking does something.
        if (!IsEmpty(p) && (r & 1) != 0) {
            const std::uint32_t c = p->ReadPixel(g % p->Width(), b % p->Height());
            r = static_cast<std::int32_t>(c >> 16 & 0xFF);
            g = static_cast<std::int32_t>(c >> 8 & 0xFF);
            b = static_cast<std::int32_t>(c & 0xFF);
        }
        Ref<TPixmap> masked = MaskPixmap(p, r, g, b);
        FuzzCheck(masked.IsNull() == IsEmpty(p), "MaskPixmap answers Null exactly for an empty pixmap");
        if (masked.IsNull()) return;
        CheckShape(masked);
        FuzzCheck(masked->Format() == PF_RGBA8888, "a masked pixmap is RGBA");
        for (std::int32_t y = 0; y < p->Height(); ++y) {
            for (std::int32_t x = 0; x < p->Width(); ++x) {
                const std::uint32_t source = p->ReadPixel(x, y);
                const std::uint32_t result = masked->ReadPixel(x, y);
                const bool isMask = (source & 0x00FFFFFFu) == static_cast<std::uint32_t>(r << 16 | g << 8 | b);
                FuzzCheck(isMask ? result >> 24 == 0 : result == (source | 0xFF000000u),
                          "mask pixels are transparent, the others opaque and unchanged");
            }
        }
        pool_[in_.Byte() % POOL] = masked;
    }

    void Flips(int a)
    {
        const Ref<TPixmap>& p = pool_[a];
        Ref<TPixmap> x = XFlipPixmap(p);
        Ref<TPixmap> y = YFlipPixmap(p);
        FuzzCheck(x.IsNull() == IsEmpty(p) && y.IsNull() == IsEmpty(p), "flips answer Null only for empty pixmaps");
        if (x.IsNull()) return;
        CheckShape(x);
        CheckShape(y);
        FuzzCheck(SamePixels(XFlipPixmap(x), p) && SamePixels(YFlipPixmap(y), p), "flipping twice restores");
        const std::int32_t w = p->Width(), h = p->Height();
        FuzzCheck(x->ReadPixel(0, h - 1) == p->ReadPixel(w - 1, h - 1), "XFlip reverses columns");
        FuzzCheck(y->ReadPixel(w - 1, 0) == p->ReadPixel(w - 1, h - 1), "YFlip reverses rows");
        pool_[in_.Byte() % POOL] = (in_.Byte() & 1) != 0 ? x : y;
    }

    void Resize(int a)
    {
        const Ref<TPixmap>& p = pool_[a];
        const bool same = (in_.Byte() & 3) == 0;
        const std::int32_t w = same ? p->Width() : Side(in_);
        const std::int32_t h = same ? p->Height() : Side(in_);
        Ref<TPixmap> resized = ResizePixmap(p, w, h);
        const bool valid = !IsEmpty(p) && ValidSide(w) && ValidSide(h);
        FuzzCheck(resized.IsNull() != valid, "ResizePixmap answers Null exactly for bad sizes and empty pixmaps");
        if (!valid) return;
        CheckShape(resized);
        FuzzCheck(resized->Width() == w && resized->Height() == h && resized->Format() == p->Format(),
                  "the size asked for, in the source's format");
        if (w == p->Width() && h == p->Height()) FuzzCheck(SamePixels(resized, p), "the same size reproduces");
        pool_[in_.Byte() % POOL] = resized;
    }

    void Copy(int a)
    {
        const Ref<TPixmap>& p = pool_[a];
        Ref<TPixmap> copy = p->Copy();
        FuzzCheck(copy.IsNull() == IsEmpty(p), "Copy answers Null only for an empty pixmap");
        if (copy.IsNull()) return;
        CheckShape(copy);
        FuzzCheck(SamePixels(copy, p) && copy->Pixels() != p->Pixels(), "a copy has the same pixels elsewhere");
        pool_[in_.Byte() % POOL] = copy;
    }

    // `ConvertPixels` on raw runs: nothing is written past the run, and a trip through a four-byte
    // format and back gives the source again.
    void RawConvert()
    {
        const std::int32_t count = in_.Small(-2, 70, {INT32_MIN, 0, -1});
        const std::int32_t from = Format(in_), to = Format(in_);
        const std::size_t n = count > 0 ? static_cast<std::size_t>(count) : 0;
        std::vector<std::uint8_t> source(n * 4 + 1);
        in_.Fill(source.data(), source.size());
        constexpr std::size_t GUARD = 16;
        std::vector<std::uint8_t> middle(n * 4 + GUARD, 0xA5);
        ConvertPixels(source.data(), from, middle.data(), to, count);
        const bool converts = count > 0 && PixelFormatBytes(from) != 0 && PixelFormatBytes(to) != 0;
        const std::size_t written = converts ? n * static_cast<std::size_t>(PixelFormatBytes(to)) : 0;
        for (std::size_t i = written; i < middle.size(); ++i)
            FuzzCheck(middle[i] == 0xA5, "nothing is written past the run");
        if (converts && PixelFormatBytes(to) == 4) {
            std::vector<std::uint8_t> back(n * 4, 0);
            ConvertPixels(middle.data(), to, back.data(), from, count);
            const std::size_t bytes = n * static_cast<std::size_t>(PixelFormatBytes(from));
            FuzzCheck(std::memcmp(back.data(), source.data(), bytes) == 0, "a trip through four bytes is lossless");
        }
    }

    FuzzInput& in_;
    // Declared before the pool, so the static pixmaps over it go first.
    std::vector<std::uint8_t> arena_;
    std::array<Ref<TPixmap>, POOL> pool_;
    std::array<Ref<TPixmap>, PF_RGBA8888 + 1> dots_;
};

} // namespace

int FuzzPixmapOps(const std::uint8_t* data, std::size_t size)
{
    InitPixmaps();
    const ReleaseMark mark;
    FuzzInput in(data, size);
    Program(in).Run();
    return 0;
}

} // namespace vanta::fuzz
