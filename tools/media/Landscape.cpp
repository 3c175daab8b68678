// The level's scene: sky, moon, grass, clouds, fence and mountains.
//
// Strips tile with copies of themselves at x +/- 640: every shape that crosses an edge is drawn again one
// strip-width away, and the noise they are textured with repeats every 640 pixels.
#include "game/LevelLayout.h"
#include "tools/media/Encoders.h"
#include "tools/media/Pictures.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace vanta::media {
namespace {

constexpr int STRIP_WIDTH = 640;
constexpr double PI = 3.14159265358979323846;

// Draws `shape` at x offsets -640, 0 and +640, so a shape crossing an edge enters again from the other.
template <typename Shape>
void Wrapped(cairo_t* cr, Shape shape)
{
    for (int offset : {-STRIP_WIDTH, 0, STRIP_WIDTH}) {
        cairo_save(cr);
        cairo_translate(cr, offset, 0);
        shape();
        cairo_restore(cr);
    }
}

} // namespace

Colour SkyColour(double screenY)
{
    const Colour zenith{0.025, 0.035, 0.11};
    const Colour middle{0.06, 0.08, 0.22};
    const Colour horizon{0.22, 0.21, 0.40};
    const double t = Clamp01((screenY - game::LEVEL_SKY.y) / 300);
    if (t < 0.55) return Mix(zenith, middle, std::pow(t / 0.55, 1.2));
    return Mix(middle, horizon, std::pow((t - 0.55) / 0.45, 1.6));
}

Colour GroundColour(double screenY)
{
    return Mix(Colour{0.05, 0.10, 0.09}, Colour{0.07, 0.14, 0.08},
               Clamp01((screenY - game::LEVEL_LAYERS[game::LEVEL_FIRST_GRASS].y) / 60));
}

Raster DrawSky()
{
    constexpr int width = 640, height = 360, groundRow = 300;
    Raster sky(width, height);
    // Moon glow: the moon is drawn with its centre at (587, 53) of the sky.
    const double moonX = 587, moonY = 53;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            Colour c;
            if (y >= groundRow) {
                c = GroundColour(60 + y);
                c = Scale(c, 0.85 + 0.3 * FractalNoise(x / 9.0, y / 3.0, 3, 0, 77));
            } else {
                c = SkyColour(60 + y);
                // A faint band of the galaxy from the upper left towards the right horizon.
                const double along = (x * 0.8 + y * 0.6) / 800.0;
                const double across = (y - (40 + x * 0.28)) / 70.0;
                const double band =
                    std::exp(-across * across) * (0.4 + 0.6 * FractalNoise(x / 40.0, y / 25.0, 5, 0, 3));
                const double dust = FractalNoise(x / 14.0, y / 14.0, 3, 0, 5);
                const double milky = band * (0.55 + 0.45 * dust) * (1 - along * 0.5);
                c = Mix(c, Colour{0.42, 0.42, 0.62}, 0.22 * milky);
                const double d = std::hypot(x - moonX, y - moonY);
                const double glow = std::exp(-d / 55.0) * 0.55 + std::exp(-d / 160.0) * 0.25;
                c = Mix(c, Colour{0.45, 0.48, 0.70}, Clamp01(glow));
            }
            Put(sky.At(x, y), c);
        }
    }

    Canvas canvas(width, height);
    canvas.Write(sky);
    cairo_t* cr = canvas.Context();
    cairo_rectangle(cr, 0, 0, width, groundRow);
    cairo_clip(cr);
    Random random(2024);
    for (int i = 0; i < 900; ++i) {
        const double x = random.Range(0, width);
        const double y = random.Range(0, groundRow - 6);
        const double haze = 1 - SmoothStep(150, groundRow, y) * 0.8;
        const double nearMoon = SmoothStep(40, 110, std::hypot(x - moonX, y - moonY));
        const double size = random.Uniform();
        double bright = (0.25 + 0.75 * std::pow(random.Uniform(), 2.2)) * haze * nearMoon;
        if (bright < 0.08) continue;
        const double tint = random.Uniform();
        const Colour colour =
            tint < 0.2 ? Colour{1.0, 0.85, 0.7} : (tint < 0.5 ? Colour{0.75, 0.85, 1.0} : Colour{1, 1, 1});
        const double radius = size > 0.97 ? 2.2 : (size > 0.85 ? 1.4 : 0.9);
        cairo_pattern_t* dot = cairo_pattern_create_radial(x, y, 0, x, y, radius * 1.8);
        cairo_pattern_add_color_stop_rgba(dot, 0, colour.r, colour.g, colour.b, bright);
        cairo_pattern_add_color_stop_rgba(dot, 0.35, colour.r, colour.g, colour.b, bright * 0.6);
        cairo_pattern_add_color_stop_rgba(dot, 1, colour.r, colour.g, colour.b, 0);
        cairo_set_source(cr, dot);
        cairo_arc(cr, x, y, radius * 1.8, 0, 2 * PI);
        cairo_fill(cr);
        cairo_pattern_destroy(dot);
        if (size > 0.97 && bright > 0.5) {
            // The brightest stars sparkle with four thin rays.
            cairo_set_line_width(cr, 0.7);
            for (int ray = 0; ray < 2; ++ray) {
                const double dx = ray == 0 ? 6 : 0, dy = ray == 0 ? 0 : 6;
                cairo_pattern_t* line = cairo_pattern_create_linear(x - dx, y - dy, x + dx, y + dy);
                cairo_pattern_add_color_stop_rgba(line, 0, colour.r, colour.g, colour.b, 0);
                cairo_pattern_add_color_stop_rgba(line, 0.5, colour.r, colour.g, colour.b, bright * 0.7);
                cairo_pattern_add_color_stop_rgba(line, 1, colour.r, colour.g, colour.b, 0);
                cairo_set_source(cr, line);
                cairo_move_to(cr, x - dx, y - dy);
                cairo_line_to(cr, x + dx, y + dy);
                cairo_stroke(cr);
                cairo_pattern_destroy(line);
            }
        }
    }
    Raster out = canvas.Read();
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            out.At(x, y)[3] = 255;
    }
    return out;
}

