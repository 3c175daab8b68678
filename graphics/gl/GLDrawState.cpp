// The GL 2D driver's drawing state, caches and batch.
#include "graphics/gl/GLDrawState.h"

#include <cstddef>

#include <GL/gl.h>

namespace vanta {
namespace {

GLenum Mode(GLBatchKind kind)
{
    switch (kind) {
    case GLBatchKind::LINES: return GL_LINES;
    case GLBatchKind::POINTS: return GL_POINTS;
    default: return GL_QUADS;
    }
}

} // namespace

void GLDrawState::Reset(std::int32_t width, std::int32_t height)
{
    Flush();
    blend_ = 0;
    boundTexture_ = 0;
    bindingKnown_ = true;
    texturing_ = false;
    arraysReady_ = false;
    colourArray_ = false;
    currentColourKnown_ = false;
    kind_ = GLBatchKind::NONE;
    texture_ = 0;
    width_ = width;
    height_ = height;
}

void GLDrawState::SetBlend(std::int32_t mode)
{
    if (mode == blend_) return;
    Flush();
    blend_ = mode;
    ++counters_.blendChanges;
    switch (mode) {
    case 1:
        glDisable(GL_BLEND);
        glEnable(GL_ALPHA_TEST);
        glAlphaFunc(GL_GEQUAL, 0.5f);
        return;
    case 3:
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glDisable(GL_ALPHA_TEST);
        return;
    case 4:
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE);
        glDisable(GL_ALPHA_TEST);
        return;
    case 5:
        glEnable(GL_BLEND);
        glBlendFunc(GL_DST_COLOR, GL_ZERO);
        glDisable(GL_ALPHA_TEST);
        return;
    default: // 2 (solid) and any other value
        glDisable(GL_BLEND);
        glDisable(GL_ALPHA_TEST);
        return;
    }
}

void GLDrawState::BeginImmediate()
{
    Flush();
    TexturingOff();
    kind_ = GLBatchKind::NONE;
}

void GLDrawState::ForgetBinding()
{
    Flush();
    bindingKnown_ = false;
    kind_ = GLBatchKind::NONE;
}

void GLDrawState::Flush()
{
    if (count_ == 0) return;
    if (!arraysReady_) {
        // The buffer never moves, so the pointers stay right until another context is made current.
        const GLsizei stride = sizeof(GLVertex);
        glVertexPointer(2, GL_FLOAT, stride, &vertices_[0].x);
        glTexCoordPointer(2, GL_FLOAT, stride, &vertices_[0].u);
        glColorPointer(4, GL_UNSIGNED_BYTE, stride, vertices_[0].colour);
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glDisableClientState(GL_COLOR_ARRAY);
        colourArray_ = false;
        arraysReady_ = true;
    }
    if (mixedColours_ != colourArray_) {
        if (mixedColours_)
            glEnableClientState(GL_COLOR_ARRAY);
        else
            glDisableClientState(GL_COLOR_ARRAY);
        colourArray_ = mixedColours_;
    }
    if (!mixedColours_ && !(currentColourKnown_ && currentColour_ == batchColour_)) {
        std::uint8_t bytes[4];
        std::memcpy(bytes, &batchColour_, 4);
        glColor4ubv(bytes);
        currentColour_ = batchColour_;
        currentColourKnown_ = true;
    }
    glDrawArrays(Mode(kind_), 0, count_);
    ++counters_.batchDraws;
    if (colourArray_) currentColourKnown_ = false;
    count_ = 0;
    mixedColours_ = false;
}

void GLDrawState::Start(GLBatchKind kind, std::uint32_t texture)
{
    Flush();
    if (kind == kind_ && texture == texture_) return; // only the buffer was full
    if (kind == GLBatchKind::QUADS && texture != 0)
        TexturingOn(texture);
    else
        TexturingOff();
    kind_ = kind;
    texture_ = texture;
}

void GLDrawState::StartQuad(std::uint32_t texture, float x0, float y0, float x1, float y1, float tx, float ty, float u0,
                            float v0, float u1, float v1)
{
    Start(GLBatchKind::QUADS, texture);
    Quad(texture, x0, y0, x1, y1, tx, ty, u0, v0, u1, v1);
}

void GLDrawState::Line(float x0, float y0, float x1, float y1, float tx, float ty)
{
    const std::uint32_t colour = ColourWord();
    GLVertex* v = Reserve(GLBatchKind::LINES, 0, 2, colour);
    const std::array<float, 2> from = Transform(x0, y0, tx, ty);
    const std::array<float, 2> to = Transform(x1, y1, tx, ty);
    Put(v[0], from[0], from[1], 0.0f, 0.0f, colour);
    Put(v[1], to[0], to[1], 0.0f, 0.0f, colour);
}

void GLDrawState::Point(float x, float y)
{
    const std::uint32_t colour = ColourWord();
    Put(*Reserve(GLBatchKind::POINTS, 0, 1, colour), x, y, 0.0f, 0.0f, colour);
}

void GLDrawState::Bind(std::uint32_t texture)
{
    if (bindingKnown_ && texture == boundTexture_) return;
    glBindTexture(GL_TEXTURE_2D, texture);
    ++counters_.textureBinds;
    boundTexture_ = texture;
    bindingKnown_ = true;
}

void GLDrawState::TexturingOn(std::uint32_t texture)
{
    Bind(texture);
    if (texturing_) return;
    glEnable(GL_TEXTURE_2D);
    ++counters_.texturingSwitches;
    texturing_ = true;
}

void GLDrawState::TexturingOff()
{
    if (!texturing_) return;
    glDisable(GL_TEXTURE_2D);
    ++counters_.texturingSwitches;
    texturing_ = false;
}

void GLDrawState::Vertex(float x, float y, float tx, float ty) const
{
    const std::array<float, 2> point = Transform(x, y, tx, ty);
    glVertex2f(point[0], point[1]);
}

void GLDrawState::ApplyColour()
{
    glColor4ubv(colour_.data());
    std::memcpy(&currentColour_, colour_.data(), 4);
    currentColourKnown_ = true;
}

constinit GLDrawState detail::theGLDrawState;

} // namespace vanta
