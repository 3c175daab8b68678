// The error screen: wrapped text lines in the default 8 x 16 font.
#include "ErrorScreen.h"

#include "graphics/Draw.h"
#include "graphics/Graphics.h"
#include "graphics/ImageFont.h"

#include <algorithm>

namespace vanta::play {
namespace {

// Adds `text` to `lines`, one entry per line of the text, each cut into pieces of `columns` characters.
// Tabs become two spaces and bytes the default font lacks become "?".
void AddWrapped(std::vector<std::string>& lines, const std::string& text, std::size_t columns)
{
    std::string line;
    const auto flush = [&] {
        for (std::size_t start = 0; start < line.size() || start == 0; start += columns) {
            lines.push_back(line.substr(start, columns));
            if (line.size() <= columns) break;
        }
        line.clear();
    };
    for (const char c : text) {
        if (c == '\n') {
            flush();
        } else if (c == '\t') {
            line += "  ";
        } else {
            line += c >= 32 && c < 127 ? c : '?';
        }
    }
    flush();
}

} // namespace

void ErrorScreen::Show(const std::string& message, const std::string& traceback)
{
    message_ = message;
    traceback_ = traceback;
}

std::vector<std::string> ErrorScreen::Lines(std::size_t columns) const
{
    columns = std::max<std::size_t>(columns, 16);
    std::vector<std::string> lines{"LUA ERROR", ""};
    AddWrapped(lines, message_, columns);
    if (!traceback_.empty()) {
        lines.emplace_back();
        AddWrapped(lines, traceback_, columns);
    }
    lines.emplace_back();
    AddWrapped(lines, "Save a file of the game or press F5 to reload. Escape quits.", columns);
    return lines;
}

void ErrorScreen::Draw() const
{
    SetTextFont(Null);
    SetRotationAndScale(0.0f, 1.0f, 1.0f);
    SetOrigin(0.0f, 0.0f);
    SetHandle(0.0f, 0.0f);
    SetViewport(0, 0, GraphicsWidth(), GraphicsHeight());
    SetAlpha(1.0f);
    SetBlendMode(BLEND_SOLID);
    SetColor(ERROR_SCREEN_RGB[0], ERROR_SCREEN_RGB[1], ERROR_SCREEN_RGB[2]);
    DrawRect(0.0f, 0.0f, static_cast<float>(GraphicsWidth()), static_cast<float>(GraphicsHeight()));
    SetBlendMode(BLEND_ALPHA);
    SetColor(ERROR_TEXT_RGB[0], ERROR_TEXT_RGB[1], ERROR_TEXT_RGB[2]);
    const std::int32_t lineHeight = std::max(TextHeight(), 1);
    const std::int32_t charWidth = std::max(TextWidth("M"_s), 1);
    const auto columns = static_cast<std::size_t>(std::max((GraphicsWidth() - 16) / charWidth, 1));
    float y = 8.0f;
    for (const std::string& line : Lines(columns)) {
        if (y + static_cast<float>(lineHeight) > static_cast<float>(GraphicsHeight())) break;
        DrawText(String::FromBytes(line.data(), static_cast<std::int32_t>(line.size())), 8.0f, y);
        y += static_cast<float>(lineHeight);
    }
    SetBlendMode(BLEND_SOLID);
}

} // namespace vanta::play
