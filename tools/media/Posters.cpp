// The full-screen pictures: the loading screen's planet, the studio logo, the title picture, and the
// console's background.
#include "tools/media/Encoders.h"
#include "tools/media/Pictures.h"
#include "tools/media/StrokeFont.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace vanta::media {
namespace {

constexpr double PI = 3.14159265358979323846;

Colour Add(const Colour& a, const Colour& b)
{
    return {a.r + b.r, a.g + b.g, a.b + b.b};
}

// Scattered stars; none within `keepOut` of (keepX, keepY).
void Stars(cairo_t* cr, Random& random, int count, double width, double height, double brightness, double keepX = 0,
           double keepY = 0, double keepOut = 0)
{
    for (int i = 0; i < count; ++i) {
        const double x = random.Range(0, width), y = random.Range(0, height);
        if (std::hypot(x - keepX, y - keepY) < keepOut) continue;
        const double bright = brightness * (0.3 + 0.7 * std::pow(random.Uniform(), 2));
        const double radius = random.Uniform() > 0.93 ? 1.8 : 1.0;
        cairo_pattern_t* dot = cairo_pattern_create_radial(x, y, 0, x, y, radius * 1.6);
        cairo_pattern_add_color_stop_rgba(dot, 0, 0.9, 0.93, 1.0, bright);
        cairo_pattern_add_color_stop_rgba(dot, 1, 0.9, 0.93, 1.0, 0);
        cairo_set_source(cr, dot);
        cairo_arc(cr, x, y, radius * 1.6, 0, 2 * PI);
        cairo_fill(cr);
        cairo_pattern_destroy(dot);
    }
}

// Text with a soft coloured glow behind it, a dark outline and a vertical gradient from `top` to `bottom`.
void GlowingText(Canvas& canvas, std::string_view text, double centreX, double y, double size, double weight,
                 const Colour& top, const Colour& bottom, const Colour& glow, double spacing = 1.6)
{
    const double x = centreX - TextWidth(text, size, spacing) / 2;
    Canvas halo(canvas.Width(), canvas.Height());
    cairo_t* h = halo.Context();
    cairo_set_line_cap(h, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(h, CAIRO_LINE_JOIN_ROUND);
    AddTextPath(h, text, x, y, size, spacing);
    halo.SetColour(glow);
    cairo_set_line_width(h, weight * 2.2);
    cairo_stroke(h);
    Raster blurred = halo.Read();
    Blur(blurred, static_cast<int>(size / 6));
    cairo_t* cr = canvas.Context();
    PaintRaster(cr, blurred, 0, 0, 0.9);

    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    AddTextPath(cr, text, x, y, size, spacing);
    canvas.SetColour(Colour{0.05, 0.03, 0.08});
    cairo_set_line_width(cr, weight + 3);
    cairo_stroke_preserve(cr);
    cairo_pattern_t* fill = cairo_pattern_create_linear(0, y - weight / 2, 0, y + size + weight / 2);
    cairo_pattern_add_color_stop_rgb(fill, 0, top.r, top.g, top.b);
    cairo_pattern_add_color_stop_rgb(fill, 1, bottom.r, bottom.g, bottom.b);
    cairo_set_source(cr, fill);
    cairo_set_line_width(cr, weight);
    cairo_stroke(cr);
    cairo_pattern_destroy(fill);
}

void Disc(cairo_t* cr, double x, double y, double r)
{
    cairo_arc(cr, x, y, r, 0, 2 * PI);
}

} // namespace

void Blur(Raster& raster, int radius)
{
    if (radius < 1) return;
    const int w = raster.width, h = raster.height;
    std::vector<double> values(static_cast<std::size_t>(w) * h * 4);
    for (std::size_t i = 0; i < values.size(); i += 4) {
        const double a = raster.rgba[i + 3] / 255.0;
        for (int c = 0; c < 3; ++c)
            values[i + static_cast<std::size_t>(c)] = raster.rgba[i + static_cast<std::size_t>(c)] * a;
        values[i + 3] = raster.rgba[i + 3];
    }
    std::vector<double> line;
    auto pass = [&](int count, int lines, std::size_t step, std::size_t lineStep) {
        line.resize(static_cast<std::size_t>(count));
        for (int l = 0; l < lines; ++l) {
            for (int c = 0; c < 4; ++c) {
                const std::size_t base = static_cast<std::size_t>(l) * lineStep + static_cast<std::size_t>(c);
                double sum = 0;
                auto at = [&](int i) {
                    return values[base + static_cast<std::size_t>(std::clamp(i, 0, count - 1)) * step];
                };
                for (int i = -radius; i <= radius; ++i)
                    sum += at(i);
                for (int i = 0; i < count; ++i) {
                    line[static_cast<std::size_t>(i)] = sum / (2 * radius + 1);
                    sum += at(i + radius + 1) - at(i - radius);
                }
                for (int i = 0; i < count; ++i)
                    values[base + static_cast<std::size_t>(i) * step] = line[static_cast<std::size_t>(i)];
            }
        }
    };
    for (int round = 0; round < 3; ++round) {
        pass(w, h, 4, static_cast<std::size_t>(w) * 4);
        pass(h, w, static_cast<std::size_t>(w) * 4, 4);
    }
    for (std::size_t i = 0; i < values.size(); i += 4) {
        const double a = values[i + 3];
        raster.rgba[i + 3] = static_cast<std::uint8_t>(std::lround(std::clamp(a, 0.0, 255.0)));
        for (int c = 0; c < 3; ++c) {
            const double v = a > 0.01 ? values[i + static_cast<std::size_t>(c)] / (a / 255.0) : 0;
            raster.rgba[i + static_cast<std::size_t>(c)] =
                static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0, 255.0)));
        }
    }
}

