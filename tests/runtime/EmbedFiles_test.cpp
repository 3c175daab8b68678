// Files put into the executable by the build: names, exact bytes and registration.
#include "embedded/TestFiles.h"

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

namespace vanta {
namespace {

std::string FileBytes(const char* name)
{
    std::ifstream in(std::string(TEST_DATA_DIR) + "/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(EmbedFiles, EveryBlockHoldsItsFileExactlyInTheOrderGiven)
{
    const auto blocks = embedded::TestFiles();
    ASSERT_EQ(blocks.size(), 3u);
    EXPECT_STREQ(blocks[0].name, "texts/hello.txt");
    EXPECT_STREQ(blocks[1].name, "noise.bin");
    EXPECT_STREQ(blocks[2].name, "empty.bin");
    for (const auto& [block, file] :
         {std::pair{blocks[0], "hello.txt"}, {blocks[1], "noise.bin"}, {blocks[2], "empty.bin"}}) {
        const std::string bytes = FileBytes(file);
        ASSERT_EQ(block.size, static_cast<std::int32_t>(bytes.size())) << file;
        EXPECT_EQ(std::memcmp(block.data, bytes.data(), bytes.size()), 0) << file;
    }
}

TEST(EmbedFiles, BlocksRegisterUnderTheirOwnNames)
{
    const EmbeddedBlock* hello = FindEmbeddedBlock(embedded::TestFiles(), "texts/hello.txt");
    ASSERT_NE(hello, nullptr);
    EXPECT_EQ(FindEmbeddedBlock(embedded::TestFiles(), "hello.txt"), nullptr);
    EXPECT_EQ(EmbeddedFileAdd(*hello), 1);
    EXPECT_EQ(EmbeddedFileData("texts/hello.txt"_s), hello->data);
    EXPECT_EQ(EmbeddedFileSize("texts/hello.txt"_s), 22);
}

} // namespace
} // namespace vanta
