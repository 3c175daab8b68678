// The generator's pictures in memory: a straight-alpha RGBA raster, a Cairo canvas to draw one with
// anti-aliased shapes, and the deterministic random numbers and noise every picture is grown from.
//
// Builds on Cairo (image surfaces only: no fonts, no files). Nothing here depends on the clock or on the
// machine, so the same source gives the same bytes on every build with the same libraries.
#pragma once

#include <cairo.h>
#include <cmath>
#include <cstdint>
#include <vector>

namespace vanta::media {

// A colour with components in 0 .. 1.
struct Colour
{
    double r = 0, g = 0, b = 0;
};

// Mixes `a` into `b` by t (0 gives a, 1 gives b).
Colour Mix(const Colour& a, const Colour& b, double t);

// Width by height pixels of 8-bit red, green, blue, alpha (not premultiplied), rows top to bottom.
struct Raster
{
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;

    Raster() = default;
    Raster(int w, int h) : width(w), height(h), rgba(static_cast<std::size_t>(w) * h * 4, 0) {}

    std::uint8_t* At(int x, int y) { return rgba.data() + (static_cast<std::size_t>(y) * width + x) * 4; }
    const std::uint8_t* At(int x, int y) const { return rgba.data() + (static_cast<std::size_t>(y) * width + x) * 4; }
};

// A Cairo ARGB32 surface and its drawing context, transparent when made; the context and the surface go
// with the canvas.
class Canvas
{
public:
    Canvas(int width, int height);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    cairo_t* Context() const { return cr_; }
    int Width() const { return width_; }
    int Height() const { return height_; }

    // The picture so far, un-premultiplied.
    Raster Read() const;
    // Replaces the picture with `raster` (same size).
    void Write(const Raster& raster);

    // Sets the source colour, with alpha.
    void SetColour(const Colour& c, double alpha = 1.0);

private:
    int width_;
    int height_;
    cairo_surface_t* surface_;
    cairo_t* cr_;
};

// Paints `raster` onto `cr` with its top-left corner at (x, y) in the current user space, at `alpha`.
void PaintRaster(cairo_t* cr, const Raster& raster, double x, double y, double alpha = 1.0);

// Random numbers from a fixed seed (SplitMix64): the same sequence on every machine.
class Random
{
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}

    std::uint64_t Next();
    // Uniform in [0, 1).
    double Uniform();
    // Uniform in [low, high).
    double Range(double low, double high) { return low + (high - low) * Uniform(); }
    // Uniform integer in [0, count).
    int Below(int count) { return static_cast<int>(Uniform() * count); }

private:
    std::uint64_t state_;
};

// Smooth value noise in [0, 1) over the plane; with `period` > 0 it repeats every `period` units in x,
// so a strip built from it tiles.
double ValueNoise(double x, double y, int period, std::uint32_t seed);

// Fractal sum of `octaves` of value noise (each half the size and weight of the one before), in [0, 1).
// The period, in units of the first octave, doubles with every octave, so the sum still repeats.
double FractalNoise(double x, double y, int octaves, int period, std::uint32_t seed);

// A hash of three integers to [0, 1).
double Hash01(std::int64_t a, std::int64_t b, std::uint32_t seed);

double Clamp01(double v);

// A channel value (0 ... 1, clamped) as a byte, rounded.
inline std::uint8_t Byte(double v)
{
    return static_cast<std::uint8_t>(std::lround(Clamp01(v) * 255));
}

// Writes `c` with `alpha` as four bytes in the order r, g, b, a.
inline void Put(std::uint8_t* p, const Colour& c, double alpha = 1.0)
{
    p[0] = Byte(c.r);
    p[1] = Byte(c.g);
    p[2] = Byte(c.b);
    p[3] = Byte(alpha);
}

// `c` with every channel times `k`.
inline Colour Scale(const Colour& c, double k)
{
    return {c.r * k, c.g * k, c.b * k};
}
double SmoothStep(double edge0, double edge1, double v);

} // namespace vanta::media
