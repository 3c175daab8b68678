// The console's input line: reading keystrokes, editing, recall and Enter.
//
// The console reads keystrokes (key presses and typed characters in the order they came, system/Input.h),
// one per key-repeat period, so an editing key acts in its place among the characters typed around it
// and each press acts once, however short. A held editing key repeats once per key-repeat period after
// `CONSOLE_REPEAT_DELAY`; the system's own auto-repeat of a key does not make keystrokes. The control
// characters that Enter, Backspace, Escape and Tab also type are dropped: their key presses act.
//
// The input step clears the key state after every character and every Enter (so keys typed into the
// console do not reach the game as hits). Before each clear, the keystrokes still waiting in the system's
// queue move to the console's own queue, so fast typing loses nothing and keeps its order.
#include "console/Console.h"
#include "console/detail/ConsoleState.h"
#include "system/HostDriver.h"
#include "system/Keys.h"

#include <algorithm>
#include <string_view>

namespace vanta {
namespace detail {
namespace {

// The name of an editing key, or `Null` for any other key.
String* EditingKeyName(std::int32_t code)
{
    switch (code) {
    case VK_ESCAPE: return "KEY_ESCAPE"_s;
    case VK_RIGHT: return "KEY_RIGHT"_s;
    case VK_LEFT: return "KEY_LEFT"_s;
    case VK_HOME: return "KEY_HOME"_s;
    case VK_END: return "KEY_END"_s;
    case VK_RETURN: return "KEY_ENTER"_s;
    case VK_DELETE: return "KEY_DELETE"_s;
    case VK_BACK: return "KEY_BACKSPACE"_s;
    case VK_TAB: return "KEY_TAB"_s;
    default: return nullptr;
    }
}

// Moves the keystrokes waiting in the system's queue to the console's queue, which holds as many as the
// system's ring; beyond that they are dropped, as the ring drops them.
void TakeKeyStrokes()
{
    ConsoleState& console = Console();
    for (KeyStroke stroke = NextKeyStroke(); stroke.key != 0 || stroke.character != 0; stroke = NextKeyStroke()) {
        if (console.strokes.size() < CONSOLE_STROKE_LIMIT) console.strokes.push_back(stroke);
    }
}

// Turns the input queries' automatic polling off for its lifetime.
class AutoPollOff
{
public:
    AutoPollOff() : saved_(AutoPoll()) { SetAutoPoll(0); }
    ~AutoPollOff() { SetAutoPoll(saved_); }
    AutoPollOff(const AutoPollOff&) = delete;
    AutoPollOff& operator=(const AutoPollOff&) = delete;

private:
    std::int32_t saved_;
};

// The held editing key's repeat when it is due; `Null` otherwise. A key found let go stops repeating.
String* DueRepeat()
{
    ConsoleState& console = Console();
    if (console.repeatKey == 0) return nullptr;
    // Read without pumping: a keystroke that a pump brought in now would have to act before the repeat.
    const AutoPollOff noPump;
    if (IsKeyDown(console.repeatKey) == 0) {
        console.repeatKey = 0;
        return nullptr;
    }
    if (static_cast<std::int32_t>(ClockDistance(console.repeatFrom, ReadClock())) < 0) return nullptr;
    return EditingKeyName(console.repeatKey);
}

void ClampCursor()
{
    ConsoleState& console = Console();
    console.cursorIndex = std::max(console.cursorIndex, 0);
    console.cursorOffset = std::max(console.cursorOffset, 0);
}

void ActOnKey(const Ref<String>& key)
{
    ConsoleState& console = Console();
    const std::int32_t length = console.input->Length();
    const std::u16string_view name = key->View();
    if (name == u"KEY_LEFT") {
        --console.cursorIndex;
        console.cursorOffset -= console.charWidth;
        ClampCursor();
    } else if (name == u"KEY_RIGHT") {
        console.cursorIndex = std::min(console.cursorIndex + 1, length);
        console.cursorOffset = std::min(console.cursorOffset + console.charWidth, console.width - console.charWidth);
        console.cursorOffset = std::min(console.cursorOffset, console.charWidth * length);
    } else if (name == u"KEY_DELETE") {
        console.input = RemoveCharAt(console.input, console.cursorIndex, 1);
    } else if (name == u"KEY_HOME") {
        console.cursorIndex = 0;
        console.cursorOffset = 0;
    } else if (name == u"KEY_END") {
        console.cursorIndex = length;
        console.cursorOffset = console.charWidth * length;
    } else if (name == u"KEY_BACKSPACE") {
        --console.cursorIndex;
        console.cursorOffset -= console.charWidth;
        if (console.cursorIndex >= 0) console.input = RemoveCharAt(console.input, console.cursorIndex, 1);
        ClampCursor();
    } else if (name == u"KEY_ENTER") {
        const Ref<String> entered = console.input;
        console.cursorOffset = 0;
        console.cursorIndex = 0;
        ConsoleAddLine(entered, 1);
        RunConsoleCommand(entered);
        console.input = EmptyString();
        ClearKeysKeepingTyped();
    } else if (name == u"KEY_TAB") {
        CompleteConsoleCommand();
    } else if (key->Length() == 1) {
        ++console.cursorIndex;
        console.cursorOffset += console.charWidth;
        // The character goes where the cursor was.
        console.input = InsertTextAt(console.input, key, console.cursorIndex - 1);
        ClearKeysKeepingTyped();
    }
}

} // namespace

void ClearKeysKeepingTyped()
{
    TakeKeyStrokes();
    // The clear itself must not pump: a character that arrived in that pump would be cleared unread.
    const AutoPollOff noPump;
    ClearKeys();
}

void HandleConsoleInput()
{
    ConsoleState& console = Console();
    Ref<String> key = EmptyString();
    if (console.keyRepeatTimer->HasExpired() != 0) {
        key = ReadConsoleKey();
        console.keyRepeatTimer = TConsoleTimer::StartTimer(CONSOLE_KEY_REPEAT_PERIOD);
    }
    if (KeyHits(VK_UP) != 0) {
        if (++console.recallIndex > console.enteredCount) console.recallIndex = 1;
        RecallEnteredLine(console.recallIndex);
    }
    if (KeyHits(VK_DOWN) != 0) {
        if (--console.recallIndex < 1) console.recallIndex = console.enteredCount;
        RecallEnteredLine(console.recallIndex);
    }
    if (key->Length() != 0) ActOnKey(key);
}

} // namespace detail

Ref<String> ReadConsoleKey()
{
    detail::ConsoleState& console = detail::Console();
    detail::TakeKeyStrokes();
    while (!console.strokes.empty()) {
        const KeyStroke stroke = console.strokes.front();
        console.strokes.pop_front();
        if (stroke.key != 0) {
            String* name = detail::EditingKeyName(stroke.key);
            // Any other key going down ends the repeat, as on a desktop; it acts through its character.
            console.repeatKey = name != nullptr ? stroke.key : 0;
            if (name == nullptr) continue;
            console.repeatFrom = static_cast<std::int32_t>(static_cast<std::uint32_t>(ReadClock()) +
                                                           static_cast<std::uint32_t>(detail::CONSOLE_REPEAT_DELAY));
            return name;
        }
        // The control characters of Enter, Backspace, Escape and Tab: their key presses have acted.
        if (stroke.character < u' ') continue;
        console.repeatKey = 0;
        detail::ClearKeysKeepingTyped();
        if (console.accepted.find(static_cast<char16_t>(stroke.character)) == std::u16string::npos)
            return EmptyString();
        return Chr(stroke.character);
    }
    if (String* repeat = detail::DueRepeat()) return repeat;
    return EmptyString();
}

void SetConsoleCharacters(const Ref<String>& characters)
{
    detail::ConsoleState& console = detail::Console();
    if (!characters || characters->Length() == 0)
        console.accepted = CONSOLE_CHARACTERS;
    else
        console.accepted = characters->View();
}

Ref<String> ConsoleCharacters()
{
    const std::u16string& accepted = detail::Console().accepted;
    Ref<String> characters = NewString(static_cast<std::int32_t>(accepted.size()));
    std::copy(accepted.begin(), accepted.end(), characters->MutableUnits());
    return characters;
}

void RecallEnteredLine(std::int32_t n)
{
    detail::ConsoleState& console = detail::Console();
    if (n < 1) return;
    std::int32_t seen = 0;
    for (const Ref<Object>& value : *console.lines) {
        const Ref<TConsoleLine> line = Downcast<TConsoleLine>(value);
        if (!line || line->kind != 1) continue;
        if (++seen < n) continue;
        console.input = line->text;
        // The cursor stays where it was, unless the recalled line ends before it: then it moves to the
        // line's end, so that what is typed next goes where the cursor is drawn.
        const std::int32_t length = console.input->Length();
        if (console.cursorIndex > length) {
            console.cursorIndex = length;
            console.cursorOffset = std::min(console.cursorOffset, console.charWidth * length);
        }
        return;
    }
}

Ref<String> RemoveCharAt(const Ref<String>& s, std::int32_t index, std::int32_t count)
{
    const std::int32_t length = s->Length();
    if (index < 0 || index >= length || count < 1) return s;
    // What is left after the removed run; a count reaching past the end removes the rest.
    const std::int32_t tail = count >= length - index ? 0 : length - index - count;
    return Slice(s, 0, index) + Slice(s, length - tail, length);
}

Ref<String> InsertTextAt(const Ref<String>& s, const Ref<String>& text, std::int32_t position)
{
    const std::int32_t length = s->Length();
    if (position <= 0) return text + s;
    if (position >= length) return s + text;
    return Slice(s, 0, position) + text + Slice(s, position, length);
}

} // namespace vanta