Raster DrawMoon()
{
    constexpr int size = 106;
    constexpr double centre = 53, radius = 48;
    struct Crater
    {
        double x, y, r;
    };
    // Positions on the disc, -1 .. 1.
    const Crater craters[] = {{-0.35, -0.42, 0.16}, {0.30, -0.20, 0.10}, {0.05, 0.38, 0.19},   {-0.55, 0.18, 0.09},
                              {0.55, 0.32, 0.12},   {0.22, -0.62, 0.07}, {-0.12, -0.05, 0.06}, {0.62, -0.45, 0.06},
                              {-0.30, 0.62, 0.08},  {0.38, 0.70, 0.05},  {-0.72, -0.20, 0.05}, {0.00, -0.80, 0.05}};
    const double lx = -0.45, ly = -0.35, lz = 0.82; // the sun, up and to the left of the viewer
    Raster moon(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            // Coverage of the disc from 4 x 4 samples, for a smooth rim.
            int inside = 0;
            for (int sy = 0; sy < 4; ++sy) {
                for (int sx = 0; sx < 4; ++sx) {
                    const double dx = x + (sx + 0.5) / 4 - centre, dy = y + (sy + 0.5) / 4 - centre;
                    if (dx * dx + dy * dy <= radius * radius) ++inside;
                }
            }
            if (inside == 0) continue;
            const double u = std::clamp((x + 0.5 - centre) / radius, -1.0, 1.0);
            const double v = std::clamp((y + 0.5 - centre) / radius, -1.0, 1.0);
            const double nz = std::sqrt(std::max(0.02, 1 - u * u - v * v));
            double albedo = 0.82 + 0.1 * FractalNoise(u * 9 + 20, v * 9 + 20, 4, 0, 11);
            const double seas = SmoothStep(0.50, 0.66, FractalNoise(u * 2.2 + 5, v * 2.2 + 5, 4, 0, 19));
            albedo -= 0.24 * seas;
            double light = std::max(0.0, u * lx + v * ly + nz * lz);
            for (const Crater& c : craters) {
                const double du = (u - c.x) / c.r, dv = (v - c.y) / c.r;
                const double d = std::sqrt(du * du + dv * dv);
                if (d > 1.25) continue;
                if (d < 1) albedo -= 0.08 * (1 - d * d);
                // The rim: lit on the side facing the sun, shadowed inside on that side.
                const double facing = d > 0.001 ? -(du * lx + dv * ly) / d : 0;
                const double rim = std::exp(-std::pow((d - 1) / 0.16, 2));
                light += 0.18 * rim * -facing;
                if (d < 1) light -= 0.12 * std::max(0.0, facing) * SmoothStep(0.4, 1.0, d);
            }
            const double shade = Clamp01(0.18 + 0.9 * light) * albedo;
            const Colour lit{1.0, 0.97, 0.88}, dark{0.55, 0.60, 0.78};
            Colour c = Scale(Mix(dark, lit, Clamp01(shade * 1.3)), 0.25 + shade);
            Put(moon.At(x, y), c, inside / 16.0);
        }
    }
    return Flatten(moon, Colour{0.24, 0.26, 0.44});
}

