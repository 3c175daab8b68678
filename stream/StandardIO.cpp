// Standard input and output through the C library's stdin and stdout.
#include "stream/StandardIO.h"

#include <cstdio>

namespace vanta {
namespace {

constinit Ref<TEncodedTextStream> standardIO;

} // namespace

std::int32_t TStdIOStream::Flush()
{
    std::fflush(stdout);
    return 0;
}

std::int32_t TStdIOStream::Read(void* buffer, std::int32_t count)
{
    if (count <= 0) return 0;
    return static_cast<std::int32_t>(std::fread(buffer, 1, static_cast<std::size_t>(count), stdin));
}

std::int32_t TStdIOStream::Write(const void* buffer, std::int32_t count)
{
    if (count <= 0) return 0;
    return static_cast<std::int32_t>(std::fwrite(buffer, 1, static_cast<std::size_t>(count), stdout));
}

const Ref<TEncodedTextStream>& StandardIOStream()
{
    InitStandardIO();
    return standardIO;
}

void Print(const Ref<String>& text)
{
    const Ref<TEncodedTextStream>& stream = StandardIOStream();
    stream->WriteLine(text);
    stream->Flush();
}

Ref<String> Input(const Ref<String>& prompt)
{
    const Ref<TEncodedTextStream>& stream = StandardIOStream();
    stream->WriteString(prompt);
    stream->Flush();
    return stream->ReadLine();
}

void InitStandardIO()
{
    static bool initialised = false;
    if (initialised) return;
    initialised = true;
    InitStreams();
    InitTextStreams();
    standardIO = TEncodedTextStream::Create(New<TStdIOStream>(), ENCODING_UTF8);
}

} // namespace vanta
