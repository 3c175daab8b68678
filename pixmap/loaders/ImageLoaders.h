// The image-loader bundle: one initialiser that registers the four image loaders.
//
// Builds on the BMP, TGA, JPEG and PNG loader modules (pixmap/loaders/).
#pragma once

namespace vanta {

// Runs the initialisers of the BMP, TGA, JPEG and PNG loaders, in that order, so that `LoadPixmap` asks
// PNG first, then JPEG, TGA and BMP.
void InitImageLoaders();

} // namespace vanta
