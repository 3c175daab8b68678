// The GL 2D driver's drawing state: the surface it draws on, the one-entry caches that keep repeated
// blend modes, texture binds and texturing switches from reaching GL, the transform and the colour bytes.
// Shared by the driver (graphics/gl/GLFlat2DDriver.h) and its frames (graphics/gl/GLImageFrame.h).
//
// Builds on GL 1.1 in the current context. Main thread only.
#pragma once

#include <array>
#include <cstdint>

namespace vanta {

// How many times each cached state reached GL since the counters were last cleared.
struct GLStateCounters
{
    std::int32_t blendChanges = 0;      // blend modes applied
    std::int32_t textureBinds = 0;      // glBindTexture calls through the cache
    std::int32_t texturingSwitches = 0; // GL_TEXTURE_2D enabled or disabled through the cache
};

class GLDrawState
{
public:
    // Forgets the caches (so the next change always reaches GL) and takes the surface's size.
    void Reset(std::int32_t width, std::int32_t height);

    // Applies a blend mode (1 mask, 2 solid, 3 alpha, 4 light, 5 shade, anything else: opaque copy)
    // unless it is the one applied last.
    void SetBlend(std::int32_t mode);
    // Binds the texture to GL_TEXTURE_2D unless it is bound already.
    void Bind(std::uint32_t texture);
    // Binds the texture and turns texturing on.
    void TexturingOn(std::uint32_t texture);
    // Turns texturing off unless it is off.
    void TexturingOff();
    // The bound texture is not known any more (a texture was made or deleted in the drawing context):
    // the next bind reaches GL whatever its name.
    void ForgetBinding() noexcept { bindingKnown_ = false; }

    // The transform of a local point: (x * ix + y * iy + tx, x * jx + y * jy + ty).
    void SetTransform(float ix, float iy, float jx, float jy) noexcept
    {
        ix_ = ix;
        iy_ = iy;
        jx_ = jx;
        jy_ = jy;
    }
    // The transformed point. Inline: every drawn image sends four of them.
    std::array<float, 2> Transform(float x, float y, float tx, float ty) const noexcept
    {
        return {x * ix_ + y * iy_ + tx, x * jx_ + y * jy_ + ty};
    }
    // Sends the transformed point to GL as a vertex (inside glBegin/glEnd).
    void Vertex(float x, float y, float tx, float ty) const;

    // The colour bytes (r, g, b, a) sent with glColor4ubv.
    std::array<std::uint8_t, 4>& Colour() noexcept { return colour_; }
    // Sends the colour bytes to GL (glColor4ubv).
    void ApplyColour() const;

    // The size given to the last `Reset`.
    std::int32_t SurfaceWidth() const noexcept { return width_; }
    std::int32_t SurfaceHeight() const noexcept { return height_; }
    // The blend mode applied last; 0 when none was since the last `Reset`.
    std::int32_t Blend() const noexcept { return blend_; }

    // What reached GL so far (never cleared by `Reset`).
    GLStateCounters& Counters() noexcept { return counters_; }

private:
    std::int32_t blend_ = 0; // 0: none applied yet
    std::uint32_t boundTexture_ = 0;
    bool bindingKnown_ = true;
    bool texturing_ = false;
    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
    float ix_ = 1.0f, iy_ = 0.0f, jx_ = 0.0f, jy_ = 1.0f;
    std::array<std::uint8_t, 4> colour_{};
    GLStateCounters counters_;
};

// The driver's one drawing state.
GLDrawState& TheGLDrawState();

} // namespace vanta
