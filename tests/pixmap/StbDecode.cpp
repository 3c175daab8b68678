// stb_image, the independent decoder the loader tests compare against, compiled once for the suite.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_NO_STDIO
#include "support/LoaderTestSupport.h"

#include <stb/stb_image.h>

namespace vanta::test {

RGBAPicture StbDecode(const std::string& bytes)
{
    int width = 0, height = 0, channels = 0;
    stbi_uc* pixels = stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(bytes.data()), int(bytes.size()), &width,
                                            &height, &channels, 4);
    RGBAPicture picture;
    if (pixels == nullptr) return picture;
    picture.width = width;
    picture.height = height;
    picture.pixels.assign(pixels, pixels + std::size_t(width) * height * 4);
    stbi_image_free(pixels);
    return picture;
}

} // namespace vanta::test
