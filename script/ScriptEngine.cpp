// The script engine: a runtime object around one Lua interpreter state.
#include "script/ScriptEngine.h"

#include "runtime/Error.h"
#include "script/detail/LuaGlue.h"

#include <atomic>
#include <cmath>
#include <exception>
#include <filesystem>
#include <string>
#include <system_error>
#include <utility>

namespace vanta {
namespace {

// What `RegisterGlobal` stores, handed over through the protected call.
struct Registration
{
    TScriptEngine* engine;
    std::string name;
    ScriptFunction function;
};

// Runs in protected mode: looks the global named by argument 1 up (a metamethod may run and fail) and
// calls it with the remaining arguments, answering every result.
int CallGlobal(lua_State* state)
{
    lua_pushvalue(state, 1);
    lua_gettable(state, LUA_GLOBALSINDEX);
    lua_replace(state, 1);
    lua_call(state, lua_gettop(state) - 1, LUA_MULTRET);
    return lua_gettop(state);
}

// Raises the argument error for an index that names no slot of the caller's frame (0, or a negative index
// reaching below it): the API would read a stale stack slot there.
void CheckArgumentIndex(lua_State* state, int index)
{
    if (index == 0 || (index < 0 && index > LUA_REGISTRYINDEX && -index > lua_gettop(state)))
        luaL_argerror(state, index, "no such argument");
}

// The registry key of the engine that opened a state: the address of this byte (a light userdata key
// is found without hashing a string, and native functions ask for it at every call).
const char ENGINE_KEY = 0;

// Handles are serial * HANDLE_SPAN + index + 1: the serial names the state (unique across the engines of
// the process), the index the engine's slot. Both stay below 2^53, so a Lua number holds them exactly.
constexpr std::int64_t HANDLE_SPAN = std::int64_t{1} << 24;

std::atomic<std::int64_t> lastStateSerial{0};

// The engine registered in `state`, or null.
TScriptEngine* EngineOf(lua_State* state)
{
    lua_pushlightuserdata(state, const_cast<char*>(&ENGINE_KEY));
    lua_rawget(state, LUA_REGISTRYINDEX);
    auto* engine = static_cast<TScriptEngine*>(lua_touserdata(state, -1));
    lua_pop(state, 1);
    return engine;
}

// One traceback line per level of the stack, from `level` on, as Lua's own traceback writes them.
std::string Traceback(lua_State* state, int level)
{
    std::string text = "stack traceback:";
    lua_Debug frame;
    for (int shown = 0; lua_getstack(state, level, &frame) != 0; ++level, ++shown) {
        if (shown == 22) {
            text += "\n\t...";
            break;
        }
        lua_getinfo(state, "Sln", &frame);
        text += "\n\t";
        text += frame.short_src;
        if (frame.currentline > 0) text += ":" + std::to_string(frame.currentline);
        text += ": in ";
        if (frame.namewhat != nullptr && *frame.namewhat != '\0') {
            text += "function '" + std::string(frame.name != nullptr ? frame.name : "?") + "'";
        } else if (*frame.what == 'm') {
            text += "main chunk";
        } else if (*frame.what == 'C') {
            text += "?";
        } else {
            text += "function <" + std::string(frame.short_src) + ":" + std::to_string(frame.linedefined) + ">";
        }
    }
    return text;
}

// Runs `function` with its Lua arguments, turning a runtime error it throws into a Lua error (raised after
// the handler has finished with the exception).
template <typename Function>
int Guarded(lua_State* state, Function function)
{
    bool failed = false;
    int results = 0;
    try {
        results = function();
    } catch (const std::exception& e) {
        lua_settop(state, 0);
        lua_pushstring(state, e.what());
        failed = true;
    }
    if (failed) return lua_error(state);
    return results;
}

// Stands in for an io or load function (upvalue 1) whose first argument, when it is a text, is a path:
// the path is resolved inside the engine's file root first.
int WithResolvedPath(lua_State* state)
{
    if (lua_type(state, 1) == LUA_TSTRING) {
        const int pushed = Guarded(state, [state] {
            const Ref<String> path = TScriptEngine::Calling(state).ResolveFile(detail::ToText(state, 1));
            detail::PushText(state, path);
            return 1;
        });
        if (pushed == 1) lua_replace(state, 1);
    }
    lua_pushvalue(state, lua_upvalueindex(1));
    lua_insert(state, 1);
    lua_call(state, lua_gettop(state) - 1, LUA_MULTRET);
    return lua_gettop(state);
}

// Puts `WithResolvedPath` before the function `name` of the table at `table`.
void ResolvePathsOf(lua_State* state, int table, const char* name)
{
    lua_getfield(state, table, name);
    if (lua_isnil(state, -1)) {
        lua_pop(state, 1);
        return;
    }
    lua_pushcclosure(state, &WithResolvedPath, 1);
    lua_setfield(state, table, name);
}

// Confines the io library, loadfile and dofile to the engine's file root (run in protected mode).
int ConfineFiles(lua_State* state)
{
    lua_getglobal(state, LUA_IOLIBNAME);
    if (lua_istable(state, -1)) {
        const int io = lua_gettop(state);
        for (const char* name : {"open", "lines", "input", "output"})
            ResolvePathsOf(state, io, name);
        // A shell command and a file outside the folder have no place in a confined script.
        lua_pushnil(state);
        lua_setfield(state, io, "popen");
        lua_pushnil(state);
        lua_setfield(state, io, "tmpfile");
    }
    lua_pop(state, 1);
    for (const char* name : {"loadfile", "dofile"})
        ResolvePathsOf(state, LUA_GLOBALSINDEX, name);
    return 0;
}

} // namespace

// Counts a call into Lua, so that the state is not closed under it; the outermost call ends an interrupt.
class TScriptEngine::RunningScope
{
public:
    explicit RunningScope(TScriptEngine& engine) noexcept : engine_(engine) { ++engine_.running_; }
    ~RunningScope()
    {
        if (--engine_.running_ != 0 || !engine_.interrupting_) return;
        engine_.interrupting_ = false;
        if (engine_.state_ != nullptr && engine_.interruptCheck_)
            lua_sethook(engine_.state_, &CountHook, LUA_MASKCOUNT, SCRIPT_HOOK_INSTRUCTIONS);
    }
    RunningScope(const RunningScope&) = delete;
    RunningScope& operator=(const RunningScope&) = delete;

private:
    TScriptEngine& engine_;
};

TScriptEngine::TScriptEngine()
    : arguments_(New<TLinkedList>()), chunk_(LUA_NOREF), budget_(std::make_unique<detail::MemoryBudget>())
{
    OpenState();
}

TScriptEngine::~TScriptEngine()
{
    // Closing the state under a script that is still running would pull it from under that script.
    if (running_ == 0 && activeState_ == nullptr) CloseState();
}

void TScriptEngine::CheckNotRunning()
{
    if (running_ > 0 || activeState_ != nullptr)
        ThrowError("ScriptEngine: The engine cannot be stopped or started while a script runs"_s);
}

void TScriptEngine::OpenState()
{
    CloseState();
    budget_->used = 0;
    budget_->refused = false;
    state_ = detail::OpenState(budget_.get());
    started_ = state_ != nullptr ? 1 : 0;
    if (state_ == nullptr) return;
    handleSerial_ = ++lastStateSerial;
    lua_pushlightuserdata(state_, const_cast<char*>(&ENGINE_KEY));
    lua_pushlightuserdata(state_, this);
    lua_rawset(state_, LUA_REGISTRYINDEX);
    if (interruptCheck_) lua_sethook(state_, &CountHook, LUA_MASKCOUNT, SCRIPT_HOOK_INSTRUCTIONS);
    if (fileRoot_->Length() != 0) InstallFileSandbox();
}

void TScriptEngine::CloseState()
{
    // The handlers still see the state open; one may not add another for this state.
    std::vector<std::function<void()>> handlers = std::exchange(closeHandlers_, {});
    if (state_ != nullptr) {
        for (const auto& handler : handlers)
            handler();
    }
    lua_State* state = std::exchange(state_, nullptr);
    started_ = 0;
    chunk_ = LUA_NOREF;
    // Finalisers that run while the state closes find the engine already stopped.
    if (state != nullptr) lua_close(state);
    // The objects go after the state: nothing in it can reach them any more.
    std::vector<Ref<Object>> handles = std::exchange(handles_, {});
    handles.clear();
}

TScriptEngine& TScriptEngine::Calling(lua_State* state)
{
    TScriptEngine* engine = state != nullptr ? EngineOf(state) : nullptr;
    if (engine == nullptr) ThrowError("ScriptEngine: No engine opened this Lua state"_s);
    return *engine;
}

std::int64_t TScriptEngine::AddHandle(const Ref<Object>& object)
{
    if (object.IsNull()) return 0;
    if (started_ == 0) ThrowError("ScriptEngine: Engine is not started"_s);
    if (static_cast<std::int64_t>(handles_.size()) >= HANDLE_SPAN - 1) ThrowError("ScriptEngine: Too many handles"_s);
    handles_.push_back(object);
    return handleSerial_ * HANDLE_SPAN + static_cast<std::int64_t>(handles_.size());
}

Ref<Object> TScriptEngine::HandleObject(std::int64_t handle) const
{
    if (state_ == nullptr || handle / HANDLE_SPAN != handleSerial_) return Null;
    const std::int64_t index = handle % HANDLE_SPAN - 1;
    if (index < 0 || index >= static_cast<std::int64_t>(handles_.size())) return Null;
    return handles_[static_cast<std::size_t>(index)];
}

std::int32_t TScriptEngine::ReleaseHandle(std::int64_t handle)
{
    if (HandleObject(handle).IsNull()) return 0;
    // The slot is not used again, so the number stays stale for the life of the state.
    Ref<Object> released = std::exchange(handles_[static_cast<std::size_t>(handle % HANDLE_SPAN - 1)], Null);
    return 1;
}

std::int32_t TScriptEngine::HandleCount() const
{
    std::int32_t count = 0;
    for (const Ref<Object>& object : handles_)
        count += object.IsNull() ? 0 : 1;
    return count;
}

void TScriptEngine::SetMemoryLimit(std::int64_t bytes)
{
    budget_->limit = bytes > 0 ? static_cast<std::size_t>(bytes) : 0;
}

std::int64_t TScriptEngine::MemoryLimit() const
{
    return static_cast<std::int64_t>(budget_->limit);
}

std::int64_t TScriptEngine::ScriptMemory() const
{
    return static_cast<std::int64_t>(budget_->used);
}

void TScriptEngine::SetInterruptCheck(std::function<bool()> check)
{
    interruptCheck_ = std::move(check);
    if (state_ != nullptr)
        lua_sethook(state_, interruptCheck_ ? &CountHook : nullptr, interruptCheck_ ? LUA_MASKCOUNT : 0,
                    SCRIPT_HOOK_INSTRUCTIONS);
}

void TScriptEngine::CountHook(lua_State* state, lua_Debug*)
{
    TScriptEngine* engine = EngineOf(state);
    if (engine == nullptr || engine->running_ == 0) return;
    if (!engine->interrupting_ && engine->interruptCheck_) {
        bool stop = false;
        try {
            stop = engine->interruptCheck_();
        } catch (const std::exception&) {
            stop = true;
        }
        engine->interrupting_ = stop;
    }
    if (!engine->interrupting_) return;
    // From now on at every instruction: a script's pcall that caught the error gets no further than its
    // next instruction, so the error leaves level by level.
    lua_sethook(state, &CountHook, LUA_MASKCOUNT, 1);
    luaL_error(state, "ScriptEngine: Script interrupted");
}

int TScriptEngine::RecordTraceback(lua_State* state)
{
    if (TScriptEngine* engine = EngineOf(state)) {
        const std::string traceback = Traceback(state, 1);
        engine->errorTraceback_ = String::FromBytes(traceback.data(), static_cast<std::int32_t>(traceback.size()));
    }
    lua_settop(state, 1);
    return 1;
}

int TScriptEngine::ProtectedCall(lua_State* state, int arguments, int results)
{
    errorTraceback_ = EmptyString();
    const int handler = lua_gettop(state) - arguments;
    lua_pushcfunction(state, &RecordTraceback);
    lua_insert(state, handler);
    int status;
    {
        RunningScope running(*this);
        status = lua_pcall(state, arguments, results, handler);
    }
    lua_remove(state, handler);
    return status;
}

void TScriptEngine::SetFileRoot(const Ref<String>& folder)
{
    if (folder->Length() == 0) {
        fileRoot_ = EmptyString();
        return;
    }
    std::error_code error;
    const std::filesystem::path root =
        std::filesystem::weakly_canonical(std::filesystem::absolute(detail::ToBytes(folder), error), error);
    if (error) ThrowError(Concat("ScriptEngine: Cannot use the folder "_s, folder));
    const std::string bytes = root.string();
    fileRoot_ = String::FromBytes(bytes.data(), static_cast<std::int32_t>(bytes.size()));
    if (started_ != 0) InstallFileSandbox();
}

void TScriptEngine::InstallFileSandbox()
{
    detail::StackTopGuard guard(state_);
    lua_cpcall(state_, &ConfineFiles, nullptr);
}

Ref<String> TScriptEngine::ResolveFile(const Ref<String>& path) const
{
    if (fileRoot_->Length() == 0) return path;
    const std::string bytes = detail::ToBytes(path);
    const auto outside = [&path]() -> Ref<String> {
        ThrowError(Concat(Concat("ScriptEngine: The path \""_s, path), "\" lies outside the script's folder"_s));
    };
    if (bytes.empty() || bytes.find('\0') != std::string::npos) outside();
    const std::filesystem::path root(detail::ToBytes(fileRoot_));
    std::filesystem::path wanted(bytes);
    if (wanted.is_relative()) wanted = root / wanted;
    std::error_code error;
    const std::filesystem::path resolved = std::filesystem::weakly_canonical(wanted, error);
    if (error) outside();
    const auto [rootEnd, unused] = std::mismatch(root.begin(), root.end(), resolved.begin(), resolved.end());
    if (rootEnd != root.end()) outside();
    const std::string text = resolved.string();
    return String::FromBytes(text.data(), static_cast<std::int32_t>(text.size()));
}

std::int32_t TScriptEngine::Evaluate(const Ref<String>& code, std::vector<Ref<String>>& results)
{
    results.clear();
    if (started_ == 0) return ReportNotStarted();
    lua_State* state = State();
    detail::StackTopGuard guard(state);
    if (lua_checkstack(state, 2) == 0) return ReportOwnError("ScriptEngine: Not enough Lua stack space"_s);
    const std::string bytes = detail::ToBytes(code);
    // An expression first, so that "1+2" answers 3; a statement when it does not compile as one.
    const std::string expression = "return " + bytes;
    int status = detail::LoadChunk(state, expression.data(), expression.size(), "=console");
    if (status != 0) {
        lua_settop(state, guard.Top());
        status = detail::LoadChunk(state, bytes.data(), bytes.size(), "=console");
    }
    if (status == 0) status = ProtectedCall(state, 0, LUA_MULTRET);
    if (status != 0) return ReportInterpreterError(status, guard.Top());
    const int count = lua_gettop(state) - guard.Top();
    if (lua_checkstack(state, 2) == 0) return ReportOwnError("ScriptEngine: Not enough Lua stack space"_s);
    for (int i = 1; i <= count; ++i) {
        // tostring, as print writes a value.
        lua_getglobal(state, "tostring");
        lua_pushvalue(state, guard.Top() + i);
        if (lua_pcall(state, 1, 1, 0) != 0) return ReportInterpreterError(LUA_ERRRUN, guard.Top() + count);
        results.push_back(detail::ToText(state, -1));
        lua_pop(state, 1);
    }
    return 1;
}

void TScriptEngine::AtClose(std::function<void()> handler)
{
    closeHandlers_.push_back(std::move(handler));
}

void TScriptEngine::Start()
{
    CheckNotRunning();
    OpenState();
}

void TScriptEngine::Stop()
{
    CheckNotRunning();
    CloseState();
}

std::int32_t TScriptEngine::ReportNotStarted()
{
    return ReportOwnError("ScriptEngine: Engine is not started"_s);
}

std::int32_t TScriptEngine::ReportOwnError(const Ref<String>& message)
{
    errorMessage_ = message;
    errorCode_ = 0;
    return 0;
}

std::int32_t TScriptEngine::ReportInterpreterError(std::int32_t status, int top)
{
    lua_State* state = State();
    errorMessage_ = lua_gettop(state) > top ? detail::ToText(state, -1) : Ref<String>(EmptyString());
    errorCode_ = status;
    if (status == LUA_ERRMEM && budget_->refused) {
        errorMessage_ =
            "ScriptEngine: Script memory limit of "_s + String::FromLong(MemoryLimit()) + " bytes reached"_s;
        errorTraceback_ = EmptyString();
        // Lua 5.1 does not collect before it gives up on an allocation: what the failed script left
        // unreachable would otherwise keep the state at its limit.
        lua_settop(state, top);
        lua_gc(state, LUA_GCCOLLECT, 0);
    }
    budget_->refused = false;
    return 0;
}

void TScriptEngine::ForgetChunk()
{
    if (chunk_ == LUA_NOREF) return;
    luaL_unref(state_, LUA_REGISTRYINDEX, chunk_);
    chunk_ = LUA_NOREF;
}

lua_State* TScriptEngine::RoomForPush()
{
    if (started_ == 0) {
        ReportNotStarted();
        return nullptr;
    }
    if (lua_checkstack(State(), 1) == 0) {
        ReportOwnError("ScriptEngine: Not enough Lua stack space"_s);
        return nullptr;
    }
    return State();
}

void TScriptEngine::PushString(const Ref<String>& text)
{
    if (lua_State* state = RoomForPush()) detail::PushText(state, text);
}

void TScriptEngine::PushNumber(double value)
{
    if (lua_State* state = RoomForPush()) lua_pushnumber(state, value);
}

void TScriptEngine::PushBoolean(std::int32_t value)
{
    if (lua_State* state = RoomForPush()) lua_pushboolean(state, value != 0 ? 1 : 0);
}

int TScriptEngine::CallNative(lua_State* state)
{
    // Marks the engine's operations as working on this state while the function runs.
    class ActiveStateScope
    {
    public:
        ActiveStateScope(TScriptEngine& engine, lua_State* state) noexcept
            : engine_(engine), previous_(std::exchange(engine.activeState_, state))
        {}
        ~ActiveStateScope() { engine_.activeState_ = previous_; }
        ActiveStateScope(const ActiveStateScope&) = delete;
        ActiveStateScope& operator=(const ActiveStateScope&) = delete;

    private:
        TScriptEngine& engine_;
        lua_State* previous_;
    };

    auto& engine = *static_cast<TScriptEngine*>(lua_touserdata(state, lua_upvalueindex(1)));
    const ScriptFunction function = *static_cast<const ScriptFunction*>(lua_touserdata(state, lua_upvalueindex(2)));
    int results = 0;
    bool failed = false;
    {
        ActiveStateScope active(engine, state);
        // Lua's own errors are thrown as a pointer type, which this handler does not name, so they pass on
        // to the interpreter. Ours (and the standard library's) leave with their text as a Lua error,
        // raised once the handler is done with the exception.
        try {
            if (function == nullptr) ThrowNullFunction();
            results = function(state);
        } catch (const std::exception& e) {
            lua_settop(state, 0);
            lua_pushstring(state, e.what());
            failed = true;
        }
    }
    if (failed) return lua_error(state);
    // A yielding function answers -1 (lua_yield); any other count must lie within the stack.
    if (results == -1 && lua_status(state) == LUA_YIELD) return results;
    if (results < 0 || results > lua_gettop(state))
        return luaL_error(state, "ScriptEngine: A native function answered %d results with %d values on the stack",
                          results, lua_gettop(state));
    return results;
}

int TScriptEngine::RegisterGlobal(lua_State* state)
{
    const auto& registration = *static_cast<const Registration*>(lua_touserdata(state, 1));
    lua_pushlstring(state, registration.name.data(), registration.name.size());
    lua_pushlightuserdata(state, registration.engine);
    auto* function = static_cast<ScriptFunction*>(lua_newuserdata(state, sizeof(ScriptFunction)));
    *function = registration.function;
    lua_pushcclosure(state, &CallNative, 2);
    lua_settable(state, LUA_GLOBALSINDEX);
    return 0;
}

void TScriptEngine::RegisterFunction(const Ref<String>& name, ScriptFunction function)
{
    if (started_ == 0) {
        ReportNotStarted();
        return;
    }
    lua_State* state = State();
    detail::StackTopGuard guard(state);
    Registration registration{this, detail::ToBytes(name), function};
    // Storing a global may run a script's __newindex, which may fail.
    const int status = lua_cpcall(state, &RegisterGlobal, &registration);
    if (status != 0) ReportInterpreterError(status, guard.Top());
}

void TScriptEngine::ClearCall()
{
    arguments_->Clear();
    resultKind_ = SCRIPT_NONE;
    stringResult_ = EmptyString();
    numberResult_ = 0.0;
    booleanResult_ = 0;
}

Ref<String> TScriptEngine::ArgString(lua_State* state, std::int32_t index)
{
    CheckArgumentIndex(state, index);
    luaL_checklstring(state, index, nullptr);
    return detail::ToText(state, index);
}

double TScriptEngine::ArgNumber(lua_State* state, std::int32_t index)
{
    CheckArgumentIndex(state, index);
    return luaL_checknumber(state, index);
}

std::int32_t TScriptEngine::ArgInt(lua_State* state, std::int32_t index)
{
    const double value = ArgNumber(state, index);
    // Converting a value the type cannot hold is undefined; hold it at the ends instead.
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0) return INT32_MAX;
    if (value <= -2147483648.0) return INT32_MIN;
    return static_cast<std::int32_t>(value);
}

