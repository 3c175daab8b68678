// The script engine: a runtime object around one Lua interpreter state.
#include "script/ScriptEngine.h"

#include "runtime/Error.h"
#include "script/detail/LuaGlue.h"

#include <cmath>
#include <exception>
#include <string>
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

} // namespace

// Counts a call into Lua, so that the state is not closed under it.
class TScriptEngine::RunningScope
{
public:
    explicit RunningScope(TScriptEngine& engine) noexcept : engine_(engine) { ++engine_.running_; }
    ~RunningScope() { --engine_.running_; }
    RunningScope(const RunningScope&) = delete;
    RunningScope& operator=(const RunningScope&) = delete;

private:
    TScriptEngine& engine_;
};

TScriptEngine::TScriptEngine() : arguments_(New<TLinkedList>()), chunk_(LUA_NOREF)
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
    state_ = detail::OpenState();
    started_ = state_ != nullptr ? 1 : 0;
}

void TScriptEngine::CloseState()
{
    lua_State* state = std::exchange(state_, nullptr);
    started_ = 0;
    chunk_ = LUA_NOREF;
    // Finalisers that run while the state closes find the engine already stopped.
    if (state != nullptr) lua_close(state);
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
    const int argumentCount = arguments_->Count();
    const int wanted = resultCount < 0 ? LUA_MULTRET : resultCount;
    // The caller makes room for the function, its arguments and the results it asks for.
    if (argumentCount > LUAI_MAXCSTACK || wanted > LUAI_MAXCSTACK ||
        lua_checkstack(state, argumentCount + 2 + (wanted > 0 ? wanted : 0)) == 0)
        return ReportOwnError("ScriptEngine: Not enough Lua stack space"_s);

    lua_pushcfunction(state, &CallGlobal);
    detail::PushText(state, name);
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
    int status;
    {
        RunningScope running(*this);
        status = lua_pcall(state, argumentCount + 1, wanted, 0);
    }
    if (status != 0) return ReportInterpreterError(status, guard.Top());

    // Only a value the call answered counts; below it lies whatever the caller had on the stack.
    if (resultCount != 0 && lua_gettop(state) > guard.Top()) {
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
    if (status == 0) {
        RunningScope running(*this);
        status = lua_pcall(state, 0, LUA_MULTRET, 0);
    }
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
    int status;
    {
        RunningScope running(*this);
        status = lua_pcall(state, 0, 0, 0);
    }
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
