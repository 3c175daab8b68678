// stb_image compiled once for the fuzz targets, from memory only. It is third-party code and a reference:
// its own warnings and sanitizer findings are not ours (fuzz/CMakeLists.txt builds it without either).
#define STB_IMAGE_IMPLEMENTATION
#define STBI_NO_STDIO
#define STBI_ONLY_TGA
#define STBI_ONLY_BMP
#include "fuzz/StbReference.h"

#include <climits>
#include <stb/stb_image.h>

namespace vanta::fuzz {

ReferencePicture StbReference(const std::uint8_t* data, std::size_t size, int expectedWidth, int expectedHeight)
{
    ReferencePicture picture;
    if (data == nullptr || size == 0 || size > static_cast<std::size_t>(INT_MAX)) return picture;
    int width = 0;
    int height = 0;
    int channels = 0;
    // A header stb_image reads as another size is no reference, and decoding it could ask for gigabytes.
    if (stbi_info_from_memory(data, static_cast<int>(size), &width, &height, &channels) == 0 ||
        width != expectedWidth || height != expectedHeight)
        return picture;
    stbi_uc* pixels = stbi_load_from_memory(data, static_cast<int>(size), &width, &height, &channels, 4);
    if (pixels == nullptr) return picture;
    picture.width = width;
    picture.height = height;
    picture.rgba.assign(pixels, pixels + static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
    stbi_image_free(pixels);
    return picture;
}

} // namespace vanta::fuzz
