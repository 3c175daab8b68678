// The console's logic over injected key messages and a scripted clock: the slide, line editing, recall,
// the commands, typing faster than the key-repeat period, registered commands and Tab completion, the
// bounded buffer and timers across the clock's wrap.
#include "console/Console.h"
#include "console/detail/ConsoleState.h"
#include "platform/Gamepads.h"
#include "platform/Messages.h"
#include "runtime/Memory.h"
#include "support/ScriptedHostDriver.h"
#include "system/Gamepads.h"
#include "system/Keys.h"

#include <climits>
#include <regex>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace vanta {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

constexpr std::int32_t TOGGLE = VK_F1;

std::string Text(const Ref<String>& s)
{
    return s->ToCString();
}

class ConsoleTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        InitConsole();
        host = New<test::TScriptedHostDriver>();
        host->clock = 5000;
        SetHostDriver(host);
        ClearInputKeyState();
        detail::ResetConsoleState();
        detail::ConsoleState& console = detail::Console();
        console.width = 640;
        console.charWidth = 8;
        console.charHeight = 12;
        console.height = 10 * console.charHeight;
        console.y = -console.height - 1;
    }
    void TearDown() override
    {
        detail::ResetConsoleState();
        ClearInputKeyState();
        SetHostDriver(Null);
    }

    detail::ConsoleState& Console() { return detail::Console(); }

    // One console frame without the drawing, `milliseconds` after the previous one.
    void Frame(std::int32_t milliseconds = 17)
    {
        host->Advance(milliseconds);
        detail::ToggleAndSlideConsole(TOGGLE);
        if (Console().shown != 0) detail::HandleConsoleInput();
        detail::CountConsoleFrame();
    }
    void Frames(int count)
    {
        for (int i = 0; i < count; ++i)
            Frame();
    }
    void Show()
    {
        Tap(TOGGLE);
        Frame();
    }

    void Down(std::int32_t key) { host->Press(key); }
    void Up(std::int32_t key) { host->Release(key); }
    void Tap(std::int32_t key) { host->Tap(key); }
    // A key press as the platform delivers it: the key down, its character, the key up; or the character
    // alone when no key is named.
    void Type(char16_t c, std::int32_t key = 0)
    {
        if (key != 0)
            host->Tap(key, c);
        else
            host->Type(std::u16string_view(&c, 1));
    }
    void TypeText(std::u16string_view text) { host->Type(text); }
    // Types each character and gives it the frames the console needs to take it.
    void TypeSlowly(std::u16string_view text)
    {
        for (char16_t c : text) {
            Type(c);
            Frames(4);
        }
    }
    // One short press of a key (with the character it types, if any), then the frames to act on it.
    void Press(std::int32_t key, char16_t typed = 0)
    {
        host->Tap(key, typed);
        Frames(4);
    }
    void Enter(std::u16string_view text)
    {
        TypeSlowly(text);
        Press(VK_RETURN, 13);
    }

    // The buffer's texts, oldest first (as the panel shows them, top to bottom).
    std::vector<std::string> Lines()
    {
        std::vector<std::string> texts;
        for (const Ref<Object>& value : *Console().lines)
            texts.insert(texts.begin(), Text(Downcast<TConsoleLine>(value)->text));
        return texts;
    }

    Ref<test::TScriptedHostDriver> host;
};

TEST_F(ConsoleTest, ThePanelSlidesDownInSixStepsAndBackUpToRestAboveTheScreen)
{
    EXPECT_EQ(Console().y, -121);
    Tap(TOGGLE);
    std::vector<std::int32_t> seen;
    for (int i = 0; i < 7; ++i) {
        Frame();
        seen.push_back(Console().y);
    }
    EXPECT_THAT(seen, ElementsAre(-99, -77, -55, -33, -11, 0, 0));

    Tap(TOGGLE);
    seen.clear();
    for (int i = 0; i < 7; ++i) {
        Frame();
        seen.push_back(Console().y);
    }
    EXPECT_THAT(seen, ElementsAre(-22, -44, -66, -88, -110, -121, -121));
}

