// Text streams: decoding and encoding characters on top of the forwarding stream.
#include "stream/TextStream.h"

#include "runtime/Error.h"

#include <string>

namespace vanta {
namespace {

bool IsHighSurrogate(std::int32_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLowSurrogate(std::int32_t unit)
{
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// Appends a character as UTF-16: a surrogate pair beyond U+FFFF, else its low 16 bits.
void AppendCharacter(std::u16string& units, std::int32_t ch)
{
    if (ch > 0xFFFF && ch <= 0x10FFFF) {
        ch -= 0x10000;
        units.push_back(static_cast<char16_t>(0xD800 + (ch >> 10)));
        units.push_back(static_cast<char16_t>(0xDC00 + (ch & 0x3FF)));
    } else {
        units.push_back(static_cast<char16_t>(ch));
    }
}

Ref<String> StringOf(const std::u16string& units)
{
    return String::FromShorts(units.data(), static_cast<std::int32_t>(units.size()));
}

} // namespace

std::int32_t TEncodedTextStream::Eof()
{
    return pending_ >= 0 ? 0 : TForwardingStream::Eof();
}

std::int32_t TEncodedTextStream::Pos()
{
    const std::int32_t pos = TForwardingStream::Pos();
    return pending_ >= 0 && pos > 0 ? pos - 1 : pos;
}

std::int32_t TEncodedTextStream::Seek(std::int32_t pos)
{
    pending_ = -1;
    return TForwardingStream::Seek(pos);
}

std::int32_t TEncodedTextStream::Close()
{
    pending_ = -1;
    return TForwardingStream::Close();
}

std::int32_t TEncodedTextStream::Read(void* buffer, std::int32_t count)
{
    if (pending_ < 0 || count <= 0) return TForwardingStream::Read(buffer, count);
    *static_cast<std::uint8_t*>(buffer) = static_cast<std::uint8_t>(pending_);
    pending_ = -1;
    return 1;
}

void TEncodedTextStream::SetStream(const Ref<TByteStream>& stream)
{
    pending_ = -1;
    TForwardingStream::SetStream(stream);
}

std::int32_t TEncodedTextStream::ReadUtf8(std::int32_t lead)
{
    if (lead < 0x80) return lead;
    // A continuation byte with no lead byte, or a byte that starts no sequence.
    if (lead < 0xC0 || lead >= 0xF8) return REPLACEMENT_CHARACTER;
    std::int32_t following = 3;
    std::int32_t ch = lead & 0x07;
    if (lead < 0xE0) {
        following = 1;
        ch = lead & 0x1F;
    } else if (lead < 0xF0) {
        following = 2;
        ch = lead & 0x0F;
    }
    for (std::int32_t i = 0; i < following; ++i) {
        // At the end, `ReadByte` would give 0 and turn a cut-off sequence into a wrong character.
        if (Eof() != 0) return REPLACEMENT_CHARACTER;
        const std::int32_t byte = ReadByte();
        if ((byte & 0xC0) != 0x80) {
            // Not a continuation byte: it starts the next character.
            pending_ = byte;
            return REPLACEMENT_CHARACTER;
        }
        ch = (ch << 6) | (byte & 0x3F);
    }
    return ch > 0x10FFFF ? REPLACEMENT_CHARACTER : ch;
}

std::int32_t TEncodedTextStream::ReadChar()
{
    const std::int32_t first = ReadByte();
    switch (encoding_) {
    case ENCODING_LATIN1: return first;
    case ENCODING_UTF8: return ReadUtf8(first);
    case ENCODING_UTF16BE: return first * 256 + ReadByte();
    case ENCODING_UTF16LE: return first + ReadByte() * 256;
    default: return 0;
    }
}

void TEncodedTextStream::WriteChar(std::int32_t ch)
{
    switch (encoding_) {
    case ENCODING_LATIN1: WriteByte(ch); break;
    case ENCODING_UTF8: {
        if (ch < 0 || ch > 0x10FFFF) ch = REPLACEMENT_CHARACTER;
        std::uint8_t bytes[4];
        std::int32_t n = 0;
        if (ch < 0x80) {
            bytes[n++] = static_cast<std::uint8_t>(ch);
        } else if (ch < 0x800) {
            bytes[n++] = static_cast<std::uint8_t>(0xC0 | (ch >> 6));
            bytes[n++] = static_cast<std::uint8_t>(0x80 | (ch & 0x3F));
        } else if (ch < 0x10000) {
            bytes[n++] = static_cast<std::uint8_t>(0xE0 | (ch >> 12));
            bytes[n++] = static_cast<std::uint8_t>(0x80 | ((ch >> 6) & 0x3F));
            bytes[n++] = static_cast<std::uint8_t>(0x80 | (ch & 0x3F));
        } else {
            bytes[n++] = static_cast<std::uint8_t>(0xF0 | (ch >> 18));
            bytes[n++] = static_cast<std::uint8_t>(0x80 | ((ch >> 12) & 0x3F));
            bytes[n++] = static_cast<std::uint8_t>(0x80 | ((ch >> 6) & 0x3F));
            bytes[n++] = static_cast<std::uint8_t>(0x80 | (ch & 0x3F));
        }
        WriteBytes(bytes, n);
        break;
    }
    case ENCODING_UTF16BE:
    case ENCODING_UTF16LE: {
        std::u16string units;
        AppendCharacter(units, ch);
        for (const char16_t unit : units) {
            if (encoding_ == ENCODING_UTF16BE) {
                WriteByte(unit >> 8);
                WriteByte(unit);
            } else {
                WriteByte(unit);
                WriteByte(unit >> 8);
            }
        }
        break;
    }
    default: break;
    }
}

Ref<String> TEncodedTextStream::ReadLine()
{
    std::u16string units;
    try {
        while (Eof() == 0) {
            const std::int32_t ch = ReadChar();
            if (ch == 0 || ch == '\n') break;
            if (ch != '\r') AppendCharacter(units, ch);
        }
    } catch (const Exception& e) {
        if (!e.Is<TStreamReadError>() || units.empty()) throw;
    }
    return StringOf(units);
}

void TEncodedTextStream::WriteLine(const Ref<String>& text)
{
    WriteString(text);
    WriteString("\r\n"_s);
}

Ref<String> TEncodedTextStream::ReadString(std::int32_t count)
{
    std::u16string units;
    for (std::int32_t i = 0; i < count; ++i)
        AppendCharacter(units, ReadChar());
    return StringOf(units);
}

void TEncodedTextStream::WriteString(const Ref<String>& text)
{
    const std::u16string_view units = text->View();
    for (std::size_t i = 0; i < units.size(); ++i) {
        std::int32_t ch = units[i];
        // A surrogate pair is one character; UTF-8 must see it whole to write one four-byte sequence.
        if (encoding_ == ENCODING_UTF8 && IsHighSurrogate(ch) && i + 1 < units.size() && IsLowSurrogate(units[i + 1])) {
            ch = 0x10000 + ((ch - 0xD800) << 10) + (units[i + 1] - 0xDC00);
            ++i;
        }
        WriteChar(ch);
    }
}

Ref<TEncodedTextStream> TEncodedTextStream::Create(const Ref<TByteStream>& stream, std::int32_t encoding)
{
    Ref<TEncodedTextStream> text = New<TEncodedTextStream>();
    text->encoding_ = encoding;
    text->SetStream(stream);
    return text;
}

Ref<TByteStream> TTextStreamOpener::CreateStream(const Ref<Object>&, const Ref<String>& protocol,
                                                 const Ref<String>& path, bool readable, bool writeable)
{
    std::int32_t encoding = 0;
    if (vanta::Compare(protocol, "latin1"_s) == 0) {
        encoding = ENCODING_LATIN1;
    } else if (vanta::Compare(protocol, "utf8"_s) == 0) {
        encoding = ENCODING_UTF8;
    } else if (vanta::Compare(protocol, "utf16be"_s) == 0) {
        encoding = ENCODING_UTF16BE;
    } else if (vanta::Compare(protocol, "utf16le"_s) == 0) {
        encoding = ENCODING_UTF16LE;
    } else {
        return Null;
    }
    Ref<TByteStream> stream = OpenStream(path, readable, writeable);
    if (stream.IsNull()) return Null;
    return TEncodedTextStream::Create(stream, encoding);
}

void InitTextStreams()
{
    static bool initialised = false;
    if (initialised) return;
    initialised = true;
    InitStreams();
}

} // namespace vanta
