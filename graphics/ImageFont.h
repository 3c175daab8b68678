// Image fonts: text drawn as one small image per character.
//
// Builds on images (graphics/Image.h) and the font loaders (graphics/Font.h). A `TImageFont` is a run of
// `TImageGlyph`s from a first character code upwards, each with an image (or none), a pen advance and a
// placement rectangle. Fonts are loaded through the font-loader chain and turned into images here; the
// default 8 x 16 font is built from the embedded bitmap "vantafont.bin" (16 rows of 96 bytes, one byte per
// character 32-127 and row, bit k = column k) the first time graphics are activated. When that block is
// missing (or too short) the default font has the same metrics and no pictures: text measures right and
// draws nothing.
//
// Main thread only.
#pragma once

#include "graphics/Image.h"
#include "runtime/Array.h"
#include "runtime/String.h"

#include <cstdint>

namespace vanta {

// One character of an image font.
class TImageGlyph : public Object
{
    VANTA_CLASS(TImageGlyph, Object)
public:
    TImageGlyph() = default;

    // The glyph picture; `Null` for an empty glyph.
    virtual Ref<TImage> Image();
    // The pen advance in pixels.
    virtual float Advance();
    // The picture's offset right of and below the pen position (the pen is at the top of the line), and
    // its size.
    virtual void GetRect(std::int32_t& x, std::int32_t& y, std::int32_t& width, std::int32_t& height);

    Ref<TImage> image;       // what `Image` answers
    float advance = 0.0f;    // what `Advance` answers
    std::int32_t x = 0;      // the picture's offset right of the pen
    std::int32_t y = 0;      // the picture's offset below the top of the line
    std::int32_t width = 0;  // the picture's width in pixels
    std::int32_t height = 0; // the picture's height in pixels
};

// A font as images, one per character, as `DrawText` draws it.
class TImageFont : public Object
{
    VANTA_CLASS(TImageFont, Object)
public:
    TImageFont() = default;

    // The style the font was loaded with (bit 4: filtered glyph images).
    virtual std::int32_t Style();
    // The line height in pixels.
    virtual std::int32_t Height();
    // The character code of glyph 0.
    virtual std::int32_t FirstCode();
    // The number of glyphs, for the codes from `FirstCode` on.
    virtual std::int32_t GlyphCount();
    // Glyph `index`; throws `TArrayBoundsError` outside 0 ... count - 1.
    virtual Ref<TImageGlyph> Glyph(std::int32_t index);
    // Draws the text with the pen starting at (x, y), each glyph placed through the matrix (ix, iy, jx, jy)
    // of the drawing state. Characters without a glyph are skipped and do not move the pen. Throws
    // `TNullObjectError` without a current 2D driver.
    virtual void Draw(const Ref<String>& text, float x, float y, float ix, float iy, float jx, float jy);

    // The font the loader chain makes of `url` at `size` pixels, as images (filtered with style bit 4);
    // `Null` when no loader can load it.
    static Ref<TImageFont> Load(const Ref<Object>& url, std::int32_t size, std::int32_t style);
    // A new 8 x 16 font of characters 32-127 from the embedded block "vantafont.bin".
    static Ref<TImageFont> CreateDefault();

    std::int32_t style = 0;           // what `Style` answers
    std::int32_t height = 0;          // what `Height` answers
    std::int32_t firstCode = 0;       // what `FirstCode` answers
    Ref<Array> glyphs = EmptyArray(); // ":TImageGlyph"
};

// The size in bytes of the default font's bitmap "vantafont.bin".
inline constexpr std::int32_t DEFAULT_FONT_BYTES = 1536;

// `TImageFont::Load`.
Ref<TImageFont> LoadImageFont(const Ref<Object>& url, std::int32_t size, std::int32_t style = 0);
// Makes `font` current; `Null` restores the default font.
void SetTextFont(const Ref<TImageFont>& font);
// The current font; `Null` before graphics are first activated.
const Ref<TImageFont>& GetTextFont();
// The text's width in whole pixels in the current font (the sum of the advances of the characters it
// has). Throws `TNullObjectError` without a current font.
std::int32_t TextWidth(const Ref<String>& text);
// The current font's line height. Throws `TNullObjectError` without a current font.
std::int32_t TextHeight();

} // namespace vanta
