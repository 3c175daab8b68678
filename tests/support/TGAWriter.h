// Writes TGA files of known pixels for the loader tests: every picture kind, raw or run-length (packets
// laid over the whole picture, so they cross row ends), with a colour map and in any of the four origins.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vanta::test {

// One TGA file; `Build` lays it out. Pixels are given top row first, left to right, whatever order the
// descriptor makes the file store them in.
struct TGAWriter
{
    std::uint8_t imageType = 2; // 1, 2, 3 raw; 9, 10, 11 run-length
    std::uint8_t depth = 24;
    std::uint16_t width = 1;
    std::uint16_t height = 1;
    std::uint8_t descriptor = 0; // attribute bits, 0x10 right to left, 0x20 top to bottom
    std::string id;              // the image id field
    // The colour map (written when `mapDepth` is not 0): entries as stored, from index `mapFirst` on.
    std::uint8_t mapDepth = 0;
    std::uint16_t mapFirst = 0;
    std::vector<std::uint32_t> map;
    // Pixels as stored: 0xRRGGBB (24 bits), 0xAARRGGBB (32), 16-bit words (15, 16), indices, greys, or
    // grey | alpha << 8 (16-bit grey). When they are not width times height, they are written as they
    // stand, in the order given.
    std::vector<std::uint32_t> pixels;

    // The whole file.
    std::string Build() const
    {
        std::string file;
        file += static_cast<char>(id.size());
        file += static_cast<char>(mapDepth != 0 ? 1 : 0);
        file += static_cast<char>(imageType);
        Put(file, mapFirst, 2);
        Put(file, static_cast<std::uint32_t>(map.size()), 2);
        file += static_cast<char>(mapDepth);
        Put(file, 0, 2);
        Put(file, 0, 2);
        Put(file, width, 2);
        Put(file, height, 2);
        file += static_cast<char>(depth);
        file += static_cast<char>(descriptor);
        file += id;
        for (std::uint32_t entry : map)
            Put(file, entry, (mapDepth + 7) / 8);

        // The pixels in file order.
        std::vector<std::uint32_t> stored;
        const bool asGiven = pixels.size() != std::size_t{width} * height;
        if (asGiven) stored = pixels;
        const bool topDown = (descriptor & 0x20) != 0;
        const bool rightToLeft = (descriptor & 0x10) != 0;
        for (std::int32_t r = 0; r < height && !asGiven; ++r) {
            const std::int32_t y = topDown ? r : height - 1 - r;
            for (std::int32_t i = 0; i < width; ++i) {
                const std::int32_t x = rightToLeft ? width - 1 - i : i;
                stored.push_back(pixels[static_cast<std::size_t>(y) * width + x]);
            }
        }
        const int bytes = (depth + 7) / 8;
        if (imageType < 8) {
            for (std::uint32_t value : stored)
                Put(file, value, bytes);
            return file;
        }
        // Run packets for two or more equal pixels, raw packets for the rest, at most 128 pixels each.
        std::size_t at = 0;
        while (at < stored.size()) {
            std::size_t same = 1;
            while (at + same < stored.size() && same < 128 && stored[at + same] == stored[at])
                ++same;
            if (same >= 2) {
                file += static_cast<char>(0x80 | (same - 1));
                Put(file, stored[at], bytes);
                at += same;
                continue;
            }
            std::size_t count = 1;
            while (at + count < stored.size() && count < 128 &&
                   (at + count + 1 >= stored.size() || stored[at + count] != stored[at + count + 1]))
                ++count;
            file += static_cast<char>(count - 1);
            for (std::size_t i = 0; i < count; ++i)
                Put(file, stored[at + i], bytes);
            at += count;
        }
        return file;
    }

private:
    // `value` as `bytes` little-endian bytes.
    static void Put(std::string& out, std::uint32_t value, int bytes)
    {
        for (int i = 0; i < bytes; ++i)
            out += static_cast<char>(value >> (8 * i) & 0xFF);
    }
};

} // namespace vanta::test
