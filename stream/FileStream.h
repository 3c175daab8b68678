// `TFileStream`: a C-library file as a stream, and its file modes.
#pragma once

#include "stream/ByteStream.h"

#include <cstdint>
#include <cstdio>

namespace vanta {

// File modes of a `TFileStream`.
inline constexpr std::int32_t FILE_READ = 1;       // reading only
inline constexpr std::int32_t FILE_WRITE = 2;      // writing only
inline constexpr std::int32_t FILE_READ_WRITE = 3; // reading and writing

// A C-library file as a stream. Open from `OpenFile` (or `CreateFromFile`) until `Close`; after that
// `Pos` and `Size` are 0, `Eof` is 1, reads give nothing and writes fail. A stream destroyed while open
// closes its file.
class TFileStream final : public TByteStream
{
    VANTA_CLASS(TFileStream, TByteStream)
public:
    // Use `OpenFile` or `CreateFromFile`; `file` must not be null.
    TFileStream(std::FILE* file, std::int32_t mode);
    ~TFileStream() override;

    // `Pos` equals `Size`, without the two calls.
    std::int32_t Eof() override;
    std::int32_t Pos() override;
    std::int32_t Size() override;

    // Moves to `pos`, kept within 0 .. `Size`, and returns the position the C library reports.
    std::int32_t Seek(std::int32_t pos) override;

    std::int32_t Flush() override;

    // Flushes and closes the file; 0, or -1 when the buffered bytes could not be written (the file is closed
    // either way). Does nothing (0) when already closed.
    std::int32_t Close() override;

    // `fread`: the bytes read (0 at the end, on failure, and after `Close`).
    std::int32_t Read(void* buffer, std::int32_t count) override;

    // `fwrite`: the bytes written (0 on failure, and after `Close`).
    std::int32_t Write(const void* buffer, std::int32_t count) override;

    // As `TByteStream::ReadLine`, scanning the C library's buffer instead of reading byte by byte.
    Ref<String> ReadLine() override;

    // Opens `path` ("\" read as "/") with the C mode "r+b" when both flags are set, "wb" when only
    // `writeable` is, otherwise "rb". `Null` when the C library cannot open it and for a directory.
    static Ref<TFileStream> OpenFile(const Ref<String>& path, bool readable, bool writeable);

    // A stream over an open C file in `mode` (`FILE_READ`, `FILE_WRITE` or `FILE_READ_WRITE`), starting at
    // the file's current position; the stream closes the file. `Null` for a null file.
    static Ref<TFileStream> CreateFromFile(std::FILE* file, std::int32_t mode);

    // The C file; nullptr once closed.
    std::FILE* File() const noexcept { return file_; }

    // `FILE_READ`, `FILE_WRITE` or `FILE_READ_WRITE`.
    std::int32_t Mode() const noexcept { return mode_; }

private:
    enum class Direction : std::uint8_t
    {
        NONE,
        READING,
        WRITING
    };

    void TurnTo(Direction direction);

    std::int32_t pos_ = 0;
    std::int32_t size_ = 0;
    std::FILE* file_ = nullptr;
    std::int32_t mode_ = 0;
    // The C file's buffer when the stream opened the file itself; freed once the file is closed.
    void* buffer_ = nullptr;
    // The C library needs a seek between a read and a following write (and the other way round) on a
    // file opened for both; this remembers which way the last transfer went.
    Direction direction_ = Direction::NONE;
};

} // namespace vanta
