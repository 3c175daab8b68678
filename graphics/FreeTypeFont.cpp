// The FreeType font loader. The only file that includes FreeType.
//
// [SECTION] Stream callbacks: FreeType reads every face through a stream of ours
// [SECTION] Library and face guards
// [SECTION] Loading a font
// [SECTION] Describing a font file
//
// Debian's FreeType has no hook for replacing its file layer, so each face is opened from an FT_Stream of
// ours (FT_OPEN_STREAM) whose read and close functions call the three stream callbacks below. FreeType
// closes such a stream itself when it lets the face go, and also when opening the face fails, so every
// open is matched by exactly one close.
//
// FreeType is C: nothing may be thrown through it. The callbacks catch everything; a stream error only
// makes the read fail (the font is then `Null`, as any loader answers for a bad file), and any other error
// is kept and raised again once FreeType has returned.
#include "graphics/FreeTypeFont.h"

#include "pixmap/Pixmap.h"
#include "runtime/Error.h"
#include "runtime/Handle.h"
#include "runtime/String.h"
#include "stream/Stream.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <limits>
#include <memory>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_BITMAP_H
#include FT_FONT_FORMATS_H
#include FT_OUTLINE_H

namespace vanta {
namespace {

constexpr std::int32_t FIRST_CODE = 32;
constexpr std::int32_t GLYPH_COUNT = 224; // codes 32 ... 255
// FreeType takes no pixel size above this; asking for more tries the largest it takes.
constexpr std::int32_t LARGEST_SIZE = 0xFFFF;
// A glyph picture larger than this on either side (only a broken or hostile file draws one) stays empty.
constexpr std::int64_t LARGEST_GLYPH_SIDE = 4096;
// A file claiming more faces than this is searched only this far.
constexpr FT_Long MOST_FACES = 256;

// ------------------------------------------------------------------------------------------------------------
// [SECTION] Stream callbacks
// ------------------------------------------------------------------------------------------------------------

// What every face's path is read under: the url's protocol part, up to and including its last "::".
Ref<String>& PathPrefix()
{
    static Ref<String> prefix;
    return prefix;
}

// An error other than a stream error raised inside a callback, raised again once FreeType has returned.
std::exception_ptr& PendingError()
{
    static std::exception_ptr pending;
    return pending;
}

void RaisePendingError()
{
    if (std::exception_ptr pending = std::exchange(PendingError(), nullptr)) std::rethrow_exception(pending);
}

// Keeps what a callback caught: a stream error is a failed read, anything else waits to be raised.
void KeepError()
{
    try {
        throw;
    } catch (const Exception& e) {
        if (e.Is<TStreamError>()) return;
        if (!PendingError()) PendingError() = std::current_exception();
    } catch (...) {
        if (!PendingError()) PendingError() = std::current_exception();
    }
}

// Opens path prefix + `path` for reading: the stream's integer handle and its size, or 0 when nothing
// opens it.
std::int32_t OpenFontStream(const char* path, std::int32_t& size)
{
    size = 0;
    const Ref<TByteStream> stream = OpenReadStream(PathPrefix() + String::FromCString(path));
    if (stream.IsNull()) return 0;
    size = std::max(stream->Size(), 0);
    return ObjectToHandle(stream);
}

// Moves the stream `handle` names to `offset`, then reads up to `count` bytes there; the bytes read, or -1
// when the stream cannot go there.
std::int32_t ReadFontStream(std::int32_t handle, std::int32_t offset, void* buffer, std::int32_t count)
{
    try {
        const Ref<TByteStream> stream = HandleToObject<TByteStream>(handle);
        if (stream.IsNull() || stream->Seek(offset) != offset) return -1;
        std::int32_t done = 0;
        while (done < count) {
            const std::int32_t n = stream->Read(static_cast<std::uint8_t*>(buffer) + done, count - done);
            if (n <= 0) break;
            done += n;
        }
        return done;
    } catch (...) {
        KeepError();
        return -1;
    }
}

// Closes the stream `handle` names and gives the handle back.
void CloseFontStream(std::int32_t handle)
{
    try {
        const Ref<TByteStream> stream = HandleToObject<TByteStream>(handle);
        ReleaseHandle(handle);
        if (!stream.IsNull()) stream->Close();
    } catch (...) {
        KeepError();
    }
}

unsigned long StreamIo(FT_Stream stream, unsigned long offset, unsigned char* buffer, unsigned long count)
{
    const auto handle = static_cast<std::int32_t>(stream->descriptor.value);
    if (offset > static_cast<unsigned long>(std::numeric_limits<std::int32_t>::max())) return count == 0 ? 1 : 0;
    const auto at = static_cast<std::int32_t>(offset);
    if (count == 0) {
        // A seek: FreeType wants 0 when the position exists.
        return offset <= stream->size && ReadFontStream(handle, at, buffer, 0) == 0 ? 0 : 1;
    }
    const auto wanted =
        static_cast<std::int32_t>(std::min<unsigned long>(count, std::numeric_limits<std::int32_t>::max()));
    return static_cast<unsigned long>(std::max(ReadFontStream(handle, at, buffer, wanted), 0));
}

void StreamClose(FT_Stream stream)
{
    const auto handle = static_cast<std::int32_t>(stream->descriptor.value);
    stream->descriptor.value = 0;
    if (handle != 0) CloseFontStream(handle);
}

// ------------------------------------------------------------------------------------------------------------
// [SECTION] Library and face guards
// ------------------------------------------------------------------------------------------------------------

class Library
{
public:
    Library() = default;
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;
    ~Library()
    {
        if (library_ != nullptr) FT_Done_FreeType(library_);
    }

