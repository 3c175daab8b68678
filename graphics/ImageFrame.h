// Image frames: a 2D driver's drawable form of one frame of an image (graphics/Image.h), made by the
// driver's `CreateFrameFromPixmap` (graphics/Flat2DDriver.h) when the frame is first drawn in a graphics
// opening.
//
// Builds on the object runtime. Main thread only.
#pragma once

#include "runtime/Object.h"

namespace vanta {

// Abstract: `Draw` throws `TAbstractMethodError`.
class TImageFrame : public Object
{
    VANTA_CLASS(TImageFrame, Object)
public:
    TImageFrame() = default;

    // Draws the picture stretched over (x0, y0)-(x1, y1) (relative to the handle), turned and scaled by the
    // current transform, then moved by (tx, ty).
    virtual void Draw(float x0, float y0, float x1, float y1, float tx, float ty);
};

} // namespace vanta
