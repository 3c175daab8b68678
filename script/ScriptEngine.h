// The script engine: one runtime object that owns a Lua interpreter state.
//
// A `TScriptEngine` opens its state with the base (and coroutine), table, io, string and math libraries,
// registers native functions as Lua globals, compiles script text for a later `Execute`, runs script
// files, and calls global Lua functions with a queued list of typed arguments, keeping the one result it
// read and the last error for the caller. Every operation that needs the state reports
// "ScriptEngine: Engine is not started" (error code 0) when there is none.
//
// Text crosses as 8-bit bytes: the low byte of each UTF-16 unit goes into Lua, and every byte that comes
// back is widened to one unit, so Latin-1 text round-trips. Lengths are kept both ways.
//
// Where this engine is stricter than a bare interpreter:
// - every load and call leaves the Lua stack as it found it (results are read, then dropped), and stack
//   space is checked before anything is pushed;
// - a compiled chunk is held by the engine, not left on the stack, until `Execute` runs (and consumes)
//   it; an `Execute` with nothing left to run is the interpreter's "attempt to call a nil value" error;
// - a runtime error thrown by a registered native function becomes a Lua error carrying its text;
// - precompiled (binary) chunks are refused, since Lua 5.1 does not verify them;
// - destroying a started engine closes its state.
//
// Builds on the object runtime (objects, strings, the linked list) and the Lua binding helpers.
#pragma once

#include "runtime/LinkedList.h"
#include "runtime/Object.h"
#include "runtime/String.h"
#include "script/LuaBinding.h"

#include <cstdint>

namespace vanta {

// Kinds of a queued argument and of a call's result.
inline constexpr std::int32_t SCRIPT_NONE = -1;
inline constexpr std::int32_t SCRIPT_NUMBER = 0;
inline constexpr std::int32_t SCRIPT_STRING = 1;
inline constexpr std::int32_t SCRIPT_BOOLEAN = 2;

// One argument queued for the next `CallFunction`.
class TScriptArg : public Object
{
    VANTA_CLASS(TScriptArg, Object)
public:
    TScriptArg() = default;

    std::int32_t kind = SCRIPT_NUMBER; // SCRIPT_NUMBER, SCRIPT_STRING or SCRIPT_BOOLEAN
    double number = 0.0;
    Ref<String> text = EmptyString();
    std::int32_t flag = 0;
};

class TScriptEngine : public Object
{
    VANTA_CLASS(TScriptEngine, Object)
public:
    // A new engine, already started (check `IsStarted`).
    TScriptEngine();
    // Closes the state if the engine is still started.
    ~TScriptEngine() override;

    // Closes any state and opens a fresh one with the standard libraries; not started when that fails.
    // Throws a runtime error when called from a native function while a script runs.
    virtual void Start();

    // Push a value on the Lua stack (the calling state's, inside a native function); nothing when not
    // started, and an error report (not started, or no stack space) instead of the push.
    virtual void PushString(const Ref<String>& text);
    virtual void PushNumber(double value);
    // Pushes true for any non-zero value.
    virtual void PushBoolean(std::int32_t value);

    // Makes `function` the Lua global `name`; nothing when not started. A null function raises
    // "Attempt to call uninitialized function pointer" in the script that calls it.
    virtual void RegisterFunction(const Ref<String>& name, ScriptFunction function);

    // Empties the argument list and forgets the result (kind SCRIPT_NONE).
    virtual void ClearCall();

    // For native functions: the string, number or integer argument at `index` (1 is the first). A
    // missing or ill-typed argument raises Lua's argument error in the calling script. `ArgInt` truncates
    // towards zero, holding values beyond the 32-bit range at its ends and NaN at 0.
    static Ref<String> ArgString(lua_State* state, std::int32_t index);
    static double ArgNumber(lua_State* state, std::int32_t index);
    static std::int32_t ArgInt(lua_State* state, std::int32_t index);
    // For native functions: 1 when the argument at `index` was passed and is not nil, else 0 (for
    // optional arguments).
    static std::int32_t ArgGiven(lua_State* state, std::int32_t index);

    // Queue an argument for `CallFunction` (started or not).
    virtual void AddStringArg(const Ref<String>& text);
    virtual void AddNumberArg(double value);
    virtual void AddBooleanArg(std::int32_t value);

    // Calls the global `name` with the queued arguments (which stay queued), asking for `resultCount`
    // results (a negative count: all of them). When at least one result came back, the last one becomes
    // the result if it is a number (numeric strings included), a boolean or a string. 1 on success, 0 on
    // error (see `ErrorMessage`).
    virtual std::int32_t CallFunction(const Ref<String>& name, std::int32_t resultCount);

    // The result of the last successful call: its kind (SCRIPT_NONE when there was none) and value.
    virtual std::int32_t ResultKind();
    virtual double NumberResult();
    virtual std::int32_t BooleanResult();
    virtual Ref<String> StringResult();

    // Takes the value on top of the Lua stack as the error message (empty when it is no text) and
    // `status` as the error code, then empties the stack.
    virtual void SetError(std::int32_t status);

    // Compiles `text` for `Execute`; 1 on success, 0 on error (the script text is then empty).
    virtual std::int32_t LoadScriptText(const Ref<String>& text);

    // Compiles and runs the Lua file at `path`; 1 on success, 0 on error.
    virtual std::int32_t RunScriptFile(const Ref<String>& path);

    // Runs the chunk the last successful `LoadScriptText` compiled, once; 1 on success, 0 on error.
    virtual std::int32_t Execute();

    // The last error's text and status (0 for the engine's own errors); a success does not clear them.
    virtual Ref<String> ErrorMessage();
    virtual std::int32_t ErrorCode();

    // Closes the state; the engine is not started afterwards. Throws a runtime error when called from a
    // native function while a script runs.
    virtual void Stop();

    // 1 when started, else 0.
    virtual std::int32_t IsStarted();

    // The state operations work on: the one a running native function was called with, else the
    // engine's own; null when not started.
    lua_State* State() const noexcept { return activeState_ != nullptr ? activeState_ : state_; }

    // The text last loaded successfully by `LoadScriptText`; empty when none or after a failed load.
    const Ref<String>& ScriptText() const noexcept { return scriptText_; }

    // The queued arguments (`TScriptArg`s), in call order.
    const Ref<TLinkedList>& Arguments() const noexcept { return arguments_; }

private:
    class RunningScope;

    static int CallNative(lua_State* state);
    static int RegisterGlobal(lua_State* state);

    std::int32_t ReportNotStarted();
    std::int32_t ReportOwnError(const Ref<String>& message);
    std::int32_t ReportInterpreterError(std::int32_t status, int top);
    lua_State* RoomForPush();
    void ForgetChunk();
    void OpenState();
    void CloseState();
    void CheckNotRunning();

    std::int32_t started_ = 0;
    Ref<String> scriptText_ = EmptyString();
    Ref<String> errorMessage_ = EmptyString();
    std::int32_t errorCode_ = 0;
    lua_State* state_ = nullptr;
    Ref<TLinkedList> arguments_;
    Ref<String> stringResult_ = EmptyString();
    double numberResult_ = 0.0;
    std::int32_t booleanResult_ = 0;
    std::int32_t resultKind_ = SCRIPT_NONE;

    lua_State* activeState_ = nullptr; // set while a registered native function runs
    int chunk_;                        // registry reference of the compiled chunk waiting for `Execute`
    int running_ = 0;                  // depth of calls into Lua in progress
};

// The script engine's module initialiser (imports the runtime core, the linked list and the Lua binding
// helpers).
void InitScriptEngine();

} // namespace vanta