std::int32_t TScriptEngine::ArgGiven(lua_State* state, std::int32_t index)
{
    CheckArgumentIndex(state, index);
    return lua_isnoneornil(state, index) ? 0 : 1;
}

void TScriptEngine::AddStringArg(const Ref<String>& text)
{
    Ref<TScriptArg> argument = New<TScriptArg>();
    argument->kind = SCRIPT_STRING;
    argument->text = text;
    arguments_->AddLast(argument);
}

void TScriptEngine::AddNumberArg(double value)
{
    Ref<TScriptArg> argument = New<TScriptArg>();
    argument->kind = SCRIPT_NUMBER;
    argument->number = value;
    arguments_->AddLast(argument);
}

void TScriptEngine::AddBooleanArg(std::int32_t value)
{
    Ref<TScriptArg> argument = New<TScriptArg>();
    argument->kind = SCRIPT_BOOLEAN;
    argument->flag = value;
    arguments_->AddLast(argument);
}

std::int32_t TScriptEngine::CallFunction(const Ref<String>& name, std::int32_t resultCount)
{
    if (started_ == 0) return ReportNotStarted();
    lua_State* state = State();
    detail::StackTopGuard guard(state);
    if (lua_checkstack(state, 2) == 0) return ReportOwnError("ScriptEngine: Not enough Lua stack space"_s);
    lua_pushcfunction(state, &CallGlobal);
    detail::PushText(state, name);
    return CallPushed(resultCount, guard.Top());
}

