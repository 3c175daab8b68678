// Font loading: the abstract font and glyph a font loader produces, and the chain of font loaders.
//
// Builds on the object runtime and pixmaps. A loader turns a URL, a pixel size and a style into a `TFont`:
// a run of `TGlyph` records from a first character code upwards, each with its pixels (a pixmap, or none
// for an empty glyph), a pen advance and a placement rectangle. Image fonts (graphics/ImageFont.h) are made
// from such fonts. Loaders join the chain at its head, so the newest is asked first.
//
// The font module's initialiser registers the built-in 8 x 16 typeface's bitmap, "vantafont.bin", in the
// embedded-file registry; the default image font is made from it.
//
// Main thread only.
#pragma once

#include "runtime/Object.h"

#include <cstdint>

namespace vanta {

class TPixmap;

// One character of a loaded font. Abstract: each operation throws `TAbstractMethodError`.
class TGlyph : public Object
{
    VANTA_CLASS(TGlyph, Object)
public:
    TGlyph() = default;

    // The glyph's pixels (a `TPixmap`), or `Null` for an empty glyph.
    virtual Ref<Object> Pixels();
    // The pen advance in pixels.
    virtual float Advance();
    // The picture's offset from the pen position (right and down) and its size.
    virtual void GetRect(std::int32_t& x, std::int32_t& y, std::int32_t& width, std::int32_t& height);
};

// A loaded font. Abstract: each operation throws `TAbstractMethodError`.
class TFont : public Object
{
    VANTA_CLASS(TFont, Object)
public:
    TFont() = default;

    // The style bits the font was loaded with.
    virtual std::int32_t Style();
    // The line height in pixels.
    virtual std::int32_t Height();
    // The character code of glyph 0.
    virtual std::int32_t FirstCode();
    // The number of glyphs.
    virtual std::int32_t GlyphCount();
    // Glyph `index` (0 ... count - 1).
    virtual Ref<TGlyph> Glyph(std::int32_t index);
};

// A maker of fonts; joins the loader chain with `RegisterFontLoader`.
class TFontLoader : public Object
{
    VANTA_CLASS(TFontLoader, Object)
public:
    TFontLoader() = default;

    // The font at `url` in `size` pixels with the `style` bits, or `Null` when this loader cannot make it.
    // The base class throws `TAbstractMethodError`.
    virtual Ref<TFont> LoadFont(const Ref<Object>& url, std::int32_t size, std::int32_t style);

    // The next loader of the chain; `Null` at its end (and before the loader joins it).
    Ref<TFontLoader> next;
};

// Puts `loader` at the head of the chain, unless it has joined it before.
void RegisterFontLoader(const Ref<TFontLoader>& loader);

// Asks each loader from the head; the first non-`Null` answer wins. `Null` when none can load it.
Ref<TFont> LoadFont(const Ref<Object>& url, std::int32_t size, std::int32_t style);

// The head of the loader chain; `Null` while it is empty.
const Ref<TFontLoader>& FontLoaders();

// The font module's initialiser: registers the built-in typeface's bitmap "vantafont.bin" (1536 bytes, see
// graphics/ImageFont.h) in the embedded-file registry. Runs once.
void InitFontModule();

} // namespace vanta
