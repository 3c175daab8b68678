// The GL 2D driver: state setters, batched primitives, pixmap blits and read-back in GL 1.1.
#include "graphics/gl/GLFlat2DDriver.h"

#include "graphics/Graphics.h"
#include "graphics/gl/GLDrawState.h"
#include "graphics/gl/GLImageFrame.h"
#include "pixmap/Pixmap.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include <GL/gl.h>

namespace vanta {
namespace {

Ref<TGraphicsSurface> Wrap(const Ref<TGraphicsSurface>& surface, TGLFlat2DDriver* driver)
{
    if (surface.IsNull()) return Null;
    return TFlat2DSurface::Create(surface, Ref<TFlat2DDriver>(driver));
}

// Sets a pixel-store parameter while this lives, and GL's default (0) again afterwards.
class PixelStore
{
public:
    PixelStore(GLenum name, GLint value) : name_(name) { glPixelStorei(name, value); }
    ~PixelStore() { glPixelStorei(name_, 0); }
    PixelStore(const PixelStore&) = delete;
    PixelStore& operator=(const PixelStore&) = delete;

private:
    GLenum name_;
};

// Lines wider than a pixel are drawn: a GL may clip a line at its viewport before widening it (Mesa's
// software renderer does not), so they keep a viewport of the surface itself (see `Project`).
bool wideLines = false;

// The pixel projection of a width x height surface: (0, 0) is the top-left corner of the top-left pixel and
// y grows downwards. GL's viewport reaches a band of up to 256 pixels past each edge of the surface, with
// the projection widened to match, so that every position lands on the same pixel as with a viewport of
// the surface alone: what lies outside the surface is still cut off by the window's edges (and the
// scissor), but a primitive reaching a little past an edge needs no clipping. Mesa's software renderer
// sends a whole draw through a slow path (whose cost grows with the square of the draw's length) as soon as
// one vertex needs clipping, which sprites crossing the edge of the screen would otherwise cause.
void Project(std::int32_t width, std::int32_t height)
{
    static const GLint largest = [] {
        GLint dims[2] = {0, 0};
        glGetIntegerv(GL_MAX_VIEWPORT_DIMS, dims);
        return std::min(dims[0], dims[1]);
    }();
    std::int32_t band = 0;
    if (!wideLines) band = std::clamp((largest - std::max(width, height)) / 2, 0, 256);
    glViewport(-band, -band, width + 2 * band, height + 2 * band);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-band, width + band, height + band, -band, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
}

} // namespace

std::int32_t GLOvalSegments(float rx, float ry)
{
    // Compared in double precision before any conversion: a huge, infinite or NaN radius never reaches
    // an int conversion it does not fit.
    const double length = std::fabs(static_cast<double>(rx)) + std::fabs(static_cast<double>(ry));
    std::int32_t segments = 12;
    if (length >= GL_OVAL_MAX_SEGMENTS)
        segments = GL_OVAL_MAX_SEGMENTS;
    else if (length > 12.0)
        segments = static_cast<std::int32_t>(length);
    return segments & ~3;
}

Ref<TGraphicsSurface> TGLFlat2DDriver::AttachGraphics(platform::Window* window, std::int32_t flags)
{
    return Wrap(GLContextDriver()->AttachGraphics(window, flags), this);
}

Ref<TGraphicsSurface> TGLFlat2DDriver::CreateGraphics(std::int32_t width, std::int32_t height, std::int32_t depth,
                                                      std::int32_t rate, std::int32_t flags)
{
    return Wrap(GLContextDriver()->CreateGraphics(width, height, depth, rate, flags), this);
}

void TGLFlat2DDriver::SetPointerVisible(std::int32_t show)
{
    GLContextDriver()->SetPointerVisible(show);
}

void TGLFlat2DDriver::SetSwapInterval(std::int32_t interval)
{
    GLContextDriver()->SetSwapInterval(interval);
}

Ref<Array> TGLFlat2DDriver::DisplayModes()
{
    return GLContextDriver()->DisplayModes();
}

void TGLFlat2DDriver::SetSurface(const Ref<TGraphicsSurface>& surface, std::int32_t width, std::int32_t height)
{
    surface_ = Downcast<TGLSurface>(surface);
    TheGLDrawState().Reset(width, height);
    Project(width, height);
    glLoadIdentity();
    glDisable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, 0);
}

void TGLFlat2DDriver::ReleaseSurface()
{
    TheGLDrawState().Flush();
    surface_ = Null;
}