    // False when FreeType cannot start.
    bool Start() { return FT_Init_FreeType(&library_) == 0; }
    FT_Library Get() const { return library_; }

private:
    FT_Library library_ = nullptr;
};

// One face of a font file with the stream it reads from; closing the face closes the stream.
class Face
{
public:
    Face() = default;
    Face(const Face&) = delete;
    Face& operator=(const Face&) = delete;
    Face(Face&& other) noexcept : face_(std::exchange(other.face_, nullptr)), stream_(std::move(other.stream_)) {}
    Face& operator=(Face&& other) noexcept
    {
        if (this != &other) {
            Close();
            face_ = std::exchange(other.face_, nullptr);
            stream_ = std::move(other.stream_);
        }
        return *this;
    }
    ~Face() { Close(); }

    // Opens face `index` of the file at path prefix + `path`; false when nothing opens the file or
    // FreeType cannot read that face.
    bool Open(FT_Library library, const char* path, FT_Long index)
    {
        Close();
        std::int32_t size = 0;
        const std::int32_t handle = OpenFontStream(path, size);
        if (handle == 0) return false;
        stream_ = std::make_unique<FT_StreamRec>();
        std::memset(stream_.get(), 0, sizeof(FT_StreamRec));
        stream_->descriptor.value = handle;
        stream_->size = static_cast<unsigned long>(size);
        stream_->read = StreamIo;
        stream_->close = StreamClose;
        FT_Open_Args args{};
        args.flags = FT_OPEN_STREAM;
        args.stream = stream_.get();
        if (FT_Open_Face(library, &args, index, &face_) != 0) face_ = nullptr;
        if (face_ == nullptr) Close(); // FreeType has closed the stream; this only frees the record
        return face_ != nullptr;
    }

    FT_Face Get() const { return face_; }
    explicit operator bool() const { return face_ != nullptr; }

private:
    void Close() noexcept
    {
        if (face_ != nullptr) FT_Done_Face(std::exchange(face_, nullptr));
        if (stream_ != nullptr && stream_->descriptor.value != 0) StreamClose(stream_.get());
        stream_.reset();
    }

