// The GL 2D driver's drawing state: the surface size, the one-entry caches that keep repeated blend
// modes, texture binds and texturing switches from reaching GL, the transform, the colour bytes, and the
// batch of vertices held back until something could see them.
//
// Batching: consecutive primitives of one kind (textured quads of one texture, untextured quads, lines,
// points) are gathered in one vertex buffer, each vertex with its position (already transformed), its
// texture coordinates and its colour, and sent with one glDrawArrays from client-side arrays (GL 1.1).
// Quads stay quads: Mesa's software renderer rasterises them on a faster path than the same rectangles
// given as triangles (measured: indexed triangles halved the cost of submitting but tripled the cost of
// drawing small sprites).
// Colour and alpha travel in the vertices, and the transform is applied here, so neither breaks a batch.
// What is held is sent (`Flush`) before anything that would otherwise see it out of order: a change of
// the kind of primitive or of the texture, any change of GL state that affects drawing (blend, scissor,
// line width, texturing), a primitive drawn at once (ovals, polygons, pixmap blits), read-back, clearing,
// the surface being flipped, released or replaced, and a texture being made or deleted. A batch longer
// than the buffer is sent whenever the buffer fills, and gathering starts again at its beginning.
//
// The client arrays point into the buffer for the life of the program; they are set up once per surface
// activation (client state belongs to the context, and every activation may bring another one). A batch
// of one colour (the usual case) is drawn without the colour array, in GL's current colour, which Mesa's
// software renderer was measured to draw faster than per-vertex colours.
// After a draw with the colour array GL's current colour is undefined, so it is sent again when needed,
// and primitives drawn at once send their colour themselves.
//
// Builds on GL 1.1 in the current context. Main thread only.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>

namespace vanta {

// How many times each cached state reached GL since the program started.
struct GLStateCounters
{
    std::int32_t blendChanges = 0;      // blend modes applied
    std::int32_t textureBinds = 0;      // glBindTexture calls through the cache
    std::int32_t texturingSwitches = 0; // GL_TEXTURE_2D enabled or disabled through the cache
    std::int32_t batchDraws = 0;        // draw calls that sent a batch
};

// One vertex of the batch, laid out for the client arrays.
struct GLVertex
{
    float x;                // window position across (pixels, from the left)
    float y;                // window position down (pixels, from the top)
    float u;                // texture coordinate across; 0 for untextured primitives
    float v;                // texture coordinate down; 0 for untextured primitives
    std::uint8_t colour[4]; // red, green, blue and alpha, 0-255
};

// The kinds of primitive a batch holds.
enum class GLBatchKind : std::uint8_t
{
    NONE,  // nothing held, and the texturing state is not known to suit any kind
    QUADS, // textured when the batch texture is not 0
    LINES,
    POINTS,
};

// The vertices the batch buffer holds (a multiple of 4 and of 2, so that quads and lines never straddle
// its end): 192 quads. Mesa's software renderer sends a draw with any vertex outside GL's viewport (a
// sprite reaching past the band the driver keeps around the surface) through a pipeline whose cost grows
// with the square of the draw's length: 192-quad draws submit such sprites in half the time of 512-quad
// ones, and at 1 000 sprites a frame still make under one GL call per hundred sprites.
inline constexpr std::int32_t GL_BATCH_VERTICES = 768;

// The drawing state described at the top of this file; the driver has one (`TheGLDrawState`).
class GLDrawState
{
public:
    // Forgets the caches (so the next change always reaches GL) and the client-array set-up, and takes
    // the surface's size. What is held is sent first.
    void Reset(std::int32_t width, std::int32_t height);

    // Applies a blend mode (1 mask, 2 solid, 3 alpha, 4 light, 5 shade, anything else: opaque copy)
    // unless it is the one applied last; a change sends what is held first.
    void SetBlend(std::int32_t mode);
    // Sends what is held and turns texturing off, for a primitive drawn at once.
    void BeginImmediate();
    // Sends what is held; the bound texture is not known any more (a texture is being made or deleted
    // in the drawing context): the next bind reaches GL whatever its name.
    void ForgetBinding();

    // Sends what is held (nothing when nothing is).
    void Flush();
    // The number of vertices held.
    std::int32_t Held() const noexcept { return count_; }

    // The transform of a local point: (x * ix + y * iy + tx, x * jx + y * jy + ty).
    void SetTransform(float ix, float iy, float jx, float jy) noexcept
    {
        ix_ = ix;
        iy_ = iy;
        jx_ = jx;
        jy_ = jy;
    }
    // The transformed point.
    std::array<float, 2> Transform(float x, float y, float tx, float ty) const noexcept
    {
        return {x * ix_ + y * iy_ + tx, x * jx_ + y * jy_ + ty};
    }
    // Sends the transformed point to GL as a vertex (inside glBegin/glEnd).
    void Vertex(float x, float y, float tx, float ty) const;

