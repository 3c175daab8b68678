// What the binding modules share: registering a table of functions and constants, reading numbers,
// optional arguments, URLs and handles, and answering handles.
//
// Lua's headers come in through LuaGlue.h; this header is for script/ only.
#pragma once

#include "runtime/Error.h"
#include "script/ScriptEngine.h"
#include "script/detail/LuaGlue.h"

#include <cmath>
#include <cstdint>
#include <span>

namespace vanta::detail {

// One function of a binding module.
struct BindingFunction
{
    const char* name;
    ScriptFunction function;
};

// One numeric constant of a binding module.
struct BindingConstant
{
    const char* name;
    double value;
};

// Makes every function and constant a global of the engine's current state. Throws a runtime error when
// the engine is not started or a global cannot be set.
void Bind(TScriptEngine& engine, std::span<const BindingFunction> functions,
          std::span<const BindingConstant> constants = {});

// The number argument at `index` as a float.
inline float ArgFloat(lua_State* state, int index)
{
    return static_cast<float>(TScriptEngine::ArgNumber(state, index));
}

// The integer argument at `index`, or `fallback` when it is absent or nil.
inline std::int32_t OptInt(lua_State* state, int index, std::int32_t fallback)
{
    return lua_isnoneornil(state, index) ? fallback : TScriptEngine::ArgInt(state, index);
}

// The number argument at `index` as a float, or `fallback` when it is absent or nil.
inline float OptFloat(lua_State* state, int index, float fallback)
{
    return lua_isnoneornil(state, index) ? fallback : ArgFloat(state, index);
}

// A boolean or number argument (false, nil and 0 are off) as 0 or 1.
inline std::int32_t ArgFlag(lua_State* state, int index)
{
    if (lua_isboolean(state, index) || lua_isnoneornil(state, index)) return lua_toboolean(state, index);
    return TScriptEngine::ArgNumber(state, index) != 0.0 ? 1 : 0;
}

// Pushes a number and answers 1 (one result).
inline int PushResult(lua_State* state, double value)
{
    lua_pushnumber(state, value);
    return 1;
}

// The file argument at `index`: "incbin::NAME" as it is, anything else through the engine's file root.
// Throws the root's error for a path outside it.
Ref<String> ArgUrl(lua_State* state, int index);

// The object the handle argument at `index` names, if it is a `T`; raises an argument error naming
// `kind` otherwise (a missing or non-number argument is the usual argument error).
template <typename T>
Ref<T> ArgHandle(lua_State* state, int index, const char* kind)
{
    const double number = TScriptEngine::ArgNumber(state, index);
    Ref<T> object;
    // A number that is no whole handle (a fraction, NaN, beyond 2^53) names nothing.
    if (std::abs(number) < 9007199254740992.0 && number == std::floor(number))
        object = Downcast<T>(TScriptEngine::Calling(state).HandleObject(static_cast<std::int64_t>(number)));
    if (object.IsNull()) {
        lua_pushfstring(state, "no %s has the handle %s", kind, lua_tostring(state, index));
        luaL_argerror(state, index, lua_tostring(state, -1));
    }
    return object;
}

// As `ArgHandle`, with nil (or no argument) giving `Null`.
template <typename T>
Ref<T> OptHandle(lua_State* state, int index, const char* kind)
{
    if (lua_isnoneornil(state, index)) return Null;
    return ArgHandle<T>(state, index, kind);
}

// Answers a new handle for `object` (0 for `Null`).
inline int PushHandle(lua_State* state, const Ref<Object>& object)
{
    lua_pushnumber(state, static_cast<double>(TScriptEngine::Calling(state).AddHandle(object)));
    return 1;
}

// Releases the handle argument at `index` after checking it names a `T`.
template <typename T>
int ReleaseHandleArg(lua_State* state, int index, const char* kind)
{
    ArgHandle<T>(state, index, kind);
    TScriptEngine::Calling(state).ReleaseHandle(static_cast<std::int64_t>(lua_tonumber(state, index)));
    return 0;
}

} // namespace vanta::detail
