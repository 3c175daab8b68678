// The system driver: message pump, clock, sleep, polled input and requesters.
//
// One current driver serves every module. Input is polled: while automatic polling is on (`AutoPoll`),
// each input query first pumps the pending window messages, so a loop that asks for a key once per frame
// keeps its window responsive; nothing is delivered by callback. The base class `THostDriver` has console
// versions of the requesters and abstract everything else; `TWindowsHostDriver` (system/desktop/) is the
// desktop one. Until the system module is initialised there is no current driver, and every call below
// that reaches it throws `TNullObjectError`.
//
// Main thread only.
#pragma once

#include "runtime/String.h"
#include "system/Input.h"

#include <cstdint>

namespace vanta {

// The system driver's interface. The requesters here ask on the console (standard output and input);
// every other slot throws `TAbstractMethodError` until a driver class overrides it.
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
// Makes `driver` the current one, which every call below then reaches; the module keeps one reference.
void SetHostDriver(const Ref<THostDriver>& driver);

// Whether input queries pump messages first (1 unless a program turns it off).
std::int32_t AutoPoll();
// Turns automatic polling on (any non-zero value) or off (0).
void SetAutoPoll(std::int32_t on);

// Takes every waiting window message, updating the input tables and dispatching it.
void PumpMessages();
// Blocks until a message or input event is waiting, then pumps.
void WaitForMessages();
// The millisecond clock: 32 bits, wrapping after about 49.7 days (measure with `ClockDistance`).
std::int32_t ReadClock();
// Sleeps for `milliseconds` (the desktop driver only yields for 0 or less).
void SleepFor(std::int32_t milliseconds);

// Milliseconds from `from` forward to `to` on the clock. Taken modulo 2^32, so nothing overflows and an
// interval that spans the clock's wrap (every 49.7 days) still measures right; cast the result to a signed
// int where `to` may come before `from`.
constexpr std::uint32_t ClockDistance(std::int32_t from, std::int32_t to) noexcept
{
    return static_cast<std::uint32_t>(to) - static_cast<std::uint32_t>(from);
}

// How many times `key` went down since its count was last read (auto-repeats do not count; the count
// wraps after 255); reading resets it to 0. 0 for codes outside 1-255.
std::int32_t KeyHits(std::int32_t key);
// 1 while `key` is held, else 0; 0 for codes outside 1-255.
std::int32_t IsKeyDown(std::int32_t key);
// The oldest typed character (one UTF-16 unit), or 0 when none is waiting; 256 wait at most, and
// characters typed beyond those are dropped.
std::int32_t NextTypedChar();
// The oldest key press or typed character, in the order they came; an empty stroke when none waits.
KeyStroke NextKeyStroke();
// Forgets every key's and mouse button's hit count and down flag, and the characters and keystrokes
// waiting.
void ClearKeys();
// The pointer's x in pixels from the left edge of the window's client area (negative left of it), as the
// last pointer message pumped left it.
std::int32_t PointerX();
// The pointer's y in pixels down from the top edge of the client area (negative above it).
std::int32_t PointerY();
// The mouse wheel's position in whole notches, summed since the start (turning it away from the user
// counts up); a movement of less than a notch is lost.
std::int32_t WheelPosition();
// Moves the pointer (no automatic poll: the position changes when the resulting move is pumped).
void MovePointer(std::int32_t x, std::int32_t y);
// How many times mouse button 1 (left), 2 (right) or 3 (middle) went down since last read: `KeyHits` of
// its key code, 1, 2 or 4 (`VK_LBUTTON`, `VK_RBUTTON`, `VK_MBUTTON`); 0 for any other button.
std::int32_t ButtonHits(std::int32_t button);
// 1 while mouse button 1 (left), 2 (right) or 3 (middle) is held, else 0; 0 for any other button.
std::int32_t IsButtonDown(std::int32_t button);
// Consumes the hit counts of the three buttons.
void ClearButtons();
// Forgets the presses before the call (as `ClearKeys`), then waits for a key or mouse button to go down
// and returns its code.
std::int32_t WaitForKey();
// Forgets the characters typed before the call (as `ClearKeys`), then waits for one and returns it.
std::int32_t WaitForChar();
// Forgets the button presses before the call, then waits for one and returns the button (1-3).
std::int32_t WaitForButton();

// Shows `text` with an OK button, waiting until it is closed (the console version only prints it);
// `serious` (non-zero) shows it as a warning rather than information. Like every requester below, shown
// by the current driver.
void ShowNotice(const Ref<String>& text, std::int32_t serious = 0);
// Asks `text` with OK and Cancel: 1 for OK, 0 for Cancel or a requester closed or failed.
std::int32_t AskOkCancel(const Ref<String>& text, std::int32_t serious = 0);
// Asks `text` with Yes, No and Cancel: 1 for Yes, 0 for No, -1 for Cancel or a requester closed or failed.
std::int32_t AskYesNoCancel(const Ref<String>& text, std::int32_t serious = 0);
// Lets the user choose a file under `title`, starting at `initialPath`: for saving when `save` is
// non-zero (a new name, confirmed before overwriting), else for opening. `extensions` filters what is
// offered ("Images:png,jpg;Text:txt", or bare "png,jpg"; empty for every file). The chosen path, or the
// empty string when cancelled or failed.
Ref<String> ChooseFile(const Ref<String>& title, const Ref<String>& extensions, std::int32_t save,
                       const Ref<String>& initialPath);
// Lets the user choose a folder under `title`, starting at `initialPath`: the chosen folder, or the
// empty string when cancelled or failed.
Ref<String> ChooseFolder(const Ref<String>& title, const Ref<String>& initialPath);

} // namespace vanta