Raster DrawGrass(int index, int height)
{
    // Far strips are dim and blue, near strips bright and green; the tips catch the moonlight.
    const double nearness = index / 4.0;
    const double screenY = game::LEVEL_LAYERS[game::LEVEL_FIRST_GRASS + index].y;
    const Colour base = Mix(Colour{0.07, 0.13, 0.12}, Colour{0.09, 0.22, 0.09}, nearness);
    const Colour tip = Mix(Colour{0.22, 0.32, 0.34}, Colour{0.36, 0.62, 0.34}, nearness);
    Canvas canvas(STRIP_WIDTH, height);
    cairo_t* cr = canvas.Context();
    const double groundTop = height * (height <= 6 ? 0.45 : 0.55);
    canvas.SetColour(base);
    cairo_rectangle(cr, 0, groundTop, STRIP_WIDTH, height - groundTop);
    cairo_fill(cr);

    Random random(100 + static_cast<std::uint64_t>(index));
    const int blades = static_cast<int>(STRIP_WIDTH / (3.2 - nearness * 1.2));
    for (int i = 0; i < blades; ++i) {
        const double x = random.Range(0, STRIP_WIDTH);
        const double tall = random.Range(0.45, 1.0) * (height - 0.3);
        const double lean = random.Range(-1, 1) * (1.5 + height * 0.15);
        const double halfWidth = random.Range(0.6, 1.0) * (0.8 + nearness * 1.2);
        const double shine = random.Range(0.55, 1.0);
        const Colour top = Mix(base, tip, shine);
        Wrapped(cr, [&] {
            cairo_pattern_t* gradient = cairo_pattern_create_linear(0, height, 0, height - tall);
            cairo_pattern_add_color_stop_rgb(gradient, 0, base.r, base.g, base.b);
            cairo_pattern_add_color_stop_rgb(gradient, 1, top.r, top.g, top.b);
            cairo_set_source(cr, gradient);
            cairo_move_to(cr, x - halfWidth, height);
            cairo_curve_to(cr, x - halfWidth, height - tall * 0.5, x + lean * 0.5, height - tall * 0.8, x + lean,
                           height - tall);
            cairo_curve_to(cr, x + lean * 0.5, height - tall * 0.75, x + halfWidth, height - tall * 0.5, x + halfWidth,
                           height);
            cairo_close_path(cr);
            cairo_fill(cr);
            cairo_pattern_destroy(gradient);
        });
    }
    if (index >= 2) {
        // A few pale flowers in the nearer grass.
        for (int i = 0; i < 10 + index * 4; ++i) {
            const double x = random.Range(0, STRIP_WIDTH), y = random.Range(height * 0.35, height * 0.8);
            const double r = 0.8 + nearness * 0.9;
            const Colour petal = random.Uniform() < 0.5 ? Colour{0.70, 0.75, 0.95} : Colour{0.90, 0.85, 0.65};
            Wrapped(cr, [&] {
                canvas.SetColour(Scale(petal, 0.55 + 0.45 * nearness));
                cairo_arc(cr, x, y, r, 0, 2 * PI);
                cairo_fill(cr);
            });
        }
    }
    return Flatten(canvas.Read(), [screenY](int y) { return GroundColour(screenY + y); });
}

