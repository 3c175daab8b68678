// Rasters, the Cairo canvas, random numbers and noise.
#include "tools/media/Raster.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>

namespace vanta::media {

Colour Mix(const Colour& a, const Colour& b, double t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Canvas::Canvas(int width, int height)
    : width_(width), height_(height), surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)),
      cr_(cairo_create(surface_))
{
    if (cairo_surface_status(surface_) != CAIRO_STATUS_SUCCESS || cairo_status(cr_) != CAIRO_STATUS_SUCCESS) {
        cairo_destroy(cr_);
        cairo_surface_destroy(surface_);
        throw std::runtime_error("cannot make a Cairo surface");
    }
}

Canvas::~Canvas()
{
    cairo_destroy(cr_);
    cairo_surface_destroy(surface_);
}

Raster Canvas::Read() const
{
    cairo_surface_flush(surface_);
    Raster out(width_, height_);
    const unsigned char* data = cairo_image_surface_get_data(surface_);
    const int stride = cairo_image_surface_get_stride(surface_);
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            std::uint32_t word;
            std::memcpy(&word, data + static_cast<std::ptrdiff_t>(y) * stride + x * 4, 4);
            const std::uint32_t a = word >> 24;
            std::uint8_t* p = out.At(x, y);
            p[3] = static_cast<std::uint8_t>(a);
            if (a == 0) continue;
            // Cairo keeps premultiplied native-endian ARGB words.
            for (int c = 0; c < 3; ++c) {
                const std::uint32_t v = (word >> (16 - 8 * c)) & 0xff;
                p[c] = static_cast<std::uint8_t>(std::min<std::uint32_t>(255, (v * 255 + a / 2) / a));
            }
        }
    }
    return out;
}

void Canvas::Write(const Raster& raster)
{
    cairo_surface_flush(surface_);
    unsigned char* data = cairo_image_surface_get_data(surface_);
    const int stride = cairo_image_surface_get_stride(surface_);
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            const std::uint8_t* p = raster.At(x, y);
            const std::uint32_t a = p[3];
            std::uint32_t word = a << 24;
            for (int c = 0; c < 3; ++c)
                word |= ((p[c] * a + 127) / 255) << (16 - 8 * c);
            std::memcpy(data + static_cast<std::ptrdiff_t>(y) * stride + x * 4, &word, 4);
        }
    }
    cairo_surface_mark_dirty(surface_);
}

void Canvas::SetColour(const Colour& c, double alpha)
{
    cairo_set_source_rgba(cr_, c.r, c.g, c.b, alpha);
}

void PaintRaster(cairo_t* cr, const Raster& raster, double x, double y, double alpha)
{
    Canvas copy(raster.width, raster.height);
    copy.Write(raster);
    cairo_surface_t* surface = cairo_get_target(copy.Context());
    cairo_save(cr);
    cairo_set_source_surface(cr, surface, x, y);
    cairo_paint_with_alpha(cr, alpha);
    cairo_restore(cr);
}

std::uint64_t Random::Next()
{
    std::uint64_t z = (state_ += 0x9e3779b97f4a7c15ull);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
    return z ^ (z >> 31);
}

double Random::Uniform()
{
    return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0);
}

double Hash01(std::int64_t a, std::int64_t b, std::uint32_t seed)
{
    std::uint64_t z = static_cast<std::uint64_t>(a) * 0x9e3779b97f4a7c15ull ^
                      static_cast<std::uint64_t>(b) * 0xc2b2ae3d27d4eb4full ^ (std::uint64_t{seed} << 32 | seed);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
    z ^= z >> 31;
    return static_cast<double>(z >> 11) * (1.0 / 9007199254740992.0);
}

double ValueNoise(double x, double y, int period, std::uint32_t seed)
{
    const double fx = std::floor(x), fy = std::floor(y);
    const double tx = x - fx, ty = y - fy;
    const double sx = tx * tx * (3 - 2 * tx), sy = ty * ty * (3 - 2 * ty);
    auto lattice = [&](std::int64_t ix, std::int64_t iy) {
        if (period > 0) ix = ((ix % period) + period) % period;
        return Hash01(ix, iy, seed);
    };
    const auto ix = static_cast<std::int64_t>(fx), iy = static_cast<std::int64_t>(fy);
    const double top = lattice(ix, iy) + (lattice(ix + 1, iy) - lattice(ix, iy)) * sx;
    const double bottom = lattice(ix, iy + 1) + (lattice(ix + 1, iy + 1) - lattice(ix, iy + 1)) * sx;
    return top + (bottom - top) * sy;
}

double FractalNoise(double x, double y, int octaves, int period, std::uint32_t seed)
{
    double sum = 0, weight = 1, total = 0, scale = 1;
    for (int i = 0; i < octaves; ++i) {
        sum += weight * ValueNoise(x * scale, y * scale, period > 0 ? period * static_cast<int>(scale) : 0,
                                   seed + static_cast<std::uint32_t>(i) * 7919u);
        total += weight;
        weight *= 0.5;
        scale *= 2;
    }
    return sum / total;
}

double Clamp01(double v)
{
    return v < 0 ? 0 : (v > 1 ? 1 : v);
}

double SmoothStep(double edge0, double edge1, double v)
{
    const double t = Clamp01((v - edge0) / (edge1 - edge0));
    return t * t * (3 - 2 * t);
}

} // namespace vanta::media
