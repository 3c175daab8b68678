// Writes BMP files of known pixels for the loader tests: palette, 24-bit and bit-field rows packed and padded
// as the format stores them, the headers of every version, and run-length codes made from index rows.
#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <string>
#include <vector>

namespace vanta::test {

// One BMP file; `Build` lays it out. Pixels are given top row first whatever order the file stores.
struct BMPWriter
{
    std::int32_t width = 1;
    std::int32_t height = 1;
    std::uint32_t bitCount = 24;
    std::uint32_t compression = 0; // 0 none, 1 RLE8, 2 RLE4, 3 bit fields, 6 bit fields with alpha
    std::uint32_t headerSize = 40; // 12, 40, 52, 56, 108 or 124
    bool topDown = false;          // a negative height, rows stored top first
    // Red, green, blue and alpha masks: inside headers of 52 bytes and more, else after a 40-byte header
    // when `compression` is 3 (three masks) or 6 (four).
    std::array<std::uint32_t, 4> masks{};
    std::vector<std::uint32_t> palette; // 0xRRGGBB entries, stored blue, green, red, 0
    // Uncompressed pixels as stored, top row first: palette indices, bit-field words or 0xRRGGBB.
    std::vector<std::uint32_t> pixels;
    // Run-length files: the compressed pixels exactly as they are to be stored.
    std::string codes;

    // The whole file.
    std::string Build() const
    {
        const bool core = headerSize == 12;
        std::string info;
        Put32(info, headerSize);
        if (core) {
            Put16(info, static_cast<std::uint32_t>(width));
            Put16(info, static_cast<std::uint32_t>(height));
            Put16(info, 1);
            Put16(info, bitCount);
        } else {
            Put32(info, static_cast<std::uint32_t>(width));
            Put32(info, static_cast<std::uint32_t>(topDown ? -height : height));
            Put16(info, 1);
            Put16(info, bitCount);
            Put32(info, compression);
            Put32(info, 0);
            Put32(info, 2835);
            Put32(info, 2835);
            Put32(info, static_cast<std::uint32_t>(palette.size()));
            Put32(info, 0);
            if (headerSize >= 52) {
                for (std::size_t i = 0; i < (headerSize >= 56 ? 4u : 3u); ++i)
                    Put32(info, masks[i]);
            }
            info.resize(headerSize, '\0');
            if (headerSize == 40 && (compression == 3 || compression == 6)) {
                for (std::size_t i = 0; i < (compression == 6 ? 4u : 3u); ++i)
                    Put32(info, masks[i]);
            }
        }
        for (std::uint32_t entry : palette) {
            info += static_cast<char>(entry & 0xFF);
            info += static_cast<char>(entry >> 8 & 0xFF);
            info += static_cast<char>(entry >> 16 & 0xFF);
            if (!core) info += '\0';
        }
        const std::string data = compression == 1 || compression == 2 ? codes : Rows();
        std::string file = "BM";
        Put32(file, static_cast<std::uint32_t>(14 + info.size() + data.size()));
        Put32(file, 0);
        Put32(file, static_cast<std::uint32_t>(14 + info.size()));
        return file + info + data;
    }

    // The bit-field word holding the field values `red`, `green`, `blue` and `alpha` under `masks`.
    static std::uint32_t Pack(const std::array<std::uint32_t, 4>& masks, std::uint32_t red, std::uint32_t green,
                              std::uint32_t blue, std::uint32_t alpha = 0)
    {
        const std::uint32_t values[4] = {red, green, blue, alpha};
        std::uint32_t word = 0;
        for (std::size_t i = 0; i < 4; ++i) {
            if (masks[i] != 0) word |= (values[i] << std::countr_zero(masks[i])) & masks[i];
        }
        return word;
    }

    // Run-length codes for rows of palette indices given top row first, stored bottom row first (or top
    // first for a top-down file): a run for each stretch of equal indices, literal stretches for three or
    // more differing ones, end of line after each row and end of picture at the end.
    static std::string RunLengthCodes(const std::vector<std::uint32_t>& indices, std::int32_t width,
                                      std::int32_t height, bool fourBit, bool topDown = false)
    {
        std::string out;
        for (std::int32_t r = 0; r < height; ++r) {
            const std::int32_t y = topDown ? r : height - 1 - r;
            const std::uint32_t* row = &indices[static_cast<std::size_t>(y) * width];
            std::int32_t x = 0;
            while (x < width) {
                std::int32_t same = 1;
                while (x + same < width && same < 255 && row[x + same] == row[x])
                    ++same;
                std::int32_t differing = 1;
                while (x + differing < width && differing < 255 &&
                       (x + differing + 1 >= width || row[x + differing] != row[x + differing + 1]))
                    ++differing;
                if (same >= 2 || differing < 3) {
                    const std::int32_t count = same >= 2 ? same : 1;
                    out += static_cast<char>(count);
                    out += static_cast<char>(fourBit ? (row[x] << 4 | row[x]) : row[x]);
                    x += count;
                    continue;
                }
                out += '\0';
                out += static_cast<char>(differing);
                std::string stored;
                for (std::int32_t i = 0; i < differing; ++i) {
                    if (!fourBit) {
                        stored += static_cast<char>(row[x + i]);
                    } else if (i % 2 == 0) {
                        stored += static_cast<char>(row[x + i] << 4);
                    } else {
                        stored.back() = static_cast<char>(stored.back() | row[x + i]);
                    }
                }
                if (stored.size() % 2 != 0) stored += '\0';
                out += stored;
                x += differing;
            }
            out += std::string("\0\0", 2);
        }
        out.back() = '\1'; // the last end of line becomes the end of the picture
        return out;
    }

private:
    // The uncompressed rows in file order, each padded to a whole 32-bit word.
    std::string Rows() const
    {
        std::string out;
        const std::size_t rowBytes = (static_cast<std::size_t>(width) * bitCount + 31) / 32 * 4;
        for (std::int32_t r = 0; r < height; ++r) {
            const std::int32_t y = topDown ? r : height - 1 - r;
            std::string row(rowBytes, '\0');
            for (std::int32_t x = 0; x < width && !pixels.empty(); ++x) {
                const std::uint32_t value = pixels[static_cast<std::size_t>(y) * width + x];
                const std::size_t bit = static_cast<std::size_t>(x) * bitCount;
                if (bitCount < 8) {
                    row[bit / 8] = static_cast<char>(row[bit / 8] | value << (8 - bitCount - bit % 8));
                } else {
                    for (std::size_t b = 0; b < bitCount / 8; ++b)
                        row[bit / 8 + b] = static_cast<char>(value >> (8 * b) & 0xFF);
                }
            }
            out += row;
        }
        return out;
    }

    static void Put16(std::string& out, std::uint32_t value)
    {
        out += static_cast<char>(value & 0xFF);
        out += static_cast<char>(value >> 8 & 0xFF);
    }

    static void Put32(std::string& out, std::uint32_t value)
    {
        Put16(out, value & 0xFFFF);
        Put16(out, value >> 16);
    }
};

} // namespace vanta::test
