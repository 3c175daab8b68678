// The system driver: message pump, clock, sleep, polled input and requesters.
//
// One current driver serves every module. Input is polled: each input query first pumps the pending
// window messages (automatic polling), so a loop that asks for a key once per frame keeps its window
// responsive; nothing is delivered by callback. The base class `THostDriver` has console versions of the
// requesters and abstract everything else; `TWindowsHostDriver` (system/desktop/) is the desktop one.
//
// Main thread only.
#pragma once

#include "runtime/String.h"
#include "system/Input.h"

#include <cstdint>

namespace vanta {

class THostDriver : public Object
{
    VANTA_CLASS(THostDriver, Object)
public:
    THostDriver() = default;

    // Takes every waiting window message, updating the input tables and dispatching it.
    virtual void PumpMessages();
    // Blocks until a message or input event is waiting, then pumps.
    virtual void WaitForMessages();
    // The millisecond clock (32 bits, wraps after about 49.7 days).
    virtual std::int32_t ReadClock();
    // Sleeps for `milliseconds`.
    virtual void SleepFor(std::int32_t milliseconds);
    // The oldest typed character, or 0.
    virtual std::int32_t TakeChar();
    // The oldest keystroke (a key press or a typed character, in arrival order), or an empty one.
    virtual KeyStroke TakeStroke();
    // The key's hit count, reset by reading; 0 for codes outside 1-255.
    virtual std::int32_t TakeKeyHits(std::int32_t key);
    // 1 while the key is held; 0 for codes outside 1-255.
    virtual std::int32_t KeyState(std::int32_t key);
    // Clears the key and button tables, the typed characters and the keystrokes.
    virtual void ClearKeyState();
    // Pointer x (0), y (1) or wheel notches (2); 0 for other axes.
    virtual std::int32_t PointerAxis(std::int32_t axis);
    // Moves the system pointer to (x, y) in the active window's client area.
    virtual void MovePointer(std::int32_t x, std::int32_t y);

    // Console requesters: they write to standard output and read one line from standard input.
    virtual void ShowNotice(const Ref<String>& text, std::int32_t serious);
    // 1 when the answer starts with "y" (any case), else 0.
    virtual std::int32_t AskOkCancel(const Ref<String>& text, std::int32_t serious);
    // 1 for an answer starting with "y", 0 for "n", -1 for anything else (any case).
    virtual std::int32_t AskYesNoCancel(const Ref<String>& text, std::int32_t serious);
    // The path typed, or the empty string.
    virtual Ref<String> ChooseFile(const Ref<String>& title, const Ref<String>& extensions, std::int32_t save,
                                   const Ref<String>& initialPath);
    // The folder typed, or the empty string.
    virtual Ref<String> ChooseFolder(const Ref<String>& title, const Ref<String>& initialPath);
};

// The current driver (`Null` before the system module is initialised).
const Ref<THostDriver>& CurrentHostDriver();
void SetHostDriver(const Ref<THostDriver>& driver);

// Whether input queries pump messages first (1 unless a program turns it off).
std::int32_t AutoPoll();
void SetAutoPoll(std::int32_t on);

void PumpMessages();
void WaitForMessages();
std::int32_t ReadClock();
void SleepFor(std::int32_t milliseconds);

// Milliseconds from `from` forward to `to` on the clock. Taken modulo 2^32, so nothing overflows and an
// interval that spans the clock's wrap (every 49.7 days) still measures right; cast the result to a signed
// int where `to` may come before `from`.
constexpr std::uint32_t ClockDistance(std::int32_t from, std::int32_t to) noexcept
{
    return static_cast<std::uint32_t>(to) - static_cast<std::uint32_t>(from);
}

// Input queries; each pumps messages first while automatic polling is on.
std::int32_t KeyHits(std::int32_t key);
std::int32_t IsKeyDown(std::int32_t key);
std::int32_t NextTypedChar();
// The oldest key press or typed character, in the order they came; an empty stroke when none waits.
KeyStroke NextKeyStroke();
void ClearKeys();
std::int32_t PointerX();
std::int32_t PointerY();
std::int32_t WheelPosition();
// Moves the pointer (no automatic poll: the position changes when the resulting move is pumped).
void MovePointer(std::int32_t x, std::int32_t y);
// Buttons 1 (left), 2 (right) and 3 (middle) read the key codes 1, 2 and 4; other buttons answer 0.
std::int32_t ButtonHits(std::int32_t button);
std::int32_t IsButtonDown(std::int32_t button);
// Consumes the hit counts of the three buttons.
void ClearButtons();
// Waits for a key press and returns its code.
std::int32_t WaitForKey();
// Waits for a typed character and returns it.
std::int32_t WaitForChar();
// Waits for a button press and returns the button (1-3).
std::int32_t WaitForButton();

// Requesters, shown by the current driver.
void ShowNotice(const Ref<String>& text, std::int32_t serious = 0);
std::int32_t AskOkCancel(const Ref<String>& text, std::int32_t serious = 0);
std::int32_t AskYesNoCancel(const Ref<String>& text, std::int32_t serious = 0);
Ref<String> ChooseFile(const Ref<String>& title, const Ref<String>& extensions, std::int32_t save,
                       const Ref<String>& initialPath);
Ref<String> ChooseFolder(const Ref<String>& title, const Ref<String>& initialPath);

} // namespace vanta