void TGLFlat2DDriver::Flush()
{
    TheGLDrawState().Flush();
}

Ref<TImageFrame> TGLFlat2DDriver::CreateFrameFromPixmap(const Ref<TPixmap>& pixmap, std::int32_t flags)
{
    GLDrawState& state = TheGLDrawState();
    // Held quads are drawn before another context is made current and before a texture is bound.
    state.Flush();
    Ref<TImageFrame> frame;
    {
        const GLSharedContextScope shared = GLContextDriver()->UseSharedContext();
        frame = TGLImageFrame::CreateFromPixmap(pixmap, flags);
        // Finished before another context draws with it.
        glFinish();
    }
    // Without the shared context (full screen) the new texture is now bound in the drawing context.
    state.ForgetBinding();
    return frame;
}

void TGLFlat2DDriver::SetBlend(std::int32_t mode)
{
    TheGLDrawState().SetBlend(mode);
}

void TGLFlat2DDriver::SetAlpha(float alpha)
{
    // Written so that NaN counts as 0.
    if (!(alpha > 0.0f)) alpha = 0.0f;
    if (alpha > 1.0f) alpha = 1.0f;
    GLDrawState& state = TheGLDrawState();
    state.Colour()[3] = static_cast<std::uint8_t>(alpha * 255.0f);
}

void TGLFlat2DDriver::SetColor(std::int32_t r, std::int32_t g, std::int32_t b)
{
    GLDrawState& state = TheGLDrawState();
    state.Colour()[0] = static_cast<std::uint8_t>(r & 0xFF);
    state.Colour()[1] = static_cast<std::uint8_t>(g & 0xFF);
    state.Colour()[2] = static_cast<std::uint8_t>(b & 0xFF);
}

void TGLFlat2DDriver::SetClearColor(std::int32_t r, std::int32_t g, std::int32_t b)
{
    glClearColor(static_cast<float>(r) / 255.0f, static_cast<float>(g) / 255.0f, static_cast<float>(b) / 255.0f, 1.0f);
}

void TGLFlat2DDriver::SetViewport(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height)
{
    // What is held was drawn under the old rectangle.
    TheGLDrawState().Flush();
    ApplyViewport(x, y, width, height);
}

void TGLFlat2DDriver::ApplyViewport(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height)
{
    const GLDrawState& state = TheGLDrawState();
    if (x == 0 && y == 0 && width == state.SurfaceWidth() && height == state.SurfaceHeight()) {
        glDisable(GL_SCISSOR_TEST);
        return;
    }
    // GL refuses a negative size and would keep the old rectangle; an empty one clips everything.
    width = std::max(width, 0);
    height = std::max(height, 0);
    glEnable(GL_SCISSOR_TEST);
    // GL counts window rows from the bottom.
    glScissor(x, state.SurfaceHeight() - y - height, width, height);
}

void TGLFlat2DDriver::SetTransform(float ix, float iy, float jx, float jy)
{
    TheGLDrawState().SetTransform(ix, iy, jx, jy);
}

void TGLFlat2DDriver::SetLineWidth(float width)
{
    GLDrawState& state = TheGLDrawState();
    state.Flush();
    glLineWidth(width);
    if ((width > 1.0f) != wideLines) {
        wideLines = width > 1.0f;
        if (state.SurfaceWidth() > 0) Project(state.SurfaceWidth(), state.SurfaceHeight());
    }
}

void TGLFlat2DDriver::Clear()
{
    TheGLDrawState().Flush();
    glClear(GL_COLOR_BUFFER_BIT);
}

void TGLFlat2DDriver::Plot(float x, float y)
{
    TheGLDrawState().Point(x + 0.5f, y + 0.5f);
}

void TGLFlat2DDriver::DrawLine(float x0, float y0, float x1, float y1, float tx, float ty)
{
    // The half pixel puts both ends on pixel centres.
    TheGLDrawState().Line(x0, y0, x1, y1, tx + 0.5f, ty + 0.5f);
}

void TGLFlat2DDriver::DrawRect(float x0, float y0, float x1, float y1, float tx, float ty)
{
    TheGLDrawState().Quad(0, x0, y0, x1, y1, tx, ty, 0.0f, 0.0f, 0.0f, 0.0f);
}

