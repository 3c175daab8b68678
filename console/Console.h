// The developer console: a drop-down text panel drawn over a game's picture, with line editing, recall
// of entered lines, built-in commands and commands a game adds.
//
// Builds on the object runtime (strings, the linked list, memory figures), the system driver (clock,
// polled keys, typed characters, pointer; system/HostDriver.h), the drawing layer (graphics/Draw.h),
// image fonts and images. A game opens the console once after its graphics are open (`OpenConsole`) and
// then calls `UpdateConsole` once a frame, between its own drawing and its flip, passing the key that
// shows and hides the panel. The panel slides 22 pixels down or up each time more than 10 ms have passed;
// while it is shown, typed characters go to the input line (one per 50 ms key-repeat period, the rest
// wait in order), Left, Right, Home, End, Delete and Backspace edit it, Up and Down recall entered
// lines, Tab completes a command name and Enter adds the line to the buffer and runs it as a command.
//
// The console draws with the drawing layer's settings and leaves its own font current, the colour at its
// tint and the alpha at 1.0; a game that draws after `UpdateConsole` sets what it needs.
//
// Main thread only, from the game's frame loop.
#pragma once

#include "runtime/String.h"

#include <cstdint>
#include <functional>
#include <string_view>

namespace vanta {

// One line of the console's buffer: its text and its kind (1 for a line the user entered, 0 for output).
class TConsoleLine : public Object
{
    VANTA_CLASS(TConsoleLine, Object)
public:
    TConsoleLine() = default;

    Ref<String> text = EmptyString(); // the line as shown, never empty in the buffer
    std::int32_t kind = 0;            // 1 for a line the user entered, 0 for output
};

// A one-shot interval on the system clock; renewed by replacing it with a new one of the same period.
class TConsoleTimer : public Object
{
    VANTA_CLASS(TConsoleTimer, Object)
public:
    TConsoleTimer() = default;

    // A new timer that expires once more than `period` milliseconds have passed from now.
    static Ref<TConsoleTimer> StartTimer(std::int32_t period);
    // Called by `HasExpired` when it finds the timer expired; does nothing here. Returns 0.
    virtual std::int32_t OnExpire();
    // 1 (after calling `OnExpire`) once the clock has passed the end, else 0. The clock may wrap round.
    virtual std::int32_t HasExpired();

    std::int32_t start = 0; // the clock reading (`ReadClock`, milliseconds) when the timer started
    std::int32_t end = 0;   // start + period on the clock, wrapping as the clock does; expired once passed
};

// The most lines the buffer keeps; adding a line to a full buffer drops the oldest line.
inline constexpr std::int32_t CONSOLE_LINE_LIMIT = 1024;

// Opens (or re-opens) the console: its title, its height in text lines, its tint (each component taken
// modulo 256), the alpha of its background and header, and the URL of its background picture (empty for
// the built-in one; a picture that cannot be read also gives the built-in one). Loads the console font.
// Needs open graphics. The line buffer is kept. Returns 0.
std::int32_t OpenConsole(const Ref<String>& title, std::int32_t lineCount, std::int32_t r, std::int32_t g,
                         std::int32_t b, float alpha, const Ref<String>& background);

// Runs one frame of the console: the toggle key (a virtual-key code, taken modulo 256; see
// system/Keys.h), the slide, the input while shown, the frame counter and the drawing (also while
// hidden). Needs `OpenConsole` first. Returns 0.
std::int32_t UpdateConsole(std::int32_t toggleKey);

// 1 while the panel is meant to be shown (also while it slides), else 0; lets a game leave keys alone
// while the player types into the console.
std::int32_t ConsoleShown();

// Shows (`shown` non-zero) or hides the panel, as the toggle key does; with `immediately` non-zero the
// panel is at once where the slide would end. Lets a program open the console on a key it reads itself.
void SetConsoleShown(std::int32_t shown, std::int32_t immediately = 0);
// 1 when the panel is hidden and has slid all the way up (`UpdateConsole` would draw nothing that shows),
// else 0.
std::int32_t ConsoleRetracted();
// Adds a line at the newest end of the buffer; kind 1 marks a line the user entered. An empty text adds
// nothing.
void ConsoleAddLine(const Ref<String>& text, std::int32_t kind = 0);

// Empties the buffer and forgets the entered lines (the recall position stays).
void ClearConsoleLines();

// This frame's editing input: "KEY_ESCAPE", "KEY_RIGHT", "KEY_LEFT", "KEY_HOME", "KEY_END", "KEY_ENTER",
// "KEY_DELETE", "KEY_BACKSPACE" or "KEY_TAB", one accepted typed character, or the empty string.
Ref<String> ReadConsoleKey();

// The characters the input line takes by default: space, the Latin letters, the digits and
// ! ? . / : ; * % $ ( ) & ' and the double quote (77 in all).
inline constexpr std::u16string_view CONSOLE_CHARACTERS =
    u" ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz1234567890!?./:;*%$()&'\"";

// Sets the characters the input line takes; any other typed character is dropped. A console whose
// commands need more (one that evaluates script code wants + - = < > [ ] { } , _ # and the rest) names
// them all. `Null` or the empty string gives back `CONSOLE_CHARACTERS`. The setting outlives
// `OpenConsole`.
void SetConsoleCharacters(const Ref<String>& characters);
// The characters the input line takes now.
Ref<String> ConsoleCharacters();

// Makes the n-th most recent entered line (1 = the newest) the input text; nothing changes when there
// are fewer than n entered lines.
void RecallEnteredLine(std::int32_t n);

// `s` without the `count` characters from `index` on; `s` itself when `index` is at or past its end.
Ref<String> RemoveCharAt(const Ref<String>& s, std::int32_t index, std::int32_t count);

// `s` with `text` inserted after its first `position` characters (at the end when `position` is past it).
Ref<String> InsertTextAt(const Ref<String>& s, const Ref<String>& text, std::int32_t position);

// Runs the command the entered text names: the letters a-z are raised and the whole text must equal a
// command name exactly; the built-in commands "$HELP", "$CLS", "$VERSION", "$TIME", "$DATE", "$MOUSE" and
// "$MEM" come first, then the ones a game registered. Text that names no command does nothing.
void RunConsoleCommand(const Ref<String>& text);

// Adds a command for `RunConsoleCommand` and Tab completion. The name is matched with its letters a-z
// raised (so "$fps" answers to "$FPS" and "$Fps"); a handler writes its output with `ConsoleAddLine`.
// Registering a name again replaces its handler, and an empty handler removes the command. Returns 1, or
// 0 (and changes nothing) for an empty name or the name of a built-in command.
std::int32_t RegisterConsoleCommand(const Ref<String>& name, std::function<void()> handler);

// Adds a command that takes text: "NAME TEXT" (the name matched as `RunConsoleCommand` matches names,
// then one space) runs the handler with TEXT, and "NAME" alone with the empty text. A command registered
// by `RegisterConsoleCommand` under the same name runs first for "NAME" alone. Returns and replaces as
// `RegisterConsoleCommand` does; an empty handler removes the command.
std::int32_t RegisterConsoleTextCommand(const Ref<String>& name, std::function<void(const Ref<String>&)> handler);
// The console module's initialiser: the modules it needs, the three timers and the empty buffer. Later
// calls do nothing.
void InitConsole();

} // namespace vanta
