// Keeps test programs off the user's desktop: the displays named by the environment are forgotten before
// any test runs, so that a window, a GL connection or a typed key can only reach a display a test started
// itself (VirtualDisplay.h). Included by the test entry points.
#pragma once

#include <cstdlib>

namespace vanta::test {

// Unsets DISPLAY and WAYLAND_DISPLAY for this process and every program it starts.
inline void ForgetUserDisplay()
{
    ::unsetenv("DISPLAY");
    ::unsetenv("WAYLAND_DISPLAY");
}

} // namespace vanta::test