Raster DrawClouds(int index, int height)
{
    // Index 0 is the nearest (top of the sky, fastest), 4 the farthest (near the horizon, slowest).
    struct Layout
    {
        int count;
        double minWidth, maxWidth, puff;
        double screenY;
    };
    const Layout layouts[5] = {{3, 110, 190, 15, 60},
                               {4, 120, 210, 27, 102},
                               {4, 80, 140, 13, 182},
                               {5, 60, 120, 6.5, 220},
                               {6, 40, 90, 4.5, 238}};
    const Layout& layout = layouts[index];
    const double nearness = 1 - index / 4.0;

    Canvas canvas(STRIP_WIDTH, height);
    cairo_t* cr = canvas.Context();
    Random random(300 + static_cast<std::uint64_t>(index));
    cairo_set_source_rgb(cr, 1, 1, 1);
    const double slot = STRIP_WIDTH / static_cast<double>(layout.count);
    for (int i = 0; i < layout.count; ++i) {
        const double width = random.Range(layout.minWidth, layout.maxWidth);
        const double cx = slot * i + random.Range(0.2, 0.8) * slot;
        const double baseY = height - 1.5 - random.Range(0, height * 0.15);
        const int puffs = std::max(4, static_cast<int>(width / (layout.puff * 0.8)));
        for (int p = 0; p < puffs; ++p) {
            const double along = (p + 0.5) / puffs * 2 - 1; // -1 .. 1 across the cloud
            const double x = cx + along * width / 2 + random.Range(-3, 3);
            const double swell = std::sqrt(std::max(0.05, 1 - along * along));
            double r = layout.puff * swell * random.Range(0.6, 1.05);
            r = std::min(r, (baseY - 1.0) / 1.35);
            const double y = baseY - r * 0.55;
            Wrapped(cr, [&] {
                cairo_arc(cr, x, y, r, 0, 2 * PI);
                cairo_fill(cr);
                // Flat undersides: fill from each puff's middle down to the base line.
                cairo_rectangle(cr, x - r * 0.8, y, r * 1.6, baseY - y);
                cairo_fill(cr);
            });
        }
    }
    Raster shape = canvas.Read();

    // Moonlit from above and from the right: bright crowns, darker bellies, a silver edge.
    const Colour sky = SkyColour(layout.screenY + height / 2.0);
    const Colour belly = Mix(Mix(sky, Colour{0.20, 0.22, 0.36}, 0.7), Colour{0.25, 0.27, 0.42}, nearness * 0.4);
    const Colour crown = Mix(Colour{0.40, 0.43, 0.62}, Colour{0.66, 0.70, 0.86}, nearness);
    const Colour edge = Mix(Colour{0.55, 0.58, 0.75}, Colour{0.88, 0.90, 1.0}, nearness);
    for (int x = 0; x < STRIP_WIDTH; ++x) {
        int depth = 0;
        for (int y = 0; y < height; ++y) {
            std::uint8_t* p = shape.At(x, y);
            if (p[3] < 40) {
                depth = 0;
                continue;
            }
            ++depth;
            const double lit = std::exp(-depth / (layout.puff * 0.55));
            const double texture =
                FractalNoise(x / 10.0, y / 6.0, 3, STRIP_WIDTH / 10, 400 + static_cast<std::uint32_t>(index)) - 0.5;
            Colour c = Mix(belly, crown, Clamp01(lit + texture * 0.35));
            if (depth <= 2) c = Mix(c, edge, 0.6);
            Put(p, c, p[3] / 255.0);
        }
    }
    return Flatten(shape, [&layout](int y) { return SkyColour(layout.screenY + y); });
}

