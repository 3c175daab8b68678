// The folder watcher: modification times and sizes, compared at each look.
#include "FolderWatcher.h"

#include "system/HostDriver.h"

#include <algorithm>
#include <cctype>
#include <system_error>
#include <utility>

namespace vanta::play {

bool IsWatchedName(const std::filesystem::path& name)
{
    std::string extension = name.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".lua" || extension == ".png" || extension == ".jpg" || extension == ".jpeg" ||
           extension == ".bmp" || extension == ".tga";
}

FolderWatcher::FolderWatcher(std::filesystem::path path) : path_(std::move(path)), lastLook_(ReadClock())
{
    stamps_ = Scan();
}

std::map<std::string, FolderWatcher::Stamp> FolderWatcher::Scan() const
{
    std::map<std::string, Stamp> stamps;
    std::error_code error;
    const auto stamp = [&](const std::filesystem::path& file) {
        std::error_code fileError;
        const auto time = std::filesystem::last_write_time(file, fileError);
        const auto size = std::filesystem::file_size(file, fileError);
        if (!fileError) stamps[file.string()] = {time, size};
    };
    if (!std::filesystem::is_directory(path_, error)) {
        stamp(path_);
        return stamps;
    }
    std::filesystem::recursive_directory_iterator it(path_, std::filesystem::directory_options::skip_permission_denied,
                                                     error);
    for (; !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
        if (stamps.size() >= WATCH_FILE_LIMIT) break;
        if (it->is_regular_file(error) && IsWatchedName(it->path())) stamp(it->path());
    }
    return stamps;
}

bool FolderWatcher::LookNow()
{
    lastLook_ = ReadClock();
    std::map<std::string, Stamp> stamps = Scan();
    const bool changed = stamps != stamps_;
    stamps_ = std::move(stamps);
    return changed;
}

bool FolderWatcher::Changed()
{
    if (ClockDistance(lastLook_, ReadClock()) < static_cast<std::uint32_t>(WATCH_PERIOD)) return false;
    return LookNow();
}

} // namespace vanta::play
