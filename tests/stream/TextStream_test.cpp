// Text streams: the four encodings, lines, and malformed UTF-8 that must cost only its own bytes.
#include "stream/MemoryBlockStream.h"
#include "stream/MemoryStream.h"
#include "stream/TextStream.h"
#include "support/StreamTestSupport.h"

#include <string>

#include <gtest/gtest.h>

namespace vanta {
namespace {

// A text stream reading `bytes` (kept alive by the caller).
Ref<TEncodedTextStream> Reading(std::string& bytes, std::int32_t encoding = ENCODING_UTF8)
{
    return TEncodedTextStream::Create(
        TMemoryStream::Create(bytes.data(), static_cast<std::int32_t>(bytes.size()), true, false), encoding);
}

// A text stream writing into a growing block.
struct Writer
{
    explicit Writer(std::int32_t encoding)
        : block(CreateMemoryBlockStream(Null)), text(TEncodedTextStream::Create(block, encoding))
    {}
    std::string Written() const
    {
        return {reinterpret_cast<const char*>(block->Block()->Buf()), static_cast<std::size_t>(block->Size())};
    }
    Ref<TMemoryBlockStream> block;
    Ref<TEncodedTextStream> text;
};

std::u16string ReadAllChars(const Ref<TEncodedTextStream>& s)
{
    std::u16string units;
    while (s->Eof() == 0)
        units.push_back(static_cast<char16_t>(s->ReadChar()));
    return units;
}

TEST(TextStream, DecodesUtf8)
{
    std::string bytes = test::Bytes({0x41, 0xC3, 0xA9, 0xE2, 0x82, 0xAC});
    Ref<TEncodedTextStream> s = Reading(bytes);
    EXPECT_EQ(s->ReadChar(), 0x41);
    EXPECT_EQ(s->ReadChar(), 233);
    EXPECT_EQ(s->ReadChar(), 8364);
    EXPECT_EQ(s->ReadChar(), 0) << "at the end";
}

TEST(TextStream, EncodesUtf8)
{
    Writer w(ENCODING_UTF8);
    w.text->WriteChar(8364);
    w.text->WriteChar(0x41);
    w.text->WriteChar(0xE9);
    w.text->WriteChar(0x1F600);
    EXPECT_EQ(w.Written(), test::Bytes({0xE2, 0x82, 0xAC, 0x41, 0xC3, 0xA9, 0xF0, 0x9F, 0x98, 0x80}));
}

TEST(TextStream, Utf16InBothByteOrders)
{
    Writer big(ENCODING_UTF16BE);
    big.text->WriteChar(0x41);
    EXPECT_EQ(big.Written(), test::Bytes({0x00, 0x41}));
    Writer little(ENCODING_UTF16LE);
    little.text->WriteChar(0x41);
    little.text->WriteChar(0x20AC);
    EXPECT_EQ(little.Written(), test::Bytes({0x41, 0x00, 0xAC, 0x20}));

    std::string be = test::Bytes({0x20, 0xAC, 0xD8, 0x3D, 0xDE, 0x00});
    EXPECT_EQ(test::Units(Reading(be, ENCODING_UTF16BE)->ReadString(3)), u"\u20AC\U0001F600");
    std::string le = test::Bytes({0xAC, 0x20});
    EXPECT_EQ(Reading(le, ENCODING_UTF16LE)->ReadChar(), 0x20AC);
}

TEST(TextStream, Latin1IsOneBytePerCharacter)
{
    std::string bytes = "\xE9t\xE9";
    EXPECT_EQ(test::Units(Reading(bytes, ENCODING_LATIN1)->ReadLine()), u"\u00E9t\u00E9");
    Writer w(ENCODING_LATIN1);
    w.text->WriteString(u"\u00E9\u20AC"_s);
    EXPECT_EQ(w.Written(), test::Bytes({0xE9, 0xAC})) << "the low 8 bits";
}

TEST(TextStream, LinesEndAtLineFeedAndSkipCarriageReturn)
{
    std::string bytes = "a\r\nb";
    Ref<TEncodedTextStream> s = Reading(bytes);
    EXPECT_EQ(test::Text(s->ReadLine()), "a");
    EXPECT_EQ(test::Text(s->ReadLine()), "b");
    EXPECT_EQ(s->ReadLine()->Length(), 0);

    std::string longLine = std::string(2500, 'x') + "\xC3\xA9\n";
    EXPECT_EQ(Reading(longLine)->ReadLine()->Length(), 2501);

    Writer w(ENCODING_UTF16LE);
    w.text->WriteLine(u"\u00E9"_s);
    EXPECT_EQ(w.Written(), test::Bytes({0xE9, 0, 0x0D, 0, 0x0A, 0}));
}

TEST(TextStream, FourByteSequencesBecomeSurrogatePairsAndBack)
{
    std::string bytes = test::Bytes({0xF0, 0x9F, 0x98, 0x80, 0x41, 0x0A});
    EXPECT_EQ(Reading(bytes)->ReadChar(), 0x1F600);
    EXPECT_EQ(test::Units(Reading(bytes)->ReadLine()), u"\U0001F600A") << "the next character is intact";
    EXPECT_EQ(test::Units(Reading(bytes)->ReadString(2)), u"\U0001F600A") << "two characters, three units";

    Writer w(ENCODING_UTF8);
    w.text->WriteString(u"\U0001F600A"_s);
    EXPECT_EQ(w.Written(), test::Bytes({0xF0, 0x9F, 0x98, 0x80, 0x41}));
}

TEST(TextStream, AStrayContinuationByteCostsOnlyItself)
{
    std::string bytes = test::Bytes({0x41, 0x80, 0x42, 0xBF, 0xC3, 0xA9});
    EXPECT_EQ(ReadAllChars(Reading(bytes)), u"A\uFFFDB\uFFFD\u00E9");
}

TEST(TextStream, ALeadByteWithoutItsContinuationLeavesTheNextCharacterAlone)
{
    std::string bytes = test::Bytes({0xC3, 0x41, 0xE2, 0x82, 0x0A, 0x42});
    Ref<TEncodedTextStream> s = Reading(bytes);
    EXPECT_EQ(s->ReadChar(), REPLACEMENT_CHARACTER);
    EXPECT_EQ(s->Pos(), 1) << "the byte that broke the sequence is not yet read";
    EXPECT_EQ(s->ReadChar(), 0x41);
    EXPECT_EQ(test::Units(s->ReadLine()), u"\uFFFD") << "the line feed after a cut sequence still ends the line";
    EXPECT_EQ(test::Text(s->ReadLine()), "B");
}

TEST(TextStream, ASequenceCutOffByTheEndReadsAsReplacement)
{
    std::string bytes = test::Bytes({0x41, 0xE2, 0x82});
    Ref<TEncodedTextStream> s = Reading(bytes);
    EXPECT_EQ(test::Units(s->ReadLine()), u"A\uFFFD");
    EXPECT_EQ(s->Eof(), 1);
    std::string lone = test::Bytes({0xF0});
    EXPECT_EQ(Reading(lone)->ReadChar(), REPLACEMENT_CHARACTER);
}

TEST(TextStream, ValuesBeyondUnicodeAreReplaced)
{
    std::string bytes = test::Bytes({0xF4, 0x90, 0x80, 0x80, 0xF8, 0x41});
    EXPECT_EQ(ReadAllChars(Reading(bytes)), u"\uFFFD\uFFFDA");
    Writer w(ENCODING_UTF8);
    w.text->WriteChar(0x110000);
    w.text->WriteChar(-1);
    EXPECT_EQ(w.Written(), test::Bytes({0xEF, 0xBF, 0xBD, 0xEF, 0xBF, 0xBD}));
}

TEST(TextStream, AnUnknownEncodingReadsZeroAndWritesNothing)
{
    std::string bytes = "ab";
    Ref<TEncodedTextStream> s = Reading(bytes, 9);
    EXPECT_EQ(s->ReadChar(), 0);
    EXPECT_EQ(s->Pos(), 1);
    Writer w(9);
    w.text->WriteString("abc"_s);
    EXPECT_EQ(w.Written(), "");
}

TEST(TextStream, ThePutBackByteIsVisibleToThePrimitives)
{
    std::string bytes = test::Bytes({0xC3, 0x41});
    Ref<TEncodedTextStream> s = Reading(bytes);
    EXPECT_EQ(s->ReadChar(), REPLACEMENT_CHARACTER);
    EXPECT_EQ(s->Eof(), 0) << "the inner stream is at its end, the put-back byte is not read yet";
    char byte = 0;
    EXPECT_EQ(s->Read(&byte, 1), 1);
    EXPECT_EQ(byte, 'A');
    EXPECT_EQ(s->Eof(), 1);
    s->Seek(0);
    EXPECT_EQ(s->ReadChar(), REPLACEMENT_CHARACTER);
    s->Seek(0);
    EXPECT_EQ(s->Pos(), 0) << "a seek drops the put-back byte";
    EXPECT_EQ(s->ReadByte(), 0xC3);
}

TEST(TextStream, TheTextFactoryOpensTheFourProtocols)
{
    New<TTextStreamOpener>();
    std::string bytes = test::Bytes({0xC3, 0xA9});
    test::TempDir dir;
    test::WriteFile(dir / "t.txt", bytes);
    const Ref<String> path = test::PathString(dir / "t.txt");
    Ref<TEncodedTextStream> utf8 = Downcast<TEncodedTextStream>(OpenReadStream("utf8::"_s + path));
    ASSERT_TRUE(utf8);
    EXPECT_EQ(utf8->ReadChar(), 0xE9);
    utf8->Close();
    EXPECT_EQ(Downcast<TEncodedTextStream>(OpenReadStream("latin1::"_s + path))->Encoding(), ENCODING_LATIN1);
    EXPECT_EQ(Downcast<TEncodedTextStream>(OpenReadStream("utf16be::"_s + path))->Encoding(), ENCODING_UTF16BE);
    EXPECT_EQ(Downcast<TEncodedTextStream>(OpenReadStream("utf16le::"_s + path))->Encoding(), ENCODING_UTF16LE);
    EXPECT_TRUE(OpenReadStream("utf8::"_s + path + ".missing"_s).IsNull());
    EXPECT_TRUE(OpenReadStream("utf32::"_s + path).IsNull());
}

} // namespace
} // namespace vanta