std::int32_t TScriptEngine::Reference(lua_State* state, std::int32_t index)
{
    if (started_ == 0 || state == nullptr) return LUA_NOREF;
    lua_pushvalue(state, index);
    return luaL_ref(state, LUA_REGISTRYINDEX);
}

void TScriptEngine::ReleaseReference(std::int32_t reference)
{
    if (started_ != 0) luaL_unref(State(), LUA_REGISTRYINDEX, reference);
}

std::int32_t TScriptEngine::CallReference(std::int32_t reference, std::int32_t resultCount)
{
    if (started_ == 0) return ReportNotStarted();
    lua_State* state = State();
    detail::StackTopGuard guard(state);
    if (lua_checkstack(state, 2) == 0) return ReportOwnError("ScriptEngine: Not enough Lua stack space"_s);
    // Called through CallGlobal's sibling path: the function itself stands where the name would.
    lua_rawgeti(state, LUA_REGISTRYINDEX, reference);
    return CallPushed(resultCount, guard.Top());
}

std::int32_t TScriptEngine::CallPushed(std::int32_t resultCount, int top)
{
    lua_State* state = State();
    const int argumentCount = arguments_->Count();
    const int wanted = resultCount < 0 ? LUA_MULTRET : resultCount;
    // The caller makes room for the function, its arguments and the results it asks for.
    if (argumentCount > LUAI_MAXCSTACK || wanted > LUAI_MAXCSTACK ||
        lua_checkstack(state, argumentCount + 2 + (wanted > 0 ? wanted : 0)) == 0)
        return ReportOwnError("ScriptEngine: Not enough Lua stack space"_s);

    for (const Ref<Object>& value : *arguments_) {
        const Ref<TScriptArg> argument = Downcast<TScriptArg>(value);
        switch (argument.IsNull() ? SCRIPT_NONE : argument->kind) {
        case SCRIPT_NUMBER: lua_pushnumber(state, argument->number); break;
        case SCRIPT_STRING: detail::PushText(state, argument->text); break;
        case SCRIPT_BOOLEAN: lua_pushboolean(state, argument->flag != 0 ? 1 : 0); break;
        default:
            lua_pushnil(state); // anything else still takes its place in the list
            break;
        }
    }
    const int pushed = lua_gettop(state) - top; // the function (or CallGlobal and the name) and the arguments
    const int status = ProtectedCall(state, pushed - 1, wanted);
    if (status != 0) return ReportInterpreterError(status, top);

    // Only a value the call answered counts; below it lies whatever the caller had on the stack.
    if (resultCount != 0 && lua_gettop(state) > top) {
        if (lua_isnumber(state, -1) != 0) {
            resultKind_ = SCRIPT_NUMBER;
            numberResult_ = lua_tonumber(state, -1);
        } else if (lua_isboolean(state, -1)) {
            resultKind_ = SCRIPT_BOOLEAN;
            booleanResult_ = lua_toboolean(state, -1);
        } else if (lua_isstring(state, -1) != 0) {
            resultKind_ = SCRIPT_STRING;
            stringResult_ = detail::ToText(state, -1);
        }
    }
    return 1;
}

