// Image fonts: glyph images, text drawing and measuring, the default font.
#include "graphics/ImageFont.h"

#include "graphics/Font.h"
#include "graphics/detail/ModuleLinks.h"
#include "pixmap/Pixmap.h"
#include "runtime/EmbeddedFile.h"

#include <cmath>

namespace vanta {

Ref<TImage> TImageGlyph::Image()
{
    return image;
}

float TImageGlyph::Advance()
{
    return advance;
}

void TImageGlyph::GetRect(std::int32_t& outX, std::int32_t& outY, std::int32_t& outWidth, std::int32_t& outHeight)
{
    outX = x;
    outY = y;
    outWidth = width;
    outHeight = height;
}

std::int32_t TImageFont::Style()
{
    return style;
}

std::int32_t TImageFont::Height()
{
    return height;
}

std::int32_t TImageFont::FirstCode()
{
    return firstCode;
}

std::int32_t TImageFont::GlyphCount()
{
    return glyphs->Length();
}

Ref<TImageGlyph> TImageFont::Glyph(std::int32_t index)
{
    return Downcast<TImageGlyph>(glyphs->ObjectAt(index));
}

namespace {

// The glyph of code unit `code`, or `Null` when the font has none.
Ref<TImageGlyph> GlyphOf(TImageFont& font, char16_t code)
{
    const std::int64_t n = static_cast<std::int64_t>(code) - font.firstCode;
    if (n < 0 || n >= font.glyphs->Length()) return Null;
    return Downcast<TImageGlyph>(font.glyphs->ObjectAt(static_cast<std::int32_t>(n)));
}

} // namespace

void TImageFont::Draw(const Ref<String>& text, float x, float y, float ix, float iy, float jx, float jy)
{
    for (char16_t code : text->View()) {
        Ref<TImageGlyph> glyph = GlyphOf(*this, code);
        if (glyph.IsNull()) continue;
        const float gx = static_cast<float>(glyph->x);
        const float gy = static_cast<float>(glyph->y);
        const float dx = std::trunc(gx * ix + gy * iy);
        const float dy = std::trunc(gx * jx + gy * jy);
        if (!glyph->image.IsNull()) {
            TImage& image = *glyph->image;
            image.Frame(0)->Draw(0.0f, 0.0f, static_cast<float>(image.width), static_cast<float>(image.height), x + dx,
                                 y + dy);
        }
        x += glyph->advance * ix;
        y += glyph->advance * jx;
    }
}

Ref<TImageFont> TImageFont::Load(const Ref<Object>& url, std::int32_t size, std::int32_t style)
{
    Ref<TFont> source = LoadFont(url, size, style);
    if (source.IsNull()) return Null;
    Ref<TImageFont> font = New<TImageFont>();
    font->style = source->Style();
    font->height = source->Height();
    font->firstCode = source->FirstCode();
    const std::int32_t count = source->GlyphCount();
    font->glyphs = NewArray(":TImageGlyph", count);
    const std::int32_t imageFlags = (style & 4) != 0 ? IMAGE_FILTERED : 0;
    for (std::int32_t i = 0; i < count; ++i) {
        Ref<TGlyph> from = source->Glyph(i);
        Ref<TImageGlyph> glyph = New<TImageGlyph>();
        glyph->advance = from->Advance();
        from->GetRect(glyph->x, glyph->y, glyph->width, glyph->height);
        Ref<TPixmap> pixels = Downcast<TPixmap>(from->Pixels());
        if (!pixels.IsNull()) {
            Ref<TPixmap> copy = pixels->Copy();
            if (!copy.IsNull()) glyph->image = TImage::Load(copy, 0, 0, 0, imageFlags);
        }
        font->glyphs->ObjectAt(i) = glyph;
    }
    return font;
}

Ref<TImageFont> TImageFont::CreateDefault()
{
    constexpr std::int32_t FIRST = 32;
    constexpr std::int32_t COUNT = 96;
    constexpr std::int32_t WIDTH = 8;
    constexpr std::int32_t HEIGHT = 16;
    static_assert(COUNT * HEIGHT == DEFAULT_FONT_BYTES);

    Ref<TImageFont> font = New<TImageFont>();
    font->style = 0;
    font->height = HEIGHT;
    font->firstCode = FIRST;
    font->glyphs = NewArray(":TImageGlyph", COUNT);

    const Ref<String> name = "vantafont.bin"_s;
    const auto* bits = static_cast<const std::uint8_t*>(EmbeddedFileData(name));
    Ref<TPixmap> sheet;
    if (bits != nullptr && EmbeddedFileSize(name) >= DEFAULT_FONT_BYTES) {
        sheet = CreatePixmap(COUNT * WIDTH, HEIGHT, PF_RGBA8888, 4);
        for (std::int32_t r = 0; r < HEIGHT; ++r) {
            for (std::int32_t c = 0; c < COUNT; ++c) {
                const std::uint8_t row = bits[r * COUNT + c];
                for (std::int32_t k = 0; k < WIDTH; ++k) {
                    sheet->WritePixel(c * WIDTH + k, r, ((row >> k) & 1) != 0 ? 0xFFFFFFFFu : 0u);
                }
            }
        }
    }
    // Without the bitmap the glyphs keep their metrics and have no pictures.
    for (std::int32_t c = 0; c < COUNT; ++c) {
        Ref<TImageGlyph> glyph = New<TImageGlyph>();
        glyph->advance = static_cast<float>(WIDTH);
        glyph->width = WIDTH;
        glyph->height = HEIGHT;
        if (!sheet.IsNull())
            glyph->image = TImage::Load(sheet->Window(c * WIDTH, 0, WIDTH, HEIGHT)->Copy(), 0, 0, 0, 0);
        font->glyphs->ObjectAt(c) = glyph;
    }
    return font;
}

namespace {

// The font module's state: the font text is drawn in, and the default font, made at the first activation.
struct FontState
{
    Ref<TImageFont> currentFont;
    Ref<TImageFont> defaultFont;
};

FontState& Fonts()
{
    static FontState state;
    return state;
}

} // namespace

void detail::UseDefaultFont()
{
    FontState& state = Fonts();
    if (state.defaultFont.IsNull()) state.defaultFont = TImageFont::CreateDefault();
    state.currentFont = state.defaultFont;
}

void detail::ForgetCurrentFont()
{
    Fonts().currentFont = Null;
}

Ref<TImageFont> LoadImageFont(const Ref<Object>& url, std::int32_t size, std::int32_t style)
{
    return TImageFont::Load(url, size, style);
}

void SetTextFont(const Ref<TImageFont>& font)
{
    FontState& state = Fonts();
    state.currentFont = font.IsNull() ? state.defaultFont : font;
}

const Ref<TImageFont>& GetTextFont()
{
    return Fonts().currentFont;
}

std::int32_t TextWidth(const Ref<String>& text)
{
    TImageFont& font = *Fonts().currentFont;
    float width = 0.0f;
    for (char16_t code : text->View()) {
        Ref<TImageGlyph> glyph = GlyphOf(font, code);
        if (!glyph.IsNull()) width = std::trunc(width + glyph->advance);
    }
    return static_cast<std::int32_t>(width);
}

std::int32_t TextHeight()
{
    return Fonts().currentFont->Height();
}

} // namespace vanta
