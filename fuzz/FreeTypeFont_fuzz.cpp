// Fuzz target "freetype": the FreeType font loader on hostile font files, read the way the runtime reads
// every font, through our stream callbacks. The input after its first byte is the file; the first byte is a
// mode: bits 0-4 give the pixel size (1 ... 32), bit 5 reads the file through "bigendian::" (a wrapping
// stream), bit 6 also describes every face of the file as the asset tool does.
//
// The file is served by a stream factory of the target's own, protocol "fuzz", as a read-only memory stream
// over the input. Besides the sanitizers' watch, each run checks what a loaded font promises: 224 glyphs
// from code 32, and every glyph picture an alpha pixmap of exactly its rectangle's size.
#include "fuzz/FuzzInput.h"
#include "fuzz/FuzzTargets.h"
#include "graphics/FreeTypeFont.h"
#include "pixmap/Pixmap.h"
#include "stream/EndianStream.h"
#include "stream/MemoryStream.h"

namespace vanta::fuzz {
namespace {

// Where the sum of every glyph picture goes, so the reads are not optimised away.
volatile std::uint32_t pixelSink = 0;

// The bytes the "fuzz" protocol serves.
const std::uint8_t* servedData = nullptr;
std::int32_t servedSize = 0;

class TFuzzStreamOpener final : public TStreamOpener
{
    VANTA_CLASS(TFuzzStreamOpener, TStreamOpener)
public:
    Ref<TByteStream> CreateStream(const Ref<Object>&, const Ref<String>& protocol, const Ref<String>&, bool readable,
                                  bool writeable) override
    {
        if (vanta::Compare(protocol, "fuzz"_s) != 0 || writeable) return Null;
        return TMemoryStream::Create(const_cast<std::uint8_t*>(servedData), servedSize, readable, false);
    }
};

void Prepare()
{
    static bool ready = false;
    if (ready) return;
    ready = true;
    InitEndianStreams();
    InitFreeTypeFontModule();
    New<TFuzzStreamOpener>();
}

void CheckFont(const Ref<TFreeTypeFont>& font)
{
    if (font.IsNull()) return;
    FuzzCheck(font->GlyphCount() == 224 && font->FirstCode() == 32, "224 glyphs from code 32");
    for (std::int32_t i = 0; i < font->GlyphCount(); ++i) {
        const Ref<TGlyph> glyph = font->Glyph(i);
        std::int32_t x = 0;
        std::int32_t y = 0;
        std::int32_t width = 0;
        std::int32_t height = 0;
        glyph->GetRect(x, y, width, height);
        const Ref<TPixmap> pixmap = Downcast<TPixmap>(glyph->Pixels());
        if (pixmap.IsNull()) continue;
        FuzzCheck(pixmap->Format() == PF_A8, "glyph pictures are alpha");
        FuzzCheck(pixmap->Width() == width && pixmap->Height() == height, "the picture fills the glyph's rectangle");
        // Every byte is read, so a picture that does not own its rows shows.
        std::uint32_t sum = 0;
        for (std::int32_t row = 0; row < height; ++row) {
            const std::uint8_t* p = PixmapPixelPtr(pixmap, 0, row);
            for (std::int32_t column = 0; column < width; ++column)
                sum += p[column];
        }
        pixelSink = pixelSink + sum;
    }
}

} // namespace

int FuzzFreeTypeFont(const std::uint8_t* data, std::size_t size)
{
    Prepare();
    FuzzInput input(data, size);
    const std::uint8_t mode = input.Byte();
    servedData = size > 1 ? data + 1 : nullptr;
    servedSize = size > 1 ? static_cast<std::int32_t>(size - 1) : 0;
    const int level = ReleaseStackLevel();
    const Ref<String> url = (mode & 0x20) != 0 ? "bigendian::fuzz::font"_s : "fuzz::font"_s;
    CheckFont(TFreeTypeFont::Load(url, 1 + (mode & 0x1F), 0));
    if ((mode & 0x40) != 0) {
        for (const FontFaceInfo& face : DescribeFontFile(url))
            FuzzCheck(face.glyphCount >= 0, "a face has no negative glyph count");
    }
    FlushReleaseStack(level);
    return 0;
}

} // namespace vanta::fuzz
