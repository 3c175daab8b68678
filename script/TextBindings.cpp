// The text bindings: text in the current font and image fonts (the default 8 x 16 font, Windows bitmap
// fonts and TrueType fonts through the font loader chain), under the names of graphics/Draw.h and
// graphics/ImageFont.h.
#include "graphics/Draw.h"
#include "graphics/ImageFont.h"
#include "script/ScriptBindings.h"
#include "script/detail/BindingSupport.h"

namespace vanta {
namespace {

using namespace detail;

constexpr const char* FONT = "font";

int LuaDrawText(lua_State* state)
{
    DrawText(TScriptEngine::ArgString(state, 1), ArgFloat(state, 2), ArgFloat(state, 3));
    return 0;
}

int LuaTextWidth(lua_State* state)
{
    return PushResult(state, TextWidth(TScriptEngine::ArgString(state, 1)));
}

int LuaTextHeight(lua_State* state)
{
    return PushResult(state, TextHeight());
}

// LoadImageFont(url, size [, style = 0]) -> font (0 when no loader can load it)
int LuaLoadImageFont(lua_State* state)
{
    const std::int32_t size = TScriptEngine::ArgInt(state, 2);
    if (size < 1 || size > 1024) luaL_argerror(state, 2, "1 to 1024 pixels expected");
    return PushHandle(state, LoadImageFont(ArgUrl(state, 1), size, OptInt(state, 3, 0)));
}

// SetTextFont([font]): nil (or nothing) restores the default font.
int LuaSetTextFont(lua_State* state)
{
    SetTextFont(OptHandle<TImageFont>(state, 1, FONT));
    return 0;
}

int LuaFreeFont(lua_State* state)
{
    return ReleaseHandleArg<TImageFont>(state, 1, FONT);
}

constexpr BindingFunction FUNCTIONS[] = {
    {"DrawText", &LuaDrawText},           {"TextWidth", &LuaTextWidth},     {"TextHeight", &LuaTextHeight},
    {"LoadImageFont", &LuaLoadImageFont}, {"SetTextFont", &LuaSetTextFont}, {"FreeFont", &LuaFreeFont},
};

} // namespace

void BindText(TScriptEngine& engine)
{
    detail::Bind(engine, FUNCTIONS);
}

} // namespace vanta
