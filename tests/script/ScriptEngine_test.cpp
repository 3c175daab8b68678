// The script engine against the real Lua interpreter: results and arguments, every failure with its
// message and code, the stack left as found, native functions (throwing ones too), binary chunks and
// 8-bit text.
#include "runtime/Error.h"
#include "script/ScriptEngine.h"
#include "support/TempFolder.h"

#include <lauxlib.h>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <lua.h>

namespace vanta::test {
namespace {

using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::StartsWith;

Ref<String> S(const std::string& bytes)
{
    return String::FromBytes(bytes.data(), static_cast<std::int32_t>(bytes.size()));
}

std::string Bytes(const Ref<String>& text)
{
    std::string bytes;
    for (char16_t unit : text->View())
        bytes += static_cast<char>(unit & 0xFF);
    return bytes;
}

// The engine native functions report to, and how many guarded frames were unwound.
TScriptEngine* current = nullptr;
int framesUnwound = 0;

struct FrameGuard
{
    ~FrameGuard() { ++framesUnwound; }
};

int Twice(lua_State* state)
{
    current->PushNumber(2 * TScriptEngine::ArgNumber(state, 1));
    return 1;
}

int Shout(lua_State* state)
{
    current->PushString(TScriptEngine::ArgString(state, 1) + "!"_s);
    return 1;
}

int Truncate(lua_State* state)
{
    current->PushNumber(TScriptEngine::ArgInt(state, 1));
    return 1;
}

int Throws(lua_State*)
{
    FrameGuard guard;
    ThrowError("Stream is not seekable");
}

int NeedsANumber(lua_State* state)
{
    FrameGuard guard;
    current->PushBoolean(TScriptEngine::ArgNumber(state, 1) > 0);
    return 1;
}

int ReadsBelowItsFrame(lua_State* state)
{
    current->PushString(TScriptEngine::ArgString(state, -2));
    return 1;
}

// The second argument, or 10 when it was left out or nil.
int WithDefault(lua_State* state)
{
    current->PushNumber(TScriptEngine::ArgGiven(state, 2) ? TScriptEngine::ArgNumber(state, 2) : 10);
    return 1;
}

int AnswersMoreThanItPushed(lua_State*)
{
    return 5;
}

int Stops(lua_State*)
{
    current->Stop();
    return 0;
}

int CallsBack(lua_State*)
{
    if (!current->CallFunction("inner"_s, 1)) return 0;
    current->PushNumber(current->NumberResult() + 1);
    return 1;
}

class ScriptEngineTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        InitScriptEngine();
        engine = New<TScriptEngine>();
        current = engine.Get();
        framesUnwound = 0;
    }
    void TearDown() override { current = nullptr; }

    // Loads and runs `text`; fails the test on an error.
    void Run(const std::string& text)
    {
        ASSERT_EQ(engine->LoadScriptText(S(text)), 1) << Bytes(engine->ErrorMessage());
        ASSERT_EQ(engine->Execute(), 1) << Bytes(engine->ErrorMessage());
    }

    // Calls `name` with the queued arguments and one result; the error text when it fails.
    std::string Call(const std::string& name)
    {
        if (!engine->CallFunction(S(name), 1)) return "error: " + Bytes(engine->ErrorMessage());
        switch (engine->ResultKind()) {
        case SCRIPT_NUMBER: return "number " + std::to_string(engine->NumberResult());
        case SCRIPT_STRING: return "string " + Bytes(engine->StringResult());
        case SCRIPT_BOOLEAN: return "boolean " + std::to_string(engine->BooleanResult());
        default: return "none";
        }
    }

    int Top() { return lua_gettop(engine->State()); }

    Ref<TScriptEngine> engine;
};

