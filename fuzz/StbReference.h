// stb_image (Debian's libstb-dev), the independent decoder the loader tests compare against, for the image
// targets' differential check: where it decodes an input to a picture of the loader's size, the two must
// show the same picture.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vanta::fuzz {

struct ReferencePicture
{
    int width = 0; // 0 when stb_image cannot decode the input
    int height = 0;
    std::vector<std::uint8_t> rgba; // rows top to bottom, 4 bytes a pixel
};

// The input as stb_image decodes it, as RGBA; nothing (width 0) unless its header gives the expected size.
ReferencePicture StbReference(const std::uint8_t* data, std::size_t size, int expectedWidth, int expectedHeight);

} // namespace vanta::fuzz
