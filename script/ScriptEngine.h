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
// What the engine adds for programs that run whole games in Lua:
// - `Calling` finds the engine of the state a native function runs on, so native functions need no
//   global of their own;
// - handles: objects cross into Lua as whole numbers that the engine owns. A handle is good for the state
//   that made it only: releasing it, stopping or restarting the state, or passing it to another engine
//   makes it name nothing (`HandleObject` answers `Null`), never a stale object;
// - a memory limit on everything the state allocates ("ScriptEngine: Script memory limit of N bytes
//   reached" when a script passes it);
// - an interrupt check asked every `SCRIPT_HOOK_INSTRUCTIONS` instructions, which stops a script that
//   runs away ("ScriptEngine: Script interrupted");
// - the stack traceback of the last error (`ErrorTraceback`);
// - a file root: once set, the io library, loadfile and dofile reach only files inside that folder, and
//   io.popen and io.tmpfile are gone (see `ResolveFile` for the rule);
// - close handlers, run while the state is still open just before it closes.
//
// Builds on the object runtime (objects, strings, the linked list) and the Lua binding helpers.
#pragma once

#include "runtime/LinkedList.h"
#include "runtime/Object.h"
#include "runtime/String.h"
#include "script/LuaBinding.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vanta {

namespace detail {
struct MemoryBudget;
}

inline constexpr std::int32_t SCRIPT_NONE = -1;   // result kind: no result kept since `ClearCall`
inline constexpr std::int32_t SCRIPT_NUMBER = 0;  // kind of a number argument or result (a double)
inline constexpr std::int32_t SCRIPT_STRING = 1;  // kind of a string argument or result
inline constexpr std::int32_t SCRIPT_BOOLEAN = 2; // kind of a boolean argument or result

// How many Lua instructions run between two calls of the interrupt check.
inline constexpr std::int32_t SCRIPT_HOOK_INSTRUCTIONS = 10000;

// One argument queued for the next `CallFunction`.
class TScriptArg : public Object
{
    VANTA_CLASS(TScriptArg, Object)
public:
    TScriptArg() = default;

    std::int32_t kind = SCRIPT_NUMBER; // SCRIPT_NUMBER, SCRIPT_STRING or SCRIPT_BOOLEAN
    double number = 0.0;               // the value of a number argument
    Ref<String> text = EmptyString();  // the value of a string argument
    std::int32_t flag = 0;             // the value of a boolean argument: non-zero passes true
};

