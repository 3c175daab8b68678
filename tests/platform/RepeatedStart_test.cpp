// A GL program of ours (the console demo) started over and over on one X server while a busy loop holds one
// core, as a player quits a game and starts it again at once: every start must open its window and draw.
// The server resets when its last client leaves, as X servers do unless told not to (xvfb-run starts them
// so); it drops the connections that arrive while it resets, which is what made starts fail with "Unable to
// create graphics" when they came right after the previous copy ended.
#include "support/BusyCore.h"
#include "support/VirtualDisplay.h"
#include "support/X11Tools.h"

#include <chrono>
#include <csignal>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace vanta {
namespace {

using namespace std::chrono_literals;

constexpr const char* TITLE = "VantaMax console demo";
constexpr int STARTS = 40;

// Whether the window shows anything but black at a few points across it: the demo's sky is never black.
bool ShowsAPicture(unsigned long window)
{
    int width = 0;
    int height = 0;
    std::vector<unsigned long> pixels;
    if (!test::CaptureWindow(window, width, height, pixels)) return false;
    for (int y = 20; y < height; y += 100) {
        for (int x = 20; x < width; x += 100) {
            if ((pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)] &
                 0xFFFFFF) != 0)
                return true;
        }
    }
    return false;
}

// One copy of the demo, from its start to its end.
class Demo
{
public:
    Demo() : pid_(test::StartProgram({VANTA_CONSOLE_DEMO})) {}
    ~Demo()
    {
        if (Running()) Kill();
    }
    Demo(const Demo&) = delete;
    Demo& operator=(const Demo&) = delete;

    // Whether the process still runs (its exit status is kept once it ended).
    bool Running()
    {
        if (pid_ <= 0 || ended_) return false;
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == 0) return true;
        ended_ = true;
        status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        return false;
    }

    // Waits until this copy's own window is on the screen and drawn into; false when the process ended
    // first or 60 s passed. With a `left` edge the window is moved there first: copies open at the same
    // place, and the part of a window that another covers reads back black.
    bool Opened(int left = -1)
    {
        const auto deadline = std::chrono::steady_clock::now() + 60s;
        while (Running() && std::chrono::steady_clock::now() < deadline) {
            if (window_ == 0) {
                window_ = test::FindWindowOfProcess(TITLE, pid_);
                if (window_ != 0 && left >= 0)
                    test::RunProgram({"xdotool", "windowmove", std::to_string(window_), std::to_string(left), "32"});
            }
            if (window_ != 0 && test::IsWindowViewable(window_) && ShowsAPicture(window_)) return true;
            std::this_thread::sleep_for(20ms);
        }
        return false;
    }

    // Ends the process at once, as a crash or `kill -9` would.
    void Kill()
    {
        ::kill(pid_, SIGKILL);
        Wait(10s);
    }

    // Quits as a player does, with Escape typed into the window; the exit status, or -1 when it did not end
    // within 30 s.
    int Quit()
    {
        test::RunProgram({"xdotool", "windowfocus", "--sync", std::to_string(window_)});
        test::RunProgram({"xdotool", "key", "Escape"});
        return Wait(30s);
    }

    // How the process ended, for a failure message.
    std::string Ending()
    {
        if (Running()) return "still running";
        return "exit status " + std::to_string(status_);
    }

private:
    int Wait(std::chrono::milliseconds limit)
    {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (Running() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(5ms);
        return ended_ ? status_ : -1;
    }

    pid_t pid_;
    bool ended_ = false;
    int status_ = -1;
    unsigned long window_ = 0;
};

class RepeatedStartTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (display_.GetState() == test::VirtualDisplay::State::NotInstalled) GTEST_SKIP() << display_.Message();
        ASSERT_TRUE(display_.Ready()) << display_.Message();
        if (test::FindProgram("xdotool").empty()) GTEST_SKIP() << "xdotool is not installed (package xdotool)";
    }

    // The odd rounds end by Escape, the even ones by a kill.
    static bool QuitsInRound(int round) { return round % 2 == 1; }

    test::VirtualDisplay display_{test::VirtualDisplay::Reset::WhenLastClientLeaves};
};

TEST_F(RepeatedStartTest, FortyStartsEachRightAfterThePreviousCopyWasKilledOrQuitAllOpenTheirWindow)
{
    const test::BusyCore busy;
    int opened = 0;
    for (int round = 0; round < STARTS; ++round) {
        Demo demo;
        if (!demo.Opened()) {
            ADD_FAILURE() << "start " << round + 1 << " of " << STARTS << " did not open its window (" << demo.Ending()
                          << ")";
            continue;
        }
        ++opened;
        if (QuitsInRound(round))
            EXPECT_EQ(demo.Quit(), 0) << "start " << round + 1 << " did not quit cleanly";
        else
            demo.Kill();
    }
    EXPECT_EQ(opened, STARTS);
}

TEST_F(RepeatedStartTest, TwoCopiesStartedAtTheSameMomentBothOpenTheirWindowsRoundAfterRound)
{
    const test::BusyCore busy;
    int opened = 0;
    for (int round = 0; round < STARTS / 2; ++round) {
        Demo first;
        Demo second;
        for (auto [demo, left] : {std::pair{&first, 0}, std::pair{&second, 640}}) {
            if (demo->Opened(left))
                ++opened;
            else
                ADD_FAILURE() << "round " << round + 1 << ": a copy did not open its window (" << demo->Ending() << ")";
        }
        for (Demo* demo : {&first, &second}) {
            if (!demo->Running()) continue;
            if (QuitsInRound(round))
                EXPECT_EQ(demo->Quit(), 0) << "round " << round + 1 << ": a copy did not quit cleanly";
            else
                demo->Kill();
        }
    }
    EXPECT_EQ(opened, STARTS);
}

} // namespace
} // namespace vanta
