// vanta-media: makes the game's own media.
//
//     vanta-media OUTPUT-DIRECTORY
//
// Draws every picture and composes and synthesises both pieces of music of the game, and writes them
// under their registered names ("DATAS/fond.jpg", "intro/intromusic.ogg", ...) below the directory, with
// the console's "bakground.png" and "contact-sheet.png", a page that shows every picture with its name.
// The same source gives the same bytes on every run. Exit status 0 on success, 1 when a file cannot be
// written (one line on standard error), 2 for a usage error.
#include "pixmap/loaders/PNGLoader.h"
#include "runtime/Object.h"
#include "tools/media/Encoders.h"
#include "tools/media/Media.h"
#include "tools/media/Pictures.h"

#include <chrono>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <functional>

namespace vanta::media {

std::vector<WrittenPicture> WritePictures(const std::string& directory)
{
    struct Entry
    {
        const char* name;
        Storage storage;
        std::function<Raster()> draw;
    };
    const Entry entries[] = {
        {"intro/logo-zelkor.jpg", Storage::JPEG, DrawLogo},
        {"intro/introtitre.jpg", Storage::JPEG, DrawTitle},
        {"intro/globeintro.png", Storage::PaletteMasked, DrawGlobe},
        {"DATAS/herbe0.png", Storage::PaletteMasked, [] { return DrawGrass(0, 4); }},
        {"DATAS/herbe1.png", Storage::PaletteMasked, [] { return DrawGrass(1, 6); }},
        {"DATAS/herbe2.png", Storage::PaletteMasked, [] { return DrawGrass(2, 14); }},
        {"DATAS/herbe3.png", Storage::PaletteMasked, [] { return DrawGrass(3, 14); }},
        {"DATAS/herbe4.png", Storage::PaletteMasked, [] { return DrawGrass(4, 22); }},
        {"DATAS/nuages0.png", Storage::PaletteMasked, [] { return DrawClouds(0, 42); }},
        {"DATAS/nuages1.png", Storage::PaletteMasked, [] { return DrawClouds(1, 80); }},
        {"DATAS/nuages2.png", Storage::PaletteMasked, [] { return DrawClouds(2, 38); }},
        {"DATAS/nuages3.png", Storage::PaletteMasked, [] { return DrawClouds(3, 18); }},
        {"DATAS/nuages4.png", Storage::PaletteMasked, [] { return DrawClouds(4, 12); }},
        {"DATAS/barriere.png", Storage::PaletteMasked, DrawFence},
        {"DATAS/montagnes.png", Storage::PaletteMasked, DrawMountains},
        {"DATAS/fond.jpg", Storage::JPEG, DrawSky},
        {"DATAS/lune.png", Storage::PaletteMasked, DrawMoon},
        {"DATAS/marcheur.png", Storage::RGBA, DrawCreature},
        {"bakground.png", Storage::RGB, DrawConsoleBackground},
    };
    std::vector<WrittenPicture> written;
    for (const Entry& entry : entries) {
        Raster pixels = entry.draw();
        const std::string path = directory + "/" + entry.name;
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        switch (entry.storage) {
        case Storage::PaletteMasked: WritePalettePNG(path, pixels); break;
        case Storage::JPEG: WriteJPEG(path, pixels, 90); break;
        case Storage::RGBA: WritePNG(path, pixels, true); break;
        case Storage::RGB: WritePNG(path, pixels, false); break;
        }
        written.push_back({entry.name, entry.storage, std::move(pixels)});
    }
    return written;
}

} // namespace vanta::media

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: vanta-media OUTPUT-DIRECTORY\n", stderr);
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    try {
        vanta::InitPNGLoader();
        const std::string directory = argv[1];
        std::filesystem::create_directories(directory);
        const auto pictures = vanta::media::WritePictures(directory);
        vanta::media::WriteContactSheet(directory, pictures);
        vanta::media::WriteMusic(directory);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "vanta-media: %s\n", error.what());
        return 1;
    }
    vanta::FlushReleaseStack(-1);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("vanta-media: wrote the game's media to %s in %.1f s\n", argv[1], seconds);
    return 0;
}
