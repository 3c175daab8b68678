// The desktop host driver's message boxes on a real X server (a private Xvfb unless DISPLAY is set),
// answered with real X11 input from xdotool: the answers, the caption and the focus given back.
#include "VirtualDisplay.h"
#include "X11Tools.h"
#include "platform/Platform.h"
#include "runtime/Startup.h"
#include "system/HostDriver.h"
#include "system/System.h"

#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include <gtest/gtest.h>

namespace vanta {
namespace {

using test::RunProgram;

// The caption every box gets: the program title, set with a non-ASCII 8-bit character.
const char* const programTitle = "Vanta boxes \xE9";
const char* const captionUtf8 = "Vanta boxes \xC3\xA9";

// How the answering thread acts on the box.
enum class Answer
{
    Return, // the default (first) button
    Escape, // Cancel, or the only button
    Middle  // a click in the middle of the button row: "No" of Yes / No / Cancel
};

// Waits for the box captioned `captionUtf8` and answers it.
std::thread AnswerBox(Answer answer)
{
    return std::thread([answer] {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        unsigned long box = 0;
        while (box == 0 && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            box = test::FindWindowByTitle(captionUtf8);
        }
        if (box == 0) return;
        const std::string id = std::to_string(box);
        // A desktop gives a new box the focus; a bare X server does not, so the thread does.
        RunProgram({"xdotool", "windowfocus", "--sync", id});
        switch (answer) {
        case Answer::Return: RunProgram({"xdotool", "key", "--window", id, "Return"}); break;
        case Answer::Escape: RunProgram({"xdotool", "key", "--window", id, "Escape"}); break;
        case Answer::Middle: {
            int width = 0;
            int height = 0;
            if (!test::GetWindowSize(box, width, height)) return;
            // The buttons sit side by side along the bottom edge, the middle one at the centre.
            RunProgram({"xdotool", "mousemove", "--window", id, std::to_string(width / 2), std::to_string(height - 25),
                        "click", "1"});
            break;
        }
        }
    });
}

bool PumpUntil(const std::function<bool()>& done)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
        PumpMessages();
        if (done()) return true;
        platform::WaitMessage(50);
    }
    return done();
}

class DesktopMessageBoxTest : public ::testing::Test
{
protected:
    static void TearDownTestSuite() { platform::StopVideo(); }

    void SetUp() override
    {
        VANTA_REQUIRE_DISPLAY();
        if (test::FindProgram("xdotool").empty()) GTEST_SKIP() << "xdotool is not installed (package xdotool)";
        InitSystem();
        SetProgramTitle(String::FromCString(programTitle));
        ASSERT_TRUE(platform::StartVideo()) << platform::VideoError();
        owner_ = platform::CreateWindow(0, "vanta owner", platform::WS_VISIBLE | platform::WS_CAPTION, 32, 32, 200, 100,
                                        nullptr);
        ASSERT_NE(owner_, nullptr) << platform::WindowError();
        ASSERT_TRUE(PumpUntil([this] { return platform::GetFocus() == owner_; }));
    }

    void TearDown() override
    {
        if (owner_ != nullptr) platform::DestroyWindow(owner_);
    }

    // After a box, the owner gets the focus back.
    void ExpectFocusBack()
    {
        EXPECT_TRUE(PumpUntil([this] { return platform::GetFocus() == owner_; })) << "the focus did not come back";
    }

    platform::Window* owner_ = nullptr;
};

TEST_F(DesktopMessageBoxTest, NoticeIsShownUntilAnswered)
{
    std::thread answer = AnswerBox(Answer::Return);
    const auto start = std::chrono::steady_clock::now();
    ShowNotice("Level saved."_s, 0);
    answer.join();
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(50))
        << "the box waited for its answer (the console fallback would return at once)";
    ExpectFocusBack();
}

TEST_F(DesktopMessageBoxTest, OkCancelAnswersOneForOkAndZeroOtherwise)
{
    std::thread ok = AnswerBox(Answer::Return);
    EXPECT_EQ(AskOkCancel("Go on?"_s, 1), 1);
    ok.join();
    ExpectFocusBack();
    std::thread cancel = AnswerBox(Answer::Escape);
    EXPECT_EQ(AskOkCancel("Go on?"_s, 0), 0);
    cancel.join();
    ExpectFocusBack();
}

TEST_F(DesktopMessageBoxTest, YesNoCancelAnswersOneZeroOrMinusOne)
{
    std::thread yes = AnswerBox(Answer::Return);
    EXPECT_EQ(AskYesNoCancel("Save the level?"_s, 1), 1);
    yes.join();
    std::thread no = AnswerBox(Answer::Middle);
    EXPECT_EQ(AskYesNoCancel("Save the level?"_s, 0), 0);
    no.join();
    std::thread cancel = AnswerBox(Answer::Escape);
    EXPECT_EQ(AskYesNoCancel("Save the level?"_s, 0), -1);
    cancel.join();
    ExpectFocusBack();
}

} // namespace
} // namespace vanta