Raster DrawFence()
{
    constexpr int height = 42;
    constexpr int posts = 8;
    constexpr double postWidth = 9;
    const Colour wood{0.36, 0.30, 0.27}, lit{0.62, 0.60, 0.62}, shadow{0.16, 0.13, 0.13};
    Canvas canvas(STRIP_WIDTH, height);
    cairo_t* cr = canvas.Context();

    // Two rails running the whole width, then the posts in front of them.
    auto board = [&](double x, double y, double w, double h, bool vertical) {
        cairo_pattern_t* gradient =
            vertical ? cairo_pattern_create_linear(x, 0, x + w, 0) : cairo_pattern_create_linear(0, y, 0, y + h);
        cairo_pattern_add_color_stop_rgb(gradient, 0, vertical ? shadow.r : lit.r, vertical ? shadow.g : lit.g,
                                         vertical ? shadow.b : lit.b);
        cairo_pattern_add_color_stop_rgb(gradient, 0.25, wood.r, wood.g, wood.b);
        cairo_pattern_add_color_stop_rgb(gradient, 0.8, wood.r * 0.8, wood.g * 0.8, wood.b * 0.8);
        cairo_pattern_add_color_stop_rgb(gradient, 1, vertical ? lit.r : shadow.r, vertical ? lit.g : shadow.g,
                                         vertical ? lit.b : shadow.b);
        cairo_set_source(cr, gradient);
        cairo_rectangle(cr, x, y, w, h);
        cairo_fill(cr);
        cairo_pattern_destroy(gradient);
    };
    board(-1, 11, STRIP_WIDTH + 2, 5, false);
    board(-1, 25, STRIP_WIDTH + 2, 5, false);
    for (int i = 0; i < posts; ++i) {
        const double x = 40 + i * (STRIP_WIDTH / static_cast<double>(posts)) - postWidth / 2;
        board(x, 5, postWidth, height - 5, true);
        // A pointed top, lit on its right face.
        canvas.SetColour(Mix(wood, lit, 0.2));
        cairo_move_to(cr, x, 5.5);
        cairo_line_to(cr, x + postWidth / 2, 1);
        cairo_line_to(cr, x + postWidth, 5.5);
        cairo_close_path(cr);
        cairo_fill(cr);
        canvas.SetColour(lit);
        cairo_set_line_width(cr, 1);
        cairo_move_to(cr, x + postWidth / 2, 1.2);
        cairo_line_to(cr, x + postWidth - 0.3, 5.5);
        cairo_stroke(cr);
        // Nails where the rails cross.
        canvas.SetColour(Colour{0.55, 0.55, 0.6});
        for (double ny : {13.5, 27.5}) {
            cairo_arc(cr, x + postWidth / 2, ny, 0.9, 0, 2 * PI);
            cairo_fill(cr);
        }
    }
    Raster fence = canvas.Read();
    // Grain: streaks along the rails and up the posts.
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < STRIP_WIDTH; ++x) {
            std::uint8_t* p = fence.At(x, y);
            if (p[3] == 0) continue;
            const double local = std::fmod(x + STRIP_WIDTH - 40 + postWidth / 2, STRIP_WIDTH / posts);
            const bool onPost = local < postWidth + 0.5;
            const double grain = onPost ? ValueNoise(x / 2.0, y / 9.0, STRIP_WIDTH / 2, 501)
                                        : ValueNoise(x / 16.0, y / 1.5, STRIP_WIDTH / 16, 502);
            const double k = 0.82 + 0.3 * grain;
            for (int c = 0; c < 3; ++c)
                p[c] = Byte(p[c] / 255.0 * k);
        }
    }
    // Tufts of grass at the foot of each post.
    Canvas tufts(STRIP_WIDTH, height);
    tufts.Write(fence);
    cairo_t* tc = tufts.Context();
    Random random(600);
    for (int i = 0; i < posts; ++i) {
        const double x = 40 + i * (STRIP_WIDTH / static_cast<double>(posts));
        for (int b = 0; b < 9; ++b) {
            const double bx = x + random.Range(-9, 9), tall = random.Range(6, 13), lean = random.Range(-4, 4);
            tufts.SetColour(Mix(Colour{0.10, 0.24, 0.10}, Colour{0.38, 0.62, 0.36}, random.Range(0.3, 1)));
            cairo_move_to(tc, bx - 1.2, height);
            cairo_curve_to(tc, bx - 1, height - tall * 0.6, bx + lean * 0.6, height - tall * 0.8, bx + lean,
                           height - tall);
            cairo_curve_to(tc, bx + lean * 0.5, height - tall * 0.7, bx + 1, height - tall * 0.5, bx + 1.2, height);
            cairo_close_path(tc);
            cairo_fill(tc);
        }
    }
    return Flatten(tufts.Read(), [](int y) { return GroundColour(378 + y); });
}

