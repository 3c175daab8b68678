// Watches a game's files for saves by polling their modification times: cheap enough to run from the
// frame loop (a few stat calls four times a second), with no thread, no new dependency and the same
// behaviour on every file system, network and container mounts included.
//
// Builds on std::filesystem and the system clock (system/HostDriver.h). Main thread only.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>

namespace vanta::play {

// How often the files are looked at, in milliseconds of the system clock.
inline constexpr std::int32_t WATCH_PERIOD = 250;
// The most files a folder watch follows (a game folder, not a home directory).
inline constexpr std::size_t WATCH_FILE_LIMIT = 4096;

class FolderWatcher
{
public:
    // Watches `path`: a file, or every Lua script and picture (.lua .png .jpg .jpeg .bmp .tga) in a folder
    // and its subfolders. Takes the first look now.
    explicit FolderWatcher(std::filesystem::path path);

    // True when a watched file was saved, added or removed since the last look; looks only when
    // `WATCH_PERIOD` has passed on the system clock since then, else answers false at once.
    bool Changed();

    // Looks now: true when something changed since the last look.
    bool LookNow();

private:
    using Stamp = std::pair<std::filesystem::file_time_type, std::uintmax_t>; // time and size
    std::map<std::string, Stamp> Scan() const;

    std::filesystem::path path_;
    std::map<std::string, Stamp> stamps_;
    std::int32_t lastLook_ = 0;
};

// True for the names the watcher follows in a folder: Lua scripts and pictures.
bool IsWatchedName(const std::filesystem::path& name);

} // namespace vanta::play
