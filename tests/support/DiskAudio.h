// SDL's disk audio driver as a sound device for tests: everything the output plays goes to a temporary
// file, read back as interleaved 16-bit values.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace vanta::test {

class DiskAudioFile
{
public:
    // Bytes of one 4096-frame stereo 16-bit buffer.
    static constexpr std::uintmax_t PASS_BYTES = std::uintmax_t{4096} * 2 * sizeof(std::int16_t);

    // Points SDL's audio at the disk driver and at a file
    // of this process named after `name`.
    explicit DiskAudioFile(const std::string& name)
        : path_(std::filesystem::temp_directory_path() / (name + "_" + std::to_string(getpid()) + ".raw"))
    {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", path_.c_str(), 1);
    }
    ~DiskAudioFile() { std::filesystem::remove(path_); }

    const std::filesystem::path& Path() const { return path_; }

    std::uintmax_t WrittenBytes() const
    {
        std::error_code error;
        const std::uintmax_t size = std::filesystem::file_size(path_, error);
        return error ? 0 : size;
    }

    // Waits (at most 30 seconds) until the device has written `passes` buffers beyond `from` bytes.
    bool WaitForPasses(std::uintmax_t from, int passes) const
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (WrittenBytes() < from + PASS_BYTES * static_cast<std::uintmax_t>(passes)) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return true;
    }

    // Everything written so far, as interleaved 16-bit values.
    std::vector<std::int16_t> ReadOutput() const
    {
        std::vector<std::int16_t> samples(static_cast<std::size_t>(WrittenBytes()) / sizeof(std::int16_t));
        std::ifstream file(path_, std::ios::binary);
        file.read(reinterpret_cast<char*>(samples.data()), static_cast<std::streamsize>(samples.size() * 2));
        return samples;
    }

private:
    std::filesystem::path path_;
};

} // namespace vanta::test
