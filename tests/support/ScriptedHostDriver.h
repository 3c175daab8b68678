// A host driver for tests: messages are queued by the test and pumped through the real input hook; the
// clock is a number the test sets, and sleeping (or `Advance`) moves it on, wrapping round like the real
// 32-bit millisecond clock.
#pragma once

#include "system/HostDriver.h"
#include "system/Input.h"

#include <deque>
#include <tuple>
#include <vector>

namespace vanta::test {

class TScriptedHostDriver : public THostDriver
{
    VANTA_CLASS(TScriptedHostDriver, THostDriver)
public:
    TScriptedHostDriver() = default;

    void PumpMessages() override
    {
        ++pumps;
        while (!messages.empty()) {
            auto [message, wParam, lParam] = messages.front();
            messages.pop_front();
            HandleInputMessage(0, message, wParam, lParam);
        }
    }
    void WaitForMessages() override
    {
        ++waits;
        if (!later.empty()) {
            messages.push_back(later.front());
            later.erase(later.begin());
        }
        PumpMessages();
    }
    std::int32_t ReadClock() override { return clock; }
    void SleepFor(std::int32_t milliseconds) override
    {
        sleeps.push_back(milliseconds);
        Advance(milliseconds);
    }
    std::int32_t TakeChar() override { return TakeInputChar(); }
    std::int32_t TakeKeyHits(std::int32_t key) override { return TakeInputKeyHits(key); }
    std::int32_t KeyState(std::int32_t key) override { return InputKeyState(key); }
    void ClearKeyState() override { ClearInputKeyState(); }
    std::int32_t PointerAxis(std::int32_t axis) override { return InputPointerAxis(axis); }
    void MovePointer(std::int32_t, std::int32_t) override {}

    // Moves the clock on by `milliseconds`, across the wrap.
    void Advance(std::int32_t milliseconds)
    {
        clock = static_cast<std::int32_t>(static_cast<std::uint32_t>(clock) + static_cast<std::uint32_t>(milliseconds));
    }

    void Post(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam = 0)
    {
        messages.emplace_back(message, wParam, lParam);
    }

    using Message = std::tuple<std::uint32_t, std::uintptr_t, std::intptr_t>;
    std::deque<Message> messages;
    std::vector<Message> later; // delivered one per WaitForMessages
    std::vector<std::int32_t> sleeps;
    std::int32_t clock = 0;
    int pumps = 0;
    int waits = 0;
};

} // namespace vanta::test