    // Adds the quad with local corners (x0, y0)-(x1, y1), transformed and moved by (tx, ty), with texture
    // coordinates (u0, v0)-(u1, v1) of `texture` (0: untextured), in the current colour. Inline: every
    // drawn image comes through here.
    void Quad(std::uint32_t texture, float x0, float y0, float x1, float y1, float tx, float ty, float u0, float v0,
              float u1, float v1)
    {
        if (kind_ != GLBatchKind::QUADS || texture != texture_ || count_ + 4 > GL_BATCH_VERTICES) {
            // Out of line and called last, so that the common case needs no registers saved.
            StartQuad(texture, x0, y0, x1, y1, tx, ty, u0, v0, u1, v1);
            return;
        }
        // Read before any vertex is written: the compiler cannot tell that the writes leave them alone.
        const float ix = ix_, iy = iy_, jx = jx_, jy = jy_;
        const std::uint32_t colour = ColourWord();
        GLVertex* v = Take(4, colour);
        // Each corner exactly as `Transform` works it out, so batched and single quads land alike.
        Put(v[0], x0 * ix + y0 * iy + tx, x0 * jx + y0 * jy + ty, u0, v0, colour);
        Put(v[1], x1 * ix + y0 * iy + tx, x1 * jx + y0 * jy + ty, u1, v0, colour);
        Put(v[2], x1 * ix + y1 * iy + tx, x1 * jx + y1 * jy + ty, u1, v1, colour);
        Put(v[3], x0 * ix + y1 * iy + tx, x0 * jx + y1 * jy + ty, u0, v1, colour);
    }
    // Adds the line from local (x0, y0) to (x1, y1), transformed and moved by (tx, ty).
    void Line(float x0, float y0, float x1, float y1, float tx, float ty);
    // Adds the point at (x, y), untransformed.
    void Point(float x, float y);

    // The colour bytes (r, g, b, a) of what is drawn from now on.
    std::array<std::uint8_t, 4>& Colour() noexcept { return colour_; }
    // Sends the colour bytes to GL as the current colour (for primitives drawn at once).
    void ApplyColour();

    // The size given to the last `Reset`.
    std::int32_t SurfaceWidth() const noexcept { return width_; }
    std::int32_t SurfaceHeight() const noexcept { return height_; }
    // The blend mode applied last; 0 when none was since the last `Reset`.
    std::int32_t Blend() const noexcept { return blend_; }

    // What reached GL so far (never cleared by `Reset`).
    GLStateCounters& Counters() noexcept { return counters_; }

private:
    // Room for `count` more vertices of this kind and texture in `colour`: a different kind or texture sends
    // what is held and sets texturing up for the new batch; a full buffer is sent and gathering starts again.
    GLVertex* Reserve(GLBatchKind kind, std::uint32_t texture, std::int32_t count, std::uint32_t colour)
    {
        if (kind != kind_ || texture != texture_ || count_ + count > GL_BATCH_VERTICES) Start(kind, texture);
        return Take(count, colour);
    }
    // The next `count` vertices of the batch, which has room for them, in `colour`.
    GLVertex* Take(std::int32_t count, std::uint32_t colour)
    {
        if (count_ == 0)
            batchColour_ = colour;
        else if (colour != batchColour_)
            mixedColours_ = true;
        GLVertex* v = vertices_.data() + count_;
        count_ += count;
        return v;
    }
    void Start(GLBatchKind kind, std::uint32_t texture);
    // `Start` for a quad of this texture, then `Quad`.
    void StartQuad(std::uint32_t texture, float x0, float y0, float x1, float y1, float tx, float ty, float u0,
                   float v0, float u1, float v1);
    std::uint32_t ColourWord() const noexcept
    {
        std::uint32_t colour = 0;
        std::memcpy(&colour, colour_.data(), 4);
        return colour;
    }
    static void Put(GLVertex& v, float x, float y, float u, float t, std::uint32_t colour) noexcept
    {
        v.x = x;
        v.y = y;
        v.u = u;
        v.v = t;
        std::memcpy(v.colour, &colour, 4);
    }
    void Bind(std::uint32_t texture);
    void TexturingOn(std::uint32_t texture);
    void TexturingOff();

    std::int32_t blend_ = 0; // 0: none applied yet
    std::uint32_t boundTexture_ = 0;
    bool bindingKnown_ = true;
    bool texturing_ = false;
    bool arraysReady_ = false;
    bool colourArray_ = false;        // GL_COLOR_ARRAY enabled
    bool currentColourKnown_ = false; // GL's current colour is `currentColour_`
    std::uint32_t currentColour_ = 0;
    std::uint32_t batchColour_ = 0; // the colour of the batch's first vertex
    bool mixedColours_ = false;     // the batch holds another colour as well
    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
    float ix_ = 1.0f, iy_ = 0.0f, jx_ = 0.0f, jy_ = 1.0f;
    std::array<std::uint8_t, 4> colour_{};
    GLBatchKind kind_ = GLBatchKind::NONE;
    std::uint32_t texture_ = 0;
    std::int32_t count_ = 0;
    GLStateCounters counters_;
    std::array<GLVertex, GL_BATCH_VERTICES> vertices_{};
};

namespace detail {
// The driver's one drawing state, made before any code runs (constant-initialised).
extern GLDrawState theGLDrawState;
} // namespace detail

// The driver's one drawing state.
inline GLDrawState& TheGLDrawState()
{
    return detail::theGLDrawState;
}

} // namespace vanta
