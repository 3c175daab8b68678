// The console bindings: console lines, running console commands, and console commands written in Lua,
// under the names of console/Console.h. A command a script registers is removed when its state closes.
#include "console/Console.h"
#include "script/ScriptBindings.h"
#include "script/detail/BindingSupport.h"

namespace vanta {
namespace {

using namespace detail;

// ConsoleAddLine(text [, kind = 0])
int LuaConsoleAddLine(lua_State* state)
{
    ConsoleAddLine(TScriptEngine::ArgString(state, 1), OptInt(state, 2, 0));
    return 0;
}

// ConsoleShown() -> boolean
int LuaConsoleShown(lua_State* state)
{
    lua_pushboolean(state, ConsoleShown() != 0 ? 1 : 0);
    return 1;
}

int LuaRunConsoleCommand(lua_State* state)
{
    RunConsoleCommand(TScriptEngine::ArgString(state, 1));
    return 0;
}

// RegisterConsoleCommand(name, function(text)) -> boolean; nil instead of the function removes it. The
// function gets the text typed after the name (empty when none); an error it raises becomes a console
// line.
int LuaRegisterConsoleCommand(lua_State* state)
{
    const Ref<String> name = TScriptEngine::ArgString(state, 1);
    TScriptEngine& engine = TScriptEngine::Calling(state);
    if (lua_isnoneornil(state, 2)) {
        lua_pushboolean(state, RegisterConsoleTextCommand(name, nullptr));
        return 1;
    }
    luaL_checktype(state, 2, LUA_TFUNCTION);
    const std::int32_t reference = engine.Reference(state, 2);
    TScriptEngine* owner = &engine;
    const std::int32_t registered = RegisterConsoleTextCommand(name, [owner, reference](const Ref<String>& text) {
        owner->ClearCall();
        owner->AddStringArg(text);
        if (owner->CallReference(reference, 0) == 0) ConsoleAddLine(Concat("error: "_s, owner->ErrorMessage()));
    });
    if (registered != 0) {
        // The command goes with the state; the reference goes with the state's registry.
        engine.AtClose([name] { RegisterConsoleTextCommand(name, nullptr); });
    } else {
        engine.ReleaseReference(reference);
    }
    lua_pushboolean(state, registered);
    return 1;
}

constexpr BindingFunction FUNCTIONS[] = {
    {"ConsoleAddLine", &LuaConsoleAddLine},
    {"ConsoleShown", &LuaConsoleShown},
    {"RunConsoleCommand", &LuaRunConsoleCommand},
    {"RegisterConsoleCommand", &LuaRegisterConsoleCommand},
};

} // namespace

void BindConsole(TScriptEngine& engine)
{
    detail::Bind(engine, FUNCTIONS);
}

} // namespace vanta