Raster DrawMountains()
{
    constexpr int height = 146;
    // Each range is a row of peaks, straight-flanked and roughened by noise; a point belongs to the
    // highest peak above it, and the face it lies on decides its light: faces towards the moon (to the
    // right) are lit, the others in shade.
    struct Peak
    {
        double x, top, slope;
    };
    auto makePeaks = [](int count, double minTop, double maxTop, double minSlope, double maxSlope, std::uint64_t seed) {
        Random random(seed);
        std::vector<Peak> peaks;
        peaks.reserve(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i) {
            peaks.push_back({(i + random.Range(0.1, 0.9)) * STRIP_WIDTH / count, random.Range(minTop, maxTop),
                             random.Range(minSlope, maxSlope)});
        }
        return peaks;
    };
    const std::vector<Peak> farPeaks = makePeaks(7, 6, 52, 0.45, 0.95, 700);
    const std::vector<Peak> nearPeaks = makePeaks(9, 62, 96, 0.22, 0.45, 800);
    // The crest over column x and the peak that makes it, with the signed distance from that peak.
    auto crest = [](const std::vector<Peak>& peaks, double x, double roughness, std::uint32_t seed, double& side) {
        double best = 1e9;
        for (const Peak& peak : peaks) {
            double dx = std::fmod(x - peak.x + 1.5 * STRIP_WIDTH, STRIP_WIDTH) - STRIP_WIDTH / 2.0;
            const double y = peak.top + std::abs(dx) * peak.slope;
            if (y < best) {
                best = y;
                side = dx;
            }
        }
        return best + roughness * (FractalNoise(x / 16.0, 0.5, 4, STRIP_WIDTH / 16, seed) - 0.5);
    };

    const Colour farShade{0.15, 0.17, 0.31}, farLit{0.33, 0.36, 0.56}, snow{0.66, 0.70, 0.86};
    const Colour nearShade{0.07, 0.10, 0.15}, nearLit{0.14, 0.19, 0.27}, foot{0.06, 0.11, 0.10};
    const Colour pine{0.04, 0.09, 0.09};
    Raster out(STRIP_WIDTH, height);
    for (int x = 0; x < STRIP_WIDTH; ++x) {
        double farSide = 0, nearSide = 0;
        const double farTop = crest(farPeaks, x, 14, 701, farSide);
        const double nearTop = crest(nearPeaks, x, 10, 801, nearSide);
        for (int y = 0; y < height; ++y) {
            const double farCover = Clamp01(y + 1 - farTop);
            double nearCover = Clamp01(y + 1 - nearTop);
            // Strata and gullies run down the faces at a slant.
            const double strata =
                FractalNoise((x + y * (farSide > 0 ? 0.8 : -0.8)) / 8.0, y / 16.0, 3, STRIP_WIDTH / 8, 900) - 0.5;
            const double depthFar = y - farTop;
            // The faces' light fades with depth below the crest, so where two flanks meet no hard line
            // runs down to the foot.
            const Colour farMiddle = Mix(farShade, farLit, 0.35);
            Colour far = Mix(farSide > 0 ? farLit : farShade, farMiddle, SmoothStep(0, 55, depthFar));
            far = Mix(far, farSide > 0 ? farShade : farLit, Clamp01(strata * 0.7 + 0.1));
            if (depthFar < 10 + strata * 14 && farTop < 40) far = Mix(far, snow, farSide > 0 ? 0.75 : 0.35);
            far = Mix(far, SkyColour(214 + y), 0.3 * SmoothStep(50, 130, y)); // haze low down
            const Colour nearMiddle = Mix(nearShade, nearLit, 0.3);
            Colour nearBody = Mix(nearSide > 0 ? nearLit : nearShade, nearMiddle, SmoothStep(0, 22, y - nearTop));
            nearBody = Mix(nearBody, nearShade, Clamp01(strata * 0.8 + 0.2));
            nearBody = Mix(nearBody, foot, SmoothStep(nearTop, height, y));
            // Pines on the near slopes: narrow dark triangles standing on the crest line, one chance in
            // each 8-pixel slot (80 slots: the forest repeats with the strip).
            const int slot = x / 8;
            const double treeX = slot * 8 + 4;
            if (Hash01(slot, 3, 802) < 0.55) {
                double treeSide = 0;
                const double base = crest(nearPeaks, treeX, 10, 801, treeSide) + 4;
                const double tall = 7 + 6 * Hash01(slot, 4, 803);
                const double half = (y - (base - tall)) / tall * 3.2;
                const double cover = Clamp01(half - std::abs(x + 0.5 - treeX) + 0.5);
                if (y > base - tall && y < base + 2) {
                    nearBody = Mix(nearBody, pine, cover);
                    nearCover = std::max(nearCover, cover);
                }
            }
            if (std::max(farCover, nearCover) < 0.5) continue;
            Put(out.At(x, y), Mix(Mix(SkyColour(214 + y), far, farCover), nearBody, nearCover));
        }
    }
    return Flatten(out, Colour{});
}

} // namespace vanta::media