std::int32_t TScriptEngine::ResultKind()
{
    return resultKind_;
}

double TScriptEngine::NumberResult()
{
    return numberResult_;
}

std::int32_t TScriptEngine::BooleanResult()
{
    return booleanResult_;
}

Ref<String> TScriptEngine::StringResult()
{
    return stringResult_;
}

void TScriptEngine::SetError(std::int32_t status)
{
    if (started_ == 0) {
        ReportNotStarted();
        return;
    }
    lua_State* state = State();
    ReportInterpreterError(status, 0);
    lua_settop(state, 0);
}

std::int32_t TScriptEngine::LoadScriptText(const Ref<String>& text)
{
    scriptText_ = EmptyString();
    if (started_ == 0) return ReportNotStarted();
    ForgetChunk();
    lua_State* state = State();
    detail::StackTopGuard guard(state);
    if (lua_checkstack(state, 1) == 0) return ReportOwnError("ScriptEngine: Not enough Lua stack space"_s);
    // The text names its own chunk, as Lua does for a loaded string.
    const std::string bytes = detail::ToBytes(text);
    const int status = detail::LoadChunk(state, bytes.data(), bytes.size(), bytes.c_str());
    if (status != 0) return ReportInterpreterError(status, guard.Top());
    chunk_ = luaL_ref(state, LUA_REGISTRYINDEX);
    scriptText_ = text;
    return 1;
}

