// The FreeType font loader: font files (TrueType, OpenType, Windows bitmap fonts and whatever else
// FreeType reads) rendered at a pixel height into alpha pixmaps, one per character 32 ... 255.
//
// Builds on the font-loader chain (graphics/Font.h), pixmaps and streams. Every face is read through the
// runtime's streams, so a font URL is anything `OpenReadStream` opens: a plain path, "incbin::Vanta.fon",
// "bigendian::incbin::Vanta.fon", ... FreeType itself stays inside FreeTypeFont.cpp.
//
// A size is a pixel height. A font without it (a bitmap font offers a few sizes only) is made in the
// largest size not above it that any face of the file offers; a Windows .FON file keeps each size in a
// face of its own. FreeType, the face and the stream are all released once the glyphs are copied.
//
// Main thread only.
#pragma once

#include "graphics/Font.h"
#include "runtime/Array.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vanta {

class TPixmap;

// One character rendered by FreeType.
class TFreeTypeGlyph : public TGlyph
{
    VANTA_CLASS(TFreeTypeGlyph, TGlyph)
public:
    TFreeTypeGlyph() = default;

    // The glyph's `PF_A8` pixmap, or `Null` for an empty glyph (a space, or a character the font lacks).
    Ref<Object> Pixels() override;
    // The pen advance in pixels (0 for a character the font could not load).
    float Advance() override;
    // The picture's offset right of and below the pen (which sits at the top of the line) and its size.
    void GetRect(std::int32_t& x, std::int32_t& y, std::int32_t& width, std::int32_t& height) override;

    Ref<TPixmap> pixmap;     // what `Pixels` answers
    float advance = 0.0f;    // what `Advance` answers
    std::int32_t x = 0;      // the picture's offset right of the pen
    std::int32_t y = 0;      // the picture's offset below the top of the line
    std::int32_t width = 0;  // the picture's width in pixels
    std::int32_t height = 0; // the picture's height in pixels
};

// A font file rendered by FreeType at one size: 224 glyphs for the codes 32 ... 255.
class TFreeTypeFont : public TFont
{
    VANTA_CLASS(TFreeTypeFont, TFont)
public:
    TFreeTypeFont() = default;

    // The style it was loaded with (the loader's `style` argument).
    std::int32_t Style() override;
    // The line height in pixels, as the face's size metrics give it.
    std::int32_t Height() override;
    // 32.
    std::int32_t FirstCode() override;
    // 224.
    std::int32_t GlyphCount() override;
    // Glyph `index`; throws `TArrayBoundsError` outside 0 ... count - 1.
    Ref<TGlyph> Glyph(std::int32_t index) override;

    // The font at `url` (a string) in `size` pixels, or the largest smaller size the file offers; `Null`
    // when the url is not a non-empty string, nothing opens it, FreeType cannot read it, or no size fits.
    // Never throws for a bad file.
    static Ref<TFreeTypeFont> Load(const Ref<Object>& url, std::int32_t size, std::int32_t style);

    std::int32_t style = 0;     // the style it was loaded with, as `Style` answers
    std::int32_t height = 0;    // the line height, as `Height` answers
    std::int32_t ascender = 0;  // pixels above the baseline
    std::int32_t descender = 0; // pixels below it, negative
    std::int32_t firstCode = 0; // the code of the first glyph, as `FirstCode` answers
    Ref<Array> glyphs;          // of `TFreeTypeGlyph`, type tag ":TFreeTypeGlyph"
};

// The loader that joins the chain at start-up.
class TFreeTypeFontLoader : public TFontLoader
{
    VANTA_CLASS(TFreeTypeFontLoader, TFontLoader)
public:
    TFreeTypeFontLoader() = default;

    // `TFreeTypeFont::Load` for a non-empty string url; `Null` for anything else.
    Ref<TFont> LoadFont(const Ref<Object>& url, std::int32_t size, std::int32_t style) override;
};

// What a font file offers, for tools: one entry per face.
struct FontFaceInfo
{
    // One fixed size of a bitmap face.
    struct Size
    {
        std::int32_t size = 0;      // the pixel size that selects it
        std::int32_t height = 0;    // its line height in pixels
        std::int32_t ascender = 0;  // pixels above the baseline
        std::int32_t descender = 0; // pixels below it, negative
    };
    std::string family;          // the face's family name, e.g. "Vanta"
    std::string style;           // the face's style name, e.g. "Regular"
    std::string format;          // FreeType's name of the file format, e.g. "Windows FNT" or "TrueType"
    bool scalable = false;       // whether it renders at any size (an outline face)
    std::int32_t glyphCount = 0; // how many glyphs the face holds
    std::vector<Size> sizes;     // the fixed sizes, smallest first; none for a face that only scales
};

// Every face of the font file at `url`, read through the runtime's streams; empty when FreeType cannot
// read it. Never throws for a bad file.
std::vector<FontFaceInfo> DescribeFontFile(const Ref<Object>& url);

// The FreeType font module's initialiser: creates the `TFreeTypeFontLoader` and puts it at the head of the
// font-loader chain. Runs once.
void InitFreeTypeFontModule();

} // namespace vanta
