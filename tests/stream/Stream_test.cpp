// The stream base classes: the primitives' defaults, the typed helpers over streams that move a byte at
// a time or fail, forwarding and borrowing, and the whole-stream helpers.
#include "runtime/Error.h"
#include "stream/IncbinStream.h"
#include "stream/MemoryStream.h"
#include "stream/Stream.h"
#include "support/StreamTestSupport.h"

#include <string>

#include <gtest/gtest.h>

namespace vanta {
namespace {

using test::Bytes;
using test::TScriptedStream;

Ref<TScriptedStream> Scripted(const std::string& data, std::int32_t chunk = 1)
{
    return New<TScriptedStream>(data, chunk);
}

Ref<TMemoryStream> Over(std::string& data, bool readable = true, bool writeable = true)
{
    return TMemoryStream::Create(data.data(), static_cast<std::int32_t>(data.size()), readable, writeable);
}

TEST(IOBase, TheBaseHasNoDataAndCannotReadOrWrite)
{
    Ref<TIOBase> base = New<TIOBase>();
    EXPECT_EQ(base->Pos(), -1);
    EXPECT_EQ(base->Size(), 0);
    EXPECT_EQ(base->Eof(), 0) << "-1 is not 0";
    EXPECT_EQ(base->Seek(-1), -1);
    EXPECT_EQ(base->Seek(5), -1);
    EXPECT_EQ(base->Flush(), 0);
    EXPECT_EQ(base->Close(), 0);
    char byte = 0;
    EXPECT_EQ(test::ThrownText([&] { base->Read(&byte, 1); }), "Stream is not readable");
    EXPECT_EQ(test::ThrownText([&] { base->Write(&byte, 1); }), "Stream is not writeable");
}

TEST(StreamErrors, HaveTheirTextsAndShareTheStreamErrorBase)
{
    Ref<Object> read = New<TStreamReadError>();
    Ref<Object> write = New<TStreamWriteError>();
    EXPECT_EQ(test::Text(read->ToString()), "Error reading from stream");
    EXPECT_EQ(test::Text(write->ToString()), "Error writing to stream");
    EXPECT_TRUE(Downcast<TStreamError>(read));
    EXPECT_TRUE(Downcast<TStreamError>(write));
}

TEST(ByteStream, TypedReadersUseTheMachineOrderAndZeroExtend)
{
    Ref<TScriptedStream> s = Scripted(Bytes({1, 2, 3, 4, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(s->ReadInt(), 0x04030201);
    EXPECT_EQ(s->ReadShort(), 65535);
    EXPECT_EQ(s->ReadByte(), 255);
    EXPECT_EQ(s->ReadByte(), 0) << "at the end";
}

TEST(ByteStream, MissingBytesAtTheEndReadAsZeroWithoutError)
{
    Ref<TScriptedStream> s = Scripted(Bytes({0x34, 0x12}));
    EXPECT_EQ(s->ReadInt(), 0x1234);
    Ref<TScriptedStream> t = Scripted(Bytes({1, 2, 3}));
    EXPECT_EQ(t->ReadLong(), 0x030201);
    EXPECT_EQ(t->ReadDouble(), 0.0);
}

TEST(ByteStream, TypedWritersRoundTrip)
{
    Ref<TScriptedStream> out = Scripted("", 3);
    out->WriteByte(0x1FF);
    out->WriteShort(0x12345);
    out->WriteInt(-2);
    out->WriteLong(0x0102030405060708);
    out->WriteFloat(1.5f);
    out->WriteDouble(-0.25);
    EXPECT_EQ(out->written.substr(0, 3), Bytes({0xFF, 0x45, 0x23})) << "low 8 and 16 bits";
    Ref<TScriptedStream> in = Scripted(out->written, 2);
    EXPECT_EQ(in->ReadByte(), 0xFF);
    EXPECT_EQ(in->ReadShort(), 0x2345);
    EXPECT_EQ(in->ReadInt(), -2);
    EXPECT_EQ(in->ReadLong(), 0x0102030405060708);
    EXPECT_EQ(in->ReadFloat(), 1.5f);
    EXPECT_EQ(in->ReadDouble(), -0.25);
    EXPECT_EQ(in->Eof(), 1);
}

TEST(ByteStream, ReadBytesGathersShortReadsAndStopsQuietlyAtTheEnd)
{
    Ref<TScriptedStream> s = Scripted("abcdef", 1);
    char buffer[10] = {'x', 'x', 'x', 'x', 'x', 'x', 'x', 'x', 'x', 'x'};
    EXPECT_EQ(s->ReadBytes(buffer, 4), 4);
    EXPECT_EQ(std::string(buffer, 4), "abcd");
    EXPECT_EQ(s->reads, 4);
    EXPECT_EQ(s->ReadBytes(buffer, 10), 10) << "the count asked for, even past the end";
    EXPECT_EQ(std::string(buffer, 10), "efcdxxxxxx") << "the rest keeps its old contents";
}

TEST(ByteStream, AReadThatMovesNothingBeforeTheEndIsAnError)
{
    Ref<TScriptedStream> s = Scripted("abcdef", 2);
    s->failAt = 3;
    char buffer[6];
    const std::string text = test::ThrownText([&] { s->ReadBytes(buffer, 6); });
    EXPECT_EQ(text, "Error reading from stream");
    Ref<TScriptedStream> t = Scripted("abcdef", 2);
    t->failAt = 3;
    EXPECT_EQ(test::ThrownText([&] { t->SkipBytes(6); }), "Error reading from stream");
    EXPECT_EQ(test::ThrownText([&] { Scripted("", 1)->ReadBytes(buffer, 1); }), "") << "at the end: no error";
}

TEST(ByteStream, WriteBytesGathersShortWritesAndFailsWhenNothingMoves)
{
    Ref<TScriptedStream> s = Scripted("", 2);
    EXPECT_EQ(s->WriteBytes("hello", 5), 5);
    EXPECT_EQ(s->written, "hello");
    s->writeLimit = 7;
    try {
        s->WriteBytes("world", 5);
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_TRUE(e.Is<TStreamWriteError>());
    }
    EXPECT_EQ(s->written, "hellowo");
}

TEST(ByteStream, NegativeCountsMoveNothing)
{
    Ref<TScriptedStream> s = Scripted("abc", 3);
    char buffer[4] = {};
    EXPECT_EQ(s->ReadBytes(buffer, -1), 0);
    EXPECT_EQ(s->WriteBytes(buffer, -5), 0);
    EXPECT_EQ(s->SkipBytes(-2), 0);
    EXPECT_EQ(s->ReadString(-3)->Length(), 0);
    EXPECT_EQ(s->reads, 0);
    EXPECT_EQ(s->written, "");
}

TEST(ByteStream, SkipBytesStopsAtTheEnd)
{
    Ref<TScriptedStream> s = Scripted(std::string(3000, 'a') + "b", 700);
    EXPECT_EQ(s->SkipBytes(3000), 3000);
    EXPECT_EQ(s->ReadByte(), 'b');
    EXPECT_EQ(s->SkipBytes(10), 10);
    EXPECT_EQ(s->Eof(), 1);
}

TEST(ByteStream, ReadLineSplitsAtLineFeedsAndDropsCarriageReturns)
{
    Ref<TScriptedStream> s = Scripted("ab\r\ncd");
    EXPECT_EQ(test::Text(s->ReadLine()), "ab");
    EXPECT_EQ(test::Text(s->ReadLine()), "cd");
    EXPECT_EQ(test::Text(s->ReadLine()), "");
    Ref<TScriptedStream> t = Scripted(std::string("x\0y\r\rz\n\n", 8));
    EXPECT_EQ(test::Text(t->ReadLine()), "x") << "a zero byte ends a line";
    EXPECT_EQ(test::Text(t->ReadLine()), "yz");
    EXPECT_EQ(test::Text(t->ReadLine()), "");
    EXPECT_EQ(t->Eof(), 1);
}

TEST(ByteStream, ALongLineComesBackWhole)
{
    std::string line;
    for (int i = 0; i < 3000; ++i)
        line.push_back(static_cast<char>('a' + i % 26));
    Ref<TScriptedStream> s = Scripted(line + "\nnext");
    EXPECT_EQ(test::Text(s->ReadLine()), line);
    EXPECT_EQ(test::Text(s->ReadLine()), "next");
}

// The memory and file streams read lines without going through `Read` byte by byte; they must give the
// same lines and leave the same position as the byte-by-byte reader.
TEST(ByteStream, FastLineReadersMatchTheByteByByteReader)
{
    static const char head[] = "one\r\ntwo\n\n\r\rthree\0four\xE9\xFF\r";
    std::string data = std::string(head, sizeof head - 1) + std::string(2500, 'q') + "\r\n" + std::string(1023, 'r') +
                       "\r" + std::string(5, 's') + "\nlast";
    test::TempDir dir;
    test::WriteFile(dir / "lines.txt", data);
    Ref<TScriptedStream> reference = Scripted(data);
    Ref<TMemoryStream> memory = Over(data, true, false);
    Ref<TFileStream> file = TFileStream::OpenFile(test::PathString(dir / "lines.txt"), true, false);
    ASSERT_TRUE(file);
    int lines = 0;
    while (reference->Eof() == 0) {
        const Ref<String> expected = reference->ReadLine();
        EXPECT_EQ(test::Units(memory->ReadLine()), test::Units(expected)) << "line " << lines;
        EXPECT_EQ(test::Units(file->ReadLine()), test::Units(expected)) << "line " << lines;
        EXPECT_EQ(memory->Pos(), reference->Pos());
        EXPECT_EQ(file->Pos(), reference->Pos());
        ++lines;
    }
    EXPECT_EQ(lines, 7);
    EXPECT_EQ(memory->Eof(), 1);
    EXPECT_EQ(file->Eof(), 1);
    EXPECT_EQ(memory->ReadLine()->Length(), 0);
    EXPECT_EQ(file->ReadLine()->Length(), 0);
    file->Close();
}

TEST(ByteStream, WriteLineEndsWithCarriageReturnAndLineFeed)
{
    Ref<TScriptedStream> s = Scripted("", 64);
    s->WriteLine("x"_s);
    EXPECT_EQ(s->written, Bytes({0x78, 0x0D, 0x0A}));
}

TEST(ByteStream, StringsMoveOneBytePerCharacter)
{
    Ref<TScriptedStream> s = Scripted("", 100);
    s->WriteString(u"A\u00E9\u20AC"_s);
    EXPECT_EQ(s->written, Bytes({0x41, 0xE9, 0xAC})) << "the low 8 bits of each unit";
    const std::string long_(5000, 'z');
    s->WriteString(test::PathString(long_));
    EXPECT_EQ(s->written.size(), 5003u);
    Ref<TScriptedStream> in = Scripted(Bytes({0x41, 0xE9}));
    EXPECT_EQ(test::Units(in->ReadString(3)), std::u16string(u"A\u00E9\0", 3)) << "missing bytes read as 0";
}

TEST(ForwardingStream, PassesThePrimitivesOn)
{
    std::string data = "0123456789";
    Ref<TMemoryStream> inner = Over(data);
    Ref<TForwardingStream> outer = New<TForwardingStream>();
    outer->SetStream(inner);
    EXPECT_EQ(outer->Size(), 10);
    EXPECT_EQ(outer->Seek(4), 4);
    EXPECT_EQ(outer->ReadByte(), '4');
    EXPECT_EQ(outer->Pos(), 5);
    outer->WriteString("ab"_s);
    EXPECT_EQ(data, "01234ab789");
    EXPECT_EQ(outer->Inner(), inner);
}

TEST(ForwardingStream, WithoutAnInnerStreamEveryPrimitiveMeetsNull)
{
    Ref<TForwardingStream> outer = New<TForwardingStream>();
    try {
        outer->Eof();
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_TRUE(e.Is<TNullObjectError>());
    }
}

TEST(BorrowedStream, ClosingItLeavesTheStreamOpenAndPositioned)
{
    test::TempDir dir;
    test::WriteFile(dir / "f.bin", "abcdef");
    Ref<TFileStream> file = TFileStream::OpenFile(test::PathString(dir / "f.bin"), true, false);
    Ref<TBorrowedStream> borrowed = TBorrowedStream::Create(file);
    EXPECT_EQ(borrowed->ReadByte(), 'a');
    EXPECT_EQ(borrowed->ReadByte(), 'b');
    EXPECT_EQ(borrowed->Close(), 0);
    EXPECT_TRUE(borrowed->Inner().IsNull());
    EXPECT_EQ(borrowed->Close(), 0) << "twice";
    ASSERT_NE(file->File(), nullptr);
    EXPECT_EQ(file->Pos(), 2);
    EXPECT_EQ(file->ReadByte(), 'c');
}

TEST(WholeStream, LoadByteArrayReadsEverythingAndClosesTheStream)
{
    test::TempDir dir;
    std::string data;
    for (int i = 0; i < 5000; ++i)
        data.push_back(static_cast<char>(i * 7));
    test::WriteFile(dir / "data.bin", data);
    Ref<Array> bytes = LoadByteArray(test::PathString(dir / "data.bin"));
    ASSERT_EQ(bytes->Length(), 5000);
    EXPECT_EQ(std::string(static_cast<const char*>(bytes->Data()), 5000), data);
    EXPECT_STREQ(bytes->Type(), "b");

    // A stream that trickles and does not know its size goes through the growing buffer.
    Ref<TScriptedStream> trickle = Scripted(data, 333);
    trickle->knowsEnd = false;
    Ref<Array> grown = LoadByteArray(trickle);
    ASSERT_EQ(grown->Length(), 5000) << "ends when a read brings nothing (the stream never reports its end)";
    EXPECT_EQ(std::string(static_cast<const char*>(grown->Data()), 5000), data);
}

TEST(WholeStream, LoadingAPassedStreamLeavesItOpenAtItsEnd)
{
    std::string data = "abcdef";
    Ref<TMemoryStream> memory = Over(data);
    memory->Seek(2);
    Ref<Array> bytes = LoadByteArray(memory);
    EXPECT_EQ(std::string(static_cast<const char*>(bytes->Data()), 4), "cdef");
    EXPECT_EQ(memory->Pos(), 6);
    EXPECT_EQ(LoadByteArray(memory)->Length(), 0);
}

TEST(WholeStream, LoadStringGivesOneCharacterPerByte)
{
    std::string data = "a\xE9\r\n";
    EXPECT_EQ(test::Units(LoadString(Over(data))), u"a\u00E9\r\n");
}

TEST(WholeStream, SaveByteArrayAndSaveStringWriteAndClose)
{
    test::TempDir dir;
    Ref<Array> bytes = NewArray("b", 3);
    bytes->At<std::uint8_t>(0) = 1;
    bytes->At<std::uint8_t>(2) = 0xFF;
    SaveByteArray(bytes, test::PathString(dir / "a.bin"));
    EXPECT_EQ(test::ReadFile(dir / "a.bin"), Bytes({1, 0, 0xFF}));
    SaveString(u"x\u00E9y"_s, test::PathString(dir / "s.txt"));
    EXPECT_EQ(test::ReadFile(dir / "s.txt"), "x\xE9y");
}

TEST(WholeStream, AUrlThatCannotBeOpenedIsAnErrorNamingIt)
{
    InitIncbinStreams();
    EXPECT_EQ(test::ThrownText([] { LoadByteArray("nosuch::x"_s); }), "Unable to open stream for reading: nosuch::x");
    EXPECT_EQ(test::ThrownText([] { LoadString("/no/such/dir/f.txt"_s); }),
              "Unable to open stream for reading: /no/such/dir/f.txt");
    EXPECT_EQ(test::ThrownText([] { SaveString("x"_s, "incbin::a.bin"_s); }),
              "Unable to open stream for writing: incbin::a.bin");
    EXPECT_EQ(test::ThrownText([] { SaveByteArray(NewArray("b", 1), Null); }),
              "Unable to open stream for writing: Null");
}

TEST(WholeStream, CopyStreamCopiesToTheEnd)
{
    Ref<TScriptedStream> from = Scripted(std::string(10000, 'c') + "end", 77);
    Ref<TScriptedStream> to = Scripted("", 1000);
    CopyStream(from, to, 256);
    EXPECT_EQ(to->written, std::string(10000, 'c') + "end");

    Ref<TScriptedStream> endless = Scripted("abc", 2);
    endless->knowsEnd = false;
    Ref<TScriptedStream> sink = Scripted("", 10);
    CopyStream(endless, sink, 0);
    EXPECT_EQ(sink->written, "abc") << "a read that brings nothing ends the copy; a buffer size of 0 still works";
}

TEST(WholeStream, CopyBytesCopiesExactlyTheCount)
{
    Ref<TScriptedStream> from = Scripted("abcdefghij", 3);
    Ref<TScriptedStream> to = Scripted("", 100);
    CopyBytes(from, to, 7, 4);
    EXPECT_EQ(to->written, "abcdefg");
    EXPECT_EQ(from->Pos(), 7);
}

TEST(WholeStream, CopyBytesWritesNothingBeyondTheEndOfTheSource)
{
    Ref<TScriptedStream> from = Scripted("abcde", 100);
    Ref<TScriptedStream> to = Scripted("", 100);
    CopyBytes(from, to, 8, 4);
    EXPECT_EQ(to->written, "abcde") << "no stale buffer bytes after the source's end";

    Ref<TScriptedStream> failing = Scripted("abcde", 100);
    failing->failAt = 2;
    EXPECT_EQ(test::ThrownText([&] { CopyBytes(failing, to, 4, 4); }), "Error reading from stream");
}

} // namespace
} // namespace vanta
