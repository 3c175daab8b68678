// Waiting in display tests: real input and window-manager effects take their time to arrive.
#pragma once

#include "platform/Platform.h"

#include <chrono>
#include <functional>

namespace vanta::test {

// Checks `done` until it holds or 10 s have passed, running `pump` (when given) before each check and
// waiting up to 50 ms for window messages between checks. Answers whether `done` held.
inline bool WaitUntil(const std::function<bool()>& done, const std::function<void()>& pump = {})
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
        if (pump) pump();
        if (done()) return true;
        platform::WaitMessage(50);
    }
    return done();
}

} // namespace vanta::test