void TGLFlat2DDriver::DrawOval(float x0, float y0, float x1, float y1, float tx, float ty)
{
    GLDrawState& state = TheGLDrawState();
    const float rx = (x1 - x0) * 0.5f;
    const float ry = (y1 - y0) * 0.5f;
    const float cx = x0 + rx;
    const float cy = y0 + ry;
    const std::int32_t segments = GLOvalSegments(rx, ry);
    state.BeginImmediate();
    state.ApplyColour();
    glBegin(GL_POLYGON);
    for (std::int32_t i = 0; i < segments; ++i) {
        const double angle = 2.0 * std::numbers::pi * i / segments;
        state.Vertex(cx + static_cast<float>(std::cos(angle)) * rx, cy - static_cast<float>(std::sin(angle)) * ry, tx,
                     ty);
    }
    glEnd();
}

void TGLFlat2DDriver::DrawPoly(const Ref<Array>& xy, float hx, float hy, float tx, float ty)
{
    const std::int32_t count = xy->Length();
    if (count < 6 || count % 2 != 0) return;
    GLDrawState& state = TheGLDrawState();
    const float* points = xy->DataAs<float>();
    state.BeginImmediate();
    state.ApplyColour();
    glBegin(GL_POLYGON);
    for (std::int32_t i = 0; i < count; i += 2)
        state.Vertex(points[i] + hx, points[i + 1] + hy, tx, ty);
    glEnd();
}

void TGLFlat2DDriver::DrawPixmap(const Ref<TPixmap>& pixmap, std::int32_t x, std::int32_t y)
{
    TheGLDrawState().BeginImmediate();
    Ref<TPixmap> rows = YFlipPixmap(pixmap);
    if (rows->Format() != PF_RGBA8888) rows = rows->Convert(PF_RGBA8888);
    const PixelStore rowLength(GL_UNPACK_ROW_LENGTH, rows->Pitch() / rows->BytesPerPixel());
    // The raster position starts at the top-left corner and is moved to the pixmap's bottom-left one
    // (GL draws rows upwards); glBitmap moves it even where glRasterPos would make it invalid.
    glRasterPos2i(0, 0);
    glBitmap(0, 0, 0.0f, 0.0f, static_cast<float>(x), static_cast<float>(-y - rows->Height()), nullptr);
    glDrawPixels(rows->Width(), rows->Height(), GL_RGBA, GL_UNSIGNED_BYTE, rows->Pixels());
}

Ref<TPixmap> TGLFlat2DDriver::GrabPixmap(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height)
{
    if (width < 1 || height < 1) return Null;
    GLDrawState& state = TheGLDrawState();
    state.Flush();
    Ref<TPixmap> rows = CreatePixmap(width, height, PF_RGBA8888, 4);
    if (rows.IsNull()) return Null;
    // Only the part on the surface is read (GL leaves the rest undefined); the pixmap starts cleared.
    // Coordinates are widened so that no sum overflows.
    const std::int64_t left = std::max<std::int64_t>(x, 0);
    const std::int64_t top = std::max<std::int64_t>(y, 0);
    const std::int64_t right = std::min<std::int64_t>(std::int64_t{x} + width, state.SurfaceWidth());
    const std::int64_t bottom = std::min<std::int64_t>(std::int64_t{y} + height, state.SurfaceHeight());
    if (left < right && top < bottom) {
        // Rows arrive bottom-up: the pixmap is filled upside down and flipped at the end.
        const PixelStore rowLength(GL_PACK_ROW_LENGTH, rows->Pitch() / rows->BytesPerPixel());
        std::uint8_t* target = rows->PixelPtr(static_cast<std::int32_t>(left - x),
                                              static_cast<std::int32_t>(std::int64_t{y} + height - bottom));
        glReadPixels(static_cast<GLint>(left), static_cast<GLint>(state.SurfaceHeight() - bottom),
                     static_cast<GLsizei>(right - left), static_cast<GLsizei>(bottom - top), GL_RGBA, GL_UNSIGNED_BYTE,
                     target);
    }
    return YFlipPixmap(rows);
}

const Ref<TGLFlat2DDriver>& GLFlat2DDriver()
{
    static Ref<TGLFlat2DDriver> driver = New<TGLFlat2DDriver>();
    return driver;
}

void InitGLFlat2DDriver()
{
    static bool initialised = false;
    if (initialised) return;
    initialised = true;
    InitRuntimeCore();
    InitGraphics();
    InitPixmaps();
    InitGLContextDriver();
    TheGLDrawState().Colour() = {};
}

} // namespace vanta
