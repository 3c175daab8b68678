// What the script engine needs around the Lua C API: text in and out, a stack-top guard, opening a state
// with the engine's libraries, and compiling chunks with binary chunks refused.
//
// The only header outside Lua's own that includes them; code beyond script/ never sees it. Lua is the
// C++ build (liblua5.1-c++): its errors are C++ exceptions, so they unwind our frames and run their
// destructors, and a catch that names our own exception types lets them pass.
#pragma once

#include "runtime/String.h"

#include <lauxlib.h>
#include <string>

#include <lua.h>
#include <lualib.h>

namespace vanta::detail {

// The message a refused binary chunk reports (with status LUA_ERRSYNTAX).
inline constexpr const char* BINARY_CHUNK_MESSAGE = "ScriptEngine: Binary chunks are not accepted";

// The low byte of every unit of `text`.
std::string ToBytes(const Ref<String>& text);

// Pushes the bytes of `text` as a Lua string, zero bytes included. The caller has made room.
void PushText(lua_State* state, const Ref<String>& text);

// The string (or number, as Lua writes it) at `index`, each byte widened; empty for any other value.
Ref<String> ToText(lua_State* state, int index);

// Puts the stack top back where it was when the guard was made.
class StackTopGuard
{
public:
    explicit StackTopGuard(lua_State* state) noexcept : state_(state), top_(lua_gettop(state)) {}
    ~StackTopGuard() { lua_settop(state_, top_); }
    StackTopGuard(const StackTopGuard&) = delete;
    StackTopGuard& operator=(const StackTopGuard&) = delete;

    // The top the guard restores.
    int Top() const noexcept { return top_; }

private:
    lua_State* state_;
    int top_;
};

// What a state has allocated and may allocate (0: no limit); `refused` tells that an allocation failed
// for the limit.
struct MemoryBudget
{
    std::size_t used = 0;
    std::size_t limit = 0;
    bool refused = false;
};

// A new state with the base (and coroutine), table, io, string and math libraries, whose load functions
// refuse binary chunks; null when it cannot be made. An error raised outside any protected call throws a
// runtime error instead of ending the process. Its allocations are counted in `budget` (which must
// outlive the state) and refused beyond its limit; null `budget`: no count, no limit.
lua_State* OpenState(MemoryBudget* budget = nullptr);

// Compiles `size` bytes named `name` and pushes the chunk (status 0) or an error message (the status).
// A binary chunk is refused with LUA_ERRSYNTAX.
int LoadChunk(lua_State* state, const char* bytes, std::size_t size, const char* name);

// Compiles the file at `path` (8-bit bytes; a first line starting with "#" is skipped) and pushes the
// chunk (status 0) or an error message (LUA_ERRFILE when it cannot be read, LUA_ERRSYNTAX for a binary
// chunk, or the compiler's status).
int LoadFileChunk(lua_State* state, const std::string& path);

} // namespace vanta::detail
