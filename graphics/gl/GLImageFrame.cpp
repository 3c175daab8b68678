// GL image frames: the padded power-of-two texture of a picture, and its textured quad.
#include "graphics/gl/GLImageFrame.h"

#include "graphics/Graphics.h"
#include "graphics/gl/GLDrawState.h"
#include "graphics/gl/GLTexture.h"
#include "pixmap/Pixmap.h"

#include <algorithm>

#include <GL/gl.h>

namespace vanta {
namespace {

// The picture in the top-left corner of a texture-sized pixmap, its last column repeated once to the
// right and its last row once below (with the corner pixel), the rest transparent black.
Ref<TPixmap> Padded(const Ref<TPixmap>& picture, std::int32_t textureWidth, std::int32_t textureHeight)
{
    const std::int32_t w = picture->Width();
    const std::int32_t h = picture->Height();
    Ref<TPixmap> padded = CreatePixmap(textureWidth, textureHeight, PF_RGBA8888, 4);
    padded->Paste(picture, 0, 0);
    if (w < textureWidth) padded->Paste(picture->Window(w - 1, 0, 1, h), w, 0);
    if (h < textureHeight) {
        padded->Paste(picture->Window(0, h - 1, w, 1), 0, h);
        if (w < textureWidth) padded->Paste(picture->Window(w - 1, h - 1, 1, 1), w, h);
    }
    return padded;
}

} // namespace

TGLImageFrame::TGLImageFrame() : sequence(GraphicsSequence())
{}

TGLImageFrame::~TGLImageFrame()
{
    // A cell gives itself back (and the page's texture goes with its last cell).
    if (cell || texture == 0 || sequence != GraphicsSequence()) return;
    // Quads held for this texture are drawn before it goes; GL binds 0 in place of a deleted texture and
    // gives the name out again.
    TheGLDrawState().ForgetBinding();
    const GLuint name = texture;
    glDeleteTextures(1, &name);
    sequence = 0;
}

void TGLImageFrame::Draw(float x0, float y0, float x1, float y1, float tx, float ty)
{
    TheGLDrawState().Quad(texture, x0, y0, x1, y1, tx, ty, uMin, vMin, uMax, vMax);
}

Ref<TGLImageFrame> TGLImageFrame::CreateFromPixmap(const Ref<TPixmap>& pixmap, std::int32_t flags)
{
    if (GLAtlasTakes(pixmap->Width(), pixmap->Height(), flags)) {
        Ref<TGLImageFrame> frame = New<TGLImageFrame>();
        frame->cell = GLPlaceInAtlas(pixmap, flags);
        if (frame->cell) {
            frame->texture = frame->cell.Texture();
            frame->uMin = frame->cell.UMin();
            frame->vMin = frame->cell.VMin();
            frame->uMax = frame->cell.UMax();
            frame->vMax = frame->cell.VMax();
            return frame;
        }
    }
    std::int32_t textureWidth = pixmap->Width();
    std::int32_t textureHeight = pixmap->Height();
    GLTextureSize(textureWidth, textureHeight, CurrentGLTextureProxy());

    Ref<TPixmap> picture = pixmap;
    const std::int32_t w = std::min(picture->Width(), textureWidth);
    const std::int32_t h = std::min(picture->Height(), textureHeight);
    if (w != picture->Width() || h != picture->Height()) picture = ResizePixmap(picture, w, h);

    Ref<TPixmap> upload;
    if (w < textureWidth || h < textureHeight)
        upload = Padded(picture, textureWidth, textureHeight);
    else
        upload = picture->Format() == PF_RGBA8888 ? picture : picture->Convert(PF_RGBA8888);

    // The frame owns the texture from here on, so a failing upload does not leak it.
    Ref<TGLImageFrame> frame = New<TGLImageFrame>();
    frame->texture = GLCreateTexture(textureWidth, textureHeight, flags);
    GLUploadTexture(upload, flags);
    frame->uMax = static_cast<float>(w) / static_cast<float>(textureWidth);
    frame->vMax = static_cast<float>(h) / static_cast<float>(textureHeight);
    return frame;
}

} // namespace vanta
