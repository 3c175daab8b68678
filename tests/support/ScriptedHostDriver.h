// A host driver for tests: messages are queued by the test and pumped through the real input hook; the
// clock is a number the test sets, and sleeping (or `Advance`) moves it on, wrapping round like the real
// 32-bit millisecond clock. Keys are pressed, repeated, released and typed by their names (system/Keys.h),
// with the message numbers and key-data bits the platform layer posts.
#pragma once

#include "platform/Messages.h"
#include "system/HostDriver.h"
#include "system/Input.h"
#include "system/Keys.h"

#include <deque>
#include <string_view>
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
    KeyStroke TakeStroke() override { return TakeInputStroke(); }
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

    // The key going down.
    void Press(std::int32_t key) { Post(platform::WM_KEYDOWN, static_cast<std::uintptr_t>(key)); }
    // The desktop's auto-repeat of a held key: a key down marked as already down.
    void Repeat(std::int32_t key)
    {
        Post(platform::WM_KEYDOWN, static_cast<std::uintptr_t>(key), platform::KEYDATA_PREVIOUS_DOWN);
    }
    // The key going up.
    void Release(std::int32_t key)
    {
        Post(platform::WM_KEYUP, static_cast<std::uintptr_t>(key),
             platform::KEYDATA_PREVIOUS_DOWN | platform::KEYDATA_TRANSITION_UP);
    }
    // One short press: the key down, the character it types (none for 0), the key up.
    void Tap(std::int32_t key, char16_t typed = 0)
    {
        Press(key);
        if (typed != 0) Post(platform::WM_CHAR, typed);
        Release(key);
    }
    // Each character of `text` as typed, without key messages.
    void Type(std::u16string_view text)
    {
        for (const char16_t c : text)
            Post(platform::WM_CHAR, c);
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
