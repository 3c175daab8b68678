// The GL 2D driver's drawing state and caches.
#include "graphics/gl/GLDrawState.h"

#include <GL/gl.h>

namespace vanta {

void GLDrawState::Reset(std::int32_t width, std::int32_t height)
{
    blend_ = 0;
    boundTexture_ = 0;
    bindingKnown_ = true;
    texturing_ = false;
    width_ = width;
    height_ = height;
}

void GLDrawState::SetBlend(std::int32_t mode)
{
    if (mode == blend_) return;
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

void GLDrawState::ApplyColour() const
{
    glColor4ubv(colour_.data());
}

GLDrawState& TheGLDrawState()
{
    static GLDrawState state;
    return state;
}

} // namespace vanta