TEST_F(ConsoleTest, TheToggleReversesAMidwaySlideAndOneCallMovesAtMostOneStep)
{
    Tap(TOGGLE);
    Frames(3);
    EXPECT_EQ(Console().y, -55);
    Frame(0);
    Frame(5);
    EXPECT_EQ(Console().y, -55) << "no step until more than 10 ms have passed";
    Frame(200);
    EXPECT_EQ(Console().y, -33) << "one step per call, however long the frame took";
    Tap(TOGGLE);
    host->Advance(17);
    detail::ToggleAndSlideConsole(TOGGLE + 256); // the key code is taken modulo 256
    EXPECT_EQ(Console().shown, 0);
    EXPECT_EQ(Console().y, -55);
}

TEST_F(ConsoleTest, InputIsHandledOnlyWhileShownAlsoWhileSlidingDown)
{
    Type(u'a');
    Frames(3);
    EXPECT_EQ(Text(Console().input), "");
    Show();
    EXPECT_LT(Console().y, 0);
    EXPECT_EQ(Text(Console().input), "a") << "typed while hidden, read on the first shown frame";
}

TEST_F(ConsoleTest, TheCursorInsertsWhereItStandsAndEditingKeysKeepToTheLine)
{
    Show();
    TypeSlowly(u"ab");
    Press(VK_LEFT);
    TypeSlowly(u"X");
    EXPECT_EQ(Text(Console().input), "aXb");
    EXPECT_EQ(Console().cursorIndex, 2);
    EXPECT_EQ(Console().cursorOffset, 16);

    Press(VK_END);
    Press(VK_DELETE);
    EXPECT_EQ(Text(Console().input), "aXb") << "Delete at the end";
    Press(VK_HOME);
    Press(VK_BACK, 8);
    EXPECT_EQ(Text(Console().input), "aXb") << "Backspace at the start";
    EXPECT_EQ(Console().cursorIndex, 0);
    EXPECT_EQ(Console().cursorOffset, 0);
    Press(VK_DELETE);
    EXPECT_EQ(Text(Console().input), "Xb");
    Press(VK_RIGHT);
    Press(VK_RIGHT);
    Press(VK_RIGHT);
    EXPECT_EQ(Console().cursorIndex, 2) << "Right stops at the end of the line";
    EXPECT_EQ(Console().cursorOffset, 16);
    Press(VK_BACK, 8);
    EXPECT_EQ(Text(Console().input), "X");
    EXPECT_EQ(Console().cursorIndex, 1);
}

TEST_F(ConsoleTest, EditingKeysActInTheOrderTheyWerePressedAmongTheCharactersTypedAroundThem)
{
    Show();
    // Typed faster than the console reads (one keystroke per key-repeat period), all in one frame.
    TypeText(u"ab");
    Tap(VK_LEFT);
    TypeText(u"X");
    Frames(20);
    EXPECT_EQ(Text(Console().input), "aXb");
    EXPECT_EQ(Console().cursorIndex, 2);

    Press(VK_RETURN, 13);
    TypeText(u"xyz");
    Tap(VK_HOME);
    TypeText(u"w");
    Tap(VK_END);
    Tap(VK_BACK);
    Tap(VK_LEFT);
    Tap(VK_DELETE);
    Frames(40);
    EXPECT_EQ(Text(Console().input), "wx");
    EXPECT_EQ(Console().cursorIndex, 2);
}

TEST_F(ConsoleTest, EachPressOfAnEditingKeyActsOnceHoweverShortOrLongAndNothingSleeps)
{
    Show();
    TypeSlowly(u"abcdefgh");
    // An ordinary press of Backspace: down for 85 ms, with the character it types.
    Down(VK_BACK);
    host->Post(platform::WM_CHAR, 8);
    Frames(5);
    Up(VK_BACK);
    Frames(4);
    EXPECT_EQ(Text(Console().input), "abcdefg");
    // Taps shorter than the key-repeat period, two of them within one frame.
    Tap(VK_BACK);
    Frame();
    Tap(VK_BACK);
    Tap(VK_BACK);
    Frame();
    Frames(12);
    EXPECT_EQ(Text(Console().input), "abcd");
    // Held for just under the repeat delay, with the desktop's own repeats coming in: still one.
    Down(VK_LEFT);
    for (int i = 0; i < 28; ++i) { // 476 ms
        host->Repeat(VK_LEFT);
        Frame();
    }
    Up(VK_LEFT);
    Frames(4);
    EXPECT_EQ(Console().cursorIndex, 3);
    EXPECT_THAT(host->sleeps, ElementsAre()) << "reading a key never sleeps inside the frame";
}