Raster DrawGlobe()
{
    constexpr int width = 640, height = 400;
    constexpr double cx = 320, cy = 205, radius = 160;
    Canvas canvas(width, height);
    cairo_t* cr = canvas.Context();
    canvas.SetColour(Colour{});
    cairo_paint(cr);
    Random random(1200);
    Stars(cr, random, 260, width, height, 0.9, cx, cy, radius + 28);
    // A small moon keeps the planet company.
    cairo_pattern_t* moon = cairo_pattern_create_radial(518, 72, 2, 524, 78, 17);
    cairo_pattern_add_color_stop_rgb(moon, 0, 0.85, 0.84, 0.80);
    cairo_pattern_add_color_stop_rgb(moon, 1, 0.28, 0.29, 0.36);
    cairo_set_source(cr, moon);
    Disc(cr, 524, 78, 16);
    cairo_fill(cr);
    cairo_pattern_destroy(moon);
    Raster picture = canvas.Read();

    const double lx = -0.62, ly = -0.38, lz = 0.69; // the sun, up and to the left
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
            const double d = std::hypot(dx, dy);
            std::uint8_t* p = picture.At(x, y);
            if (d > radius + 22) continue;
            if (d >= radius - 0.5) {
                // The atmosphere's halo, brightest on the day side.
                const double day = Clamp01(0.5 - (dx * lx + dy * ly) / d * 0.8);
                const double halo = std::exp(-(d - radius) / 6.0) * (0.25 + 0.75 * day) * Clamp01(d - radius + 0.5);
                const Colour glow = Scale(Colour{0.35, 0.60, 1.0}, halo);
                const Colour under{p[0] / 255.0, p[1] / 255.0, p[2] / 255.0};
                Put(p, Add(Scale(under, 1 - halo), glow));
                if (d > radius + 0.5) continue;
            }
            const double cover = Clamp01(radius - d + 0.5);
            const double nx = dx / radius, ny = dy / radius;
            const double nz = std::sqrt(std::max(0.0, 1 - nx * nx - ny * ny));
            // Tilted axis: rotate about x by 0.35 rad before reading latitude and longitude.
            const double tilt = 0.35;
            const double ry = ny * std::cos(tilt) - nz * std::sin(tilt);
            const double rz = ny * std::sin(tilt) + nz * std::cos(tilt);
            const double longitude = std::atan2(nx, rz) + 1.1;
            const double latitude = std::asin(std::clamp(-ry, -1.0, 1.0));
            const double u = (longitude / (2 * PI) + 1) * 12, v = latitude / PI * 6 + 20;
            const double land = FractalNoise(u, v, 6, 12, 1300);
            const double relief = FractalNoise(u * 3, v * 3, 4, 36, 1301);
            const double weather = FractalNoise(u * 1.5 + 3, v * 2.5, 5, 18, 1302);
            const double polar = std::abs(latitude) + (relief - 0.5) * 0.25;
            Colour surface;
            bool isLand = false;
            if (polar > 1.22) {
                surface = Colour{0.86, 0.90, 0.96};
            } else if (land > 0.53) {
                isLand = true;
                const double height01 = Clamp01((land - 0.53) / 0.2);
                surface = Mix(Colour{0.16, 0.36, 0.14}, Colour{0.46, 0.38, 0.22}, Clamp01(height01 + (relief - 0.5)));
                if (height01 > 0.7) surface = Mix(surface, Colour{0.75, 0.74, 0.72}, (height01 - 0.7) / 0.3);
            } else {
                surface = Mix(Colour{0.03, 0.10, 0.30}, Colour{0.08, 0.32, 0.52}, SmoothStep(0.40, 0.53, land));
            }
            const double clouds = SmoothStep(0.55, 0.72, weather);
            surface = Mix(surface, Colour{0.95, 0.96, 1.0}, clouds * 0.85);
            const double sun = std::max(0.0, nx * lx + ny * ly + nz * lz);
            Colour c = Scale(surface, 0.06 + 1.0 * sun);
            if (!isLand && clouds < 0.3) {
                const double hx = lx, hy = ly, hz = lz + 1; // halfway between the sun and the viewer
                const double hl = std::sqrt(hx * hx + hy * hy + hz * hz);
                const double glint = std::pow(std::max(0.0, (nx * hx + ny * hy + nz * hz) / hl), 40);
                c = Add(c, Scale(Colour{0.8, 0.85, 0.9}, glint * 0.6));
            }
            // Lights of towns on the night side.
            if (isLand && sun < 0.05 && clouds < 0.2 && Hash01(x / 2, y / 2, 1303) > 0.93) {
                c = Add(c, Scale(Colour{1.0, 0.8, 0.4}, 0.55 * (1 - sun / 0.05)));
            }
            // Blue air thickening towards the rim.
            const double rim = std::pow(1 - nz, 2.5);
            c = Add(Scale(c, 1 - rim * 0.5), Scale(Colour{0.30, 0.55, 1.0}, rim * (0.15 + 0.85 * sun)));
            const Colour under{p[0] / 255.0, p[1] / 255.0, p[2] / 255.0};
            Put(p, Mix(under, c, cover));
        }
    }
    // Space is exactly black (transparent when masked); everything drawn is kept clear of black.
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = picture.At(x, y);
            p[3] = 255;
            // The rim and the air just outside it stay opaque, so no speck of space opens inside them.
            const bool onPlanet = std::hypot(x + 0.5 - cx, y + 0.5 - cy) < radius + 2;
            if (!onPlanet && std::max({p[0], p[1], p[2]}) < 4) {
                p[0] = p[1] = p[2] = 0;
                continue;
            }
            if (p[0] == 0 && p[1] == 0 && p[2] == 0) p[2] = 1;
            LiftFromBlack(p);
        }
    }
    return picture;
}