    FT_Face face_ = nullptr;
    std::unique_ptr<FT_StreamRec> stream_;
};

// Splits the url into the path prefix (every part up to and including a "::") and the path that is left.
Ref<String> SplitUrl(Ref<String> url)
{
    PathPrefix() = String::FromCString("");
    static const Ref<String> separator = String::FromCString("::");
    for (std::int32_t at = url->Find(separator); at >= 0; at = url->Find(separator)) {
        PathPrefix() = PathPrefix() + Slice(url, 0, at + 2);
        url = Slice(url, at + 2, url->Length());
    }
    return url;
}

// The pixel size that selects strike `index` of a face with fixed sizes.
std::int32_t StrikeSize(FT_Face face, FT_Int index)
{
    return static_cast<std::int32_t>((face->available_sizes[index].y_ppem + 32) >> 6);
}

// Makes `face` `size` pixels high, or the largest size below that it offers but not at or below `floor`;
// the size set, or 0 when none.
std::int32_t SetLargestSize(FT_Face face, std::int32_t size, std::int32_t floor)
{
    std::int32_t start = std::min(size, LARGEST_SIZE);
    if (!FT_IS_SCALABLE(face)) {
        // Only the strikes' sizes can succeed; start at the largest, not at a size millions of tries away.
        std::int32_t largest = 0;
        for (FT_Int i = 0; i < face->num_fixed_sizes; ++i)
            largest = std::max(largest, StrikeSize(face, i));
        start = std::min(start, largest);
    }
    for (std::int32_t s = start; s > floor; --s) {
        if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(s)) == 0) return s;
    }
    return 0;
}

// ------------------------------------------------------------------------------------------------------------
// [SECTION] Loading a font
// ------------------------------------------------------------------------------------------------------------

// Row `y` (0 = top) of a bitmap; a negative pitch means the rows are stored bottom up.
const unsigned char* BitmapRow(const FT_Bitmap& bitmap, std::int32_t y)
{
    if (bitmap.pitch >= 0) return bitmap.buffer + static_cast<std::ptrdiff_t>(y) * bitmap.pitch;
    const auto rows = static_cast<std::int32_t>(bitmap.rows);
    return bitmap.buffer + static_cast<std::ptrdiff_t>(rows - 1 - y) * -bitmap.pitch;
}

// A copy of an 8-bit grey bitmap with `levels` levels as alpha (0 ... 255).
Ref<TPixmap> CopyGrey(const FT_Bitmap& bitmap, unsigned levels)
{
    const auto width = static_cast<std::int32_t>(bitmap.width);
    const auto rows = static_cast<std::int32_t>(bitmap.rows);
    Ref<TPixmap> pixmap = CreatePixmap(width, rows, PF_A8, 4);
    for (std::int32_t y = 0; y < rows; ++y) {
        const unsigned char* from = BitmapRow(bitmap, y);
        std::uint8_t* to = PixmapPixelPtr(pixmap, 0, y);
        if (levels == 256) {
            std::memcpy(to, from, static_cast<std::size_t>(width));
        } else {
            for (std::int32_t x = 0; x < width; ++x)
                to[x] = static_cast<std::uint8_t>(std::min(from[x], static_cast<unsigned char>(levels - 1)) * 255u /
                                                  (levels - 1));
        }
    }
    return pixmap;
}

// A one-bit bitmap as alpha: each row's bits most significant first, set 255, clear 0.
Ref<TPixmap> UnpackMono(const FT_Bitmap& bitmap)
{
    const auto width = static_cast<std::int32_t>(bitmap.width);
    const auto rows = static_cast<std::int32_t>(bitmap.rows);
    Ref<TPixmap> pixmap = CreatePixmap(width, rows, PF_A8, 4);
    for (std::int32_t y = 0; y < rows; ++y) {
        const unsigned char* from = BitmapRow(bitmap, y);
        std::uint8_t* to = PixmapPixelPtr(pixmap, 0, y);
        for (std::int32_t x = 0; x < width; ++x)
            to[x] = (from[x >> 3] & (0x80u >> (x & 7))) != 0 ? 255 : 0;
    }
    return pixmap;
}

// The rendered glyph's pixels as an alpha pixmap; `Null` for a layout we cannot read.
Ref<TPixmap> GlyphPixels(FT_Library library, const FT_Bitmap& bitmap)
{
    if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO) return UnpackMono(bitmap);
    if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY && bitmap.num_grays >= 2) return CopyGrey(bitmap, bitmap.num_grays);
    // Packed grey levels and colour: FreeType's own conversion to one byte per pixel first.
    FT_Bitmap converted;
    FT_Bitmap_Init(&converted);
    struct Done
    {
        FT_Library library;
        FT_Bitmap* bitmap;
        ~Done() { FT_Bitmap_Done(library, bitmap); }
    } done{library, &converted};
    if (FT_Bitmap_Convert(library, &bitmap, &converted, 1) != 0 || converted.num_grays < 2 ||
        converted.width != bitmap.width || converted.rows != bitmap.rows)
        return Null;
    return CopyGrey(converted, converted.num_grays);
}