TEST_F(ConsoleTest, AHeldEditingKeyRepeatsEachKeyRepeatPeriodAfterTheRepeatDelay)
{
    Show();
    TypeSlowly(u"abcdefghijklmnopqrstuvwxyz");
    ASSERT_EQ(Console().cursorIndex, 26);
    Down(VK_LEFT);
    std::vector<std::int32_t> moves; // milliseconds after the press at which the cursor moved
    std::int32_t index = Console().cursorIndex;
    for (std::int32_t held = 17; held <= 1020; held += 17) {
        Frame();
        if (Console().cursorIndex != index) moves.push_back(held);
        index = Console().cursorIndex;
    }
    Up(VK_LEFT);
    Frames(10);
    EXPECT_EQ(Console().cursorIndex, index) << "no repeat after the key is let go";
    // A key-repeat period ends once more than 50 ms have passed: every third 17 ms frame.
    constexpr std::int32_t period = (detail::CONSOLE_KEY_REPEAT_PERIOD / 17 + 1) * 17;
    ASSERT_GE(moves.size(), 2u);
    EXPECT_LE(moves[0], period) << "the press acts at once";
    EXPECT_GE(moves[1] - moves[0], detail::CONSOLE_REPEAT_DELAY);
    EXPECT_LE(moves[1] - moves[0], detail::CONSOLE_REPEAT_DELAY + period);
    for (std::size_t i = 2; i < moves.size(); ++i)
        EXPECT_EQ(moves[i] - moves[i - 1], period);
    EXPECT_GE(moves.size(), 8u);
    EXPECT_THAT(host->sleeps, ElementsAre());

    // Another key going down ends the repeat, as a desktop's does.
    Down(VK_RIGHT);
    Up(VK_RIGHT);
    Down(VK_LEFT);
    Frames(8);
    index = Console().cursorIndex;
    Tap('A');
    Frames(40);
    EXPECT_EQ(Console().cursorIndex, index);
}

TEST_F(ConsoleTest, OnlyTheSeventySevenCharactersAreTyped)
{
    Show();
    TypeText(u"a#b~c\u00E9\"'");
    Frames(40);
    EXPECT_EQ(Text(Console().input), "abc\"'");
}

TEST_F(ConsoleTest, AProgramCanNameTheCharactersTheLineTakesAndGoBackToTheSeventySeven)
{
    Show();
    SetConsoleCharacters("+-=x"_s);
    TypeText(u"a+b-c=x");
    Frames(40);
    EXPECT_EQ(Text(Console().input), "+-=x");
    EXPECT_EQ(Text(ConsoleCharacters()), "+-=x");
    SetConsoleCharacters(nullptr);
    TypeText(u"+a");
    Frames(40);
    EXPECT_EQ(Text(Console().input), "+-=xa");
    EXPECT_EQ(ConsoleCharacters()->Length(), 77);
}

TEST_F(ConsoleTest, CharactersTypedFasterThanTheRepeatPeriodAreAllKeptInOrder)
{
    Show();
    TypeText(u"the quick brown fox");
    Frames(3);
    EXPECT_EQ(Text(Console().input), "t") << "one character per key-repeat period";
    Frames(80);
    EXPECT_EQ(Text(Console().input), "the quick brown fox");

    // Enter pressed right after fast typing waits for the characters typed before it.
    Press(VK_RETURN, 13);
    TypeText(u"$cls");
    Down(VK_RETURN);
    host->Post(platform::WM_CHAR, 13);
    Frame();
    Up(VK_RETURN);
    TypeText(u"$ver");
    Frames(40);
    EXPECT_EQ(Text(Console().input), "$ver");
    EXPECT_THAT(Lines(), ElementsAre()) << "$cls ran whole, after the line before it was entered";
}

