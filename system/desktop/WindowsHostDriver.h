// The desktop system driver: the host driver over the platform layer's message queue, clock, pointer,
// message boxes, and the desktop's file-dialog helper.
//
// Builds on platform/ (messages, windows, message boxes, clock), the input tables of system/Input.h and
// the console requesters of `THostDriver`, which it falls back to where the desktop cannot help: a
// message box that cannot be shown (no display) and file choosers without a dialog helper or a display.
// Works without a display: pumping then drains only the thread's own (posted) messages, and the clock,
// sleeping and input tables work as ever.
//
// Main thread only (the thread that owns the windows).
#pragma once

#include "system/HostDriver.h"

namespace vanta {

// The host driver of a desktop program: the one the system module makes current when it initialises.
class TWindowsHostDriver : public THostDriver
{
    VANTA_CLASS(TWindowsHostDriver, THostDriver)
public:
    // Makes the driver. Nothing is requested from the system: Linux sleeps and clocks are already
    // millisecond-accurate, so there is no timer period to raise and give back.
    TWindowsHostDriver() = default;

    // Takes every waiting message: the input hook first, then translation and dispatch to its window.
    void PumpMessages() override;
    // Blocks until a message is waiting (for ever if none comes), then pumps.
    void WaitForMessages() override;
    // The platform's 32-bit millisecond clock.
    std::int32_t ReadClock() override;
    // Sleeps; 0 or less only yields.
    void SleepFor(std::int32_t milliseconds) override;
    // The oldest typed character, or 0.
    std::int32_t TakeChar() override;
    // The oldest keystroke (a key press or a typed character, in arrival order), or an empty one.
    KeyStroke TakeStroke() override;
    // The key's hit count, reset by reading; 0 for codes outside 1-255.
    std::int32_t TakeKeyHits(std::int32_t key) override;
    // 1 while the key is held; 0 for codes outside 1-255.
    std::int32_t KeyState(std::int32_t key) override;
    // Clears the key and button tables, the typed characters and the keystrokes.
    void ClearKeyState() override;
    // Pointer x (0), y (1) or wheel notches (2); 0 for other axes.
    std::int32_t PointerAxis(std::int32_t axis) override;
    // Moves the pointer to (x, y) of the active window's client area; nothing without an active window.
    // The stored position changes when the resulting move message is pumped.
    void MovePointer(std::int32_t x, std::int32_t y) override;

    // A message box with an OK button (exclamation icon when serious); the console without a display.
    void ShowNotice(const Ref<String>& text, std::int32_t serious) override;
    // OK and Cancel: 1 for OK, else 0; the console without a display.
    std::int32_t AskOkCancel(const Ref<String>& text, std::int32_t serious) override;
    // Yes, No and Cancel: 1, 0, or -1 for Cancel and closing; the console without a display.
    std::int32_t AskYesNoCancel(const Ref<String>& text, std::int32_t serious) override;
    // The desktop's file chooser (zenity): the chosen path, or the empty string when cancelled or when
    // the helper fails. The console without a helper or a display.
    Ref<String> ChooseFile(const Ref<String>& title, const Ref<String>& extensions, std::int32_t save,
                           const Ref<String>& initialPath) override;
    // The desktop's folder chooser (zenity), as `ChooseFile`.
    Ref<String> ChooseFolder(const Ref<String>& title, const Ref<String>& initialPath) override;
};

} // namespace vanta
