// Stand-ins for the game's 20 embedded files, so its scenes can be driven in tests without the build's
// media: each picture is a flat colour of its own at the size the game expects (the creature strip has
// a colour per cell), each music a tenth of a second of silence as a WAV. Registered before the game
// registers its own files, they win (the first registration of a name does), so what a test sees does
// not depend on the media. `StandInNameOf` tells from a recorded driver frame which picture it shows.
//
// Builds on the embedded-file registry, pixmaps and the PNG writer (the PNG loader must be registered
// for the game to read them back: run the game's module sequence first).
#pragma once

#include "pixmap/Pixmap.h"
#include "pixmap/TPixmap.h"
#include "pixmap/loaders/PNGLoader.h"
#include "runtime/EmbeddedFile.h"
#include "runtime/String.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

namespace vanta::test {

struct StandInPicture
{
    const char* name;
    std::int32_t width;
    std::int32_t height;
    std::int32_t cells; // side by side, each of its own colour
};

// The game's pictures at their sizes.
inline const std::vector<StandInPicture>& StandInPictures()
{
    static const std::vector<StandInPicture> pictures = {
        {"intro/logo-zelkor.jpg", 640, 480, 1}, {"intro/introtitre.jpg", 640, 480, 1},
        {"intro/globeintro.png", 640, 400, 1},  {"DATAS/herbe0.png", 640, 4, 1},
        {"DATAS/herbe1.png", 640, 6, 1},        {"DATAS/herbe2.png", 640, 14, 1},
        {"DATAS/herbe3.png", 640, 14, 1},       {"DATAS/herbe4.png", 640, 22, 1},
        {"DATAS/nuages0.png", 640, 42, 1},      {"DATAS/nuages1.png", 640, 80, 1},
        {"DATAS/nuages2.png", 640, 38, 1},      {"DATAS/nuages3.png", 640, 18, 1},
        {"DATAS/nuages4.png", 640, 12, 1},      {"DATAS/barriere.png", 640, 42, 1},
        {"DATAS/montagnes.png", 640, 146, 1},   {"DATAS/fond.jpg", 640, 360, 1},
        {"DATAS/lune.png", 106, 106, 1},        {"DATAS/marcheur.png", 480, 104, 6},
    };
    return pictures;
}

// The opaque colour (packed ARGB) of cell `cell` of picture `index` of `StandInPictures`: never black,
// which the masked pictures would lose.
inline std::uint32_t StandInColour(std::size_t index, std::int32_t cell = 0)
{
    return 0xFF000000u |
           static_cast<std::uint32_t>((index + 1) * 0x0B0000u + static_cast<std::uint32_t>(cell) * 0x10u + 0x40u);
}

namespace detail {

inline std::vector<std::vector<char>>& StandInBytes()
{
    // Never freed: the registry points into these blocks for the rest of the process.
    static auto& bytes = *new std::vector<std::vector<char>>;
    return bytes;
}

inline const std::vector<char>& KeepStandIn(std::vector<char> bytes)
{
    StandInBytes().push_back(std::move(bytes));
    return StandInBytes().back();
}

inline std::vector<char> PictureBytes(const StandInPicture& picture, std::size_t index)
{
    Ref<TPixmap> pixmap = CreatePixmap(picture.width, picture.height, PF_RGB888, 4);
    const std::int32_t cellWidth = picture.width / picture.cells;
    for (std::int32_t y = 0; y < picture.height; ++y) {
        for (std::int32_t x = 0; x < picture.width; ++x)
            pixmap->WritePixel(x, y, StandInColour(index, x / cellWidth));
    }
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("vanta_stand_in_" + std::to_string(getpid()) + ".png");
    const bool saved = SavePixmapPNG(pixmap, String::FromCString(path.c_str()), 1) == 1;
    std::ifstream file(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::filesystem::remove(path);
    return saved ? bytes : std::vector<char>{};
}

inline std::vector<char> SilentWavBytes()
{
    const std::uint32_t frames = 4410;
    const std::uint32_t data = frames * 4;
    std::vector<char> bytes;
    auto put32 = [&bytes](std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            bytes.push_back(static_cast<char>(v >> (8 * i) & 0xFF));
    };
    auto put16 = [&bytes](std::uint32_t v) {
        bytes.push_back(static_cast<char>(v & 0xFF));
        bytes.push_back(static_cast<char>(v >> 8 & 0xFF));
    };
    auto tag = [&bytes](const char* t) { bytes.insert(bytes.end(), t, t + 4); };
    tag("RIFF");
    put32(36 + data);
    tag("WAVE");
    tag("fmt ");
    put32(16);
    put16(1);
    put16(2);
    put32(44100);
    put32(44100 * 4);
    put16(4);
    put16(16);
    tag("data");
    put32(data);
    bytes.resize(bytes.size() + data, 0);
    return bytes;
}

} // namespace detail

// Registers every stand-in under the game's names (once per process). Answers false when a picture
// could not be made (no PNG writer).
inline bool RegisterGameStandIns()
{
    static bool registered = false;
    if (registered) return true;
    const auto& pictures = StandInPictures();
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        const std::vector<char>& bytes = detail::KeepStandIn(detail::PictureBytes(pictures[i], i));
        if (bytes.empty()) return false;
        EmbeddedFileAdd(String::FromCString(pictures[i].name), bytes.data(), static_cast<std::int32_t>(bytes.size()));
    }
    for (const char* music : {"intro/intromusic.ogg", "DATAS/music-level1.ogg"}) {
        const std::vector<char>& bytes = detail::KeepStandIn(detail::SilentWavBytes());
        EmbeddedFileAdd(String::FromCString(music), bytes.data(), static_cast<std::int32_t>(bytes.size()));
    }
    registered = true;
    return true;
}

// The name of the stand-in picture whose pixmap is `pixmap`, with "#cell" for the cells of a strip
// ("DATAS/marcheur.png#2"); "glyph" for an 8 x 16 text glyph; "?" for anything else.
inline std::string StandInNameOf(const Ref<TPixmap>& pixmap)
{
    if (pixmap.IsNull()) return "?";
    if (pixmap->Width() == 8 && pixmap->Height() == 16) return "glyph";
    const std::uint32_t colour = pixmap->ReadPixel(0, 0) | 0xFF000000u;
    const auto& pictures = StandInPictures();
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        for (std::int32_t cell = 0; cell < pictures[i].cells; ++cell) {
            if (StandInColour(i, cell) != colour) continue;
            return pictures[i].cells == 1 ? pictures[i].name
                                          : std::string(pictures[i].name) + "#" + std::to_string(cell);
        }
    }
    return "?";
}

} // namespace vanta::test