// Delivers one waiting message per pump, as messages that keep arriving while the console reads input.
class TTricklingHostDriver : public test::TScriptedHostDriver
{
    VANTA_CLASS(TTricklingHostDriver, test::TScriptedHostDriver)
public:
    TTricklingHostDriver() = default;

    void PumpMessages() override
    {
        ++pumps;
        if (messages.empty()) return;
        const auto [message, wParam, lParam] = messages.front();
        messages.pop_front();
        HandleInputMessage(0, message, wParam, lParam);
    }
};

TEST_F(ConsoleTest, ACharacterArrivingAsTheConsoleClearsTheKeysIsKept)
{
    Show();
    const Ref<TTricklingHostDriver> trickle = New<TTricklingHostDriver>();
    trickle->clock = host->clock;
    host = trickle;
    SetHostDriver(trickle);
    // The clear takes what waits (the pump brings the key down), then must not pump the character in.
    Down('X');
    host->Post(platform::WM_CHAR, u'x');
    detail::ClearKeysKeepingTyped();
    Frames(10);
    EXPECT_EQ(Text(Console().input), "x");
}

TEST_F(ConsoleTest, BackspaceTypedBehindCharactersDeletesTheLastOfThem)
{
    Show();
    TypeText(u"abc");
    Down(VK_BACK);
    host->Post(platform::WM_CHAR, 8);
    Frame();
    Up(VK_BACK);
    Frames(20);
    EXPECT_EQ(Text(Console().input), "ab");
}

TEST_F(ConsoleTest, UpAndDownRecallEnteredLinesNewestFirstAndWrapRound)
{
    Show();
    TypeSlowly(u"draft");
    Press(VK_UP);
    EXPECT_EQ(Text(Console().input), "draft") << "no entered lines: nothing to recall";
    Press(VK_DOWN);
    EXPECT_EQ(Text(Console().input), "draft");
    Press(VK_RETURN, 13);
    ClearConsoleLines();
    Console().recallIndex = 0; // the recall position outlives the buffer; start afresh

    Enter(u"one");
    Enter(u"two");
    std::vector<std::string> recalled;
    for (int i = 0; i < 3; ++i) {
        Press(VK_UP);
        recalled.push_back(Text(Console().input));
    }
    EXPECT_THAT(recalled, ElementsAre("two", "one", "two"));
    Press(VK_DOWN);
    EXPECT_EQ(Text(Console().input), "one") << "Down past the newest wraps to the oldest entered line";
    Press(VK_DOWN);
    EXPECT_EQ(Text(Console().input), "two");
}

TEST_F(ConsoleTest, ARecalledLineShorterThanTheCursorPositionTakesTheCursorToItsEnd)
{
    Show();
    Enter(u"hi");
    TypeSlowly(u"hello");
    EXPECT_EQ(Console().cursorIndex, 5);
    Press(VK_UP);
    EXPECT_EQ(Text(Console().input), "hi");
    EXPECT_EQ(Console().cursorIndex, 2);
    EXPECT_EQ(Console().cursorOffset, 16);
    TypeSlowly(u"!");
    EXPECT_EQ(Text(Console().input), "hi!");
}

TEST_F(ConsoleTest, AnEmptyEnterAddsNothingAndRunsNothing)
{
    Show();
    Press(VK_RETURN, 13);
    EXPECT_EQ(Console().lineCount, 0);
    EXPECT_EQ(Console().enteredCount, 0);
}

TEST_F(ConsoleTest, HelpAnswersToAnyCaseAndNothingElseMatchesLoosely)
{
    const std::vector<std::string> help = {" ",
                                           "--------------",
                                           "Console help :",
                                           "--------------",
                                           "$help    : This help",
                                           "$cls     : Clear console buffer",
                                           "$version : Console version",
                                           "$mem     : Display current memory",
                                           "$time    : Display current time",
                                           "$date    : Display current date",
                                           "$mouse   : Display current mouse position X,Y,Z",
                                           " "};
    Show();
    for (std::u16string_view spelling : {u"$help", u"$HELP", u"$hElP"}) {
        ClearConsoleLines();
        Enter(spelling);
        std::vector<std::string> expected = {Text(String::FromShorts(spelling.data(), 5))};
        expected.insert(expected.end(), help.begin(), help.end());
        EXPECT_THAT(Lines(), ElementsAreArray(expected));
    }
    for (std::u16string_view loose : {u"$HELP ", u"HELP", u" $help", u"$help2"}) {
        ClearConsoleLines();
        RunConsoleCommand(String::FromShorts(loose.data(), static_cast<std::int32_t>(loose.size())));
        EXPECT_EQ(Console().lineCount, 0);
    }
}

