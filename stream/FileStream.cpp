// File streams: C-library files (`fopen`, `fread`, `fwrite`) as byte streams.
#include "stream/FileStream.h"

#include "stream/detail/LineBuffer.h"

#include <algorithm>
#include <sys/stat.h>

namespace vanta {
namespace {

// Files opened by path read and write through a buffer of this size: 16 times the C library's default,
// so reading a file line by line or value by value costs a sixteenth of the system calls.
constexpr std::ptrdiff_t FILE_BUFFER_SIZE = std::ptrdiff_t{64} * 1024;

} // namespace

TFileStream::TFileStream(std::FILE* file, std::int32_t mode) : file_(file), mode_(mode)
{
    pos_ = static_cast<std::int32_t>(std::ftell(file_));
    std::fseek(file_, 0, SEEK_END);
    size_ = static_cast<std::int32_t>(std::ftell(file_));
    std::fseek(file_, pos_, SEEK_SET);
}

// The base classes' destructors cannot reach this class's `Close`, so an unclosed file is closed here.
TFileStream::~TFileStream()
{
    TFileStream::Close();
}

std::int32_t TFileStream::Eof()
{
    return pos_ == size_ ? 1 : 0;
}

std::int32_t TFileStream::Pos()
{
    return pos_;
}

std::int32_t TFileStream::Size()
{
    return size_;
}

std::int32_t TFileStream::Seek(std::int32_t pos)
{
    if (file_ == nullptr) return pos_;
    // Kept inside the file, as memory streams do: a position past the end would never reach `Eof`.
    pos = std::clamp(pos, 0, size_);
    std::fseek(file_, pos, SEEK_SET);
    pos_ = static_cast<std::int32_t>(std::ftell(file_));
    direction_ = Direction::NONE;
    return pos_;
}

std::int32_t TFileStream::Flush()
{
    if (file_ == nullptr) return 0;
    return std::fflush(file_) == 0 ? 0 : -1;
}

std::int32_t TFileStream::Close()
{
    if (file_ == nullptr) return 0;
    // Written bytes may wait in the buffer until now: a full disk shows here, and is answered with -1.
    const bool flushed = TFileStream::Flush() == 0;
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    MemFree(buffer_, FILE_BUFFER_SIZE);
    buffer_ = nullptr;
    pos_ = 0;
    size_ = 0;
    return flushed && closed ? 0 : -1;
}

void TFileStream::TurnTo(Direction direction)
{
    if (direction_ != direction && direction_ != Direction::NONE) std::fseek(file_, 0, SEEK_CUR);
    direction_ = direction;
}

std::int32_t TFileStream::Read(void* buffer, std::int32_t count)
{
    if (count <= 0 || file_ == nullptr) return 0;
    TurnTo(Direction::READING);
    const auto n = static_cast<std::int32_t>(std::fread(buffer, 1, static_cast<std::size_t>(count), file_));
    pos_ += n;
    return n;
}

std::int32_t TFileStream::Write(const void* buffer, std::int32_t count)
{
    if (count <= 0 || file_ == nullptr) return 0;
    TurnTo(Direction::WRITING);
    const auto n = static_cast<std::int32_t>(std::fwrite(buffer, 1, static_cast<std::size_t>(count), file_));
    pos_ += n;
    size_ = std::max(size_, pos_);
    return n;
}

Ref<String> TFileStream::ReadLine()
{
    // The same bytes as one `fread` of 1 byte at a time (the terminator is consumed, a failed read ends
    // the line), taken from the C library's buffer: where the C library is glibc, whole runs of its read
    // area (the bytes `getc_unlocked` hands out one by one) at a time.
    if (file_ == nullptr) return EmptyString();
    TurnTo(Direction::READING);
    detail::LineBuffer line;
    std::int64_t consumed = 0;
    for (;;) {
#if defined(__GLIBC__)
        const auto* begin = reinterpret_cast<const std::uint8_t*>(file_->_IO_read_ptr);
        const auto* end = reinterpret_cast<const std::uint8_t*>(file_->_IO_read_end);
        if (begin < end) {
            bool carriageReturns = false;
            const std::uint8_t* stop = detail::FindLineEnd(begin, end, carriageReturns);
            const std::uint8_t* next = stop < end ? stop + 1 : end;
            consumed += next - begin;
            file_->_IO_read_ptr = reinterpret_cast<char*>(const_cast<std::uint8_t*>(next));
            if (stop < end && line.Empty() && !carriageReturns) {
                pos_ += static_cast<std::int32_t>(consumed);
                return detail::BytesToString(begin, static_cast<std::size_t>(stop - begin));
            }
            if (carriageReturns) {
                line.AppendWithoutCarriageReturns(begin, stop);
            } else {
                line.Append(begin, static_cast<std::size_t>(stop - begin));
            }
            if (stop < end) break;
            continue;
        }
#endif
        const int c = getc_unlocked(file_);
        if (c == EOF) break;
        ++consumed;
        if (c == 0 || c == '\n') break;
        if (c != '\r') line.Append(static_cast<std::uint8_t>(c));
    }
    pos_ += static_cast<std::int32_t>(consumed);
    return line.Finish();
}

Ref<TFileStream> TFileStream::OpenFile(const Ref<String>& path, bool readable, bool writeable)
{
    const char* cMode = "rb";
    std::int32_t mode = FILE_READ;
    if (readable && writeable) {
        cMode = "r+b";
        mode = FILE_READ_WRITE;
    } else if (writeable) {
        cMode = "wb";
        mode = FILE_WRITE;
    }
    const Ref<String> fixed = path->Replace("\\"_s, "/"_s);
    std::FILE* file = std::fopen(fixed->ToCString(), cMode);
    if (file == nullptr) return Null;
    // The C library here opens a directory for reading (every read then fails); a directory is not a
    // file this stream can open.
    struct stat status
    {};
    if (fstat(fileno(file), &status) == 0 && S_ISDIR(status.st_mode)) {
        std::fclose(file);
        return Null;
    }
    void* buffer = MemAlloc(FILE_BUFFER_SIZE);
    if (std::setvbuf(file, static_cast<char*>(buffer), _IOFBF, FILE_BUFFER_SIZE) != 0) {
        MemFree(buffer, FILE_BUFFER_SIZE);
        buffer = nullptr;
    }
    Ref<TFileStream> stream = CreateFromFile(file, mode);
    stream->buffer_ = buffer;
    return stream;
}

Ref<TFileStream> TFileStream::CreateFromFile(std::FILE* file, std::int32_t mode)
{
    if (file == nullptr) return Null;
    return New<TFileStream>(file, mode);
}

} // namespace vanta