std::int32_t TScriptEngine::RunScriptFile(const Ref<String>& path)
{
    if (started_ == 0) return ReportNotStarted();
    lua_State* state = State();
    detail::StackTopGuard guard(state);
    if (lua_checkstack(state, 1) == 0) return ReportOwnError("ScriptEngine: Not enough Lua stack space"_s);
    int status = detail::LoadFileChunk(state, detail::ToBytes(path));
    if (status == 0) status = ProtectedCall(state, 0, LUA_MULTRET);
    if (status != 0) return ReportInterpreterError(status, guard.Top());
    return 1;
}

std::int32_t TScriptEngine::Execute()
{
    if (started_ == 0) return ReportNotStarted();
    if (scriptText_->Length() == 0) return ReportOwnError("ScriptEngine: No script text to execute"_s);
    lua_State* state = State();
    detail::StackTopGuard guard(state);
    if (lua_checkstack(state, 1) == 0) return ReportOwnError("ScriptEngine: Not enough Lua stack space"_s);
    // A chunk runs once; calling what is left after that is the interpreter's own error.
    if (chunk_ != LUA_NOREF) {
        lua_rawgeti(state, LUA_REGISTRYINDEX, chunk_);
        ForgetChunk();
    } else {
        lua_pushnil(state);
    }
    const int status = ProtectedCall(state, 0, 0);
    if (status != 0) return ReportInterpreterError(status, guard.Top());
    return 1;
}

Ref<String> TScriptEngine::ErrorMessage()
{
    return errorMessage_;
}

std::int32_t TScriptEngine::ErrorCode()
{
    return errorCode_;
}

std::int32_t TScriptEngine::IsStarted()
{
    return started_;
}

void InitScriptEngine()
{
    static bool initialised = false;
    if (initialised) return;
    initialised = true;
    InitRuntimeCore();
    InitLinkedLists();
    InitLuaBinding();
}

} // namespace vanta
