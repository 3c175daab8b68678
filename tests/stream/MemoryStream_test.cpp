// Memory streams: clamped seeks and transfers over a fixed area, read-only and unreadable areas, and the
// direct typed readers against the generic ones.
#include "runtime/Error.h"
#include "stream/MemoryStream.h"
#include "support/StreamTestSupport.h"

#include <string>

#include <gtest/gtest.h>

namespace vanta {
namespace {

Ref<TMemoryStream> Over(std::string& data, bool readable = true, bool writeable = true)
{
    return CreateMemoryStream(data.data(), static_cast<std::int32_t>(data.size()), readable, writeable);
}

TEST(MemoryStream, SeeksAndReadsAreClampedToTheArea)
{
    std::string data = "0123456789";
    Ref<TMemoryStream> s = Over(data);
    EXPECT_EQ(s->Seek(20), 10);
    EXPECT_EQ(s->Eof(), 1);
    EXPECT_EQ(s->Seek(-5), 0);
    char buffer[15];
    EXPECT_EQ(s->Read(buffer, 15), 10);
    EXPECT_EQ(std::string(buffer, 10), data);
    EXPECT_EQ(s->Read(buffer, 15), 0);
}

TEST(MemoryStream, TheAreaNeverGrows)
{
    std::string data = "abcd";
    Ref<TMemoryStream> s = Over(data);
    s->Seek(2);
    EXPECT_EQ(s->Write("XYZ", 3), 2);
    EXPECT_EQ(data, "abXY");
    EXPECT_EQ(s->Write("Z", 1), 0);
    s->Seek(3);
    try {
        s->WriteShort(0x4241);
        FAIL() << "wrote past the end";
    } catch (const Exception& e) {
        EXPECT_TRUE(e.Is<TStreamWriteError>());
    }
    EXPECT_EQ(data, "abXA") << "only what fits was written";
}

TEST(MemoryStream, WritingToAReadOnlyAreaIsAWriteError)
{
    std::string data = "abcd";
    Ref<TMemoryStream> s = Over(data, true, false);
    char byte = 'z';
    EXPECT_EQ(s->Write(&byte, 1), 0);
    EXPECT_EQ(test::ThrownText([&] { s->WriteBytes(&byte, 1); }), "Error writing to stream");
    EXPECT_EQ(test::ThrownText([&] { s->WriteInt(1); }), "Error writing to stream");
    EXPECT_EQ(test::ThrownText([&] { s->WriteLine("x"_s); }), "Error writing to stream");
    EXPECT_EQ(data, "abcd");
    EXPECT_EQ(s->Pos(), 0);
}

TEST(MemoryStream, AnUnreadableAreaReadsNothing)
{
    std::string data = "abcd";
    Ref<TMemoryStream> s = Over(data, false, true);
    char buffer[4];
    EXPECT_EQ(s->Read(buffer, 4), 0);
    EXPECT_EQ(test::ThrownText([&] { s->ReadBytes(buffer, 4); }), "Error reading from stream");
    EXPECT_EQ(test::ThrownText([&] { s->ReadInt(); }), "Error reading from stream");
    EXPECT_EQ(s->ReadLine()->Length(), 0);
    s->Seek(4);
    EXPECT_EQ(s->ReadBytes(buffer, 4), 4) << "at the end nothing is read, so nothing fails";
    EXPECT_EQ(s->ReadInt(), 0);
}

TEST(MemoryStream, TypedReadersMatchTheGenericOnesUpToTheEnd)
{
    std::string data = test::Bytes({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11});
    for (std::int32_t start = 0; start <= 11; ++start) {
        Ref<TMemoryStream> fast = Over(data, true, false);
        Ref<test::TScriptedStream> generic = New<test::TScriptedStream>(data, 1);
        fast->Seek(start);
        generic->pos = start;
        EXPECT_EQ(fast->ReadLong(), generic->ReadLong()) << start;
        fast->Seek(start);
        generic->pos = start;
        EXPECT_EQ(fast->ReadInt(), generic->ReadInt()) << start;
        EXPECT_EQ(fast->ReadShort(), generic->ReadShort()) << start;
        EXPECT_EQ(fast->ReadByte(), generic->ReadByte()) << start;
        EXPECT_EQ(fast->ReadFloat(), generic->ReadFloat()) << start;
        EXPECT_EQ(fast->ReadDouble(), generic->ReadDouble()) << start;
        EXPECT_EQ(fast->Pos(), generic->Pos()) << start;
    }
}

// The free readers take the bytes from the stream's window without calling the slot; at the end and on
// an unreadable area they must fall back to it.
TEST(MemoryStream, FreeReadersMatchTheSlots)
{
    std::string data = test::Bytes({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11});
    for (std::int32_t start = 0; start <= 11; ++start) {
        Ref<TByteStream> free = Over(data, true, false);
        Ref<TByteStream> slot = Over(data, true, false);
        free->Seek(start);
        slot->Seek(start);
        EXPECT_EQ(ReadLong(free), slot->ReadLong()) << start;
        free->Seek(start);
        slot->Seek(start);
        EXPECT_EQ(ReadInt(free), slot->ReadInt()) << start;
        EXPECT_EQ(ReadShort(free), slot->ReadShort()) << start;
        EXPECT_EQ(ReadByte(free), slot->ReadByte()) << start;
        EXPECT_EQ(ReadFloat(free), slot->ReadFloat()) << start;
        EXPECT_EQ(ReadDouble(free), slot->ReadDouble()) << start;
        EXPECT_EQ(free->Pos(), slot->Pos()) << start;
    }
    char buffer[4] = {'x', 'x', 'x', 'x'};
    Ref<TByteStream> s = Over(data, true, false);
    s->Seek(9);
    EXPECT_EQ(ReadBytes(s, buffer, 4), 4);
    EXPECT_EQ(std::string(buffer, 4), test::Bytes({10, 11, 'x', 'x'}));
    EXPECT_EQ(s->Eof(), 1);

    Ref<TByteStream> unreadable = Over(data, false, true);
    EXPECT_EQ(test::ThrownText([&] { ReadInt(unreadable); }), "Error reading from stream");
    EXPECT_EQ(test::ThrownText([&] { ReadBytes(unreadable, buffer, 1); }), "Error reading from stream");
    EXPECT_EQ(unreadable->Pos(), 0);
}

TEST(MemoryStream, ANegativeSizeOrNullAreaIsEmpty)
{
    std::string data = "abc";
    EXPECT_EQ(CreateMemoryStream(data.data(), -4, true, true)->Size(), 0);
    Ref<TMemoryStream> none = CreateMemoryStream(nullptr, 100, true, true);
    EXPECT_EQ(none->Size(), 0);
    EXPECT_EQ(none->Eof(), 1);
    EXPECT_EQ(none->ReadInt(), 0);
}

} // namespace
} // namespace vanta
