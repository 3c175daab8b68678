// The console's state, its initialiser, its timers, the line buffer, and the parts of a frame that need
// no drawing: the toggle and slide and the frame counter.
#include "console/Console.h"

#include "console/detail/ConsoleState.h"
#include "graphics/Font.h"
#include "graphics/FreeTypeFont.h"
#include "graphics/Graphics.h"
#include "pixmap/Pixmap.h"
#include "pixmap/loaders/PNGLoader.h"
#include "stream/IncbinStream.h"
#include "system/HostDriver.h"
#include "system/System.h"

namespace vanta {
namespace detail {
ConsoleState& Console()
{
    static ConsoleState state;
    return state;
}

void ResetConsoleState()
{
    ConsoleState& console = Console();
    console = ConsoleState{};
    console.blinkTimer = TConsoleTimer::StartTimer(CONSOLE_BLINK_PERIOD);
    console.keyRepeatTimer = TConsoleTimer::StartTimer(CONSOLE_KEY_REPEAT_PERIOD);
    console.slideTimer = TConsoleTimer::StartTimer(CONSOLE_SLIDE_PERIOD);
    console.lines = CreateList();
}

void ToggleAndSlideConsole(std::int32_t toggleKey)
{
    ConsoleState& console = Console();
    if (KeyHits(toggleKey & 0xFF) != 0) console.shown = 1 - console.shown;
    if (console.shown != 0) {
        if (console.slideTimer->HasExpired() != 0) {
            console.slideTimer = TConsoleTimer::StartTimer(CONSOLE_SLIDE_PERIOD);
            console.y += CONSOLE_SLIDE_STEP;
        }
        if (console.y > 0) console.y = 0;
    } else {
        if (console.slideTimer->HasExpired() != 0) {
            console.slideTimer = TConsoleTimer::StartTimer(CONSOLE_SLIDE_PERIOD);
            console.y -= CONSOLE_SLIDE_STEP;
        }
        // Hidden, even the bottom frame line (drawn at y + height) lies above the screen.
        if (console.y < -console.height - 1) console.y = -console.height - 1;
    }
}

void CountConsoleFrame()
{
    ConsoleState& console = Console();
    // The frame that closes a window is counted, so a steady 60 frames per second shows 60.
    ++console.frameCounter;
    const std::int32_t now = ReadClock();
    if (ClockDistance(console.windowStart, now) >= 1000) {
        console.framesPerSecond = console.frameCounter;
        console.frameCounter = 0;
        console.windowStart = now;
    }
}

} // namespace detail

Ref<TConsoleTimer> TConsoleTimer::StartTimer(std::int32_t period)
{
    Ref<TConsoleTimer> timer = New<TConsoleTimer>();
    timer->start = ReadClock();
    timer->end =
        static_cast<std::int32_t>(static_cast<std::uint32_t>(timer->start) + static_cast<std::uint32_t>(period));
    return timer;
}

std::int32_t TConsoleTimer::OnExpire()
{
    return 0;
}

std::int32_t TConsoleTimer::HasExpired()
{
    // "The clock has passed the end", read modulo 2^32: a plain comparison would stall every timer for
    // 24.8 days once the clock crossed into negative numbers.
    if (static_cast<std::int32_t>(ClockDistance(end, ReadClock())) > 0) {
        OnExpire();
        return 1;
    }
    return 0;
}

std::int32_t ConsoleShown()
{
    return detail::Console().shown;
}

void SetConsoleShown(std::int32_t shown, std::int32_t immediately)
{
    detail::ConsoleState& console = detail::Console();
    console.shown = shown != 0 ? 1 : 0;
    if (immediately != 0) console.y = console.shown != 0 ? 0 : -console.height - 1;
}

std::int32_t ConsoleRetracted()
{
    const detail::ConsoleState& console = detail::Console();
    return console.shown == 0 && console.y <= -console.height - 1 ? 1 : 0;
}

void ConsoleAddLine(const Ref<String>& text, std::int32_t kind)
{
    if (text->Length() == 0) return;
    detail::ConsoleState& console = detail::Console();
    Ref<TConsoleLine> line = New<TConsoleLine>();
    line->text = text;
    line->kind = kind;
    ListAddFirst(console.lines, line);
    ++console.lineCount;
    if (kind == 1) ++console.enteredCount;
    // A game that writes a line every frame would otherwise fill the memory; the oldest line goes.
    if (console.lineCount > CONSOLE_LINE_LIMIT) {
        const Ref<TConsoleLine> oldest = Downcast<TConsoleLine>(console.lines->RemoveLast());
        --console.lineCount;
        if (oldest && oldest->kind == 1) --console.enteredCount;
    }
}

void ClearConsoleLines()
{
    detail::ConsoleState& console = detail::Console();
    ClearList(console.lines);
    console.lineCount = 0;
    console.enteredCount = 0;
}

void InitConsole()
{
    static bool initialised = false;
    if (initialised) return;
    initialised = true;
    InitRuntimeCore();
    InitLinkedLists();
    InitSystem();
    InitIncbinStreams();
    InitPixmaps();
    InitPNGLoader();
    InitGraphics();
    InitFontModule();
    InitFreeTypeFontModule();
    detail::ResetConsoleState();
}

} // namespace vanta
