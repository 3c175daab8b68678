// The table of fuzz targets that the regression test walks.
#include "fuzz/FuzzTargets.h"

namespace vanta::fuzz {

std::span<const FuzzTarget> FuzzTargets()
{
    static constexpr FuzzTarget targets[] = {
        {"pixmap_ops", FuzzPixmapOps}, {"png", FuzzPNGLoader}, {"jpeg", FuzzJPEGLoader}, {"tga", FuzzTGALoader},
        {"bmp", FuzzBMPLoader},        {"wav", FuzzWavLoader}, {"ogg", FuzzOggLoader},   {"freetype", FuzzFreeTypeFont},
    };
    return targets;
}

} // namespace vanta::fuzz
