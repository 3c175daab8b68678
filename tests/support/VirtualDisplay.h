// A virtual X display for tests that need one: always a private Xvfb, never the display the user works on
// (a test that opened windows there and typed into them would disturb the desktop and depend on it).
//
// Builds on POSIX processes and the Xvfb program (package xvfb). Tests link the `vanta_test_display`
// library. Programs that connect to the display (SDL video, GL) must disconnect before the display goes
// away, which for `VirtualDisplay::Shared` is at process exit: stop video in a suite's teardown.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace vanta::test {

class VirtualDisplay
{
public:
    enum class State
    {
        Started,      // a private Xvfb runs and $DISPLAY names it
        NotInstalled, // no Xvfb program on PATH: display tests skip
        Failed        // Xvfb is there but did not come up: display tests fail
    };

    // What the server does when its last client disconnects.
    enum class Reset
    {
        Never,               // -noreset: the server stays as it is (what tests want)
        WhenLastClientLeaves // the X server's default (and xvfb-run's): it resets, dropping connections
                             // that arrive meanwhile
    };

    // Picks a free display number, starts `Xvfb :N -screen 0 1280x1024x24 -nolisten tcp` (with -noreset
    // unless asked otherwise), waits until it accepts connections, sets $DISPLAY to it and unsets
    // $WAYLAND_DISPLAY, so that nothing the test starts reaches the user's desktop.
    explicit VirtualDisplay(Reset reset = Reset::Never);
    // Stops the Xvfb it started (SIGTERM, then SIGKILL after 5 s) and puts $DISPLAY and $WAYLAND_DISPLAY
    // back as they were.
    ~VirtualDisplay();
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    // The display of the whole test process, started on first use and stopped at exit.
    static VirtualDisplay& Shared();

    bool Ready() const { return state_ == State::Started; }
    State GetState() const { return state_; }
    // What happened, for a skip or failure message.
    const std::string& Message() const { return message_; }
    // The display name (":N"), empty when not ready.
    const std::string& Name() const { return name_; }

private:
    bool TryStart(const std::string& xvfb, int number, Reset reset);

    State state_ = State::Failed;
    // The environment before the display was made current (unset when absent).
    std::optional<std::string> previousDisplay_;
    std::optional<std::string> previousWayland_;
    std::string message_;
    std::string name_;
    pid_t server_ = -1;
};

// The full path of `program` found on $PATH, or an empty text.
std::string FindProgram(const std::string& program);

// Runs a program with arguments (looked up on $PATH), waits for it and answers its exit status, or -1
// when it could not be started or did not exit normally.
int RunProgram(const std::vector<std::string>& arguments);

// Starts a program as `RunProgram` does without waiting for it; answers its process id, or -1 when it
// could not be started.
pid_t StartProgram(const std::vector<std::string>& arguments);

// Waits for a program started with `StartProgram` and answers its exit status, or -1 (as `RunProgram`).
int WaitForProgram(pid_t program);

// Runs xdotool with `arguments` on the current display and answers whether it succeeded.
bool Xdotool(const std::vector<std::string>& arguments);

} // namespace vanta::test

// Inside a GoogleTest body: skips the test when Xvfb is not installed, fails it when the display cannot
// come up, and otherwise makes the shared display current.
//
// A skip for a missing program or package says "<what> is not installed (package <name>)", here and in the
// suites that need xdotool or fonts-wine: CTest reports a suite whose output has those words as skipped
// (cmake/Vanta.cmake), not passed.
#define VANTA_REQUIRE_DISPLAY()                                                                                        \
    do {                                                                                                               \
        auto& vantaDisplay = ::vanta::test::VirtualDisplay::Shared();                                                  \
        if (vantaDisplay.GetState() == ::vanta::test::VirtualDisplay::State::NotInstalled)                             \
            GTEST_SKIP() << vantaDisplay.Message();                                                                    \
        ASSERT_TRUE(vantaDisplay.Ready()) << vantaDisplay.Message();                                                   \
    } while (false)

// Inside a GoogleTest body of a GL suite built twice: SDL's offscreen driver (EGL) when the suite is built
// with VANTA_GL_OFFSCREEN, else the virtual display as `VANTA_REQUIRE_DISPLAY` gives it.
#ifdef VANTA_GL_OFFSCREEN
#define VANTA_REQUIRE_GL_SURFACE() ::setenv("SDL_VIDEODRIVER", "offscreen", 1)
#else
#define VANTA_REQUIRE_GL_SURFACE() VANTA_REQUIRE_DISPLAY()
#endif
