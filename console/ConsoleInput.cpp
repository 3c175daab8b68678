// The console's input line: reading keys and typed characters, editing, recall and Enter.
//
// Typed characters: the console takes one per key-repeat period, and the input step clears the key state
// after every character and every Enter (so keys typed into the console do not reach the game as hits).
// Before each clear, the characters still waiting in the system's queue move to the console's own queue,
// so fast typing loses nothing and keeps its order.
//
// Enter, Backspace and Escape are read while held, as editing keys, and they also type a control
// character. When printable characters typed before such a key are still waiting, the key waits its turn:
// it takes effect when its control character reaches the front of the queue, so "$help" typed quickly and
// followed at once by Enter runs "$help", not "$he".
#include "console/Console.h"
#include "console/detail/ConsoleState.h"
#include "system/HostDriver.h"
#include "system/Keys.h"

#include <algorithm>
#include <string_view>

namespace vanta {
namespace detail {
namespace {

constexpr std::u16string_view ACCEPTED =
    u" ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz1234567890!?./:;*%$()&'\"";

constexpr char16_t CHAR_BACKSPACE = 8;
constexpr char16_t CHAR_TAB = 9;
constexpr char16_t CHAR_ENTER = 13;
constexpr char16_t CHAR_ESCAPE = 27;

// The editing keys read while held, in the order they are tested, with the control character each one
// also types (0 for none).
struct EditingKey
{
    std::int32_t code;
    char16_t typed;
    String* name;
};

const EditingKey& EditingKeyAt(int index)
{
    static const EditingKey keys[] = {
        {VK_ESCAPE, CHAR_ESCAPE, "KEY_ESCAPE"_s},
        {VK_RIGHT, 0, "KEY_RIGHT"_s},
        {VK_LEFT, 0, "KEY_LEFT"_s},
        {VK_HOME, 0, "KEY_HOME"_s},
        {VK_END, 0, "KEY_END"_s},
        {VK_RETURN, CHAR_ENTER, "KEY_ENTER"_s},
        {VK_DELETE, 0, "KEY_DELETE"_s},
        {VK_BACK, CHAR_BACKSPACE, "KEY_BACKSPACE"_s},
    };
    return keys[index];
}
constexpr int EDITING_KEY_COUNT = 8;

// Moves the characters waiting in the system's queue to the console's queue, which holds as many as
// the system's ring; beyond that they are dropped, as the ring drops them.
void TakeTypedCharacters()
{
    ConsoleState& console = Console();
    while (const std::int32_t code = NextTypedChar()) {
        if (console.typed.size() < CONSOLE_TYPED_LIMIT) console.typed.push_back(static_cast<char16_t>(code));
    }
}

// Whether a held key that types `typed` must wait: printable characters typed before it still wait.
bool WaitsItsTurn(char16_t typed)
{
    const std::deque<char16_t>& queue = Console().typed;
    if (typed == 0) return false;
    const auto found = std::find(queue.begin(), queue.end(), typed);
    return found != queue.end() && found != queue.begin();
}

// A held key that types `typed` took effect: the copies of its character at the front of the queue
// (the press and its auto-repeats) are used up with it.
void UseUpTyped(char16_t typed)
{
    std::deque<char16_t>& queue = Console().typed;
    if (typed == 0) return;
    while (!queue.empty() && queue.front() == typed)
        queue.pop_front();
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
    TakeTypedCharacters();
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
    detail::TakeTypedCharacters();
    for (int i = 0; i < detail::EDITING_KEY_COUNT; ++i) {
        const detail::EditingKey& key = detail::EditingKeyAt(i);
        if (IsKeyDown(key.code) == 0 || detail::WaitsItsTurn(key.typed)) continue;
        detail::UseUpTyped(key.typed);
        SleepFor(30);
        return key.name;
    }
    if (console.typed.empty()) return EmptyString();
    const char16_t code = console.typed.front();
    console.typed.pop_front();
    // A key whose turn came after it was let go still counts, in its place.
    switch (code) {
    case detail::CHAR_ENTER: return "KEY_ENTER"_s;
    case detail::CHAR_BACKSPACE: return "KEY_BACKSPACE"_s;
    case detail::CHAR_ESCAPE: return "KEY_ESCAPE"_s;
    case detail::CHAR_TAB: return "KEY_TAB"_s;
    default: break;
    }
    detail::ClearKeysKeepingTyped();
    if (detail::ACCEPTED.find(code) == std::u16string_view::npos) return EmptyString();
    return Chr(code);
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
