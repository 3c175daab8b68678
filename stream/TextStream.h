// Text streams: characters in Latin-1, UTF-8 or UTF-16 over any stream.
//
// A `TEncodedTextStream` wraps a byte stream and replaces the text helpers (`ReadLine`, `WriteLine`,
// `ReadString`, `WriteString`) with versions that decode and encode characters; everything else passes
// through to the inner stream. Strings are UTF-16: a UTF-8 character beyond U+FFFF is read as a surrogate
// pair, and a surrogate pair is written as one four-byte UTF-8 sequence.
//
// Malformed UTF-8 costs only its own bytes: a stray continuation byte, a lead byte without its
// continuation bytes (the byte that broke the sequence is read again as the start of the next
// character), a sequence cut off by the end of the stream and a value beyond U+10FFFF each read as
// U+FFFD.
//
// The protocols "latin1", "utf8", "utf16be" and "utf16le" are provided by `TTextStreamOpener`, which this
// module does not construct: a program that wants them constructs one.
#pragma once

#include "stream/Stream.h"

#include <cstdint>

namespace vanta {

// Encodings of a `TEncodedTextStream`.
inline constexpr std::int32_t ENCODING_LATIN1 = 1;  // one byte a character (ISO 8859-1)
inline constexpr std::int32_t ENCODING_UTF8 = 2;    // UTF-8
inline constexpr std::int32_t ENCODING_UTF16BE = 3; // UTF-16, high byte first
inline constexpr std::int32_t ENCODING_UTF16LE = 4; // UTF-16, low byte first

// What a malformed UTF-8 sequence reads as.
inline constexpr std::int32_t REPLACEMENT_CHARACTER = 0xFFFD;

// A wrapper that reads and writes text in one of the four encodings.
class TEncodedTextStream : public TForwardingStream
{
    VANTA_CLASS(TEncodedTextStream, TForwardingStream)
public:
    // Use `Create`.
    TEncodedTextStream() = default;

    // The inner stream's, counting a byte the UTF-8 decoder put back as not yet read.
    std::int32_t Eof() override;
    std::int32_t Pos() override;
    std::int32_t Seek(std::int32_t pos) override;
    std::int32_t Close() override;
    std::int32_t Read(void* buffer, std::int32_t count) override;
    void SetStream(const Ref<TByteStream>& stream) override;

    // The characters up to the next LF or character 0 (consumed, not returned), CRs left out; what there
    // is at the end of the stream. When the inner stream fails in the middle of a line (standard input
    // running out before a last line's LF) the line read so far is returned and the failure comes again
    // on the next read; a failure before any character is thrown (`TStreamReadError`).
    Ref<String> ReadLine() override;

    // Writes the text and CR LF.
    void WriteLine(const Ref<String>& text) override;

    // The next `count` characters (a UTF-8 character beyond U+FFFF gives two units).
    Ref<String> ReadString(std::int32_t count) override;

    // Writes every character of the text.
    void WriteString(const Ref<String>& text) override;

    // The next character: a byte (Latin-1), a code point (UTF-8; U+FFFD for malformed input) or a UTF-16
    // unit; 0 at the end of the stream and for an unknown encoding (which still consumes one byte).
    virtual std::int32_t ReadChar();

    // Writes one character: Latin-1 keeps the low 8 bits; UTF-8 writes 1 to 4 bytes (U+FFFD for a value
    // outside 0 .. U+10FFFF); UTF-16 writes one unit, or a surrogate pair beyond U+FFFF; an unknown
    // encoding writes nothing.
    virtual void WriteChar(std::int32_t ch);

    // A new text stream over `stream` in `encoding`.
    static Ref<TEncodedTextStream> Create(const Ref<TByteStream>& stream, std::int32_t encoding);

    // `ENCODING_LATIN1` ... `ENCODING_UTF16LE` (or whatever unknown value it was made with).
    std::int32_t Encoding() const noexcept { return encoding_; }

private:
    std::int32_t ReadUtf8(std::int32_t lead);

    std::int32_t encoding_ = 0;
    // A byte read past the end of a malformed UTF-8 sequence, to be read again; -1 when there is none.
    std::int32_t pending_ = -1;
};

// `ReadChar` and `WriteChar` as free functions; each throws `TNullObjectError` for `Null`.
inline std::int32_t ReadChar(const Ref<TEncodedTextStream>& stream)
{
    return stream->ReadChar();
}
inline void WriteChar(const Ref<TEncodedTextStream>& stream, std::int32_t ch)
{
    stream->WriteChar(ch);
}

// The factory for "latin1", "utf8", "utf16be" and "utf16le": the path opened with the same flags and
// wrapped in a text stream of that encoding.
class TTextStreamOpener final : public TStreamOpener
{
    VANTA_CLASS(TTextStreamOpener, TStreamOpener)
public:
    TTextStreamOpener() = default;

    // The text stream; `Null` for other protocols or when the path cannot be opened.
    Ref<TByteStream> CreateStream(const Ref<Object>& url, const Ref<String>& protocol, const Ref<String>& path,
                                  bool readable, bool writeable) override;
};

// The text-stream module's initialiser (it constructs no factory).
void InitTextStreams();

} // namespace vanta
