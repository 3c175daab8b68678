// The generator's table of files and its two producers: the pictures, and the music.
#pragma once

#include "tools/media/Raster.h"

#include <string>
#include <vector>

namespace vanta::media {

// How a picture is stored and how the game loads it.
enum class Storage
{
    PaletteMasked, // 8-bit palette PNG, loaded masked: (0, 0, 0) is transparent
    JPEG,          // baseline JPEG, three components
    RGBA,          // 8-bit RGBA PNG with its own alpha
    RGB,           // 8-bit RGB PNG
};

// A picture as written, for the contact sheet.
struct WrittenPicture
{
    std::string name;
    Storage storage;
    Raster pixels;
};

// Draws every picture and writes it under `directory` with its registered name; answers them in the order
// of the game's table, the console's background last.
std::vector<WrittenPicture> WritePictures(const std::string& directory);

// Composes, synthesises and writes both pieces of music under `directory`.
void WriteMusic(const std::string& directory);

// Writes "contact-sheet.png" under `directory`: every picture with its name, and the level put together
// as the game draws it.
void WriteContactSheet(const std::string& directory, const std::vector<WrittenPicture>& pictures);

} // namespace vanta::media
