// What the binding modules share: registration of functions and constants, and file arguments.
#include "script/detail/BindingSupport.h"

#include <string>

namespace vanta::detail {
namespace {

// Sets the constants of the array (light userdata, argument 1) as globals, in protected mode.
int SetConstants(lua_State* state)
{
    const auto& constants = *static_cast<const std::span<const BindingConstant>*>(lua_touserdata(state, 1));
    for (const BindingConstant& constant : constants) {
        lua_pushnumber(state, constant.value);
        lua_setglobal(state, constant.name);
    }
    return 0;
}

} // namespace

void Bind(TScriptEngine& engine, std::span<const BindingFunction> functions, std::span<const BindingConstant> constants)
{
    if (engine.IsStarted() == 0) ThrowError("ScriptEngine: Engine is not started"_s);
    for (const BindingFunction& function : functions)
        engine.RegisterFunction(String::FromCString(function.name), function.function);
    if (!constants.empty()) {
        lua_State* state = engine.State();
        StackTopGuard guard(state);
        if (lua_cpcall(state, &SetConstants, &constants) != 0)
            ThrowError(Concat("ScriptEngine: Cannot set the constants: "_s, ToText(state, -1)));
    }
}

Ref<String> ArgUrl(lua_State* state, int index)
{
    Ref<String> url = TScriptEngine::ArgString(state, index);
    if (url->View().starts_with(u"incbin::")) return url;
    return TScriptEngine::Calling(state).ResolveFile(url);
}

} // namespace vanta::detail
