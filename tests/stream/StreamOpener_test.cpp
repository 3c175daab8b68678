// URL protocols: the split at "::", plain paths, passed streams, the factory order, and the memory-block,
// endian and "incbin" factories.
#include "runtime/EmbeddedFile.h"
#include "runtime/Error.h"
#include "stream/EndianStream.h"
#include "stream/IncbinStream.h"
#include "stream/MemoryBlockStream.h"
#include "stream/MemoryStream.h"
#include "stream/Stream.h"
#include "support/StreamDoubles.h"
#include "support/StreamTestSupport.h"

#include <string>

#include <gtest/gtest.h>

namespace vanta {
namespace {

// A test factory for `protocol` that answers a memory stream over the one character `tag`.
Ref<test::TTestOpener> TagOpener(const char* protocol, const char* tag)
{
    return New<test::TTestOpener>(protocol, [tag](const Ref<String>&, bool, bool) -> Ref<TByteStream> {
        return TMemoryStream::Create(const_cast<char*>(tag), 1, true, false);
    });
}

char TagOf(const Ref<TByteStream>& stream)
{
    return static_cast<char>(stream->ReadByte());
}

class StreamOpenerTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        // The game's order: memory blocks, endian, then "incbin".
        InitMemoryBlockStreams();
        InitEndianStreams();
        InitIncbinStreams();
        static const std::uint8_t lune[] = {0x89, 'P', 'N', 'G', 1, 2, 3, 4};
        EmbeddedFileAdd("DATAS/lune.png"_s, lune, sizeof lune);
        static const std::uint8_t a[] = {0, 0, 1, 2, 0xAB, 0xCD};
        EmbeddedFileAdd("a.bin"_s, a, sizeof a);
        EmbeddedFileAdd("empty.bin"_s, a, 0);
    }
};

TEST_F(StreamOpenerTest, IncbinOpensTheEmbeddedBlockForReading)
{
    Ref<TByteStream> s = OpenReadStream("incbin::DATAS/lune.png"_s);
    Ref<TMemoryStream> memory = Downcast<TMemoryStream>(s);
    ASSERT_TRUE(memory);
    EXPECT_EQ(memory->Size(), 8);
    EXPECT_EQ(memory->Pos(), 0);
    EXPECT_EQ(memory->Data(), EmbeddedFileData("DATAS/lune.png"_s)) << "the block itself, not a copy";
    EXPECT_EQ(memory->ReadInt(), 0x474E5089);
    EXPECT_THROW(memory->WriteByte(0), Exception);
    memory->Close();
    EXPECT_EQ(*static_cast<const std::uint8_t*>(EmbeddedFileData("DATAS/lune.png"_s)), 0x89);
}

TEST_F(StreamOpenerTest, IncbinRefusesWritingAndUnknownOrMiscasedNames)
{
    EXPECT_TRUE(OpenWriteStream("incbin::DATAS/lune.png"_s).IsNull());
    EXPECT_TRUE(OpenStream("incbin::DATAS/lune.png"_s, true, true).IsNull());
    EXPECT_TRUE(OpenReadStream("incbin::datas/lune.png"_s).IsNull());
    EXPECT_TRUE(OpenReadStream("incbin::DATAS\\lune.png"_s).IsNull());
    EXPECT_TRUE(OpenReadStream("INCBIN::DATAS/lune.png"_s).IsNull());
    EXPECT_TRUE(OpenReadStream("nosuch::x"_s).IsNull());
}

TEST_F(StreamOpenerTest, AnEmptyEmbeddedFileIsAtItsEndAtOnce)
{
    Ref<TByteStream> s = OpenReadStream("incbin::empty.bin"_s);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->Eof(), 1);
    EXPECT_EQ(s->ReadInt(), 0);
    EXPECT_EQ(LoadByteArray("incbin::empty.bin"_s)->Length(), 0);
}

TEST_F(StreamOpenerTest, PlainPathsGoStraightToTheFileSystem)
{
    EXPECT_TRUE(OpenReadStream("DATAS/lune.png"_s).IsNull()) << "the embedded files are not consulted";
    test::TempDir dir;
    test::WriteFile(dir / "plain.bin", "xyz");
    Ref<TByteStream> s = OpenReadStream(test::PathString(dir / "plain.bin"));
    ASSERT_TRUE(Downcast<TFileStream>(s));
    EXPECT_EQ(test::Text(s->ReadLine()), "xyz");
    s->Close();
}

