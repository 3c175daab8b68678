// The contact sheet: every picture on one page with its name, transparent parts shown as a checkerboard,
// and the level's scene composed the way the game draws its first frame (strips moved left by 300 pixels
// so their seams show).
#include "game/LevelLayout.h"
#include "tools/media/Encoders.h"
#include "tools/media/Media.h"
#include "tools/media/StrokeFont.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <string_view>

namespace vanta::media {
namespace {

bool IsMaskColour(const std::uint8_t* p)
{
    return p[0] == 0 && p[1] == 0 && p[2] == 0;
}

// Copies `source` onto `target` at (x, y): masked pictures skip their black, RGBA ones blend; with
// `checker`, what is skipped shows a checkerboard instead.
void Blit(Raster& target, const WrittenPicture& picture, int x, int y, bool checker)
{
    const Raster& source = picture.pixels;
    for (int sy = 0; sy < source.height; ++sy) {
        for (int sx = 0; sx < source.width; ++sx) {
            const int tx = x + sx, ty = y + sy;
            if (tx < 0 || ty < 0 || tx >= target.width || ty >= target.height) continue;
            const std::uint8_t* p = source.At(sx, sy);
            std::uint8_t* q = target.At(tx, ty);
            double alpha = 1;
            if (picture.storage == Storage::PaletteMasked && IsMaskColour(p)) alpha = 0;
            if (picture.storage == Storage::RGBA) alpha = p[3] / 255.0;
            if (checker) {
                const std::uint8_t square = ((sx / 6 + sy / 6) % 2 == 0) ? 70 : 95;
                q[0] = q[1] = q[2] = square;
            }
            for (int c = 0; c < 3; ++c)
                q[c] = static_cast<std::uint8_t>(std::lround(q[c] * (1 - alpha) + p[c] * alpha));
            q[3] = 255;
        }
    }
}

} // namespace

void WriteContactSheet(const std::string& directory, const std::vector<WrittenPicture>& pictures)
{
    constexpr int width = 1320, height = 1840, labelHeight = 18, gap = 10;
    Raster sheet(width, height);
    for (std::size_t i = 0; i < sheet.rgba.size(); i += 4) {
        sheet.rgba[i] = 40;
        sheet.rgba[i + 1] = 40;
        sheet.rgba[i + 2] = 46;
        sheet.rgba[i + 3] = 255;
    }
    std::map<std::string, const WrittenPicture*, std::less<>> byName;
    for (const WrittenPicture& picture : pictures)
        byName[picture.name] = &picture;

    struct Label
    {
        std::string text;
        int x, y;
    };
    std::vector<Label> labels;
    auto place = [&](const WrittenPicture& picture, int x, int& y) {
        labels.push_back(
            {picture.name + "  " + std::to_string(picture.pixels.width) + "x" + std::to_string(picture.pixels.height),
             x, y + 4});
        y += labelHeight;
        Blit(sheet, picture, x, y, true);
        y += picture.pixels.height + gap;
    };

    int left = 10, right = 670;
    int y = 10;
    for (const WrittenPicture& picture : pictures) {
        if (picture.pixels.width == 640 && picture.pixels.height >= 360) place(picture, left, y);
    }

    // The level as the game composes it.
    y = 10;
    labels.push_back({"level, first frame (strips at x = -300)", right, y + 4});
    y += labelHeight;
    Raster scene(640, 480);
    for (std::size_t i = 3; i < scene.rgba.size(); i += 4)
        scene.rgba[i] = 255;
    auto draw = [&](std::string_view name, int x, int sy) {
        const auto found = byName.find(name);
        if (found == byName.end()) return;
        Blit(scene, *found->second, x, sy, false);
    };
    draw(game::LEVEL_SKY.file, game::LEVEL_SKY.x, game::LEVEL_SKY.y);
    draw(game::LEVEL_MOON.file, game::LEVEL_MOON.x, game::LEVEL_MOON.y);
    for (const game::LevelLayer& layer : game::LEVEL_LAYERS) {
        for (int x : {-300, 340})
            draw(layer.file, x, layer.y);
    }
    constexpr game::LevelCreature creature = game::LEVEL_CREATURE;
    const auto walker = byName.find(creature.file);
    if (walker != byName.end()) {
        WrittenPicture cell{walker->second->name, Storage::RGBA, Raster(creature.cellWidth, creature.cellHeight)};
        for (int cy = 0; cy < creature.cellHeight; ++cy)
            std::copy_n(walker->second->pixels.At(0, cy), creature.cellWidth * 4, cell.pixels.At(0, cy));
        Blit(scene, cell, creature.x, creature.y, false);
    }
    Blit(sheet, WrittenPicture{"", Storage::RGB, scene}, right, y, false);
    y += 480 + gap;
    for (const WrittenPicture& picture : pictures) {
        if (!(picture.pixels.width == 640 && picture.pixels.height >= 360)) place(picture, right, y);
    }

    Canvas canvas(width, height);
    canvas.Write(sheet);
    cairo_t* cr = canvas.Context();
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_width(cr, 1.1);
    canvas.SetColour(Colour{0.85, 0.87, 0.92});
    for (const Label& label : labels)
        AddTextPath(cr, label.text, label.x, label.y, 8, 1.8);
    cairo_stroke(cr);
    WritePNG(directory + "/contact-sheet.png", canvas.Read(), false, 6);
}

} // namespace vanta::media