// One Lua interpreter state with its native functions, the arguments queued for the next call, the result
// kept from calls and the last error; started from construction on.
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
    // the result if it is a number (numeric strings included), a boolean or a string; any other value, or
    // none, leaves the result as it was. 1 on success, 0 on error (see `ErrorMessage`).
    virtual std::int32_t CallFunction(const Ref<String>& name, std::int32_t resultCount);

    // A registry reference to the value at `index` of the calling state's stack (for native functions
    // that keep a script's function); `ReleaseReference` lets it go. Nothing happens when not started.
    std::int32_t Reference(lua_State* state, std::int32_t index);
    // Lets go of a reference `Reference` made; an unknown one, or a stopped engine, is ignored.
    void ReleaseReference(std::int32_t reference);
    // As `CallFunction`, for the function `reference` names instead of a global.
    std::int32_t CallReference(std::int32_t reference, std::int32_t resultCount);

    // The kind of the result kept last (SCRIPT_NONE when no call kept one since `ClearCall`). Each kind
    // keeps its own value: a later result of another kind leaves it in place.
    virtual std::int32_t ResultKind();
    // The number result kept last; 0.0 when none was since `ClearCall`.
    virtual double NumberResult();
    // The boolean result kept last, 1 for true and 0 for false; 0 when none was since `ClearCall`.
    virtual std::int32_t BooleanResult();
    // The string result kept last; empty when none was since `ClearCall`.
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

    // The last error's text (empty before any error); a success does not clear it.
    virtual Ref<String> ErrorMessage();
    // The last error's status: Lua's (2 run-time error, 3 syntax error, 4 out of memory or past the memory
    // limit, 5 error while handling an error, 6 unreadable file), or 0 for the engine's own errors and
    // before any error. A success does not clear it.
    virtual std::int32_t ErrorCode();

    // Closes the state; the engine is not started afterwards. Throws a runtime error when called from a
    // native function while a script runs.
    virtual void Stop();

    // 1 when started, else 0.
    virtual std::int32_t IsStarted();

    // The state operations work on: the one a running native function was called with, else the
    // engine's own; null when not started.
    lua_State* State() const noexcept { return activeState_ != nullptr ? activeState_ : state_; }

    // The engine that opened `state` (or the state a coroutine of it runs on). Throws a runtime error for
    // a state that no engine opened.
    static TScriptEngine& Calling(lua_State* state);

    // A new handle for `object`, valid in the current state only; 0 for `Null`. The engine holds the
    // object until the handle is released or the state closes. Throws a runtime error when not started.
    std::int64_t AddHandle(const Ref<Object>& object);
    // The object `handle` names; `Null` for 0, a released handle, a handle of an earlier state or of
    // another engine, and any other number.
    Ref<Object> HandleObject(std::int64_t handle) const;
    // Releases `handle`: 1 when it named an object, else 0.
    std::int32_t ReleaseHandle(std::int64_t handle);
    // The number of handles that name an object.
    std::int32_t HandleCount() const;

    // Limits what the state may allocate to `bytes` (0: no limit), for the state open now and later ones.
    void SetMemoryLimit(std::int64_t bytes);
    // The limit on the bytes the state may hold (0 for none).
    std::int64_t MemoryLimit() const;
    // The bytes the Lua state holds now.
    std::int64_t ScriptMemory() const;

    // `check` is asked while a script runs, every `SCRIPT_HOOK_INSTRUCTIONS` instructions; answering true
    // stops the script with "ScriptEngine: Script interrupted", raised again at every later check until
    // the outermost call into Lua has returned (so a script's own pcall cannot hold it). An empty
    // function removes the check.
    void SetInterruptCheck(std::function<bool()> check);

    // The stack traceback of the last error raised while Lua code ran ("stack traceback:" and one
    // line per level); empty for a compile error or the engine's own errors.
    const Ref<String>& ErrorTraceback() const noexcept { return errorTraceback_; }

    // Confines the script's files to `folder` (see `ResolveFile`); an empty text lifts the limit for
    // states opened afterwards. Applies to the open state at once.
    void SetFileRoot(const Ref<String>& folder);
    // The folder set by `SetFileRoot`, made absolute; empty when there is none.
    const Ref<String>& FileRoot() const noexcept { return fileRoot_; }
    // Where a script's `path` leads: without a file root, `path` itself; with one, a relative path is
    // taken from the root, and the result (with its links followed) must lie inside the root. Throws
    // "ScriptEngine: The path "PATH" lies outside the script's folder" otherwise.
    Ref<String> ResolveFile(const Ref<String>& path) const;

    // Runs `code` as an expression list ("return CODE") or, when it is none, as statements, and answers
    // each result as tostring writes it in `results`. 1 on success, 0 on error (see `ErrorMessage`).
    std::int32_t Evaluate(const Ref<String>& code, std::vector<Ref<String>>& results);

    // `handler` runs when the current state closes (by `Stop`, `Start` or destruction), before it goes.
    void AtClose(std::function<void()> handler);

    // The text last loaded successfully by `LoadScriptText`; empty when none or after a failed load.
    const Ref<String>& ScriptText() const noexcept { return scriptText_; }

    // The queued arguments (`TScriptArg`s), in call order.
    const Ref<TLinkedList>& Arguments() const noexcept { return arguments_; }

private:
    class RunningScope;

    static int CallNative(lua_State* state);
    static int RegisterGlobal(lua_State* state);

    std::int32_t CallPushed(std::int32_t resultCount, int top);
    std::int32_t ReportNotStarted();
    std::int32_t ReportOwnError(const Ref<String>& message);
    std::int32_t ReportInterpreterError(std::int32_t status, int top);
    lua_State* RoomForPush();
    void ForgetChunk();
    void OpenState();
    void CloseState();
    void CheckNotRunning();
    int ProtectedCall(lua_State* state, int arguments, int results);
    void InstallFileSandbox();
    static void CountHook(lua_State* state, lua_Debug* debug);
    static int RecordTraceback(lua_State* state);

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

    std::unique_ptr<detail::MemoryBudget> budget_; // what the state allocated and may allocate
    std::vector<Ref<Object>> handles_;             // by handle index; `Null` once released
    std::int64_t handleSerial_ = 0;                // the current state's serial, part of every handle
    std::function<bool()> interruptCheck_;
    bool interrupting_ = false; // raised until the outermost call returns
    Ref<String> errorTraceback_ = EmptyString();
    Ref<String> fileRoot_ = EmptyString();
    std::vector<std::function<void()>> closeHandlers_;
};

// The script engine's module initialiser (imports the runtime core, the linked list and the Lua binding
// helpers).
void InitScriptEngine();

} // namespace vanta
