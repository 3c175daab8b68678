// Helpers for the image-loader tests: the fixture files, memory streams over bytes, an independent
// decoder (stb_image) to compare against, pixmaps read back as RGBA, and builders for hand-made BMP and
// TGA files whose every byte a test chooses.
#pragma once

#include "pixmap/Pixmap.h"
#include "pixmap/loaders/ImageLoaders.h"
#include "startup/ModuleSequence.h"
#include "stream/MemoryStream.h"

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace vanta::test {

// The stream modules and the loaders, registered once for the whole test program.
inline void InitLoadersForTest()
{
    RunModuleInitialisers(MODULES_LOADERS);
}

// The bytes of tests/pixmap/data/<name>; fails the test when the file is missing.
inline std::string Fixture(const std::string& name)
{
    std::ifstream file(std::string(PIXMAP_TEST_DATA) + "/" + name, std::ios::binary);
    EXPECT_TRUE(file.good()) << "missing fixture " << name;
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// A read-only memory stream over `bytes`, which must outlive it.
inline Ref<TMemoryStream> MemoryOver(const std::string& bytes)
{
    return CreateMemoryStream(const_cast<char*>(bytes.data()), static_cast<std::int32_t>(bytes.size()), true, false);
}

// `LoadPixmap` of the bytes through a memory stream.
inline Ref<TPixmap> LoadBytes(const std::string& bytes)
{
    return LoadPixmap(MemoryOver(bytes));
}

// A picture as width, height and RGBA bytes, rows top to bottom without padding.
struct RGBAPicture
{
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::uint8_t> pixels;

    const std::uint8_t* At(std::int32_t x, std::int32_t y) const { return &pixels[(std::size_t(y) * width + x) * 4]; }
};

// The bytes decoded by stb_image into RGBA; an empty picture when stb_image cannot decode them.
RGBAPicture StbDecode(const std::string& bytes);

// The pixmap's pixels converted to RGBA.
inline RGBAPicture PixmapRGBA(const Ref<TPixmap>& pixmap)
{
    RGBAPicture picture{pixmap->Width(), pixmap->Height(), {}};
    picture.pixels.resize(std::size_t(picture.width) * picture.height * 4);
    for (std::int32_t y = 0; y < picture.height; ++y)
        ConvertPixels(pixmap->PixelPtr(0, y), pixmap->Format(), &picture.pixels[std::size_t(y) * picture.width * 4],
                      PF_RGBA8888, picture.width);
    return picture;
}

// The largest difference between two same-sized pictures over the channels `channels` (4: RGBA, 3: RGB).
inline int LargestDifference(const RGBAPicture& a, const RGBAPicture& b, int channels = 4)
{
    if (a.width != b.width || a.height != b.height) return 256;
    int largest = 0;
    for (std::size_t i = 0; i < a.pixels.size(); ++i) {
        if (static_cast<int>(i % 4) >= channels) continue;
        largest = std::max(largest, std::abs(int(a.pixels[i]) - int(b.pixels[i])));
    }
    return largest;
}

// Appends little-endian numbers.
inline void Put16(std::string& out, std::uint32_t value)
{
    out += char(value & 0xFF);
    out += char(value >> 8 & 0xFF);
}
inline void Put32(std::string& out, std::uint32_t value)
{
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

// The parts of a hand-made BMP file; `Build` fills in whatever is left at its default.
struct BMPFile
{
    std::int32_t width = 1;
    std::int32_t height = 1;
    std::uint32_t bitCount = 24;
    std::uint32_t compression = 0;
    std::uint32_t headerSize = 40;
    std::uint32_t coloursUsed = 0;
    std::vector<std::uint32_t> palette; // 0x00RRGGBB entries, stored blue, green, red, 0
    std::string gap;                    // bytes between the palette and the pixels
    std::string pixels;                 // the rows as stored
    std::int64_t dataOffset = -1;       // -1: where the pixels really start

    std::string Build() const
    {
        std::string info;
        Put32(info, headerSize);
        Put32(info, std::uint32_t(width));
        Put32(info, std::uint32_t(height));
        Put16(info, 1);
        Put16(info, bitCount);
        Put32(info, compression);
        Put32(info, std::uint32_t(pixels.size()));
        Put32(info, 2835);
        Put32(info, 2835);
        Put32(info, coloursUsed);
        Put32(info, 0);
        info.resize(headerSize, '\0');
        std::string table;
        for (std::uint32_t entry : palette)
            Put32(table, entry);
        const std::uint32_t start = std::uint32_t(14 + info.size() + table.size() + gap.size());
        std::string file = "BM";
        Put32(file, std::uint32_t(14 + info.size() + table.size() + gap.size() + pixels.size()));
        Put32(file, 0);
        Put32(file, dataOffset >= 0 ? std::uint32_t(dataOffset) : start);
        return file + info + table + gap + pixels;
    }
};

// A hand-made TGA file: the 18-byte header, an id field of `idLength` bytes, then `payload`.
inline std::string MakeTGA(std::uint8_t imageType, std::uint8_t depth, std::uint16_t width, std::uint16_t height,
                           std::uint8_t descriptor, const std::string& payload, std::uint8_t idLength = 0,
                           std::uint8_t colourMapType = 0)
{
    std::string file;
    file += char(idLength);
    file += char(colourMapType);
    file += char(imageType);
    file += std::string(5, '\0');
    Put16(file, 0);
    Put16(file, 0);
    Put16(file, width);
    Put16(file, height);
    file += char(depth);
    file += char(descriptor);
    file += std::string(idLength, 'i');
    return file + payload;
}

// The registered loader of class `T` (the one the module initialiser made), or `Null`. Tests use it
// rather than making loaders of their own, which would join the registry for good.
template <class T>
Ref<T> Registered()
{
    for (Ref<TPixmapLoader> loader = PixmapLoaders(); !loader.IsNull(); loader = loader->next) {
        if (Ref<T> found = Downcast<T>(loader)) return found;
    }
    return Null;
}

// The class name of the loader that made a pixmap of `bytes` ("TPNGLoader", ...), or "" when none did.
inline std::string LoaderOf(const std::string& bytes)
{
    Ref<TPixmapLoader> loader;
    LoadPixmapWithLoader(MemoryOver(bytes), loader);
    return loader.IsNull() ? "" : loader->Class()->name;
}

} // namespace vanta::test
