// The console panel: opening it (font, metrics, background picture), one frame of it, and its drawing.
#include "console/Console.h"
#include "console/detail/ConsoleFiles.h"
#include "console/detail/ConsoleState.h"
#include "graphics/Draw.h"
#include "graphics/Graphics.h"
#include "pixmap/Pixmap.h"

#include <algorithm>

namespace vanta {
namespace detail {
namespace {

constexpr std::int32_t CONSOLE_FONT_SIZE = 10;
constexpr std::int32_t CONSOLE_FONT_STYLE = 4; // filtered glyph images

float F(std::int32_t value)
{
    return static_cast<float>(value);
}

// The picture at `url` stretched to the panel, as a masked image; `Null` when it cannot be read.
Ref<TImage> LoadBackground(const Ref<String>& url, std::int32_t width, std::int32_t height)
{
    const Ref<TPixmap> picture = LoadPixmap(url);
    if (!picture) return Null;
    const Ref<TPixmap> stretched = ResizePixmap(picture, width, height);
    if (!stretched) return Null;
    return LoadImage(stretched, IMAGE_MASKED);
}

void DrawFrameLine(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1)
{
    DrawLine(F(x0), F(y0), F(x1), F(y1), 1);
}

} // namespace

void DrawConsole()
{
    ConsoleState& console = Console();
    const std::int32_t x = console.x;
    const std::int32_t y = console.y;
    const std::int32_t w = console.width;
    const std::int32_t h = console.height;
    const std::int32_t cw = console.charWidth;
    const std::int32_t ch = console.charHeight;

    SetAlpha(console.alpha);
    SetBlendMode(BLEND_ALPHA);
    SetColor(console.r, console.g, console.b);
    if (console.background) DrawImage(console.background, F(x), F(y), 0);

    SetColor(console.r, console.g, console.b);
    DrawRect(F(x), F(y), F(w), F(ch));
    SetColor(console.r, console.g, console.b);
    DrawFrameLine(x, y + ch, x + w - 1, y + ch);

    SetTextFont(console.font);
    // The title is white (full intensity): a colour of (1, 1, 1) is all but black and vanishes on a dark
    // header bar.
    SetColor(255, 255, 255);
    DrawText(console.title + " / "_s + String::FromInt(console.framesPerSecond) + " FPS"_s, F(x + 2), F(y + 2));

    SetAlpha(1.0f);
    SetColor(console.r, console.g, console.b);
    DrawFrameLine(x, y, x, y + h - 1);
    DrawFrameLine(x, y, x + w - 1, y);
    DrawFrameLine(x + w - 1, y, x + w - 1, y + h - 1);
    DrawFrameLine(x, y + h, x + w - 1, y + h);
    DrawFrameLine(x, y + h - ch - 2, x + w - 1, y + h - ch - 2);

    SetViewport(x, y, w, h);

    // Newest line at the bottom, one character height above the input line; at least one line when
    // the buffer has any.
    const std::int32_t visible = ch > 0 ? h / ch - 2 : 0;
    std::int32_t row = y + h - 2 * ch;
    std::int32_t drawn = 0;
    for (const Ref<Object>& value : *console.lines) {
        const Ref<TConsoleLine> line = Downcast<TConsoleLine>(value);
        if (!line) continue;
        DrawText(line->text, F(x + 2), F(row));
        row -= ch;
        if (++drawn >= visible) break;
    }

    if (console.blinkTimer->HasExpired() != 0) {
        console.blinkTimer = TConsoleTimer::StartTimer(CONSOLE_BLINK_PERIOD);
        console.blink = 1 - console.blink;
    }
    if (console.blink == 1) DrawRect(F(x + 2 + console.cursorOffset), F(y + h - ch), F(cw), F(ch - 1));

    SetColor(console.r, console.g, console.b);
    DrawText(console.input, F(x + 2), F(y + h - ch + 1));

    SetViewport(0, 0, GraphicsWidth(), GraphicsHeight());
    SetBlendMode(BLEND_SOLID);
}

} // namespace detail

std::int32_t OpenConsole(const Ref<String>& title, std::int32_t lineCount, std::int32_t r, std::int32_t g,
                         std::int32_t b, float alpha, const Ref<String>& background)
{
    detail::ConsoleState& console = detail::Console();
    console.x = 0;
    console.y = 0;
    console.r = r & 0xFF;
    console.g = g & 0xFF;
    console.b = b & 0xFF;
    console.alpha = alpha;

    detail::RegisterConsoleFont();
    console.font = LoadImageFont("incbin::Vanta.fon"_s, detail::CONSOLE_FONT_SIZE, detail::CONSOLE_FONT_STYLE);
    // Without its font the console writes with the default one (`SetTextFont` of `Null`).
    SetTextFont(console.font);
    console.charWidth = TextWidth("A"_s);
    console.charHeight = TextHeight();

    console.title = title;
    console.width = GraphicsWidth();
    // A panel needs a line to show; fewer would give no height (or a negative one) to stretch a picture to.
    console.height = std::max(lineCount, 1) * console.charHeight;
    console.cursorOffset = 0;

    // A picture that cannot be read gives the built-in one, as an empty URL does.
    console.background = Null;
    if (background->Length() != 0)
        console.background = detail::LoadBackground(background, console.width, console.height);
    if (!console.background && detail::RegisterConsoleBackground())
        console.background = detail::LoadBackground("incbin::bakground.png"_s, console.width, console.height);
    return 0;
}

std::int32_t UpdateConsole(std::int32_t toggleKey)
{
    detail::ToggleAndSlideConsole(toggleKey);
    if (detail::Console().shown != 0) detail::HandleConsoleInput();
    detail::CountConsoleFrame();
    detail::DrawConsole();
    return 0;
}

} // namespace vanta