TEST_F(ScriptEngineTest, ResultsAreReadFromTheLastValueAnsweredAndOtherTypesLeaveThemAlone)
{
    Run("function answer() return '42' end function text() return 'forty' end function yes() return true end "
        "function pair() return 1, 'second' end function three() return 1, 2, 3 end function table() return {} end");
    EXPECT_EQ(engine->CallFunction("answer"_s, 1), 1);
    EXPECT_EQ(engine->ResultKind(), SCRIPT_NUMBER); // a numeric string counts as a number
    EXPECT_EQ(engine->NumberResult(), 42.0);
    EXPECT_EQ(Call("text"), "string forty");
    EXPECT_EQ(Call("yes"), "boolean 1");
    EXPECT_EQ(Call("table"), "boolean 1");
    EXPECT_EQ(engine->CallFunction("pair"_s, 2), 1);
    EXPECT_EQ(Bytes(engine->StringResult()), "second");
    EXPECT_EQ(engine->CallFunction("three"_s, -1), 1);
    EXPECT_EQ(engine->NumberResult(), 3.0);
    EXPECT_EQ(engine->CallFunction("text"_s, 0), 1);
    EXPECT_EQ(engine->ResultKind(), SCRIPT_NUMBER);
    engine->ClearCall();
    EXPECT_EQ(engine->ResultKind(), SCRIPT_NONE);
    EXPECT_EQ(Bytes(engine->StringResult()), "");
    EXPECT_EQ(engine->NumberResult(), 0.0);
    EXPECT_EQ(Top(), 0);
}

TEST_F(ScriptEngineTest, QueuedArgumentsArePassedInOrderOnEveryCallUntilClearCall)
{
    Run("function describe(...) local t = {} for i = 1, select('#', ...) do "
        "t[i] = type((select(i, ...))) .. '=' .. tostring((select(i, ...))) end return table.concat(t, ',') end");
    engine->AddNumberArg(1.5);
    engine->AddStringArg("x"_s);
    engine->AddBooleanArg(7);
    engine->AddBooleanArg(0);
    EXPECT_EQ(Call("describe"), "string number=1.5,string=x,boolean=true,boolean=false");
    EXPECT_EQ(Call("describe"), "string number=1.5,string=x,boolean=true,boolean=false");
    engine->ClearCall();
    EXPECT_EQ(Call("describe"), "string ");
}

TEST_F(ScriptEngineTest, TheStackTopIsUnchangedAfterTenThousandCallsOfWhichAThousandFail)
{
    Run("function values(n) return n, 'b', true, {} end function fails() error('nope') end");
    const int before = Top();
    for (int i = 0; i < 10000; ++i) {
        engine->ClearCall();
        if (i % 10 == 0) {
            ASSERT_EQ(engine->CallFunction("fails"_s, i % 5), 0);
        } else {
            engine->AddNumberArg(i);
            ASSERT_EQ(engine->CallFunction("values"_s, i % 5), 1) << Bytes(engine->ErrorMessage());
        }
        if (i % 1000 == 1) {
            ASSERT_EQ(engine->LoadScriptText("syntax error here"_s), 0);
        }
    }
    EXPECT_EQ(Top(), before);
    engine->ClearCall();
    EXPECT_EQ(Call("values"), "none"); // the one result asked for is nil
    engine->AddNumberArg(5);
    EXPECT_EQ(engine->CallFunction("values"_s, 1), 1);
    EXPECT_EQ(engine->NumberResult(), 5.0);
}