// Whether the glyph in `slot` is small enough to render and copy.
bool FitsLimits(FT_GlyphSlot slot)
{
    if (slot->format == FT_GLYPH_FORMAT_OUTLINE) {
        FT_BBox box;
        FT_Outline_Get_CBox(&slot->outline, &box);
        const std::int64_t width = (static_cast<std::int64_t>(box.xMax) - box.xMin) >> 6;
        const std::int64_t height = (static_cast<std::int64_t>(box.yMax) - box.yMin) >> 6;
        return width <= LARGEST_GLYPH_SIDE && height <= LARGEST_GLYPH_SIDE;
    }
    return slot->bitmap.width <= LARGEST_GLYPH_SIDE && slot->bitmap.rows <= LARGEST_GLYPH_SIDE;
}

Ref<TFreeTypeGlyph> MakeGlyph(FT_Library library, FT_Face face, FT_ULong code, std::int32_t ascender)
{
    Ref<TFreeTypeGlyph> glyph = New<TFreeTypeGlyph>();
    const FT_UInt index = FT_Get_Char_Index(face, code);
    if (FT_Load_Glyph(face, index, FT_LOAD_DEFAULT) != 0) return glyph;
    FT_GlyphSlot slot = face->glyph;
    glyph->advance = static_cast<float>(static_cast<double>(slot->advance.x) / 64.0);
    if (!FitsLimits(slot) || FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) return glyph;
    if (slot->bitmap.width > LARGEST_GLYPH_SIDE || slot->bitmap.rows > LARGEST_GLYPH_SIDE) return glyph;
    glyph->x = slot->bitmap_left;
    glyph->y = ascender - slot->bitmap_top;
    glyph->width = static_cast<std::int32_t>(slot->bitmap.width);
    glyph->height = static_cast<std::int32_t>(slot->bitmap.rows);
    if (glyph->width != 0 && glyph->height != 0 && slot->bitmap.buffer != nullptr)
        glyph->pixmap = GlyphPixels(library, slot->bitmap);
    return glyph;
}

Ref<TFreeTypeFont> LoadFreeTypeFont(const Ref<String>& url, std::int32_t size, std::int32_t style)
{
    Library library;
    if (!library.Start()) return Null;
    const Ref<String> path = SplitUrl(url);
    const char* cpath = path->ToCString();

    // The face that offers the largest size not above the request; a .FON file keeps each size in a face
    // of its own, so every face is asked (the first face is asked first, as a single-face file expects).
    Face best;
    std::int32_t bestSize = 0;
    Face face;
    if (!face.Open(library.Get(), cpath, 0)) {
        RaisePendingError();
        return Null;
    }
    const FT_Long faces = std::clamp<FT_Long>(face.Get()->num_faces, 1, MOST_FACES);
    for (FT_Long i = 0; i < faces && bestSize < size; ++i) {
        if (i > 0 && !face.Open(library.Get(), cpath, i)) continue;
        const std::int32_t found = SetLargestSize(face.Get(), size, bestSize);
        if (found > bestSize) {
            bestSize = found;
            // The tried face stays empty, ready for the next one.
            best = std::exchange(face, Face());
        }
    }
    face = Face();
    RaisePendingError();
    if (bestSize == 0) return Null;
    // FreeType selects only a Unicode charmap by itself; a Windows bitmap font has just its own code page,
    // which then maps the codes.
    FT_Face chosen = best.Get();
    if (chosen->charmap == nullptr && chosen->num_charmaps > 0) FT_Set_Charmap(chosen, chosen->charmaps[0]);

    const FT_Size_Metrics& metrics = best.Get()->size->metrics;
    Ref<TFreeTypeFont> font = New<TFreeTypeFont>();
    font->style = style;
    font->height = static_cast<std::int32_t>(metrics.height >> 6);
    font->ascender = static_cast<std::int32_t>(metrics.ascender >> 6);
    font->descender = static_cast<std::int32_t>(metrics.descender >> 6);
    font->firstCode = FIRST_CODE;
    font->glyphs = NewArray(":TFreeTypeGlyph", GLYPH_COUNT);
    for (std::int32_t i = 0; i < GLYPH_COUNT; ++i) {
        font->glyphs->ObjectAt(i) =
            MakeGlyph(library.Get(), best.Get(), static_cast<FT_ULong>(FIRST_CODE + i), font->ascender);
        RaisePendingError();
    }
    return font;
}

} // namespace

