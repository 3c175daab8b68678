// Image frames of the GL 2D driver: one power-of-two texture per frame, or a cell of an atlas page shared
// with other small pictures (graphics/gl/GLTextureAtlas.h), drawn as a textured quad of the driver's batch.
//
// Builds on graphics/Image.h (the frame interface), the driver's drawing state (graphics/gl/GLDrawState.h)
// and textures (graphics/gl/GLTexture.h). A picture smaller than its texture sits in the top-left corner;
// its last column and row are repeated once to the right and below, so that filtering at its edges
// blends nothing from the empty part. Frames are made by the GL 2D driver inside the shared context (see
// `TGLFlat2DDriver::CreateFrameFromPixmap`), so one frame draws in every GL window.
//
// Main thread only.
#pragma once

#include "graphics/Image.h"
#include "graphics/gl/GLTextureAtlas.h"
#include "pixmap/TPixmap.h"

#include <cstdint>

namespace vanta {

// One frame of an image as the GL 2D driver draws it: a texture and the part of it the picture fills.
class TGLImageFrame : public TImageFrame
{
    VANTA_CLASS(TGLImageFrame, TImageFrame)
public:
    // A frame without a texture, of the current graphics sequence.
    TGLImageFrame();
    // Deletes the texture if the frame belongs to the current graphics sequence (an older frame's
    // context is gone, and its name may belong to a texture made since).
    ~TGLImageFrame() override;

    // Draws the texture's picture over the local rectangle (x0, y0)-(x1, y1), transformed and moved by
    // (tx, ty), tinted by the colour and blended by the blend mode last set. The quad joins the driver's
    // batch (graphics/gl/GLDrawState.h) and reaches GL when the batch is sent.
    void Draw(float x0, float y0, float x1, float y1, float tx, float ty) override;

    // A new frame holding `pixmap` (any format) in a texture of the current context, sized by the proxy
    // of `CurrentGLTextureProxy`; a picture larger than the largest texture is scaled down to it.
    // Throws `TNullObjectError` for `Null` and "Unable to calculate tex size" when GL takes no texture.
    static Ref<TGLImageFrame> CreateFromPixmap(const Ref<TPixmap>& pixmap, std::int32_t flags);

    float uMin = 0.0f; // left texture coordinate
    float vMin = 0.0f; // top texture coordinate
    float uMax = 0.0f; // right texture coordinate: picture width / texture width
    float vMax = 0.0f; // bottom texture coordinate: picture height / texture height
    // The GL texture name (0: none), deleted with the frame while its graphics sequence lasts.
    std::uint32_t texture = 0;
    std::int32_t sequence = 0; // the graphics sequence the frame was made in; 0 once its texture is gone
    GLAtlasCell cell;          // the picture's place when `texture` is an atlas page (then not the frame's own)
};

} // namespace vanta
