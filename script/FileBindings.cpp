// The file bindings: reading and writing whole text files. Paths go through the engine's file root;
// "incbin::NAME" reads an embedded file.
#include "runtime/Error.h"
#include "script/ScriptBindings.h"
#include "script/detail/BindingSupport.h"
#include "stream/Stream.h"

#include <filesystem>
#include <system_error>

namespace vanta {
namespace {

using namespace detail;

// Answers nil and `message` (two results).
int Failure(lua_State* state, const Ref<String>& message)
{
    lua_pushnil(state);
    PushText(state, message);
    return 2;
}

// ReadFile(path) -> text, or nil and a message
int LuaReadFile(lua_State* state)
{
    const Ref<String> url = ArgUrl(state, 1);
    if (OpenReadStream(url).IsNull()) return Failure(state, Concat("cannot open "_s, url));
    PushText(state, LoadString(url));
    return 1;
}

// WriteFile(path, text) -> true, or nil and a message
int LuaWriteFile(lua_State* state)
{
    const Ref<String> url = ArgUrl(state, 1);
    const Ref<String> text = TScriptEngine::ArgString(state, 2);
    if (url->View().starts_with(u"incbin::")) return Failure(state, Concat("cannot write "_s, url));
    const Ref<TByteStream> stream = OpenWriteStream(url);
    if (stream.IsNull()) return Failure(state, Concat("cannot open "_s, url));
    Close(stream);
    SaveString(text, url);
    lua_pushboolean(state, 1);
    return 1;
}

// FileExists(path) -> boolean
int LuaFileExists(lua_State* state)
{
    const Ref<String> url = ArgUrl(state, 1);
    bool exists;
    if (url->View().starts_with(u"incbin::")) {
        exists = !OpenReadStream(url).IsNull();
    } else {
        std::error_code error;
        exists = std::filesystem::is_regular_file(ToBytes(url), error);
    }
    lua_pushboolean(state, exists ? 1 : 0);
    return 1;
}

constexpr BindingFunction FUNCTIONS[] = {
    {"ReadFile", &LuaReadFile},
    {"WriteFile", &LuaWriteFile},
    {"FileExists", &LuaFileExists},
};

} // namespace

void BindFiles(TScriptEngine& engine)
{
    detail::Bind(engine, FUNCTIONS);
}

void BindRuntime(TScriptEngine& engine)
{
    BindGraphics(engine);
    BindText(engine);
    BindAudio(engine);
    BindInput(engine);
    BindTime(engine);
    BindConsole(engine);
    BindFiles(engine);
}

} // namespace vanta
