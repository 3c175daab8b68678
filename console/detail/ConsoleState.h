// The console's state and the steps of one console frame, shared by the console's own files and its
// tests. Not part of the public interface (console/Console.h).
#pragma once

#include "console/Console.h"
#include "graphics/Image.h"
#include "graphics/ImageFont.h"
#include "runtime/LinkedList.h"
#include "system/HostDriver.h"

#include <cstdint>
#include <deque>
#include <string>

namespace vanta::detail {

// Timer periods, in milliseconds.
inline constexpr std::int32_t CONSOLE_BLINK_PERIOD = 150;
inline constexpr std::int32_t CONSOLE_KEY_REPEAT_PERIOD = 50;
inline constexpr std::int32_t CONSOLE_SLIDE_PERIOD = 10;
// How long an editing key must be held before it starts repeating (once per key-repeat period), as a
// desktop's keyboard repeat waits before its first repeat.
inline constexpr std::int32_t CONSOLE_REPEAT_DELAY = 500;
// Pixels the panel moves per slide step.
inline constexpr std::int32_t CONSOLE_SLIDE_STEP = 22;
// Keystrokes the console keeps waiting, as many as the system's own keystroke ring holds.
inline constexpr std::size_t CONSOLE_STROKE_LIMIT = 256;

struct ConsoleState
{
    std::int32_t shown = 0;
    Ref<String> title = EmptyString();
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t r = 0;
    std::int32_t g = 0;
    std::int32_t b = 0;
    float alpha = 0.0f;
    Ref<TImageFont> font;
    Ref<TImage> background;
    std::int32_t charWidth = 0;
    std::int32_t charHeight = 0;
    Ref<String> input = EmptyString();
    std::int32_t cursorIndex = 0;
    std::int32_t cursorOffset = 0;
    std::int32_t enteredCount = 0;
    std::int32_t recallIndex = 0;
    std::int32_t blink = 0;
    std::int32_t frameCounter = 0;
    std::int32_t windowStart = 0;
    std::int32_t framesPerSecond = 0;
    Ref<TLinkedList> lines;
    // The number of lines in the buffer, so that keeping it within `CONSOLE_LINE_LIMIT` needs no walk.
    std::int32_t lineCount = 0;
    Ref<TConsoleTimer> blinkTimer;
    Ref<TConsoleTimer> keyRepeatTimer;
    Ref<TConsoleTimer> slideTimer;
    // Keystrokes taken from the system's queue before a key-state clear, oldest first: the clear would
    // otherwise throw away what was pressed or typed but not yet read.
    std::deque<KeyStroke> strokes;
    // The editing key that repeats while it stays held (0 for none), and the clock time from which it
    // repeats.
    std::int32_t repeatKey = 0;
    std::int32_t repeatFrom = 0;
    // The characters the input line takes.
    std::u16string accepted{CONSOLE_CHARACTERS};
};

// The console's state.
ConsoleState& Console();

// Puts every item back to its start value, with fresh timers on the current clock and an empty buffer.
void ResetConsoleState();

// Steps 1-3 of a frame: the toggle key, then one slide step in the panel's direction.
void ToggleAndSlideConsole(std::int32_t toggleKey);

// The input handling of one frame while shown: key repeat, recall, editing and Enter.
void HandleConsoleInput();

// Counts the frame in the console's frames-per-second window.
void CountConsoleFrame();

// Draws the panel at its current position (shown or not).
void DrawConsole();

// Completes the input line to the longest common prefix of the command names it begins.
void CompleteConsoleCommand();

// The system's key-state clear, keeping every keystroke that was still waiting.
void ClearKeysKeepingTyped();

} // namespace vanta::detail