TEST_F(ConsoleTest, ClsEmptiesTheBufferSoUpRecallsNothing)
{
    Show();
    Enter(u"first");
    Enter(u"$CLS");
    EXPECT_EQ(Console().lineCount, 0);
    EXPECT_EQ(Console().enteredCount, 0);
    Press(VK_UP);
    EXPECT_EQ(Text(Console().input), "");
}

TEST_F(ConsoleTest, MemShowsTheAllocatorFiguresInBytesAndWholeKilobytes)
{
    const std::int64_t inUse = MemoryInUse();
    const std::int64_t reserved = MemoryReserved();
    RunConsoleCommand("$mem"_s);
    const std::vector<std::string> lines = Lines();
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_THAT(std::vector<std::string>(lines.begin(), lines.begin() + 4),
                ElementsAre(" ", "-------------", "Memory dump :", "-------------"));
    EXPECT_EQ(lines[4], "Currently : " + std::to_string(inUse) + " Bytes / " + std::to_string(inUse / 1024) + " Kb");
    EXPECT_EQ(lines[5],
              "Total     : " + std::to_string(reserved) + " Bytes / " + std::to_string(reserved / 1024) + " Kb");
    EXPECT_EQ(lines[6], " ");
}

TEST_F(ConsoleTest, MouseTimeDateAndVersionWriteOneLineEach)
{
    host->Post(platform::WM_MOUSEMOVE, 0, platform::MakeLParam(12, -3));
    host->Post(platform::WM_MOUSEWHEEL, static_cast<std::uintptr_t>(240) << 16);
    RunConsoleCommand("$mouse"_s);
    RunConsoleCommand("$time"_s);
    RunConsoleCommand("$date"_s);
    RunConsoleCommand("$Version"_s);
    const std::vector<std::string> lines = Lines();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "Mouse X:12 / Y:-3 / Z:2");
    EXPECT_TRUE(std::regex_match(lines[1], std::regex("[0-2][0-9]:[0-5][0-9]:[0-6][0-9]"))) << lines[1];
    EXPECT_TRUE(std::regex_match(lines[2], std::regex("[0-3][0-9] [^ ]+ [0-9]{4}"))) << lines[2];
    EXPECT_EQ(lines[3].rfind("Console module version 1.2 ", 0), 0u) << lines[3];
}

TEST_F(ConsoleTest, PadsListsTheConnectedPadsWithWhatTheyHold)
{
    host->Post(platform::WM_GAMEPADADDED, 2);
    host->Post(platform::WM_GAMEPADBUTTONDOWN, 2, PAD_START);
    host->Post(platform::WM_GAMEPADBUTTONDOWN, 2, PAD_A);
    host->Post(platform::WM_GAMEPADAXIS, 2 | (PAD_LEFT_Y << 8), -32768);
    host->Post(platform::WM_GAMEPADAXIS, 2 | (5 << 8), 32767);
    RunConsoleCommand("$pads"_s);
    host->Post(platform::WM_GAMEPADREMOVED, 2);
    RunConsoleCommand("$PADS"_s);
    const std::vector<std::string> lines = Lines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "Pads : 1");
    EXPECT_EQ(lines[1], "Pad 2 () held: A START / L 0.00,-1.00 / R 0.00,0.00 / T 0.00,1.00");
    EXPECT_EQ(lines[2], "Pads : 0");
}