TEST_F(StreamOpenerTest, BigEndianOverIncbin)
{
    Ref<TByteStream> s = OpenReadStream("bigendian::incbin::a.bin"_s);
    Ref<TBigEndianStream> big = Downcast<TBigEndianStream>(s);
    ASSERT_TRUE(big);
    ASSERT_TRUE(Downcast<TMemoryStream>(big->Inner()));
    EXPECT_EQ(s->ReadInt(), 258);
    EXPECT_EQ(s->ReadShort(), 0xABCD);

    Ref<TByteStream> little = OpenReadStream("littleendian::incbin::a.bin"_s);
    ASSERT_TRUE(Downcast<TMemoryStream>(little)) << "the stream itself";
    EXPECT_EQ(little->ReadInt(), 0x02010000);

    EXPECT_TRUE(OpenReadStream("bigendian::incbin::none.bin"_s).IsNull());
    EXPECT_TRUE(OpenWriteStream("bigendian::incbin::a.bin"_s).IsNull()) << "the flags reach the inner url";
}

TEST_F(StreamOpenerTest, APassedStreamComesBackBorrowed)
{
    std::string data = "abcdef";
    Ref<TMemoryStream> original = TMemoryStream::Create(data.data(), 6, true, false);
    Ref<TByteStream> s = OpenReadStream(original);
    ASSERT_TRUE(Downcast<TBorrowedStream>(s));
    EXPECT_NE(s, original);
    EXPECT_EQ(s->ReadByte(), 'a');
    EXPECT_EQ(s->ReadByte(), 'b');
    s->Close();
    EXPECT_EQ(original->Pos(), 2);
    EXPECT_EQ(original->ReadByte(), 'c');
}

TEST_F(StreamOpenerTest, AMemoryBlockOpensAsAStreamOverIt)
{
    Ref<TMemoryBlock> block = TMemoryBlock::Create(2);
    block->PokeShort(0, 0x0201);
    Ref<TMemoryBlockStream> s = Downcast<TMemoryBlockStream>(OpenWriteStream(block));
    ASSERT_TRUE(s);
    EXPECT_EQ(s->Block(), block);
    s->Seek(2);
    s->WriteByte(3);
    EXPECT_EQ(block->Size(), 3);
    EXPECT_EQ(block->PeekByte(2), 3);
}

TEST_F(StreamOpenerTest, OtherObjectsAndNullOpenNothing)
{
    EXPECT_TRUE(OpenReadStream(NewArray("b", 4)).IsNull());
    EXPECT_TRUE(OpenReadStream(Null).IsNull());
    EXPECT_TRUE(OpenReadStream(""_s).IsNull()) << "the empty string reaches the factories, which decline";
}

TEST_F(StreamOpenerTest, TheUrlIsSplitAtTheFirstSeparator)
{
    Ref<test::TTestOpener> recorder = TagOpener("split", "s");
    Ref<String> url = "split::a::b"_s;
    ASSERT_TRUE(OpenStream(url, false, true));
    EXPECT_EQ(recorder->lastProtocol, "split");
    EXPECT_EQ(recorder->lastPath, "a::b");
    EXPECT_EQ(recorder->lastUrl, url);
    EXPECT_FALSE(recorder->lastReadable);
    EXPECT_TRUE(recorder->lastWriteable);

    OpenReadStream("::"_s);
    EXPECT_EQ(recorder->lastProtocol, "");
    EXPECT_EQ(recorder->lastPath, "");
    OpenReadStream(NewArray("i", 1));
    EXPECT_EQ(recorder->lastProtocol, "") << "an object that is not a string has no protocol";
    EXPECT_EQ(recorder->lastPath, "");

    const int calls = recorder->calls;
    std::string data = "x";
    OpenReadStream(TMemoryStream::Create(data.data(), 1, true, false));
    EXPECT_EQ(recorder->calls, calls) << "streams are borrowed without asking the factories";
}

TEST_F(StreamOpenerTest, AFactoryMadeLaterIsAskedFirst)
{
    Ref<test::TTestOpener> first = TagOpener("order", "1");
    EXPECT_EQ(TagOf(OpenReadStream("order::x"_s)), '1');
    Ref<test::TTestOpener> second = TagOpener("order", "2");
    EXPECT_EQ(StreamFactories(), second);
    EXPECT_EQ(second->Next(), first);
    const int firstCalls = first->calls;
    EXPECT_EQ(TagOf(OpenReadStream("order::x"_s)), '2');
    EXPECT_EQ(first->calls, firstCalls) << "the walk stops at the first acceptance";
    second->declines = true;
    EXPECT_EQ(TagOf(OpenReadStream("order::x"_s)), '1');

    // A later factory for an existing protocol takes precedence over the built-in one.
    Ref<test::TTestOpener> incbin = TagOpener("incbin", "3");
    EXPECT_EQ(TagOf(OpenReadStream("incbin::a.bin"_s)), '3');
    incbin->declines = true;
    EXPECT_EQ(TagOf(OpenReadStream("incbin::a.bin"_s)), 0);
}

TEST_F(StreamOpenerTest, TheBaseFactoryIsAbstract)
{
    Ref<test::TTestOpener> recorder = TagOpener("abstract", "a");
    try {
        recorder->TStreamOpener::CreateStream("x"_s, "x"_s, ""_s, true, false);
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_TRUE(e.Is<TAbstractMethodError>());
    }
}

} // namespace
} // namespace vanta
