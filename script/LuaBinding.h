// The Lua binding helpers: the native-function type the script engine registers, and the module that
// carries the engine's bridge between runtime objects and the Lua interpreter.
//
// Builds on the object runtime (strings, errors). Lua's own headers stay inside script/; code outside
// sees only the opaque interpreter state.
#pragma once

struct lua_State;
struct lua_Debug;

namespace vanta {

// A native function callable from Lua: takes the interpreter state, returns how many values it left on
// top of the stack as its results. Runtime errors it throws reach the script as Lua errors.
using ScriptFunction = int (*)(lua_State* state);

// The Lua binding helpers' module initialiser (makes sure the runtime core is initialised).
void InitLuaBinding();

} // namespace vanta
