// A window procedure for tests that records every message it is given.
#pragma once

#include "platform/Platform.h"

#include <cstdint>
#include <vector>

namespace vanta::test {

// What the recording window procedure saw.
struct Seen
{
    platform::Window* window;
    std::uint32_t message;
    std::uintptr_t wParam;
    std::intptr_t lParam;
};

// Every message given to `RecordingProc`, oldest first (one list per test program).
inline std::vector<Seen> seen;

inline std::intptr_t RecordingProc(platform::Window* window, std::uint32_t message, std::uintptr_t wParam,
                                   std::intptr_t lParam)
{
    seen.push_back({window, message, wParam, lParam});
    return 0;
}

} // namespace vanta::test
