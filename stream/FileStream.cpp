// File streams: C-library files (`fopen`, `fread`, `fwrite`) as byte streams.
#include "stream/Stream.h"
#include "stream/detail/LineBuffer.h"

#include <algorithm>

namespace vanta {

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
    if (file_ != nullptr) std::fflush(file_);
    return 0;
}

std::int32_t TFileStream::Close()
{
    if (file_ == nullptr) return 0;
    TFileStream::Flush();
    std::fclose(file_);
    file_ = nullptr;
    pos_ = 0;
    size_ = 0;
    return 0;
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
    // the line), taken straight from the C library's buffer.
    if (file_ == nullptr) return EmptyString();
    TurnTo(Direction::READING);
    detail::LineBuffer line;
    std::int32_t consumed = 0;
    for (;;) {
        const int c = getc_unlocked(file_);
        if (c == EOF) break;
        ++consumed;
        if (c == 0 || c == '\n') break;
        if (c != '\r') line.Append(static_cast<std::uint8_t>(c));
    }
    pos_ += consumed;
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
    return CreateFromFile(file, mode);
}

Ref<TFileStream> TFileStream::CreateFromFile(std::FILE* file, std::int32_t mode)
{
    if (file == nullptr) return Null;
    return New<TFileStream>(file, mode);
}

} // namespace vanta
