// The image-loader bundle.
#include "pixmap/loaders/ImageLoaders.h"

#include "pixmap/loaders/BMPLoader.h"
#include "pixmap/loaders/JPEGLoader.h"
#include "pixmap/loaders/PNGLoader.h"
#include "pixmap/loaders/TGALoader.h"

namespace vanta {

void InitImageLoaders()
{
    static bool initialised = false;
    if (initialised) return;
    initialised = true;
    // Each loader joins the registry at its head, so the order here is the reverse of the trial order.
    InitBMPLoader();
    InitTGALoader();
    InitJPEGLoader();
    InitPNGLoader();
}

} // namespace vanta
