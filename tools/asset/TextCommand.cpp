// `vanta-asset text FONT SIZE TEXT OUT.png`: TEXT drawn with the image font the runtime makes of FONT at
// SIZE pixels ("default" for the built-in 8 x 16 font, whatever SIZE says), white on transparent, into a
// PNG of the text's width and the font's line height; prints "width W height H" (`TextWidth` and
// `TextHeight`).
//
// No display is needed: the glyph pictures are laid down here, placed as the font's draw places them with
// the unturned, unscaled transform. The pen starts at the top-left corner; each character with a glyph is
// put at the pen plus the glyph's offset (whole pixels, rounded down) and moves the pen by its advance; a
// character without one is skipped. Overlapping pictures are blended ("over"). TEXT's bytes are its
// characters (Latin-1). Parts of a glyph outside the line are cut off.
#include "graphics/ImageFont.h"
#include "pixmap/Pixmap.h"
#include "pixmap/loaders/PNGLoader.h"
#include "tools/asset/AssetTool.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace vanta::asset {
namespace {

constexpr std::int32_t PNG_COMPRESSION = 6;

// The pixel size argument: a whole number from 1 up; false for anything else.
bool ParseSize(const std::string& text, std::int32_t& size)
{
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || value < 1 || value > 0xFFFF) return false;
    size = static_cast<std::int32_t>(value);
    return true;
}

// Lays the glyph picture's alpha over the canvas at (left, top), white.
void Lay(const Ref<TPixmap>& canvas, const Ref<TPixmap>& picture, std::int32_t left, std::int32_t top)
{
    for (std::int32_t v = 0; v < picture->Height(); ++v) {
        const std::int32_t y = top + v;
        if (y < 0 || y >= canvas->Height()) continue;
        for (std::int32_t u = 0; u < picture->Width(); ++u) {
            const std::int32_t x = left + u;
            if (x < 0 || x >= canvas->Width()) continue;
            const std::uint32_t alpha = ReadPixel(picture, u, v) >> 24;
            const std::uint32_t under = ReadPixel(canvas, x, y) >> 24;
            const std::uint32_t blended = alpha + (under * (255 - alpha) + 127) / 255;
            WritePixel(canvas, x, y, blended << 24 | (blended != 0 ? 0x00FFFFFFu : 0u));
        }
    }
}

} // namespace

int RunText(const std::vector<std::string>& arguments)
{
    std::int32_t size = 0;
    if (arguments.size() != 4 || !ParseSize(arguments[1], size)) return EXIT_USAGE;
    const std::string& fontName = arguments[0];
    const Ref<TImageFont> font =
        fontName == "default" ? TImageFont::CreateDefault() : LoadImageFont(UrlOf(fontName), size, 0);
    if (font.IsNull()) {
        std::fprintf(stderr, "cannot load font at size %d: %s\n", size, fontName.c_str());
        return EXIT_FAILED;
    }
    const Ref<String> text = String::FromBytes(arguments[2].data(), static_cast<std::int32_t>(arguments[2].size()));
    SetTextFont(font);
    const std::int32_t width = TextWidth(text);
    const std::int32_t height = TextHeight();

    // A PNG has at least one pixel: an empty line is one transparent pixel wide (or high).
    const Ref<TPixmap> canvas = CreatePixmap(std::max(width, 1), std::max(height, 1), PF_RGBA8888, 4);
    for (std::int32_t y = 0; y < canvas->Height(); ++y) {
        for (std::int32_t x = 0; x < canvas->Width(); ++x)
            WritePixel(canvas, x, y, 0);
    }
    float penX = 0.0f;
    for (char16_t code : text->View()) {
        const std::int64_t n = static_cast<std::int64_t>(code) - font->FirstCode();
        if (n < 0 || n >= font->GlyphCount()) continue;
        const Ref<TImageGlyph> glyph = font->Glyph(static_cast<std::int32_t>(n));
        const Ref<TImage> image = glyph->Image();
        if (!image.IsNull()) {
            const auto left = static_cast<std::int32_t>(std::floor(penX + std::trunc(static_cast<float>(glyph->x))));
            Lay(canvas, image->Lock(0, 1, 0), left, glyph->y);
        }
        penX += glyph->Advance();
    }
    if (SavePixmapPNG(canvas, UrlOf(arguments[3]), PNG_COMPRESSION) == 0) {
        std::fprintf(stderr, "cannot write image: %s\n", arguments[3].c_str());
        return EXIT_FAILED;
    }
    std::printf("width %d height %d\n", width, height);
    return EXIT_OK;
}

} // namespace vanta::asset