TEST_F(ScriptEngineTest, EveryFailureReportsItsMessageAndCode)
{
    TempFolder folder;
    EXPECT_EQ(engine->Execute(), 0);
    EXPECT_EQ(Bytes(engine->ErrorMessage()), "ScriptEngine: No script text to execute");
    EXPECT_EQ(engine->ErrorCode(), 0);

    EXPECT_EQ(engine->LoadScriptText("x = = 1"_s), 0);
    EXPECT_EQ(Bytes(engine->ErrorMessage()), "[string \"x = = 1\"]:1: unexpected symbol near '='");
    EXPECT_EQ(engine->ErrorCode(), LUA_ERRSYNTAX);
    EXPECT_EQ(Bytes(engine->ScriptText()), "");

    EXPECT_EQ(engine->LoadScriptText("error('bad')"_s), 1);
    EXPECT_EQ(engine->Execute(), 0);
    EXPECT_EQ(Bytes(engine->ErrorMessage()), "[string \"error('bad')\"]:1: bad");
    EXPECT_EQ(engine->ErrorCode(), LUA_ERRRUN);

    const std::string script = folder.Write("worse.lua", "x = 1\nerror('worse')\n");
    EXPECT_EQ(engine->RunScriptFile(S(script)), 0);
    EXPECT_EQ(Bytes(engine->ErrorMessage()), script + ":2: worse");
    EXPECT_EQ(engine->ErrorCode(), LUA_ERRRUN);

    EXPECT_EQ(engine->RunScriptFile(S(folder.Path("none.lua"))), 0);
    EXPECT_EQ(Bytes(engine->ErrorMessage()), "cannot open " + folder.Path("none.lua") + ": No such file or directory");
    EXPECT_EQ(engine->ErrorCode(), LUA_ERRFILE);

    EXPECT_EQ(Call("missing"), "error: attempt to call a nil value");
    EXPECT_EQ(engine->ErrorCode(), LUA_ERRRUN);
    Run("function fails() error({}) end");
    EXPECT_EQ(Call("fails"), "error: "); // an error value that is no text

    // The error stays until the next one; successes leave it.
    Run("function ok() return 1 end");
    EXPECT_EQ(Call("ok"), "number 1.000000");
    EXPECT_EQ(engine->ErrorCode(), LUA_ERRRUN);
    EXPECT_EQ(Top(), 0);
}

TEST_F(ScriptEngineTest, ALoadedChunkRunsOnceWhateverHappensBetweenLoadAndExecute)
{
    Run("count = 0 function counted() return count end function fails() error('x') end");
    ASSERT_EQ(engine->LoadScriptText("count = count + 1"_s), 1);
    EXPECT_THAT(Call("fails"), EndsWith("]:1: x"));
    EXPECT_EQ(engine->Execute(), 1);
    EXPECT_EQ(engine->Execute(), 0);
    EXPECT_EQ(Bytes(engine->ErrorMessage()), "attempt to call a nil value");
    EXPECT_EQ(engine->ErrorCode(), LUA_ERRRUN);
    EXPECT_EQ(Call("counted"), "number 1.000000");

    // A second load replaces the first; a syntax error forgets both.
    ASSERT_EQ(engine->LoadScriptText("count = 10"_s), 1);
    ASSERT_EQ(engine->LoadScriptText("count = 20"_s), 1);
    EXPECT_EQ(engine->Execute(), 1);
    EXPECT_EQ(engine->Execute(), 0);
    EXPECT_EQ(Call("counted"), "number 20.000000");
    ASSERT_EQ(engine->LoadScriptText("count = 30"_s), 1);
    EXPECT_EQ(engine->LoadScriptText("count = = 40"_s), 0);
    EXPECT_EQ(engine->Execute(), 0);
    EXPECT_EQ(Bytes(engine->ErrorMessage()), "ScriptEngine: No script text to execute");
    EXPECT_EQ(Call("counted"), "number 20.000000");
    EXPECT_EQ(Top(), 0);
}

