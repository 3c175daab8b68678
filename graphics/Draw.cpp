// The 2D drawing settings and drawing calls.
//
// [SECTION] Settings
// [SECTION] Primitives
// [SECTION] Images and text
#include "graphics/Draw.h"

#include "graphics/Graphics.h"
#include "graphics/ImageFont.h"
#include "graphics/detail/ModuleLinks.h"

#include <cmath>
#include <numbers>

namespace vanta {

using detail::Driver;

namespace {

// The drawing module's settings: what the setters store, the matrix made from rotation and scale.
struct DrawState
{
    std::int32_t colorR = 255, colorG = 255, colorB = 255;
    float alpha = 1.0f;
    std::int32_t blend = 1;
    std::int32_t clearR = 0, clearG = 0, clearB = 0;
    float lineWidth = 0.0f;
    std::int32_t maskR = 0, maskG = 0, maskB = 0;
    std::int32_t viewX = 0, viewY = 0, viewWidth = 0, viewHeight = 0;
    float originX = 0.0f, originY = 0.0f;
    float handleX = 0.0f, handleY = 0.0f; // stored negated
    float rotation = 0.0f;
    float scaleX = 1.0f, scaleY = 1.0f;
    float ix = 1.0f, iy = 0.0f, jx = 0.0f, jy = 1.0f;
};

DrawState& State()
{
    static DrawState state;
    return state;
}

// Recomputes the matrix from rotation (degrees) and scale, and sends it to the driver.
void UpdateMatrix()
{
    DrawState& state = State();
    const double radians = static_cast<double>(state.rotation) * std::numbers::pi / 180.0;
    const double c = std::cos(radians);
    const double s = std::sin(radians);
    state.ix = static_cast<float>(c * state.scaleX);
    state.iy = static_cast<float>(-s * state.scaleY);
    state.jx = static_cast<float>(s * state.scaleX);
    state.jy = static_cast<float>(c * state.scaleY);
    Driver().SetTransform(state.ix, state.iy, state.jx, state.jy);
}

} // namespace

void detail::ResetDrawingState()
{
    SetBlendMode(BLEND_MASK);
    SetColor(255, 255, 255);
    SetClearColor(0, 0, 0);
    SetMaskColor(0, 0, 0);
    SetAlpha(1.0f);
    SetOrigin(0.0f, 0.0f);
    SetHandle(0.0f, 0.0f);
    SetViewport(0, 0, GraphicsWidth(), GraphicsHeight());
    SetRotationAndScale(0.0f, 1.0f, 1.0f);
    SetAutoCentre(0);
    SetDefaultImageFlags(IMAGE_MASKED | IMAGE_FILTERED);
}

// [SECTION] Settings

void SetColor(std::int32_t r, std::int32_t g, std::int32_t b)
{
    DrawState& state = State();
    state.colorR = r;
    state.colorG = g;
    state.colorB = b;
    Driver().SetColor(r, g, b);
}

void GetColor(std::int32_t& r, std::int32_t& g, std::int32_t& b)
{
    const DrawState& state = State();
    r = state.colorR;
    g = state.colorG;
    b = state.colorB;
}

void SetAlpha(float alpha)
{
    State().alpha = alpha;
    Driver().SetAlpha(alpha);
}

float GetAlpha()
{
    return State().alpha;
}

void SetBlendMode(std::int32_t mode)
{
    State().blend = mode;
    Driver().SetBlend(mode);
}

std::int32_t GetBlendMode()
{
    return State().blend;
}

void SetClearColor(std::int32_t r, std::int32_t g, std::int32_t b)
{
    DrawState& state = State();
    state.clearR = r;
    state.clearG = g;
    state.clearB = b;
    Driver().SetClearColor(r, g, b);
}

void GetClearColor(std::int32_t& r, std::int32_t& g, std::int32_t& b)
{
    const DrawState& state = State();
    r = state.clearR;
    g = state.clearG;
    b = state.clearB;
}

void SetLineWidth(float width)
{
    State().lineWidth = width;
    Driver().SetLineWidth(width);
}

float GetLineWidth()
{
    return State().lineWidth;
}

void SetMaskColor(std::int32_t r, std::int32_t g, std::int32_t b)
{
    DrawState& state = State();
    state.maskR = r;
    state.maskG = g;
    state.maskB = b;
}

void GetMaskColor(std::int32_t& r, std::int32_t& g, std::int32_t& b)
{
    const DrawState& state = State();
    r = state.maskR;
    g = state.maskG;
    b = state.maskB;
}

void SetViewport(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height)
{
    DrawState& state = State();
    state.viewX = x;
    state.viewY = y;
    state.viewWidth = width;
    state.viewHeight = height;
    Driver().SetViewport(x, y, width, height);
}

void GetViewport(std::int32_t& x, std::int32_t& y, std::int32_t& width, std::int32_t& height)
{
    const DrawState& state = State();
    x = state.viewX;
    y = state.viewY;
    width = state.viewWidth;
    height = state.viewHeight;
}

void SetOrigin(float x, float y)
{
    State().originX = x;
    State().originY = y;
}

void GetOrigin(float& x, float& y)
{
    x = State().originX;
    y = State().originY;
}

void SetHandle(float x, float y)
{
    State().handleX = -x;
    State().handleY = -y;
}

void GetHandle(float& x, float& y)
{
    x = State().handleX;
    y = State().handleY;
}

void SetRotation(float degrees)
{
    State().rotation = degrees;
    UpdateMatrix();
}

float GetRotation()
{
    return State().rotation;
}

void SetScale(float x, float y)
{
    State().scaleX = x;
    State().scaleY = y;
    UpdateMatrix();
}

void GetScale(float& x, float& y)
{
    x = State().scaleX;
    y = State().scaleY;
}

void SetRotationAndScale(float degrees, float scaleX, float scaleY)
{
    DrawState& state = State();
    state.rotation = degrees;
    state.scaleX = scaleX;
    state.scaleY = scaleY;
    UpdateMatrix();
}

// [SECTION] Primitives

void DrawPoint(float x, float y)
{
    const DrawState& state = State();
    Driver().Plot(x + state.originX, y + state.originY);
}

void DrawRect(float x, float y, float width, float height)
{
    const DrawState& state = State();
    Driver().DrawRect(state.handleX, state.handleY, state.handleX + width, state.handleY + height, x + state.originX,
                      y + state.originY);
}

void DrawOval(float x, float y, float width, float height)
{
    const DrawState& state = State();
    Driver().DrawOval(state.handleX, state.handleY, state.handleX + width, state.handleY + height, x + state.originX,
                      y + state.originY);
}

void DrawLine(float x, float y, float x2, float y2, std::int32_t drawLastPixel)
{
    const DrawState& state = State();
    TFlat2DDriver& driver = Driver();
    const float endX = state.handleX + x2 - x;
    const float endY = state.handleY + y2 - y;
    const float tx = x + state.originX;
    const float ty = y + state.originY;
    driver.DrawLine(state.handleX, state.handleY, endX, endY, tx, ty);
    if (drawLastPixel != 0) {
        driver.Plot(endX * state.ix + endY * state.iy + tx, endX * state.jx + endY * state.jy + ty);
    }
}

void DrawPoly(const Ref<Array>& xy)
{
    const DrawState& state = State();
    TFlat2DDriver& driver = Driver();
    xy.Get();
    driver.DrawPoly(xy, state.handleX, state.handleY, state.originX, state.originY);
}

void DrawPixmap(const Ref<TPixmap>& pixmap, std::int32_t x, std::int32_t y)
{
    TFlat2DDriver& driver = Driver();
    pixmap.Get();
    driver.DrawPixmap(pixmap, x, y);
}

Ref<TPixmap> GrabPixmap(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height)
{
    return Driver().GrabPixmap(x, y, width, height);
}

// [SECTION] Images and text

void DrawImage(const Ref<TImage>& image, float x, float y, std::int32_t frame)
{
    const DrawState& state = State();
    TImage& picture = *image;
    // The frame first: fewer values live across the call.
    const Ref<TImageFrame> drawn = picture.Frame(frame);
    const float x0 = -picture.handleX;
    const float y0 = -picture.handleY;
    drawn->Draw(x0, y0, x0 + static_cast<float>(picture.width), y0 + static_cast<float>(picture.height),
                x + state.originX, y + state.originY);
}

void DrawImageRect(const Ref<TImage>& image, float x, float y, float width, float height, std::int32_t frame)
{
    const DrawState& state = State();
    const float x0 = -image->handleX;
    const float y0 = -image->handleY;
    image->Frame(frame)->Draw(x0, y0, x0 + width, y0 + height, x + state.originX, y + state.originY);
}

namespace {

// The first tile position of the grid through `position` with step `size` for a viewport edge at `view`:
// the largest p = position + k * size (k whole) below the centre of the viewport's first pixel, view + 0.5.
// A tile covers the pixels whose centres lie inside it, so this one (or, when its edge falls exactly on
// that centre, the next) covers the first pixel. Counting from the grid's whole-pixel line instead would
// start one tile late when the fraction is above one half, and leave the viewport's first column or row
// bare. Worked in doubles so that a picture placed far off screen cannot overflow or lose its fraction.
double FirstTile(double position, std::int32_t size, std::int32_t view)
{
    const double centre = static_cast<double>(view) + 0.5;
    double m = std::fmod(position - centre, static_cast<double>(size));
    // fmod keeps the sign of the dividend: bring the remainder into [-size, 0), strictly below the centre.
    if (m >= 0) m -= size;
    return centre + m;
}

} // namespace

void TileImage(const Ref<TImage>& image, float x, float y, std::int32_t frame)
{
    DrawState& state = State();
    TFlat2DDriver& driver = Driver();
    const std::int32_t w = image->width;
    const std::int32_t h = image->height;
    // An image of no pixels has no tiles (and a step of 0 would never leave the viewport).
    if (w <= 0 || h <= 0) return;
    Ref<TImageFrame> drawn = image->Frame(frame);
    const float px = x + state.originX - image->handleX;
    const float py = y + state.originY - image->handleY;
    // A position that is not a number (or infinite) lies on no grid.
    if (!std::isfinite(px) || !std::isfinite(py)) return;

    driver.SetTransform(1.0f, 0.0f, 0.0f, 1.0f);
    const double startX = FirstTile(px, w, state.viewX);
    const double startY = FirstTile(py, h, state.viewY);
    // A tile is drawn while its left (top) edge reaches the centre of the viewport's last column (row); at
    // whole-pixel positions that is while it starts inside the viewport.
    const double lastX = static_cast<double>(state.viewX) + state.viewWidth - 0.5;
    const double lastY = static_cast<double>(state.viewY) + state.viewHeight - 0.5;
    // Counted in whole tiles, so that no rounding accumulates along a row or a column.
    for (std::int64_t row = 0; startY + static_cast<double>(row) * h <= lastY; ++row) {
        const double ty = startY + static_cast<double>(row) * h;
        std::int64_t column = 0;
        do {
            const double tx = startX + static_cast<double>(column) * w;
            drawn->Draw(0.0f, 0.0f, static_cast<float>(w), static_cast<float>(h), static_cast<float>(tx),
                        static_cast<float>(ty));
            ++column;
        } while (startX + static_cast<double>(column) * w <= lastX);
    }
    UpdateMatrix();
}

void DrawText(const Ref<String>& text, float x, float y)
{
    const DrawState& state = State();
    const float hx = state.handleX;
    const float hy = state.handleY;
    GetTextFont()->Draw(text, x + state.originX + hx * state.ix + hy * state.iy,
                        y + state.originY + hx * state.jx + hy * state.jy, state.ix, state.iy, state.jx, state.jy);
}

} // namespace vanta
