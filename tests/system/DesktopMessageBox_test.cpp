// The desktop host driver's message boxes on a real X server (a private Xvfb unless DISPLAY is set),
// answered with real X11 input from xdotool by a helper process: the answers, the caption and the focus
// given back.
#include "platform/Platform.h"
#include "runtime/Startup.h"
#include "support/VirtualDisplay.h"
#include "support/WaitForMessages.h"
#include "support/X11Tools.h"
#include "system/HostDriver.h"
#include "system/System.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace vanta {
namespace {

// The caption every box gets: the program title, set with a non-ASCII 8-bit character.
const char* const programTitle = "Vanta boxes \xE9";
const char* const captionUtf8 = "Vanta boxes \xC3\xA9";

// Answers the box captioned `captionUtf8` from a process of its own: SDL shows the box in a forked
// child, which a thread of this program holding an allocator lock at that moment would leave stuck.
class BoxAnswer
{
public:
    // "Return" picks the default (first) button, "Escape" Cancel or the only button, "click-middle" the
    // middle button of Yes / No / Cancel.
    explicit BoxAnswer(const std::string& answer)
    {
        const auto helper = std::filesystem::canonical("/proc/self/exe").parent_path() / "vanta_answer_window";
        std::vector<std::string> arguments{helper.string(), captionUtf8};
        if (answer == "click-middle") {
            arguments.push_back(answer);
        } else {
            arguments.insert(arguments.end(), {"key", answer});
        }
        helper_ = test::StartProgram(arguments);
    }
    ~BoxAnswer() { Finish(); }
    BoxAnswer(const BoxAnswer&) = delete;
    BoxAnswer& operator=(const BoxAnswer&) = delete;

    // Waits for the helper; answers whether it answered the box.
    bool Finish()
    {
        if (helper_ > 0) status_ = test::WaitForProgram(std::exchange(helper_, -1));
        return status_ == 0;
    }

private:
    pid_t helper_ = -1;
    int status_ = -1;
};

// Pumps through the host driver until `done` holds or 10 s have passed.
bool PumpUntil(const std::function<bool()>& done)
{
    return test::WaitUntil(done, [] { PumpMessages(); });
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
    BoxAnswer answer("Return");
    const auto start = std::chrono::steady_clock::now();
    ShowNotice("Level saved."_s, 0);
    EXPECT_TRUE(answer.Finish());
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(50))
        << "the box waited for its answer (the console fallback would return at once)";
    ExpectFocusBack();
}

TEST_F(DesktopMessageBoxTest, OkCancelAnswersOneForOkAndZeroOtherwise)
{
    BoxAnswer ok("Return");
    EXPECT_EQ(AskOkCancel("Go on?"_s, 1), 1);
    EXPECT_TRUE(ok.Finish());
    ExpectFocusBack();
    BoxAnswer cancel("Escape");
    EXPECT_EQ(AskOkCancel("Go on?"_s, 0), 0);
    EXPECT_TRUE(cancel.Finish());
    ExpectFocusBack();
}

TEST_F(DesktopMessageBoxTest, YesNoCancelAnswersOneZeroOrMinusOne)
{
    BoxAnswer yes("Return");
    EXPECT_EQ(AskYesNoCancel("Save the level?"_s, 1), 1);
    EXPECT_TRUE(yes.Finish());
    BoxAnswer no("click-middle");
    EXPECT_EQ(AskYesNoCancel("Save the level?"_s, 0), 0);
    EXPECT_TRUE(no.Finish());
    BoxAnswer cancel("Escape");
    EXPECT_EQ(AskYesNoCancel("Save the level?"_s, 0), -1);
    EXPECT_TRUE(cancel.Finish());
    ExpectFocusBack();
}

} // namespace
} // namespace vanta