TEST_F(ScriptEngineTest, AStoppedEngineReportsItAndAFreshStartForgetsRegisteredFunctions)
{
    engine->RegisterFunction("twice"_s, &Twice);
    engine->AddNumberArg(4);
    EXPECT_EQ(Call("twice"), "number 8.000000");
    ASSERT_EQ(engine->LoadScriptText("x = 1"_s), 1);
    engine->Stop();
    EXPECT_EQ(engine->IsStarted(), 0);
    EXPECT_EQ(engine->State(), nullptr);
    engine->Start();
    EXPECT_EQ(engine->IsStarted(), 1);
    EXPECT_EQ(Call("twice"), "error: attempt to call a nil value");
    EXPECT_EQ(engine->Execute(), 0); // the text was compiled in the state that is gone
    EXPECT_EQ(Bytes(engine->ErrorMessage()), "attempt to call a nil value");
    engine->Stop();

    // Each operation must set the message and code itself: an interpreter error stands before each one.
    const auto expectNotStarted = [&](auto operation) {
        engine->Start();
        Call("missing");
        engine->Stop();
        EXPECT_EQ(operation(*engine), 0);
        EXPECT_EQ(Bytes(engine->ErrorMessage()), "ScriptEngine: Engine is not started");
        EXPECT_EQ(engine->ErrorCode(), 0);
    };
    expectNotStarted([](TScriptEngine& e) { return e.CallFunction("twice"_s, 1); });
    expectNotStarted([](TScriptEngine& e) { return e.LoadScriptText("x = 1"_s); });
    EXPECT_EQ(Bytes(engine->ScriptText()), "");
    expectNotStarted([](TScriptEngine& e) { return e.RunScriptFile("any.lua"_s); });
    expectNotStarted([](TScriptEngine& e) { return e.Execute(); });
    expectNotStarted([](TScriptEngine& e) { return (e.SetError(LUA_ERRRUN), 0); });
    expectNotStarted([](TScriptEngine& e) { return (e.PushString("a"_s), 0); });
    expectNotStarted([](TScriptEngine& e) { return (e.PushNumber(1), 0); });
    expectNotStarted([](TScriptEngine& e) { return (e.PushBoolean(1), 0); });
    expectNotStarted([](TScriptEngine& e) { return (e.RegisterFunction("f"_s, &Twice), 0); });
    engine->ClearCall();
    engine->AddNumberArg(2);
    EXPECT_EQ(engine->Arguments()->Count(), 1);
}

TEST_F(ScriptEngineTest, AScriptThatGuardsItsGlobalsCannotEndTheProgram)
{
    Run("setmetatable(_G, {__index = function(t, k) error('no global ' .. k, 0) end, "
        "__newindex = function(t, k) error('read-only ' .. k, 0) end})");
    EXPECT_EQ(Call("missing"), "error: no global missing");
    engine->RegisterFunction("twice"_s, &Twice);
    EXPECT_EQ(Bytes(engine->ErrorMessage()), "read-only twice");
    EXPECT_EQ(engine->ErrorCode(), LUA_ERRRUN);
    EXPECT_EQ(Top(), 0);
}

TEST_F(ScriptEngineTest, NativeFunctionsReadArgumentsAndAnswerOnTheStackTheyWereCalledWith)
{
    engine->RegisterFunction("twice"_s, &Twice);
    engine->RegisterFunction("shout"_s, &Shout);
    engine->RegisterFunction("truncate"_s, &Truncate);
    engine->RegisterFunction("callsBack"_s, &CallsBack);
    Run("function viaCoroutine() return coroutine.wrap(function() return twice(21) end)() end "
        "function inner() return 41 end "
        "function truncations() return table.concat({truncate(2.9), truncate(-2.9), truncate(1e20), "
        "truncate(-1e20), truncate(0/0), truncate('7')}, ',') end");
    engine->AddNumberArg(21);
    EXPECT_EQ(Call("twice"), "number 42.000000");
    engine->ClearCall();
    engine->AddStringArg("hey"_s);
    EXPECT_EQ(Call("shout"), "string hey!");
    engine->ClearCall();
    EXPECT_EQ(Call("viaCoroutine"), "number 42.000000");
    EXPECT_EQ(Call("callsBack"), "number 42.000000");
    EXPECT_EQ(Call("truncations"), "string 2,-2,2147483647,-2147483648,0,7");
    EXPECT_EQ(Top(), 0);
}

