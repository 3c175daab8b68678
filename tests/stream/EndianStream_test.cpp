// Endian streams: big-endian numbers in both directions, short reads at the end, and the little-endian
// shortcut.
#include "stream/EndianStream.h"
#include "stream/MemoryBlockStream.h"
#include "stream/MemoryStream.h"
#include "support/StreamTestSupport.h"

#include <string>

#include <gtest/gtest.h>

namespace vanta {
namespace {

TEST(EndianStream, ReadsBigEndianNumbers)
{
    std::string data = test::Bytes({0, 0, 1, 2, 0xFF, 0xFE, 0x3F, 0xF8, 0, 0, 0, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8});
    Ref<TByteStream> s = BigEndianStream(TMemoryStream::Create(data.data(), 22, true, false));
    EXPECT_EQ(s->ReadInt(), 258);
    EXPECT_EQ(s->ReadShort(), 0xFFFE) << "zero-extended";
    EXPECT_EQ(s->ReadDouble(), 1.5);
    EXPECT_EQ(s->ReadLong(), 0x0102030405060708);
}

TEST(EndianStream, WritesBigEndianNumbers)
{
    Ref<TMemoryBlockStream> out = CreateMemoryBlockStream(Null);
    Ref<TByteStream> s = BigEndianStream(out);
    s->WriteShort(1);
    s->WriteInt(0x01020304);
    s->WriteLong(-2);
    s->WriteFloat(1.0f);
    s->WriteDouble(-2.0);
    s->WriteByte(0x7F);
    const std::string written(reinterpret_cast<char*>(out->Block()->Buf()), 27);
    EXPECT_EQ(written, test::Bytes({0,    1,    1, 2, 3,    4, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE,
                                    0x3F, 0x80, 0, 0, 0xC0, 0, 0,    0,    0,    0,    0,    0,    0x7F}));
    s->Seek(0);
    EXPECT_EQ(s->ReadShort(), 1);
    EXPECT_EQ(s->ReadInt(), 0x01020304);
    EXPECT_EQ(s->ReadLong(), -2);
    EXPECT_EQ(s->ReadFloat(), 1.0f);
    EXPECT_EQ(s->ReadDouble(), -2.0);
    EXPECT_EQ(s->ReadByte(), 0x7F) << "bytes pass through";
}

TEST(EndianStream, MissingBytesAtTheEndAreTheLowOrderOnes)
{
    std::string data = test::Bytes({0x12, 0x34});
    Ref<TByteStream> s = BigEndianStream(TMemoryStream::Create(data.data(), 2, true, false));
    EXPECT_EQ(s->ReadInt(), 0x12340000);
    EXPECT_EQ(s->ReadShort(), 0);
}

TEST(EndianStream, LittleEndianIsTheStreamItselfAndNullStaysNull)
{
    std::string data = "ab";
    Ref<TByteStream> memory = TMemoryStream::Create(data.data(), 2, true, false);
    EXPECT_EQ(LittleEndianStream(memory), memory);
    EXPECT_TRUE(BigEndianStream(Null).IsNull());
    EXPECT_TRUE(TBigEndianStream::Create(Null).IsNull());
}

TEST(EndianStream, SwapsReverseInPlace)
{
    Ref<TBigEndianStream> s = TBigEndianStream::Create(CreateMemoryBlockStream(Null));
    std::uint8_t bytes[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    s->Swap2(bytes);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(bytes), 8), test::Bytes({2, 1, 3, 4, 5, 6, 7, 8}));
    s->Swap4(bytes);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(bytes), 8), test::Bytes({4, 3, 1, 2, 5, 6, 7, 8}));
    s->Swap8(bytes);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(bytes), 8), test::Bytes({8, 7, 6, 5, 2, 1, 3, 4}));
}

} // namespace
} // namespace vanta