TEST_F(ConsoleTest, RegisteredCommandsRunAfterTheBuiltInOnesWithTheSameUpperCasing)
{
    int runs = 0;
    EXPECT_EQ(RegisterConsoleCommand("$fps"_s,
                                     [&] {
                                         ++runs;
                                         ConsoleAddLine("60 FPS"_s);
                                     }),
              1);
    EXPECT_EQ(RegisterConsoleCommand("$Help"_s, [&] { ++runs; }), 0) << "a built-in name stays built in";
    EXPECT_EQ(RegisterConsoleCommand(""_s, [&] { ++runs; }), 0);

    Show();
    Enter(u"$FpS");
    EXPECT_EQ(runs, 1);
    EXPECT_THAT(Lines(), ElementsAre("$FpS", "60 FPS"));
    RunConsoleCommand("$fps "_s);
    EXPECT_EQ(runs, 1);

    EXPECT_EQ(RegisterConsoleCommand("$FPS"_s, [&] { runs += 10; }), 1);
    RunConsoleCommand("$fps"_s);
    EXPECT_EQ(runs, 11) << "registering a name again replaces its handler";
    EXPECT_EQ(RegisterConsoleCommand("$fps"_s, nullptr), 1);
    RunConsoleCommand("$fps"_s);
    EXPECT_EQ(runs, 11) << "an empty handler removes the command";
}

TEST_F(ConsoleTest, TextCommandsGetWhatFollowsTheirNameAndAPlainCommandOfTheSameNameComesFirst)
{
    std::vector<std::string> texts;
    EXPECT_EQ(RegisterConsoleTextCommand("$say"_s, [&](const Ref<String>& text) { texts.push_back(Text(text)); }), 1);
    EXPECT_EQ(RegisterConsoleTextCommand("$time"_s, [&](const Ref<String>&) {}), 0) << "built-in names stay built in";
    EXPECT_EQ(RegisterConsoleTextCommand("$two words"_s, [&](const Ref<String>&) {}), 0);
    RunConsoleCommand("$SAY Hello, World "_s);
    RunConsoleCommand("$say"_s);
    RunConsoleCommand("$sayer x"_s);
    EXPECT_THAT(texts, ElementsAre("Hello, World ", ""));
    int plain = 0;
    RegisterConsoleCommand("$say"_s, [&] { ++plain; });
    RunConsoleCommand("$say"_s);
    RunConsoleCommand("$say x"_s);
    EXPECT_EQ(plain, 1);
    EXPECT_THAT(texts, ElementsAre("Hello, World ", "", "x"));
    RegisterConsoleCommand("$say"_s, nullptr);
    EXPECT_EQ(RegisterConsoleTextCommand("$say"_s, nullptr), 1);
    RunConsoleCommand("$say y"_s);
    EXPECT_EQ(texts.size(), 3u) << "an empty handler removes the command";
}

TEST_F(ConsoleTest, ARetractedConsoleCanBeShownAtOnceByTheProgram)
{
    SetConsoleShown(0, 1);
    EXPECT_EQ(ConsoleRetracted(), 1);
    SetConsoleShown(1);
    EXPECT_EQ(ConsoleShown(), 1);
    EXPECT_EQ(ConsoleRetracted(), 0);
    SetConsoleShown(0, 1);
}

TEST_F(ConsoleTest, TabCompletesToTheLongestCommonPrefixOfTheMatchingNames)
{
    RegisterConsoleCommand("$fog"_s, [] {});
    RegisterConsoleCommand("$fps"_s, [] {});
    Show();
    const auto complete = [&](std::u16string_view typed) {
        Console().input = String::FromShorts(typed.data(), static_cast<std::int32_t>(typed.size()));
        Console().cursorIndex = 0;
        Console().cursorOffset = 0;
        Type(9, VK_TAB);
        Frames(4);
        return Text(Console().input);
    };
    EXPECT_EQ(complete(u"$he"), "$help");
    EXPECT_EQ(Console().cursorIndex, 5) << "the cursor goes to the end of the completed line";
    EXPECT_EQ(Console().cursorOffset, 40);
    EXPECT_EQ(complete(u"$VE"), "$VERSION");
    EXPECT_EQ(complete(u"$mo"), "$mouse");
    EXPECT_EQ(complete(u"$m"), "$m") << "$mem and $mouse share only \"$m\"";
    EXPECT_EQ(Console().cursorIndex, 0) << "nothing completed, the cursor stays";
    EXPECT_EQ(complete(u"$f"), "$f");
    EXPECT_EQ(complete(u"$fP"), "$fPS");
    EXPECT_EQ(complete(u"$x"), "$x");
    EXPECT_EQ(complete(u"$help"), "$help");

    RegisterConsoleCommand("$fog"_s, nullptr);
    RegisterConsoleCommand("$fps"_s, nullptr);
}

