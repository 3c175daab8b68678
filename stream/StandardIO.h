// Standard input and output: the process's stdin/stdout as a stream, and `Print` / `Input` on it.
//
// The module keeps one `TStdIOStream` wrapped in a UTF-8 text stream. `Print` writes a line to standard
// output (CR LF at the end) and flushes; `Input` writes a prompt, flushes and reads a line from standard
// input. When standard input is exhausted, `Input` throws `TStreamReadError`.
#pragma once

#include "stream/Stream.h"
#include "stream/TextStream.h"

#include <cstdint>

namespace vanta {

// Standard input (reads) and standard output (writes). It has no positions (`Pos` -1, `Size` 0), so it
// never reports its end: a read at the end of standard input moves nothing.
class TStdIOStream final : public TByteStream
{
    VANTA_CLASS(TStdIOStream, TByteStream)
public:
    TStdIOStream() = default;

    // Flushes standard output; 0.
    std::int32_t Flush() override;

    // `fread` from standard input: the bytes read, 0 when it is exhausted.
    std::int32_t Read(void* buffer, std::int32_t count) override;

    // `fwrite` to standard output: the bytes written.
    std::int32_t Write(const void* buffer, std::int32_t count) override;
};

// The UTF-8 text stream over standard input and output (made on first use).
const Ref<TEncodedTextStream>& StandardIOStream();

// Writes the text and CR LF to standard output as UTF-8, then flushes.
void Print(const Ref<String>& text);

// Writes `prompt`, flushes, and returns the next line of standard input (UTF-8, without its line end).
// Throws `TStreamReadError` when standard input is exhausted before the line has any character.
Ref<String> Input(const Ref<String>& prompt);

// The standard input/output module's initialiser: makes the standard text stream.
void InitStandardIO();

} // namespace vanta
