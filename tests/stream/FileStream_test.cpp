// File streams on real temporary files: modes, paths with backslashes, positions, closing, and what an
// unclosed stream does when it dies.
#include "runtime/Error.h"
#include "stream/MemoryBlock.h"
#include "stream/Stream.h"
#include "support/StreamTestSupport.h"

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

namespace vanta {
namespace {

using test::PathString;

class FileStreamTest : public ::testing::Test
{
protected:
    Ref<TFileStream> Open(const std::string& name, bool readable, bool writeable)
    {
        return TFileStream::OpenFile(PathString(dir / name), readable, writeable);
    }

    test::TempDir dir;
};

int OpenDescriptors()
{
    int count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd"))
        ++count;
    return count;
}

TEST_F(FileStreamTest, ANewStreamOnATenByteFile)
{
    test::WriteFile(dir / "ten.bin", "0123456789");
    Ref<TFileStream> s = Open("ten.bin", true, false);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->Pos(), 0);
    EXPECT_EQ(s->Size(), 10);
    EXPECT_EQ(s->Eof(), 0);
    char buffer[10];
    EXPECT_EQ(s->Read(buffer, 10), 10);
    EXPECT_EQ(s->Eof(), 1);
    EXPECT_EQ(s->Read(buffer, 10), 0);
    s->Close();
}

TEST_F(FileStreamTest, BackslashesInThePathBecomeSlashes)
{
    std::filesystem::create_directory(dir / "sub");
    test::WriteFile(dir / "sub/f.bin", "data");
    Ref<TFileStream> s = TFileStream::OpenFile(PathString(dir / "sub") + "\\f.bin"_s, true, true);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->Mode(), FILE_READ_WRITE);
    EXPECT_EQ(s->ReadInt(), 0x61746164);
    s->Close();
}

TEST_F(FileStreamTest, ReadAndWriteOpensAnExistingFileWithoutTruncating)
{
    EXPECT_TRUE(Open("missing.bin", true, true).IsNull()) << "\"r+b\" does not create";
    test::WriteFile(dir / "f.bin", "abcdef");
    Ref<TFileStream> s = Open("f.bin", true, true);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->Size(), 6);
    // Read, then write, then read again: the stream turns the C file round between directions.
    EXPECT_EQ(s->ReadByte(), 'a');
    s->WriteString("XY"_s);
    EXPECT_EQ(s->ReadByte(), 'd');
    s->Seek(6);
    s->WriteString("gh"_s);
    EXPECT_EQ(s->Size(), 8);
    EXPECT_EQ(s->Pos(), 8);
    s->Close();
    EXPECT_EQ(test::ReadFile(dir / "f.bin"), "aXYdefgh");
}

TEST_F(FileStreamTest, WriteOnlyCreatesOrTruncatesAndCannotRead)
{
    test::WriteFile(dir / "old.bin", "old contents");
    Ref<TFileStream> s = Open("old.bin", false, true);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->Mode(), FILE_WRITE);
    EXPECT_EQ(s->Size(), 0) << "\"wb\" truncates";
    s->WriteInt(0x64636261);
    char byte;
    s->Seek(0);
    EXPECT_EQ(s->Read(&byte, 1), 0);
    s->Close();
    EXPECT_EQ(test::ReadFile(dir / "old.bin"), "abcd");

    Ref<TFileStream> fresh = Open("new.bin", false, true);
    ASSERT_TRUE(fresh);
    fresh->Close();
    EXPECT_TRUE(std::filesystem::exists(dir / "new.bin"));
}

TEST_F(FileStreamTest, ReadOnlyWhenWriteableIsNotSet)
{
    EXPECT_TRUE(Open("missing.bin", true, false).IsNull());
    EXPECT_TRUE(Open("missing.bin", false, false).IsNull());
    test::WriteFile(dir / "f.bin", "abc");
    for (const bool readable : {true, false}) {
        Ref<TFileStream> s = Open("f.bin", readable, false);
        ASSERT_TRUE(s);
        EXPECT_EQ(s->Mode(), FILE_READ);
        EXPECT_EQ(s->ReadByte(), 'a');
        try {
            s->WriteByte('z');
            FAIL() << "wrote to a read-only file";
        } catch (const Exception& e) {
            EXPECT_TRUE(e.Is<TStreamWriteError>());
        }
        s->Close();
    }
    EXPECT_EQ(test::ReadFile(dir / "f.bin"), "abc");
}

TEST_F(FileStreamTest, ADirectoryCannotBeOpened)
{
    std::filesystem::create_directory(dir / "sub");
    const int before = OpenDescriptors();
    EXPECT_TRUE(Open("sub", true, false).IsNull());
    EXPECT_TRUE(Open("sub", false, false).IsNull());
    EXPECT_TRUE(Open("sub", true, true).IsNull());
    EXPECT_TRUE(Open("sub", false, true).IsNull());
    EXPECT_EQ(OpenDescriptors(), before);
    EXPECT_EQ(test::ThrownText([&] { LoadByteArray(PathString(dir / "sub")); }).rfind("Unable to open stream", 0), 0u);
}