TEST_F(ScriptEngineTest, AnOptionalArgumentIsGivenUnlessLeftOutOrNil)
{
    engine->RegisterFunction("withDefault"_s, &WithDefault);
    Run("function defaults() return table.concat({withDefault(1), withDefault(1, nil), withDefault(1, 3), "
        "withDefault(1, 0), withDefault(nil, 4)}, ',') end "
        "function wrongType() return withDefault(1, 'x') end");
    EXPECT_EQ(Call("defaults"), "string 10,10,3,0,4");
    EXPECT_NE(Call("wrongType").find("bad argument #2 to 'withDefault' (number expected, got string)"),
              std::string::npos);
    EXPECT_EQ(Top(), 0);
}

TEST_F(ScriptEngineTest, ARuntimeErrorThrownByANativeFunctionBecomesALuaErrorCarryingItsText)
{
    engine->RegisterFunction("throws"_s, &Throws);
    engine->RegisterFunction("nothing"_s, nullptr);
    engine->RegisterFunction("overAnswers"_s, &AnswersMoreThanItPushed);
    engine->RegisterFunction("stops"_s, &Stops);
    Run("function caught() local ok, message = pcall(throws) return tostring(ok) .. ' ' .. message end");
    EXPECT_EQ(Call("throws"), "error: Stream is not seekable");
    EXPECT_EQ(engine->ErrorCode(), LUA_ERRRUN);
    EXPECT_EQ(Call("caught"), "string false Stream is not seekable");
    EXPECT_EQ(framesUnwound, 2);
    EXPECT_EQ(Call("nothing"), "error: Attempt to call uninitialized function pointer");
    EXPECT_THAT(Call("overAnswers"), HasSubstr("answered 5 results with 0 values"));
    EXPECT_THAT(Call("stops"), HasSubstr("cannot be stopped or started while a script runs"));
    EXPECT_EQ(engine->IsStarted(), 1);
    EXPECT_EQ(Top(), 0);
}

TEST_F(ScriptEngineTest, ALuaErrorRaisedInsideANativeFunctionUnwindsItsFrames)
{
    engine->RegisterFunction("positive"_s, &NeedsANumber);
    engine->RegisterFunction("below"_s, &ReadsBelowItsFrame);
    Run("function check(x) return positive(x) end");
    engine->AddStringArg("only"_s);
    EXPECT_EQ(Call("below"), "error: bad argument #-2 to '?' (no such argument)");
    engine->AddStringArg("many"_s);
    EXPECT_EQ(Call("check"), "error: [string \"function check(x) return positive(x) end\"]:1: "
                             "bad argument #1 to 'positive' (number expected, got string)");
    EXPECT_EQ(framesUnwound, 1);
    engine->ClearCall();
    engine->AddNumberArg(3);
    EXPECT_EQ(Call("check"), "boolean 1");
}

TEST_F(ScriptEngineTest, BinaryChunksAreRefusedByEveryLoader)
{
    TempFolder folder;
    Run("function dumped() return string.dump(function() return 1 end) end "
        "function loads(b, path) local f, g, h, m1, m2, m3 "
        "f, m1 = loadstring(b) g, m2 = load(function() local s = b b = nil return s end) h, m3 = loadfile(path) "
        "local ok, m4 = pcall(dofile, path) "
        "return table.concat({tostring(f), m1, tostring(g), m2, tostring(h), m3, tostring(ok), m4, "
        "loadstring('return 5')()}, '|') end");
    ASSERT_THAT(Call("dumped"), StartsWith("string "));
    const Ref<String> binary = engine->StringResult();
    ASSERT_EQ(Bytes(binary).substr(0, 4), "\033Lua");

    EXPECT_EQ(engine->LoadScriptText(binary), 0);
    EXPECT_EQ(Bytes(engine->ErrorMessage()), "ScriptEngine: Binary chunks are not accepted");
    EXPECT_EQ(engine->ErrorCode(), LUA_ERRSYNTAX);
    const std::string file = folder.Write("chunk.luac", "#!/usr/bin/lua\n" + Bytes(binary));
    EXPECT_EQ(engine->RunScriptFile(S(file)), 0);
    EXPECT_EQ(Bytes(engine->ErrorMessage()), "ScriptEngine: Binary chunks are not accepted");
    EXPECT_EQ(engine->ErrorCode(), LUA_ERRSYNTAX);

    engine->AddStringArg(binary);
    engine->AddStringArg(S(file));
    const std::string refused = "ScriptEngine: Binary chunks are not accepted";
    EXPECT_EQ(Call("loads"),
              "string nil|" + refused + "|nil|" + refused + "|nil|" + refused + "|false|" + refused + "|5");
}

