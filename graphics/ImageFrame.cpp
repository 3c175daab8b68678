// The abstract image frame.
#include "graphics/ImageFrame.h"

#include "runtime/Error.h"

namespace vanta {

void TImageFrame::Draw(float, float, float, float, float, float)
{
    ThrowAbstractMethod();
}

} // namespace vanta