TEST_F(FileStreamTest, SeeksStayInsideTheFile)
{
    test::WriteFile(dir / "f.bin", "0123456789");
    Ref<TFileStream> s = Open("f.bin", true, false);
    EXPECT_EQ(s->Seek(4), 4);
    EXPECT_EQ(s->ReadByte(), '4');
    EXPECT_EQ(s->Seek(20), 10);
    EXPECT_EQ(s->Eof(), 1);
    EXPECT_EQ(s->ReadInt(), 0) << "at the end, without error";
    EXPECT_EQ(s->Seek(-3), 0);
    EXPECT_EQ(s->ReadByte(), '0');
    s->Close();
}

TEST_F(FileStreamTest, AfterCloseTheStreamIsEmptyAndClosingAgainIsHarmless)
{
    test::WriteFile(dir / "f.bin", "abc");
    Ref<TFileStream> s = Open("f.bin", true, true);
    s->ReadByte();
    EXPECT_EQ(s->Close(), 0);
    EXPECT_EQ(s->File(), nullptr);
    EXPECT_EQ(s->Pos(), 0);
    EXPECT_EQ(s->Size(), 0);
    EXPECT_EQ(s->Eof(), 1);
    EXPECT_EQ(s->Flush(), 0);
    EXPECT_EQ(s->Seek(2), 0);
    char byte;
    EXPECT_EQ(s->Read(&byte, 1), 0);
    EXPECT_EQ(s->ReadLine()->Length(), 0);
    EXPECT_EQ(test::ThrownText([&] { s->WriteByte('x'); }), "Error writing to stream");
    EXPECT_EQ(s->Close(), 0);
}

TEST_F(FileStreamTest, AStreamDestroyedUnclosedClosesItsFile)
{
    const int before = OpenDescriptors();
    const int level = ReleaseStackLevel();
    {
        Ref<TFileStream> s = Open("unclosed.txt", false, true);
        ASSERT_TRUE(s);
        s->WriteLine("kept"_s);
        EXPECT_EQ(OpenDescriptors(), before + 1);
    }
    FlushReleaseStack(level);
    EXPECT_EQ(OpenDescriptors(), before);
    EXPECT_EQ(test::ReadFile(dir / "unclosed.txt"), "kept\r\n") << "buffered bytes reach the file";
}

TEST_F(FileStreamTest, CreateFromFileStartsAtTheFilesPosition)
{
    test::WriteFile(dir / "f.bin", "abcdef");
    std::FILE* file = std::fopen((dir / "f.bin").c_str(), "rb");
    ASSERT_NE(file, nullptr);
    std::fseek(file, 4, SEEK_SET);
    Ref<TFileStream> s = TFileStream::CreateFromFile(file, FILE_READ);
    EXPECT_EQ(s->Pos(), 4);
    EXPECT_EQ(s->Size(), 6);
    EXPECT_EQ(s->ReadByte(), 'e');
    s->Close();
    EXPECT_TRUE(TFileStream::CreateFromFile(nullptr, FILE_READ).IsNull());
}

TEST_F(FileStreamTest, NegativeCountsMoveNothing)
{
    test::WriteFile(dir / "f.bin", "abc");
    Ref<TFileStream> s = Open("f.bin", true, true);
    char buffer[4] = {};
    EXPECT_EQ(s->Read(buffer, -1), 0);
    EXPECT_EQ(s->Write(buffer, -1), 0);
    EXPECT_EQ(s->Pos(), 0);
    s->Close();
    EXPECT_EQ(test::ReadFile(dir / "f.bin"), "abc");
}

} // namespace
} // namespace vanta

namespace vanta {
namespace {

// /dev/full accepts opening for writing and refuses every byte: the failure shows when the buffer goes out.
TEST(FileStreamFullDisk, AWriteThatCannotReachTheDiskIsAFailureNotASuccess)
{
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    Ref<TFileStream> file = TFileStream::OpenFile("/dev/full"_s, false, true);
    ASSERT_FALSE(file.IsNull());
    file->WriteString("hello"_s);
    EXPECT_EQ(file->Close(), -1);
    EXPECT_EQ(file->Close(), 0) << "closing again is harmless";

    try {
        SaveString("hello"_s, "/dev/full"_s);
        FAIL() << "saving to a full disk reported success";
    } catch (const Exception& e) {
        EXPECT_TRUE(e.Is<TStreamWriteError>());
    }
    EXPECT_THROW(SaveByteArray(NewArray("b", 10), "/dev/full"_s), Exception);
    Ref<TMemoryBlock> block = CreateMemoryBlock(10);
    EXPECT_EQ(block->Save("/dev/full"_s), 0);
}

} // namespace
} // namespace vanta
