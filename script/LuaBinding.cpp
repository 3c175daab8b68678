// The Lua binding helpers: text conversion, opening a state, and compiling chunks with binary chunks
// refused (by the engine's loads and by the script-side load functions alike).
#include "script/LuaBinding.h"

#include "runtime/Error.h"
#include "script/detail/LuaGlue.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace vanta {
namespace detail {
namespace {

// An error raised where no protected call catches it (an allocation failing during a push at the top
// level, say) would end the process from inside Lua; it becomes a runtime error instead.
int ThrowUnprotected(lua_State* state)
{
    ThrowError(Concat("ScriptEngine: Unprotected Lua error: "_s, ToText(state, -1)));
}

// Pushes the refusal of a precompiled chunk: Lua 5.1 does not verify them, and a crafted one can corrupt
// memory.
int RefuseBinaryChunk(lua_State* state)
{
    lua_pushstring(state, BINARY_CHUNK_MESSAGE);
    return LUA_ERRSYNTAX;
}

// Everything `stream` still holds, appended to `bytes`; false on a read error.
bool ReadAll(std::FILE* stream, std::string& bytes)
{
    char buffer[8192];
    std::size_t count;
    while ((count = std::fread(buffer, 1, sizeof buffer, stream)) > 0)
        bytes.append(buffer, count);
    return std::ferror(stream) == 0;
}

// Pushes the file-error message Lua's own file loader gives and answers LUA_ERRFILE.
int FileError(lua_State* state, const char* what, const char* name, int error)
{
    lua_pushfstring(state, "cannot %s %s: %s", what, name, std::strerror(error));
    return LUA_ERRFILE;
}

// Compiles bytes read from a file, skipping a first line that starts with "#" (keeping its line break
// so line numbers stay right).
int LoadFileBytes(lua_State* state, std::string bytes, const std::string& chunkName)
{
    std::size_t start = 0;
    if (!bytes.empty() && bytes[0] == '#') {
        bytes.erase(0, std::min(bytes.find('\n'), bytes.size()));
        start = bytes.empty() ? 0 : 1;
    }
    // What follows the skipped line is what Lua would have taken for a precompiled chunk.
    if (start < bytes.size() && bytes[start] == LUA_SIGNATURE[0]) return RefuseBinaryChunk(state);
    return LoadChunk(state, bytes.data(), bytes.size(), chunkName.c_str());
}

// Compiles standard input, as the script-side loaders do when given no file name.
int LoadStandardInput(lua_State* state)
{
    std::string bytes;
    if (!ReadAll(stdin, bytes)) return FileError(state, "read", "stdin", errno);
    return LoadFileBytes(state, std::move(bytes), "=stdin");
}

// Answers a load's outcome the way the script-side loaders do: the function, or nil and the message.
int LoadResult(lua_State* state, int status)
{
    if (status == 0) return 1;
    lua_pushnil(state);
    lua_insert(state, -2);
    return 2;
}

// loadstring(text [, chunkname])
int LoadStringChecked(lua_State* state)
{
    std::size_t size = 0;
    const char* text = luaL_checklstring(state, 1, &size);
    const char* name = luaL_optstring(state, 2, text);
    return LoadResult(state, LoadChunk(state, text, size, name));
}

// load(reader [, chunkname]): the reader's pieces until it answers nil or an empty string.
int LoadReaderChecked(lua_State* state)
{
    luaL_checktype(state, 1, LUA_TFUNCTION);
    const char* name = luaL_optstring(state, 2, "=(load)");
    lua_settop(state, 2);
    std::string bytes;
    for (;;) {
        lua_pushvalue(state, 1);
        if (lua_pcall(state, 0, 1, 0) != 0) return LoadResult(state, LUA_ERRRUN);
        if (lua_isnil(state, -1)) break;
        if (lua_isstring(state, -1) == 0) {
            lua_pushnil(state);
            lua_pushliteral(state, "reader function must return a string");
            return 2;
        }
        std::size_t size = 0;
        const char* piece = lua_tolstring(state, -1, &size);
        if (size == 0) break;
        bytes.append(piece, size);
        lua_pop(state, 1);
    }
    return LoadResult(state, LoadChunk(state, bytes.data(), bytes.size(), name));
}

// Compiles the file named by argument 1, or standard input when there is none.
int LoadFileArgument(lua_State* state)
{
    const char* path = luaL_optstring(state, 1, nullptr);
    return path != nullptr ? LoadFileChunk(state, path) : LoadStandardInput(state);
}

// loadfile([path])
int LoadFileChecked(lua_State* state)
{
    return LoadResult(state, LoadFileArgument(state));
}

// dofile([path]): runs the file and answers all its results; a load error is raised.
int DoFileChecked(lua_State* state)
{
    lua_settop(state, 1);
    if (LoadFileArgument(state) != 0) return lua_error(state);
    lua_call(state, 0, LUA_MULTRET);
    return lua_gettop(state) - 1;
}

// Opens the engine's libraries (Lua 5.1 wants each opener called as a Lua function) and puts the
// checked load functions in place of the base library's.
int OpenLibraries(lua_State* state)
{
    static constexpr luaL_Reg libraries[] = {
        {"", luaopen_base},
        {LUA_TABLIBNAME, luaopen_table},
        {LUA_IOLIBNAME, luaopen_io},
        {LUA_STRLIBNAME, luaopen_string},
        {LUA_MATHLIBNAME, luaopen_math},
    };
    for (const luaL_Reg& library : libraries) {
        lua_pushcfunction(state, library.func);
        lua_pushstring(state, library.name);
        lua_call(state, 1, 0);
    }
    static constexpr luaL_Reg loaders[] = {
        {"loadstring", LoadStringChecked},
        {"load", LoadReaderChecked},
        {"loadfile", LoadFileChecked},
        {"dofile", DoFileChecked},
    };
    for (const luaL_Reg& loader : loaders) {
        lua_pushcfunction(state, loader.func);
        lua_setglobal(state, loader.name);
    }
    return 0;
}

// Lua's allocator, counting into the budget and refusing growth beyond its limit. Shrinking never fails,
// as Lua requires.
void* AllocateCounted(void* data, void* block, std::size_t oldSize, std::size_t newSize)
{
    auto& budget = *static_cast<MemoryBudget*>(data);
    if (newSize == 0) {
        std::free(block);
        budget.used -= oldSize;
        return nullptr;
    }
    if (budget.limit != 0 && newSize > oldSize && budget.used - oldSize + newSize > budget.limit) {
        budget.refused = true;
        return nullptr;
    }
    void* grown = std::realloc(block, newSize);
    if (grown == nullptr) return newSize <= oldSize ? block : nullptr;
    budget.used = budget.used - oldSize + newSize;
    return grown;
}

} // namespace

std::string ToBytes(const Ref<String>& text)
{
    const String& s = *text;
    std::string bytes(static_cast<std::size_t>(s.Length()), '\0');
    const char16_t* units = s.Units();
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(units[i] & 0xFF);
    return bytes;
}

void PushText(lua_State* state, const Ref<String>& text)
{
    const std::string bytes = ToBytes(text);
    lua_pushlstring(state, bytes.data(), bytes.size());
}

Ref<String> ToText(lua_State* state, int index)
{
    std::size_t size = 0;
    const char* bytes = lua_isstring(state, index) != 0 ? lua_tolstring(state, index, &size) : nullptr;
    if (bytes == nullptr) return EmptyString();
    return String::FromBytes(bytes, static_cast<std::int32_t>(std::min<std::size_t>(size, INT32_MAX)));
}

lua_State* OpenState(MemoryBudget* budget)
{
    lua_State* state = budget != nullptr ? lua_newstate(&AllocateCounted, budget) : luaL_newstate();
    if (state == nullptr) return nullptr;
    lua_atpanic(state, &ThrowUnprotected);
    if (lua_cpcall(state, &OpenLibraries, nullptr) != 0) {
        lua_close(state);
        return nullptr;
    }
    return state;
}

int LoadChunk(lua_State* state, const char* bytes, std::size_t size, const char* name)
{
    // Lua takes any chunk that starts with the signature's escape byte for a precompiled one.
    if (size > 0 && bytes[0] == LUA_SIGNATURE[0]) return RefuseBinaryChunk(state);
    return luaL_loadbuffer(state, bytes, size, name);
}

int LoadFileChunk(lua_State* state, const std::string& path)
{
    // A zero byte would cut the name short and open another file.
    if (path.find('\0') != std::string::npos) return FileError(state, "open", path.c_str(), ENOENT);
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return FileError(state, "open", path.c_str(), errno);
    std::string bytes;
    const bool read = ReadAll(file, bytes);
    const int readError = errno;
    std::fclose(file);
    if (!read) return FileError(state, "read", path.c_str(), readError);
    return LoadFileBytes(state, std::move(bytes), "@" + path);
}

} // namespace detail

void InitLuaBinding()
{
    static bool initialised = false;
    if (initialised) return;
    initialised = true;
    InitRuntimeCore();
}

} // namespace vanta
