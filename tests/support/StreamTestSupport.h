// Helpers for the stream tests: a scripted stream whose primitives misbehave on request, a temporary
// directory, and whole-file reads and writes that bypass the stream layer.
#pragma once

#include "runtime/Error.h"
#include "stream/Stream.h"
#include "support/TempFolder.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

#include <gtest/gtest.h>

namespace vanta::test {

// A stream over a byte string that moves at most `chunk` bytes per `Read` or `Write`, so the helpers'
// loops are exercised. Reads stop for good at `failAt` (0 before the end: a failing device); writes are
// taken until `writeLimit` bytes are held. With `knowsEnd` false it has no positions, like standard input,
// and never reports its end.
class TScriptedStream : public TByteStream
{
    VANTA_CLASS(TScriptedStream, TByteStream)
public:
    explicit TScriptedStream(std::string data, std::int32_t chunk = 1) : data(std::move(data)), chunk(chunk) {}

    std::int32_t Pos() override { return knowsEnd ? pos : -1; }
    std::int32_t Size() override { return knowsEnd ? static_cast<std::int32_t>(data.size()) : 0; }

    std::int32_t Read(void* buffer, std::int32_t count) override
    {
        ++reads;
        const std::size_t end = std::min(data.size(), failAt);
        if (count <= 0 || static_cast<std::size_t>(pos) >= end) return 0;
        const auto n = static_cast<std::int32_t>(std::min<std::size_t>(
            {static_cast<std::size_t>(count), static_cast<std::size_t>(chunk), end - static_cast<std::size_t>(pos)}));
        std::memcpy(buffer, data.data() + pos, static_cast<std::size_t>(n));
        pos += n;
        return n;
    }

    std::int32_t Write(const void* buffer, std::int32_t count) override
    {
        const std::size_t room = writeLimit - std::min(writeLimit, written.size());
        const auto n = static_cast<std::int32_t>(std::min<std::size_t>(
            {static_cast<std::size_t>(std::max(count, 0)), static_cast<std::size_t>(chunk), room}));
        written.append(static_cast<const char*>(buffer), static_cast<std::size_t>(n));
        return n;
    }

    std::string data;
    std::int32_t chunk;
    std::int32_t pos = 0;
    std::size_t failAt = std::string::npos;
    std::size_t writeLimit = std::string::npos;
    bool knowsEnd = true;
    std::string written;
    int reads = 0;
};

// A byte string from a list of byte values.
inline std::string Bytes(std::initializer_list<int> values)
{
    std::string bytes;
    for (const int v : values)
        bytes.push_back(static_cast<char>(v));
    return bytes;
}

// The text of a string as 8-bit bytes.
inline std::string Text(const Ref<String>& s)
{
    return {s->ToCString(), static_cast<std::size_t>(s->Length())};
}

// The units of a string.
inline std::u16string Units(const Ref<String>& s)
{
    return std::u16string(s->View());
}

// The message of a runtime error thrown by `body`, or "" when it throws nothing.
template <class Body>
std::string ThrownText(Body body)
{
    try {
        body();
    } catch (const Exception& e) {
        return e.what();
    }
    return {};
}

// A fresh directory for one test, removed with everything in it at the end.
using TempDir = TempFolder;

inline std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A runtime string of a path.
inline Ref<String> PathString(const std::string& path)
{
    return String::FromBytes(path.data(), static_cast<std::int32_t>(path.size()));
}

} // namespace vanta::test
