// Embedded-file registry: first registration wins, exact names, nothing copied.
#include "runtime/EmbeddedFile.h"

#include <gtest/gtest.h>

namespace vanta {
namespace {

TEST(EmbeddedFile, TheFirstRegistrationOfANameStays)
{
    static const char p[10] = {};
    static const char q[20] = {};
    EXPECT_EQ(EmbeddedFileAdd("embedded/a"_s, p, 10), 1);
    EXPECT_EQ(EmbeddedFileAdd(String::FromCString("embedded/a"), q, 20), 0);
    EXPECT_EQ(EmbeddedFileData("embedded/a"_s), p) << "the block itself, not a copy";
    EXPECT_EQ(EmbeddedFileSize("embedded/a"_s), 10);
}

TEST(EmbeddedFile, UnknownNamesGiveNullAndZero)
{
    EXPECT_EQ(EmbeddedFileData("embedded/none"_s), nullptr);
    EXPECT_EQ(EmbeddedFileSize("embedded/none"_s), 0);
}

TEST(EmbeddedFile, NamesMatchExactly)
{
    static const char block[4] = {1, 2, 3, 4};
    ASSERT_EQ(EmbeddedFileAdd("DATAS/lune.png"_s, block, 4), 1);
    EXPECT_EQ(EmbeddedFileData("datas/lune.png"_s), nullptr);
    EXPECT_EQ(EmbeddedFileData("DATAS\\lune.png"_s), nullptr);
    EXPECT_EQ(EmbeddedFileData("DATAS/lune.png "_s), nullptr);
    EXPECT_EQ(EmbeddedFileData("DATAS/lune.png"_s), block);
}

TEST(EmbeddedFile, AnEmptyBlockCanBeRegistered)
{
    static const char nothing[1] = {};
    EXPECT_EQ(EmbeddedFileAdd("embedded/empty"_s, nothing, 0), 1);
    EXPECT_EQ(EmbeddedFileData("embedded/empty"_s), nothing);
    EXPECT_EQ(EmbeddedFileSize("embedded/empty"_s), 0);
}

TEST(EmbeddedFile, TheRegistryKeepsItsNames)
{
    static const char block[1] = {};
    const int level = ReleaseStackLevel();
    EmbeddedFileAdd(String::FromCString("embedded/made at run time"), block, 1);
    FlushReleaseStack(level);
    EXPECT_EQ(EmbeddedFileData(String::FromCString("embedded/made at run time")), block);
}

} // namespace
} // namespace vanta