// ------------------------------------------------------------------------------------------------------------
// The classes
// ------------------------------------------------------------------------------------------------------------

Ref<Object> TFreeTypeGlyph::Pixels()
{
    return pixmap;
}

float TFreeTypeGlyph::Advance()
{
    return advance;
}

void TFreeTypeGlyph::GetRect(std::int32_t& outX, std::int32_t& outY, std::int32_t& outWidth, std::int32_t& outHeight)
{
    outX = x;
    outY = y;
    outWidth = width;
    outHeight = height;
}

std::int32_t TFreeTypeFont::Style()
{
    return style;
}

std::int32_t TFreeTypeFont::Height()
{
    return height;
}

std::int32_t TFreeTypeFont::FirstCode()
{
    return firstCode;
}

std::int32_t TFreeTypeFont::GlyphCount()
{
    return glyphs->Length();
}

Ref<TGlyph> TFreeTypeFont::Glyph(std::int32_t index)
{
    return Downcast<TGlyph>(glyphs->ObjectAt(index));
}

Ref<TFreeTypeFont> TFreeTypeFont::Load(const Ref<Object>& url, std::int32_t size, std::int32_t style)
{
    const Ref<String> text = Downcast<String>(url);
    if (text.IsNull() || text->Length() == 0 || size <= 0) return Null;
    PendingError() = nullptr;
    return LoadFreeTypeFont(text, size, style);
}

Ref<TFont> TFreeTypeFontLoader::LoadFont(const Ref<Object>& url, std::int32_t size, std::int32_t style)
{
    const Ref<String> text = Downcast<String>(url);
    if (text.IsNull() || text->Length() == 0) return Null;
    return TFreeTypeFont::Load(text, size, style);
}

// ------------------------------------------------------------------------------------------------------------
// [SECTION] Describing a font file
// ------------------------------------------------------------------------------------------------------------

std::vector<FontFaceInfo> DescribeFontFile(const Ref<Object>& url)
{
    std::vector<FontFaceInfo> faces;
    const Ref<String> text = Downcast<String>(url);
    if (text.IsNull() || text->Length() == 0) return faces;
    PendingError() = nullptr;
    Library library;
    if (!library.Start()) return faces;
    const Ref<String> path = SplitUrl(text);
    const char* cpath = path->ToCString();
    FT_Long count = 1;
    for (FT_Long i = 0; i < count; ++i) {
        Face face;
        if (!face.Open(library.Get(), cpath, i)) {
            if (i == 0) break;
            continue;
        }
        FT_Face f = face.Get();
        if (i == 0) count = std::clamp<FT_Long>(f->num_faces, 1, MOST_FACES);
        FontFaceInfo info;
        info.family = f->family_name != nullptr ? f->family_name : "";
        info.style = f->style_name != nullptr ? f->style_name : "";
        const char* format = FT_Get_Font_Format(f);
        info.format = format != nullptr ? format : "";
        info.scalable = FT_IS_SCALABLE(f);
        info.glyphCount = static_cast<std::int32_t>(f->num_glyphs);
        for (FT_Int s = 0; s < f->num_fixed_sizes; ++s) {
            if (FT_Select_Size(f, s) != 0) continue;
            FontFaceInfo::Size size;
            size.size = StrikeSize(f, s);
            size.height = static_cast<std::int32_t>(f->size->metrics.height >> 6);
            size.ascender = static_cast<std::int32_t>(f->size->metrics.ascender >> 6);
            size.descender = static_cast<std::int32_t>(f->size->metrics.descender >> 6);
            info.sizes.push_back(size);
        }
        std::sort(info.sizes.begin(), info.sizes.end(),
                  [](const FontFaceInfo::Size& a, const FontFaceInfo::Size& b) { return a.size < b.size; });
        faces.push_back(std::move(info));
    }
    RaisePendingError();
    return faces;
}

void InitFreeTypeFontModule()
{
    static bool initialised = false;
    if (initialised) return;
    initialised = true;
    InitRuntimeCore();
    InitFontModule();
    InitPixmaps();
    RegisterFontLoader(New<TFreeTypeFontLoader>());
}

} // namespace vanta
