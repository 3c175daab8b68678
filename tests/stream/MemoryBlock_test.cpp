// Memory blocks and memory-block streams: growth, adoption of external memory, checked peek and poke,
// stream transfers, and saving and loading by URL.
#include "runtime/EmbeddedFile.h"
#include "runtime/Error.h"
#include "stream/IncbinStream.h"
#include "stream/MemoryBlock.h"
#include "stream/MemoryBlockStream.h"
#include "stream/MemoryStream.h"
#include "support/StreamTestSupport.h"

#include <cstring>
#include <string>

#include <gtest/gtest.h>

namespace vanta {
namespace {

constexpr const char* OUT_OF_RANGE = "Attempt to access memory block beyond its size";

TEST(MemoryBlock, CreateGivesSizeAndCapacity)
{
    Ref<TMemoryBlock> block = CreateMemoryBlock(16);
    EXPECT_EQ(block->Size(), 16);
    EXPECT_EQ(block->Capacity(), 16);
    EXPECT_NE(block->Buf(), nullptr);
    Ref<TMemoryBlock> empty = New<TMemoryBlock>();
    EXPECT_EQ(empty->Buf(), nullptr);
    EXPECT_EQ(empty->Size(), 0);
    EXPECT_EQ(empty->Capacity(), 0);
    EXPECT_EQ(CreateMemoryBlock(-3)->Size(), 0);
}

TEST(MemoryBlock, GrowsByHalfAtLeastToTheSizeAskedFor)
{
    Ref<TMemoryBlock> block = CreateMemoryBlock(10);
    for (std::int32_t i = 0; i < 10; ++i)
        block->PokeByte(i, i);
    block->Resize(11);
    EXPECT_EQ(block->Capacity(), 15);
    block->Resize(40);
    EXPECT_EQ(block->Capacity(), 40);
    EXPECT_EQ(block->PeekByte(9), 9) << "kept bytes keep their values";
    block->Resize(4);
    EXPECT_EQ(block->Size(), 4);
    EXPECT_EQ(block->Capacity(), 40) << "shrinking only lowers the size";
    block->Resize(-1);
    EXPECT_EQ(block->Size(), 0);
}

TEST(MemoryBlock, AnExternalBlockIsAdoptedOnFirstGrowth)
{
    std::uint8_t external[4] = {1, 2, 3, 4};
    Ref<TMemoryBlock> block = CreateStaticMemoryBlock(external, 4);
    EXPECT_EQ(block->Buf(), external);
    EXPECT_EQ(block->Capacity(), -1);
    block->Resize(3);
    EXPECT_EQ(block->Buf(), external) << "shrinking does not copy";
    block->Resize(4);
    EXPECT_EQ(block->Buf(), external) << "growing within the external memory does not copy either";
    EXPECT_EQ(block->Capacity(), -1);
    block->Resize(6);
    EXPECT_NE(block->Buf(), external);
    EXPECT_EQ(block->Capacity(), 6);
    EXPECT_EQ(block->PeekInt(0), 0x04030201);
    block->PokeByte(0, 9);
    EXPECT_EQ(external[0], 1) << "the external memory is left alone once adopted";
}

TEST(MemoryBlock, PeekAndPokeUseTheMachineOrderAndZeroExtend)
{
    Ref<TMemoryBlock> block = CreateMemoryBlock(32);
    block->PokeByte(0, 0x1FF);
    block->PokeShort(1, 0xFFFF);
    block->PokeInt(3, -2);
    block->PokeLong(7, 0x0102030405060708);
    block->PokeFloat(15, 2.5f);
    block->PokeDouble(19, -1.25);
    EXPECT_EQ(block->PeekByte(0), 255);
    EXPECT_EQ(block->PeekShort(1), 65535);
    EXPECT_EQ(block->PeekInt(3), -2);
    EXPECT_EQ(block->PeekLong(7), 0x0102030405060708);
    EXPECT_EQ(block->PeekFloat(15), 2.5f);
    EXPECT_EQ(block->PeekDouble(19), -1.25);
    EXPECT_EQ(block->Buf()[7], 8);
    EXPECT_EQ(PeekByte(block, 8), 7) << "the free functions dispatch to the block";
}

TEST(MemoryBlock, AccessOutsideTheBlockIsRejectedAndTouchesNothing)
{
    Ref<TMemoryBlock> block = CreateMemoryBlock(8);
    std::memset(block->Buf(), 0x55, 8);
    EXPECT_EQ(test::ThrownText([&] { block->PeekByte(8); }), OUT_OF_RANGE);
    EXPECT_EQ(test::ThrownText([&] { block->PeekByte(-1); }), OUT_OF_RANGE);
    EXPECT_EQ(test::ThrownText([&] { block->PeekInt(5); }), OUT_OF_RANGE);
    EXPECT_EQ(test::ThrownText([&] { block->PokeInt(5, 0); }), OUT_OF_RANGE);
    EXPECT_EQ(test::ThrownText([&] { block->PokeDouble(1, 0.0); }), OUT_OF_RANGE);
    EXPECT_EQ(test::ThrownText([&] { block->PokeShort(0x7FFFFFFF, 0); }), OUT_OF_RANGE);
    EXPECT_EQ(test::ThrownText([&] { block->PeekLong(0); }), "");
    for (std::int32_t i = 0; i < 8; ++i)
        EXPECT_EQ(block->PeekByte(i), 0x55);
}

TEST(MemoryBlock, ReadFromAndWriteToMoveBytesWithAStream)
{
    std::string source = "abcdefgh";
    Ref<TMemoryBlock> block = CreateMemoryBlock(6);
    std::memset(block->Buf(), '.', 6);
    Ref<TMemoryStream> in = TMemoryStream::Create(source.data(), 8, true, false);
    EXPECT_EQ(block->ReadFrom(in, 2, 3), 3);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(block->Buf()), 6), "..abc.");
    std::string target = "------";
    Ref<TMemoryStream> out = TMemoryStream::Create(target.data(), 6, false, true);
    EXPECT_EQ(block->WriteTo(out, 1, 4), 4);
    EXPECT_EQ(target, ".abc--");

