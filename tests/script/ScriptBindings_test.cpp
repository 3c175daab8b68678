// The runtime's Lua bindings through a real engine and the recording 2D driver: what each kind of call
// passes to the runtime, its defaults, and its errors (wrong type, stale or foreign handle, missing file,
// a path outside the script's folder), plus the engine's limits a game script runs under (memory,
// interrupt, confined files, no binary chunks).
#include "audio/Sound.h"
#include "console/Console.h"
#include "console/detail/ConsoleState.h"
#include "graphics/Draw.h"
#include "graphics/Image.h"
#include "pixmap/Pixmap.h"
#include "pixmap/loaders/ImageLoaders.h"
#include "pixmap/loaders/PNGLoader.h"
#include "script/ScriptBindings.h"
#include "support/RecordingGraphicsTest.h"
#include "support/TempFolder.h"

#include <fstream>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace vanta::test {
namespace {

using ::testing::HasSubstr;

std::string Bytes(const Ref<String>& text)
{
    std::string bytes;
    for (char16_t unit : text->View())
        bytes += static_cast<char>(unit & 0xFF);
    return bytes;
}

Ref<String> S(const std::string& bytes)
{
    return String::FromBytes(bytes.data(), static_cast<std::int32_t>(bytes.size()));
}

class ScriptBindingsTest : public RecordingGraphicsTest
{
protected:
    void SetUp() override
    {
        RecordingGraphicsTest::SetUp();
        InitImageLoaders();
        InitAudio();
        InitConsole();
        engine = New<TScriptEngine>();
        ASSERT_EQ(engine->IsStarted(), 1);
        BindRuntime(*engine);
        // A 4 x 2 picture in the script's folder.
        Ref<TPixmap> pixmap = CreatePixmap(4, 2, PF_RGBA8888, 4);
        ASSERT_EQ(SavePixmapPNG(pixmap, S(folder.Path("four.png")), 6), 1);
        engine->SetFileRoot(S(folder.Path("")));
    }
    void TearDown() override
    {
        engine->Stop();
        RecordingGraphicsTest::TearDown();
    }

    // Runs `code`; the error message when it fails, else "".
    std::string Run(const std::string& code)
    {
        if (engine->LoadScriptText(S(code)) == 0 || engine->Execute() == 0) return Bytes(engine->ErrorMessage());
        return "";
    }

    // The values `expression` gives, as tostring writes them, joined by spaces.
    std::string Eval(const std::string& expression)
    {
        std::vector<Ref<String>> results;
        if (engine->Evaluate(S(expression), results) == 0) return "error: " + Bytes(engine->ErrorMessage());
        std::string joined;
        for (const Ref<String>& result : results)
            joined += (joined.empty() ? "" : " ") + Bytes(result);
        return joined;
    }