TEST_F(ConsoleTest, TheBufferKeepsItsNewestLinesAndCountsTheEnteredOnesItKeeps)
{
    for (int i = 0; i < CONSOLE_LINE_LIMIT + 100; ++i)
        ConsoleAddLine(String::FromInt(i), i % 2);
    EXPECT_EQ(Console().lineCount, CONSOLE_LINE_LIMIT);
    EXPECT_EQ(CountList(Console().lines), CONSOLE_LINE_LIMIT);
    EXPECT_EQ(Console().enteredCount, CONSOLE_LINE_LIMIT / 2);
    const std::vector<std::string> lines = Lines();
    EXPECT_EQ(lines.front(), "100");
    EXPECT_EQ(lines.back(), std::to_string(CONSOLE_LINE_LIMIT + 99));
    RecallEnteredLine(CONSOLE_LINE_LIMIT / 2);
    EXPECT_EQ(Text(Console().input), "101") << "the oldest entered line kept";
}

TEST_F(ConsoleTest, EditingHelpersKeepToTheirBounds)
{
    EXPECT_EQ(Text(RemoveCharAt("hello"_s, 1, 2)), "hlo");
    EXPECT_EQ(Text(RemoveCharAt("hello"_s, 3, 10)), "hel");
    EXPECT_EQ(Text(RemoveCharAt("hello"_s, 4, INT_MAX)), "hell");
    EXPECT_EQ(Text(RemoveCharAt("hello"_s, 5, 1)), "hello");
    EXPECT_EQ(Text(RemoveCharAt("hello"_s, -1, 1)), "hello");
    EXPECT_EQ(Text(InsertTextAt("bc"_s, "a"_s, 0)), "abc");
    EXPECT_EQ(Text(InsertTextAt("ac"_s, "b"_s, 1)), "abc");
    EXPECT_EQ(Text(InsertTextAt("ab"_s, "c"_s, 2)), "abc");
    EXPECT_EQ(Text(InsertTextAt("ab"_s, "c"_s, 9)), "abc");
}

TEST_F(ConsoleTest, TimersAndTheFrameCounterKeepWorkingAcrossTheClockWrap)
{
    host->clock = INT_MAX - 20;
    const Ref<TConsoleTimer> timer = TConsoleTimer::StartTimer(50);
    host->Advance(50);
    EXPECT_EQ(timer->HasExpired(), 0) << "expires once more than the period has passed";
    host->Advance(1);
    EXPECT_EQ(timer->HasExpired(), 1);

    detail::ResetConsoleState();
    Console().height = 120;
    Console().y = -121;
    Tap(TOGGLE);
    Frames(6);
    EXPECT_EQ(Console().y, 0) << "the slide goes on over the wrap";

    Console().windowStart = host->clock;
    Console().frameCounter = 0;
    for (int i = 0; i < 60; ++i) {
        host->Advance(i % 3 == 0 ? 16 : 17); // 1000 ms in all
        detail::CountConsoleFrame();
    }
    EXPECT_EQ(Console().framesPerSecond, 60);
}

TEST_F(ConsoleTest, TheFirstFrameShowsOneFramePerSecondAndASteadySixtyShowSixty)
{
    detail::CountConsoleFrame();
    EXPECT_EQ(Console().framesPerSecond, 1);
    for (int i = 0; i < 59; ++i) {
        host->Advance(i % 3 == 0 ? 16 : 17);
        detail::CountConsoleFrame();
    }
    EXPECT_EQ(Console().framesPerSecond, 1);
    host->Advance(1000 - (20 * 16 + 39 * 17));
    detail::CountConsoleFrame();
    EXPECT_EQ(Console().framesPerSecond, 60);
}

} // namespace
} // namespace vanta
