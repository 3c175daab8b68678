// Font loading: the abstract font and glyph, and the loader chain.
#include "graphics/Font.h"

#include "embedded/RuntimeFonts.h"
#include "runtime/EmbeddedFile.h"
#include "runtime/Error.h"

namespace vanta {

namespace {

Ref<TFontLoader>& LoaderHead()
{
    static Ref<TFontLoader> head;
    return head;
}

} // namespace

Ref<Object> TGlyph::Pixels()
{
    ThrowAbstractMethod();
}

float TGlyph::Advance()
{
    ThrowAbstractMethod();
}

void TGlyph::GetRect(std::int32_t&, std::int32_t&, std::int32_t&, std::int32_t&)
{
    ThrowAbstractMethod();
}

std::int32_t TFont::Style()
{
    ThrowAbstractMethod();
}

std::int32_t TFont::Height()
{
    ThrowAbstractMethod();
}

std::int32_t TFont::FirstCode()
{
    ThrowAbstractMethod();
}

std::int32_t TFont::GlyphCount()
{
    ThrowAbstractMethod();
}

Ref<TGlyph> TFont::Glyph(std::int32_t)
{
    ThrowAbstractMethod();
}

Ref<TFont> TFontLoader::LoadFont(const Ref<Object>&, std::int32_t, std::int32_t)
{
    ThrowAbstractMethod();
}

void RegisterFontLoader(const Ref<TFontLoader>& loader)
{
    if (!loader->next.IsNull()) return;
    // The last loader of the chain has no next link either: joining it again would make it its own next.
    for (const Ref<TFontLoader>* link = &LoaderHead(); !link->IsNull(); link = &(*link)->next) {
        if (*link == loader) return;
    }
    loader->next = LoaderHead();
    LoaderHead() = loader;
}

Ref<TFont> LoadFont(const Ref<Object>& url, std::int32_t size, std::int32_t style)
{
    for (Ref<TFontLoader> loader = LoaderHead(); !loader.IsNull(); loader = loader->next) {
        Ref<TFont> font = loader->LoadFont(url, size, style);
        if (!font.IsNull()) return font;
    }
    return Null;
}

const Ref<TFontLoader>& FontLoaders()
{
    return LoaderHead();
}

void InitFontModule()
{
    static bool initialised = false;
    if (initialised) return;
    initialised = true;
    InitRuntimeCore();
    for (const EmbeddedBlock& block : embedded::RuntimeFonts())
        EmbeddedFileAdd(block);
}

} // namespace vanta