Raster DrawLogo()
{
    constexpr int width = 640, height = 480;
    Canvas canvas(width, height);
    cairo_t* cr = canvas.Context();
    cairo_pattern_t* back = cairo_pattern_create_radial(320, 220, 10, 320, 240, 420);
    cairo_pattern_add_color_stop_rgb(back, 0, 0.09, 0.09, 0.20);
    cairo_pattern_add_color_stop_rgb(back, 1, 0.015, 0.015, 0.04);
    cairo_set_source(cr, back);
    cairo_paint(cr);
    cairo_pattern_destroy(back);

    // The emblem: a golden ring around a crescent moon and a four-pointed star.
    const double ex = 320, ey = 170;
    Canvas halo(width, height);
    halo.SetColour(Colour{1.0, 0.55, 0.15});
    cairo_set_line_width(halo.Context(), 14);
    Disc(halo.Context(), ex, ey, 78);
    cairo_stroke(halo.Context());
    Raster haloRaster = halo.Read();
    Blur(haloRaster, 9);
    PaintRaster(cr, haloRaster, 0, 0, 0.7);

    cairo_pattern_t* gold = cairo_pattern_create_linear(ex - 80, ey - 80, ex + 80, ey + 80);
    cairo_pattern_add_color_stop_rgb(gold, 0, 1.0, 0.92, 0.60);
    cairo_pattern_add_color_stop_rgb(gold, 0.5, 0.95, 0.68, 0.22);
    cairo_pattern_add_color_stop_rgb(gold, 1, 0.60, 0.32, 0.10);
    cairo_set_source(cr, gold);
    cairo_set_line_width(cr, 7);
    Disc(cr, ex, ey, 78);
    cairo_stroke(cr);
    cairo_set_line_width(cr, 1.5);
    Disc(cr, ex, ey, 68);
    cairo_stroke(cr);
    // Crescent: a disc with a darker disc cut out of it (even-odd).
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    cairo_pattern_t* pale = cairo_pattern_create_linear(ex - 60, 0, ex + 20, 0);
    cairo_pattern_add_color_stop_rgb(pale, 0, 0.98, 0.96, 0.88);
    cairo_pattern_add_color_stop_rgb(pale, 1, 0.70, 0.75, 0.95);
    cairo_set_source(cr, pale);
    cairo_new_path(cr);
    cairo_arc(cr, ex - 8, ey, 48, 0, 2 * PI);
    cairo_new_sub_path(cr);
    cairo_arc(cr, ex + 12, ey - 10, 42, 0, 2 * PI);
    cairo_fill(cr);
    cairo_pattern_destroy(pale);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
    auto star = [&](double x, double y, double r) {
        cairo_move_to(cr, x, y - r);
        cairo_curve_to(cr, x + r * 0.12, y - r * 0.12, x + r * 0.12, y - r * 0.12, x + r, y);
        cairo_curve_to(cr, x + r * 0.12, y + r * 0.12, x + r * 0.12, y + r * 0.12, x, y + r);
        cairo_curve_to(cr, x - r * 0.12, y + r * 0.12, x - r * 0.12, y + r * 0.12, x - r, y);
        cairo_curve_to(cr, x - r * 0.12, y - r * 0.12, x - r * 0.12, y - r * 0.12, x, y - r);
        cairo_close_path(cr);
        cairo_fill(cr);
    };
    cairo_set_source(cr, gold);
    star(ex + 26, ey + 4, 20);
    canvas.SetColour(Colour{1.0, 0.95, 0.8});
    star(ex + 8, ey - 30, 7);
    star(ex + 40, ey - 32, 5);
    cairo_pattern_destroy(gold);

    GlowingText(canvas, "ZELKOR", 320, 286, 54, 8, Colour{1.0, 0.93, 0.66}, Colour{0.88, 0.50, 0.16},
                Colour{1.0, 0.45, 0.10}, 2.2);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    canvas.SetColour(Colour{0.62, 0.68, 0.90});
    cairo_set_line_width(cr, 2.2);
    AddTextPath(cr, "S T U D I O", 320 - TextWidth("S T U D I O", 16, 1.2) / 2, 372, 16, 1.2);
    cairo_stroke(cr);
    cairo_set_line_width(cr, 1);
    for (double side : {-1.0, 1.0}) {
        cairo_pattern_t* line = cairo_pattern_create_linear(320 + side * 90, 0, 320 + side * 230, 0);
        cairo_pattern_add_color_stop_rgba(line, 0, 0.62, 0.68, 0.90, 0.9);
        cairo_pattern_add_color_stop_rgba(line, 1, 0.62, 0.68, 0.90, 0);
        cairo_set_source(cr, line);
        cairo_move_to(cr, 320 + side * 90, 380.5);
        cairo_line_to(cr, 320 + side * 230, 380.5);
        cairo_stroke(cr);
        cairo_pattern_destroy(line);
    }
    Raster out = canvas.Read();
    return out;
}