    TempFolder folder;
    Ref<TScriptEngine> engine;
};

TEST_F(ScriptBindingsTest, ANativeFunctionFindsTheEngineThatCalledIt)
{
    TScriptEngine* seen = nullptr;
    static TScriptEngine** where = nullptr;
    where = &seen;
    engine->RegisterFunction("Who"_s, [](lua_State* state) {
        *where = &TScriptEngine::Calling(state);
        return 0;
    });
    EXPECT_EQ(Run("Who()"), "");
    EXPECT_EQ(seen, engine.Raw());
}

TEST_F(ScriptBindingsTest, DrawingCallsReachTheDriverWithTheirArgumentsAndDefaults)
{
    EXPECT_EQ(Run("SetColor(10, 20, 30) SetAlpha(0.5) SetBlendMode(BLEND_LIGHT) DrawRect(1, 2, 3, 4)"
                  " DrawLine(0, 0, 5, 5) DrawLine(0, 0, 5, 5, false) DrawPoly({0, 0, 10, 0, 0, 10})"),
              "");
    EXPECT_EQ(driver->Calls("SetColor").back().args, (std::vector<double>{10, 20, 30}));
    EXPECT_EQ(driver->Calls("SetAlpha").back().args, (std::vector<double>{0.5}));
    EXPECT_EQ(driver->Calls("SetBlend").back().args, (std::vector<double>{BLEND_LIGHT}));
    EXPECT_EQ(driver->Calls("DrawRect")[0].args, (std::vector<double>{0, 0, 3, 4, 1, 2}));
    EXPECT_EQ(driver->Calls("DrawPoly").size(), 1u);
    // The far end is plotted by default, not when asked not to.
    EXPECT_EQ(driver->Calls("DrawLine").size() + driver->Calls("Plot").size(), 3u);
    EXPECT_EQ(Eval("GetColor()"), "10 20 30");
    EXPECT_EQ(Eval("GetBlendMode(), GraphicsWidth(), GraphicsHeight()"), "4 640 480");
}

TEST_F(ScriptBindingsTest, ImagesAreHandlesDrawnWithTheirFrameAndHandle)
{
    EXPECT_EQ(Run("img = LoadImage('four.png') assert(img ~= 0)"
                  " assert(ImageWidth(img) == 4 and ImageHeight(img) == 2 and ImageFrames(img) == 1)"
                  " SetImageHandle(img, 1, 1) DrawImage(img, 10, 20) DrawImageRect(img, 0, 0, 8, 4)"),
              "");
    const auto draws = driver->Calls("FrameDraw");
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_EQ(draws[0].args, (std::vector<double>{-1, -1, 3, 1, 10, 20}));
    EXPECT_EQ(draws[1].args, (std::vector<double>{-1, -1, 7, 3, 0, 0}));
    EXPECT_EQ(Eval("ImageFrames(LoadImageStrip('four.png', 2, 2, 0, 2))"), "2");
    EXPECT_EQ(Eval("LoadImageStrip('four.png', 2, 2, 0, 3)"), "0") << "more cells than the picture has";
}

TEST_F(ScriptBindingsTest, WrongTypesStaleForeignAndMissingAreErrorsNotCrashes)
{
    EXPECT_THAT(Run("DrawRect(0, 0, 'wide', 4)"), HasSubstr("bad argument #3 to 'DrawRect' (number expected"));
    EXPECT_THAT(Run("DrawImage(12345, 0, 0)"), HasSubstr("bad argument #1 to 'DrawImage' (no image has the handle"));
    EXPECT_THAT(Run("DrawImage(1.5, 0, 0)"), HasSubstr("no image has the handle"));
    EXPECT_THAT(Run("DrawImage('x', 0, 0)"), HasSubstr("number expected"));
    // Released, then used.
    EXPECT_THAT(Run("local img = LoadImage('four.png') FreeImage(img) DrawImage(img, 0, 0)"),
                HasSubstr("no image has the handle"));
    EXPECT_THAT(Run("local img = LoadImage('four.png') FreeImage(img) FreeImage(img)"),
                HasSubstr("no image has the handle"));
    // A handle of another kind.
    EXPECT_THAT(Run("PlaySound(LoadImage('four.png'))"), HasSubstr("no sound has the handle"));
    // A missing file gives the runtime's answer: no image (0), no sound, no font; nil and a message to read.
    EXPECT_EQ(Eval("LoadImage('none.png'), LoadSound('none.ogg'), LoadImageFont('none.ttf', 12)"), "0 0 0");
    EXPECT_THAT(Eval("ReadFile('none.txt')"), HasSubstr("nil cannot open"));
    EXPECT_THAT(Run("DrawImage(LoadImage('none.png'), 0, 0)"), HasSubstr("no image has the handle 0"));

    // A handle from an earlier state of the same engine, and one from another engine.
    const std::string old = Eval("LoadImage('four.png')");
    engine->Start();
    BindRuntime(*engine);
    EXPECT_THAT(Run("DrawImage(" + old + ", 0, 0)"), HasSubstr("no image has the handle"));
    Ref<TScriptEngine> other = New<TScriptEngine>();
    BindRuntime(*other);
    std::vector<Ref<String>> results;
    ASSERT_EQ(other->Evaluate("LoadImage('incbin::nothing')"_s, results), 1);
    const std::string foreign = Eval("LoadImage('four.png')");
    ASSERT_EQ(other->LoadScriptText(S("DrawImage(" + foreign + ", 0, 0)")), 1);
    EXPECT_EQ(other->Execute(), 0);
    EXPECT_THAT(Bytes(other->ErrorMessage()), HasSubstr("no image has the handle"));
}

TEST_F(ScriptBindingsTest, TheEngineReleasesItsHandlesWhenTheStateCloses)
{
    ASSERT_EQ(Run("for i = 1, 3 do LoadImage('four.png') end"), "");
    EXPECT_EQ(engine->HandleCount(), 3);
    Ref<Object> first = engine->HandleObject(static_cast<std::int64_t>(std::stod(Eval("LoadImage('four.png')"))));
    ASSERT_FALSE(first.IsNull());
    EXPECT_EQ(first->CountWord() & 0x7FFFFFFFu, 2u) << "the engine holds the image";
    engine->Stop();
    EXPECT_EQ(engine->HandleCount(), 0);
    EXPECT_EQ(first->CountWord() & 0x7FFFFFFFu, 1u) << "only the test holds it now";
    engine->Start();
    BindRuntime(*engine);
}

TEST_F(ScriptBindingsTest, TextFontsAudioInputAndTimeAnswerWithTheRuntimesValues)
{
    EXPECT_EQ(Eval("TextWidth('ABC'), TextHeight()"), "24 16");
    EXPECT_EQ(Run("DrawText('A', 5, 6)"), "");
    EXPECT_FALSE(driver->Calls("FrameDraw").empty());
    EXPECT_EQ(Run("SetTextFont() SetTextFont(nil)"), "");
    EXPECT_THAT(Run("SetTextFont(LoadImage('four.png'))"), HasSubstr("no font has the handle"));
    // The silent audio driver: sounds and channels exist, nothing plays.
    EXPECT_EQ(Eval("ChannelPlaying(AllocChannel())"), "false");
    EXPECT_EQ(Eval("SOUND_LOOP, VK_ESCAPE, VK_F5, VK_A, VK_0"), "1 27 116 65 48");
    EXPECT_EQ(Eval("KeyHits(VK_SPACE), IsKeyDown(VK_SPACE)"), "0 false");
    EXPECT_EQ(Eval("type(ReadClock()), ClockDistance(-1, 1)"), "number 2");
    EXPECT_THAT(Run("SleepFor(-5)"), HasSubstr("bad argument #1 to 'SleepFor'"));
}

TEST_F(ScriptBindingsTest, FilesStayInsideTheScriptsFolder)
{
    EXPECT_EQ(Eval("WriteFile('note.txt', 'hello'), ReadFile('note.txt'), FileExists('note.txt')"), "true hello true");
    EXPECT_EQ(Eval("io.open('note.txt'):read('*a')"), "hello");
    for (const char* escape : {"ReadFile('../x')", "io.open('/etc/passwd')", "LoadImage('/usr/share/x.png')",
                               "io.lines('../../etc/passwd')", "dofile('/etc/passwd')", "WriteFile('../y', 'x')"})
        EXPECT_THAT(Run(escape), HasSubstr("lies outside the script's folder")) << escape;
    EXPECT_EQ(Eval("io.popen, io.tmpfile, os, debug"), "nil nil nil nil");
    EXPECT_EQ(Eval("FileExists('incbin::nothing')"), "false");
}

TEST_F(ScriptBindingsTest, BinaryChunksAreRefusedWhereverCodeLoads)
{
    const std::string dumped = "string.dump(function() return 1 end)";
    EXPECT_THAT(Eval("loadstring(" + dumped + ")"), HasSubstr("Binary chunks are not accepted"));
    EXPECT_EQ(Run("WriteFile('b.luac', " + dumped + ")"), "");
    EXPECT_THAT(Eval("loadfile('b.luac')"), HasSubstr("Binary chunks are not accepted"));
    EXPECT_THAT(Run("dofile('b.luac')"), HasSubstr("Binary chunks are not accepted"));
    EXPECT_EQ(engine->RunScriptFile(S(folder.Path("b.luac"))), 0);
}

TEST_F(ScriptBindingsTest, AScriptThatOutgrowsItsMemoryLimitStopsWithAClearError)
{
    engine->SetMemoryLimit(4 << 20);
    EXPECT_EQ(Run("local t = {} for i = 1, 1e8 do t[i] = {i} end"),
              "ScriptEngine: Script memory limit of 4194304 bytes reached");
    EXPECT_LE(engine->ScriptMemory(), 4 << 20);
    // The state goes on working once the garbage is gone.
    EXPECT_EQ(Eval("1 + 2"), "3");
    EXPECT_LT(engine->ScriptMemory(), 1 << 20);
}

TEST_F(ScriptBindingsTest, TheInterruptCheckStopsAnEndlessLoopEvenThroughPcall)
{
    int checks = 0;
    engine->SetInterruptCheck([&checks] { return ++checks >= 3; });
    EXPECT_EQ(Run("while true do pcall(function() while true do end end) end"), "ScriptEngine: Script interrupted");
    EXPECT_GE(checks, 3);
    checks = -1000000;
    EXPECT_EQ(Eval("1 + 2"), "3") << "the next call runs again";
    engine->SetInterruptCheck(nullptr);
}

TEST_F(ScriptBindingsTest, ErrorsCarryATracebackOfTheScriptsFunctions)
{
    EXPECT_THAT(Run("local function inner() DrawImage(0, 0, 0) end\nfunction outer() inner() end\nouter()"),
                HasSubstr("no image has the handle 0"));
    const std::string traceback = Bytes(engine->ErrorTraceback());
    EXPECT_THAT(traceback, HasSubstr("stack traceback:"));
    EXPECT_THAT(traceback, HasSubstr(":1: in function 'inner'"));
    EXPECT_THAT(traceback, HasSubstr(":2: in function 'outer'"));
    EXPECT_THAT(traceback, HasSubstr(":3: in main chunk"));
}

TEST_F(ScriptBindingsTest, ConsoleCommandsWrittenInLuaRunWithTheirTextAndGoWithTheState)
{
    ClearConsoleLines();
    EXPECT_EQ(Run("RegisterConsoleCommand('$greet', function(text) ConsoleAddLine('hello ' .. text) end)"
                  " RegisterConsoleCommand('$boom', function() error('bang') end)"),
              "");
    RunConsoleCommand("$GREET world"_s);
    RunConsoleCommand("$boom"_s);
    EXPECT_EQ(Eval("RegisterConsoleCommand('$help', print)"), "false") << "built-in names stay built in";
    engine->Stop();
    RunConsoleCommand("$greet again"_s);
    engine->Start();
    BindRuntime(*engine);
    std::vector<Ref<String>> results;
    ASSERT_EQ(engine->Evaluate("ConsoleAddLine('done')"_s, results), 1);
    std::vector<std::string> lines;
    for (const Ref<Object>& value : *detail::Console().lines)
        lines.insert(lines.begin(), Bytes(Downcast<TConsoleLine>(value)->text)); // the buffer runs newest first
    // The greeting, the error, nothing from the closed state's command, then the new state's line.
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "hello world");
    EXPECT_THAT(lines[1], HasSubstr("error: [string \"RegisterConsoleCommand('$greet'"));
    EXPECT_THAT(lines[1], HasSubstr("bang"));
    EXPECT_EQ(lines[2], "done");
    EXPECT_EQ(Eval("ConsoleShown()"), "false");
}

} // namespace
} // namespace vanta::test
