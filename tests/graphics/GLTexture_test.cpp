// Texture sizes without GL: the halving loop under an injected proxy limit, the pixmap limits it also
// respects, the refusal of even 1 x 1, and the number of mipmap levels.
#include "graphics/gl/GLTexture.h"
#include "runtime/Error.h"

#include <gtest/gtest.h>

namespace vanta {
namespace {

bool UpTo512(std::int32_t width, std::int32_t height)
{
    return width <= 512 && height <= 512;
}

bool Anything(std::int32_t, std::int32_t)
{
    return true;
}

bool Nothing(std::int32_t, std::int32_t)
{
    return false;
}

std::pair<std::int32_t, std::int32_t> Size(std::int32_t width, std::int32_t height, GLTextureProxy proxy)
{
    GLTextureSize(width, height, proxy);
    return {width, height};
}

using Pair = std::pair<std::int32_t, std::int32_t>;

TEST(GLTextureSizeTest, SidesBecomePowersOfTwoAndBothAreHalvedUntilTheProxyAccepts)
{
    EXPECT_EQ(Size(80, 104, UpTo512), Pair(128, 128));
    EXPECT_EQ(Size(512, 512, UpTo512), Pair(512, 512));
    // 1024 x 512 is refused: both sides are halved, not only the one that is too large.
    EXPECT_EQ(Size(640, 480, UpTo512), Pair(512, 256));
    EXPECT_EQ(Size(4000, 1, UpTo512), Pair(512, 1)) << "a side of 1 stays 1";
    EXPECT_EQ(Size(0, -5, UpTo512), Pair(1, 1));
    EXPECT_EQ(Size(1, 1, UpTo512), Pair(1, 1));
}

TEST(GLTextureSizeTest, ATextureMustAlsoFitInAPixmap)
{
    // 16384 x 16384 RGBA would take 1 GiB; 8192 x 8192 is the pixmap's 256 MiB.
    EXPECT_EQ(Size(16384, 16384, Anything), Pair(8192, 8192));
    EXPECT_EQ(Size(16385, 2, Anything), Pair(16384, 1)) << "no side beyond 16384";
    EXPECT_EQ(Size(0x7FFFFFFF, 0x7FFFFFFF, Anything), Pair(8192, 8192)) << "no overflow rounding up";
}

TEST(GLTextureSizeTest, EvenOneByOneRefusedIsAnError)
{
    std::int32_t width = 640;
    std::int32_t height = 480;
    try {
        GLTextureSize(width, height, Nothing);
        FAIL() << "no error";
    } catch (const Exception& error) {
        EXPECT_STREQ(error.what(), "Unable to calculate tex size");
    }
}

TEST(GLTextureSizeTest, MipmapLevelsGoDownToOneByOne)
{
    EXPECT_EQ(GLMipmapLevels(1, 1), 1);
    EXPECT_EQ(GLMipmapLevels(128, 128), 8);
    EXPECT_EQ(GLMipmapLevels(128, 32), 8) << "128x32, 64x16, 32x8, 16x4, 8x2, 4x1, 2x1, 1x1";
    EXPECT_EQ(GLMipmapLevels(1, 16), 5);
}

} // namespace
} // namespace vanta