Raster DrawTitle()
{
    constexpr int width = 640, height = 480, band = 440;
    Raster sky(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            Colour c = SkyColour(60 + y * 300.0 / 380);
            const double d = std::hypot(x - 530, y - 190);
            c = Mix(c, Colour{0.45, 0.48, 0.72}, Clamp01(std::exp(-d / 70.0) * 0.6 + std::exp(-d / 220.0) * 0.25));
            Put(sky.At(x, y), c);
        }
    }
    Canvas canvas(width, height);
    canvas.Write(sky);
    cairo_t* cr = canvas.Context();
    Random random(1500);
    Stars(cr, random, 220, width, 330, 0.9);

    // The moon, large, with a few soft maria.
    cairo_pattern_t* moon = cairo_pattern_create_radial(517, 177, 5, 530, 190, 50);
    cairo_pattern_add_color_stop_rgb(moon, 0, 1.0, 0.98, 0.90);
    cairo_pattern_add_color_stop_rgb(moon, 0.85, 0.88, 0.87, 0.84);
    cairo_pattern_add_color_stop_rgb(moon, 1, 0.70, 0.72, 0.82);
    cairo_set_source(cr, moon);
    Disc(cr, 530, 190, 48);
    cairo_fill(cr);
    cairo_pattern_destroy(moon);
    canvas.SetColour(Colour{0.62, 0.64, 0.74}, 0.35);
    for (const auto& m :
         std::vector<std::array<double, 3>>{{515, 176, 12}, {546, 200, 15}, {522, 210, 8}, {550, 170, 7}}) {
        Disc(cr, m[0], m[1], m[2]);
        cairo_fill(cr);
    }

    // Three ranges of hills, far to near, each darker and nearer.
    auto hills = [&](double base, double amplitude, double feature, std::uint32_t seed, const Colour& top,
                     const Colour& bottom) {
        cairo_move_to(cr, 0, band);
        for (int x = 0; x <= width; x += 4) {
            const double n = FractalNoise(x / feature, 0.5, 4, 0, seed);
            cairo_line_to(cr, x, base - amplitude * n);
        }
        cairo_line_to(cr, width, band);
        cairo_close_path(cr);
        cairo_pattern_t* fill = cairo_pattern_create_linear(0, base - amplitude, 0, band);
        cairo_pattern_add_color_stop_rgb(fill, 0, top.r, top.g, top.b);
        cairo_pattern_add_color_stop_rgb(fill, 1, bottom.r, bottom.g, bottom.b);
        cairo_set_source(cr, fill);
        cairo_fill(cr);
        cairo_pattern_destroy(fill);
    };
    hills(330, 120, 90, 1501, Colour{0.20, 0.22, 0.40}, Colour{0.12, 0.14, 0.26});
    hills(380, 80, 70, 1502, Colour{0.11, 0.14, 0.25}, Colour{0.07, 0.10, 0.16});
    // The near hill: a smooth crest the walker stands on.
    cairo_move_to(cr, 0, band);
    cairo_line_to(cr, 0, 400);
    cairo_curve_to(cr, 160, 352, 320, 362, 400, 378);
    cairo_curve_to(cr, 500, 398, 580, 392, 640, 384);
    cairo_line_to(cr, 640, band);
    cairo_close_path(cr);
    cairo_pattern_t* nearFill = cairo_pattern_create_linear(0, 355, 0, band);
    cairo_pattern_add_color_stop_rgb(nearFill, 0, 0.10, 0.20, 0.12);
    cairo_pattern_add_color_stop_rgb(nearFill, 1, 0.04, 0.08, 0.06);
    cairo_set_source(cr, nearFill);
    cairo_fill(cr);
    cairo_pattern_destroy(nearFill);
    // Fireflies over the grass.
    for (int i = 0; i < 26; ++i) {
        const double x = random.Range(10, 630), y = random.Range(360, 432);
        cairo_pattern_t* glow = cairo_pattern_create_radial(x, y, 0, x, y, 5);
        cairo_pattern_add_color_stop_rgba(glow, 0, 0.9, 1.0, 0.5, 0.9);
        cairo_pattern_add_color_stop_rgba(glow, 1, 0.9, 1.0, 0.5, 0);
        cairo_set_source(cr, glow);
        Disc(cr, x, y, 5);
        cairo_fill(cr);
        cairo_pattern_destroy(glow);
    }
    DrawWalker(cr, 0.25, 250, 362, 1.5);

    GlowingText(canvas, "NOCTAMBULE", 320, 34, 50, 8, Colour{1.0, 0.95, 0.72}, Colour{0.95, 0.55, 0.20},
                Colour{0.55, 0.45, 1.0}, 1.9);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    canvas.SetColour(Colour{0.78, 0.82, 1.0});
    cairo_set_line_width(cr, 1.8);
    const char* subtitle = "une balade au clair de lune";
    AddTextPath(cr, subtitle, 320 - TextWidth(subtitle, 12, 1.4) / 2, 104, 12, 1.4);
    cairo_stroke(cr);

    // The scroller's band: quiet and dark, under a thin golden line.
    cairo_pattern_t* shade = cairo_pattern_create_linear(0, band, 0, height);
    cairo_pattern_add_color_stop_rgb(shade, 0, 0.05, 0.05, 0.11);
    cairo_pattern_add_color_stop_rgb(shade, 1, 0.02, 0.02, 0.05);
    cairo_set_source(cr, shade);
    cairo_rectangle(cr, 0, band, width, height - band);
    cairo_fill(cr);
    cairo_pattern_destroy(shade);
    canvas.SetColour(Colour{0.85, 0.62, 0.25});
    cairo_set_line_width(cr, 1);
    cairo_move_to(cr, 0, band + 0.5);
    cairo_line_to(cr, width, band + 0.5);
    cairo_stroke(cr);
    return canvas.Read();
}

Raster DrawConsoleBackground()
{
    constexpr int width = 256, height = 128;
    Raster out(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const double diagonal = (x + y * 1.5) / (width + height * 1.5);
            Colour c = Mix(Colour{0.46, 0.50, 0.58}, Colour{0.30, 0.33, 0.42}, diagonal);
            const double brushed = FractalNoise(x / 32.0, y / 1.5, 3, 0, 1700) - 0.5;
            c = Scale(c, 1 + brushed * 0.18);
            if (y % 2 == 1) c = Scale(c, 0.94);
            if (x % 32 == 0 || y % 32 == 0) c = Scale(c, 1.08);
            Put(out.At(x, y), c);
        }
    }
    LiftFromBlack(out);
    return out;
}

} // namespace vanta::media