TEST_F(ScriptEngineTest, TextCrossesAsBytesBothWays)
{
    engine->RegisterFunction("shout"_s, &Shout);
    Run("function codes(s) return table.concat({string.byte(s, 1, -1)}, ',') end "
        "function latin() return 'caf\\233\\0\\255' end function fails() error('d\\233j\\224', 0) end");
    const char16_t units[] = {0xE9, 0xFF, 0x100, 'x'};
    engine->AddStringArg(String::FromShorts(units, 4));
    EXPECT_EQ(Call("codes"), "string 233,255,0,120");
    engine->ClearCall();
    ASSERT_EQ(engine->CallFunction("latin"_s, 1), 1);
    EXPECT_EQ(engine->StringResult()->View(), std::u16string_view(u"caf\u00e9\0\u00ff", 6));
    EXPECT_EQ(Call("fails"), "error: d\xe9j\xe0");
    EXPECT_EQ(engine->ErrorMessage()->View(), u"d\u00e9j\u00e0");
    engine->AddStringArg(S("\xe9t\xe9"));
    EXPECT_EQ(Call("shout"), "string \xe9t\xe9!");
}

TEST_F(ScriptEngineTest, StackSpaceIsCheckedBeforeAnythingIsPushed)
{
    int pushed = 0;
    while (pushed < 10000 && Bytes(engine->ErrorMessage()).empty()) {
        engine->PushNumber(pushed);
        ++pushed;
    }
    EXPECT_EQ(Bytes(engine->ErrorMessage()), "ScriptEngine: Not enough Lua stack space");
    EXPECT_LT(pushed, 10000);
    engine->SetError(7); // the top value is the message, then the stack is emptied
    EXPECT_EQ(Bytes(engine->ErrorMessage()), std::to_string(pushed - 2));
    EXPECT_EQ(engine->ErrorCode(), 7);
    EXPECT_EQ(Top(), 0);

    Run("function count(...) return select('#', ...) end");
    for (int i = 0; i < 9000; ++i)
        engine->AddBooleanArg(1);
    EXPECT_EQ(Call("count"), "error: ScriptEngine: Not enough Lua stack space");
    engine->ClearCall();
    for (int i = 0; i < 250; ++i)
        engine->AddBooleanArg(1);
    EXPECT_EQ(Call("count"), "number 250.000000");
    EXPECT_EQ(engine->CallFunction("count"_s, 100000), 0);
    EXPECT_EQ(Top(), 0);
}

TEST(ScriptEngineLifetime, DestroyingAStartedEngineClosesItsState)
{
    InitScriptEngine();
    static bool finalised = false;
    const int level = ReleaseStackLevel();
    {
        Ref<TScriptEngine> engine = New<TScriptEngine>();
        engine->RegisterFunction("finalise"_s, [](lua_State*) {
            finalised = true;
            return 0;
        });
        ASSERT_EQ(engine->LoadScriptText("keep = newproxy(true) getmetatable(keep).__gc = finalise"_s), 1);
        ASSERT_EQ(engine->Execute(), 1);
    }
    EXPECT_FALSE(finalised);
    FlushReleaseStack(level);
    EXPECT_TRUE(finalised);
}

} // namespace
} // namespace vanta::test