    EXPECT_EQ(test::ThrownText([&] { block->ReadFrom(in, 4, 3); }), OUT_OF_RANGE);
    EXPECT_EQ(test::ThrownText([&] { block->ReadFrom(in, -1, 2); }), OUT_OF_RANGE);
    EXPECT_EQ(test::ThrownText([&] { block->WriteTo(out, 0, -1); }), OUT_OF_RANGE);
    EXPECT_EQ(test::ThrownText([&] { block->WriteTo(out, 0, 7); }), OUT_OF_RANGE);
    EXPECT_EQ(in->Pos(), 3) << "a rejected range reads nothing";
    EXPECT_EQ(block->ReadFrom(in, 6, 0), 0) << "an empty range at the end is inside";
}

TEST(MemoryBlock, SaveAndLoadByUrl)
{
    test::TempDir dir;
    Ref<TMemoryBlock> block = CreateMemoryBlock(3);
    block->PokeByte(0, 'a');
    block->PokeByte(1, 'b');
    block->PokeByte(2, 'c');
    EXPECT_EQ(block->Save(test::PathString(dir / "block.bin")), 1);
    EXPECT_EQ(test::ReadFile(dir / "block.bin"), "abc");
    Ref<TMemoryBlock> loaded = LoadMemoryBlock(test::PathString(dir / "block.bin"));
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->Size(), 3);
    EXPECT_EQ(loaded->PeekByte(2), 'c');

    InitIncbinStreams();
    static const char embedded[] = "embedded";
    EmbeddedFileAdd("block/embedded.bin"_s, embedded, 8);
    Ref<TMemoryBlock> fromIncbin = TMemoryBlock::Load("incbin::block/embedded.bin"_s);
    ASSERT_TRUE(fromIncbin);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(fromIncbin->Buf()), 8), "embedded");

    EXPECT_TRUE(LoadMemoryBlock("incbin::block/none.bin"_s).IsNull());
    EXPECT_EQ(block->Save("incbin::block/embedded.bin"_s), 0);
    EXPECT_EQ(Save(block, test::PathString(dir / "no/such/dir.bin")), 0);
}

TEST(MemoryBlockStream, WritingAtTheEndGrowsTheBlock)
{
    Ref<TMemoryBlockStream> s = CreateMemoryBlockStream(Null);
    Ref<TMemoryBlock> block = s->Block();
    ASSERT_TRUE(block);
    EXPECT_EQ(block->Size(), 0);
    s->WriteBytes("12345", 5);
    EXPECT_EQ(block->Size(), 5);
    EXPECT_EQ(block->Capacity(), 5);
    s->WriteBytes("678", 3);
    EXPECT_EQ(block->Size(), 8);
    EXPECT_EQ(block->Capacity(), 8) << "5 x 3 / 2 = 7 is too small";
    EXPECT_EQ(s->Size(), 8);
    s->Seek(2);
    s->WriteByte('x');
    EXPECT_EQ(block->Size(), 8) << "writing inside does not grow";
    s->Seek(0);
    EXPECT_EQ(test::Text(s->ReadString(8)), "12x45678");
}

TEST(MemoryBlockStream, ReadsAndSeeksFollowTheBlocksCurrentSize)
{
    Ref<TMemoryBlock> block = CreateMemoryBlock(4);
    std::memcpy(block->Buf(), "abcd", 4);
    Ref<TMemoryBlockStream> s = TMemoryBlockStream::Create(block);
    EXPECT_EQ(s->Seek(9), 4);
    EXPECT_EQ(s->Seek(-1), 0);
    char buffer[8];
    EXPECT_EQ(s->Read(buffer, 8), 4);
    EXPECT_EQ(s->Read(buffer, 8), 0);
    EXPECT_EQ(s->Read(buffer, -1), 0);
    block->Resize(2);
    EXPECT_EQ(s->Size(), 2);
    EXPECT_EQ(s->Write("z", 1), 0) << "the position lies past the shrunk block";
    EXPECT_EQ(s->Seek(4), 2);
    EXPECT_EQ(s->Write("z", 1), 1);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(block->Buf()), 3), "abz");
}

} // namespace
} // namespace vanta
