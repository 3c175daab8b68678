// The display suites as `make test` runs them on a desktop: DISPLAY names the user's X server and
// WAYLAND_DISPLAY a compositor. Here DISPLAY names an X server that only counts its connections (and drops
// them), and two suites that open GL windows and type into them with xdotool (one of them through a
// program it starts) run with it in their environment. Had anything in them reached for DISPLAY, a window,
// a GL connection or a typed key, the server would have counted a connection.
#include "support/RefusingXServer.h"
#include "support/Subprocess.h"
#include "support/VirtualDisplay.h"

#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace vanta {
namespace {

struct Suite
{
    const char* program;
    const char* filter;
};

TEST(UserDisplay, DisplaySuitesNeverConnectToTheDisplayTheEnvironmentNames)
{
    // A suite that skipped would prove nothing.
    if (test::FindProgram("Xvfb").empty()) GTEST_SKIP() << "Xvfb is not installed (package xvfb)";
    if (test::FindProgram("xdotool").empty()) GTEST_SKIP() << "xdotool is not installed (package xdotool)";
    test::RefusingXServer user;
    ASSERT_TRUE(user.Ready());
    ::setenv("DISPLAY", user.Name().c_str(), 1);
    ::setenv("WAYLAND_DISPLAY", "vanta-user-compositor", 1);
    for (const Suite& suite : {Suite{CONSOLE_INPUT_SUITE, "*KeysTypedFasterThanTheConsoleReadsKeepTheirOrder"},
                               Suite{CONSOLE_DEMO_SUITE, "*"}}) {
        SCOPED_TRACE(suite.program);
        const test::ProcessResult run =
            test::RunProcess({suite.program, std::string("--gtest_filter=") + suite.filter}, ".");
        EXPECT_EQ(run.status, 0) << run.out << run.err;
        EXPECT_EQ(run.out.find("[  SKIPPED ]"), std::string::npos) << run.out;
        EXPECT_NE(run.out.find("[  PASSED  ]"), std::string::npos) << run.out;
    }
    ::unsetenv("DISPLAY");
    ::unsetenv("WAYLAND_DISPLAY");
    EXPECT_EQ(user.Connections(), 0) << "a display suite connected to the display named by DISPLAY";
}

} // namespace
} // namespace vanta
