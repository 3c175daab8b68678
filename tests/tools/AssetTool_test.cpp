// vanta-asset run as a program: `info` on every kind of picture and through URLs, `convert` writing a PNG
// that loads back with the same pixels, and the exit statuses and messages of failures and usage errors.
#include "pixmap/Pixmap.h"
#include "pixmap/loaders/ImageLoaders.h"
#include "support/AssetTool.h"
#include "support/TempFolder.h"

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace vanta::test {
namespace {

namespace fs = std::filesystem;

std::string Data(const std::string& name)
{
    return std::string(PIXMAP_TEST_DATA) + "/" + name;
}

TEST(AssetInfo, DescribesAPictureByLoaderSizeAndFormat)
{
    const ProcessResult png = RunAssetTool({"info", Data("png_rgba.png")});
    EXPECT_EQ(png.status, 0) << png.err;
    EXPECT_EQ(png.out, "kind: image\nloader: PNG\nwidth: 37\nheight: 21\nformat: PF_RGBA8888\n");
    EXPECT_EQ(png.err, "");
    const ProcessResult jpeg = RunAssetTool({"info", Data("jpeg_grey.jpg")});
    EXPECT_EQ(jpeg.out, "kind: image\nloader: JPEG\nwidth: 37\nheight: 21\nformat: PF_I8\n");
    const ProcessResult tga = RunAssetTool({"info", Data("tga24_rle.tga")});
    EXPECT_EQ(tga.out, "kind: image\nloader: TGA\nwidth: 37\nheight: 21\nformat: PF_RGB888\n");
    const ProcessResult bmp = RunAssetTool({"info", "bigendian::" + Data("bmp4.bmp")});
    EXPECT_EQ(bmp.out, "kind: image\nloader: BMP\nwidth: 37\nheight: 21\nformat: PF_RGB888\n");
    // Run-length pictures may leave pixels transparent.
    const ProcessResult rle = RunAssetTool({"info", Data("bmp8_rle.bmp")});
    EXPECT_EQ(rle.out, "kind: image\nloader: BMP\nwidth: 37\nheight: 21\nformat: PF_RGBA8888\n");
}

TEST(AssetInfo, WhatNothingLoadsIsAFailure)
{
    for (const std::string& url :
         {Data("jpeg_cmyk.jpg"), Data("make_fixtures.py"), std::string("/nonexistent/x.png")}) {
        const ProcessResult result = RunAssetTool({"info", url});
        EXPECT_EQ(result.status, 1) << url;
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err, "cannot load image or sound or font: " + url + "\n");
    }
}

TEST(AssetConvert, WritesAPNGWithTheSamePixels)
{
    InitImageLoaders();
    const TempFolder folder;
    for (const char* name : {"bmp8.bmp", "tga32_rle.tga", "png_palette_trns.png", "jpeg_progressive.jpg"}) {
        const std::string out = folder.Path(std::string(name) + ".png");
        const ProcessResult result = RunAssetTool({"convert", Data(name), out});
        ASSERT_EQ(result.status, 0) << name << ": " << result.err;
        EXPECT_EQ(result.out, "");
        const Ref<TPixmap> original = LoadPixmap(String::FromCString(Data(name).c_str()));
        Ref<TPixmapLoader> loader;
        const Ref<TPixmap> converted = LoadPixmapWithLoader(String::FromCString(out.c_str()), loader);
        ASSERT_FALSE(converted.IsNull()) << name;
        EXPECT_EQ(loader->Class()->name, std::string("TPNGLoader"));
        ASSERT_EQ(converted->Format(), original->Format()) << name;
        ASSERT_EQ(converted->Width(), original->Width());
        for (std::int32_t y = 0; y < original->Height(); ++y)
            EXPECT_EQ(std::memcmp(converted->PixelPtr(0, y), original->PixelPtr(0, y),
                                  std::size_t(original->Width() * original->BytesPerPixel())),
                      0)
                << name << " row " << y;
    }
}

TEST(AssetConvert, FailuresSayWhatFailed)
{
    const TempFolder folder;
    const ProcessResult unreadable = RunAssetTool({"convert", Data("jpeg_cmyk.jpg"), folder.Path("out.png")});
    EXPECT_EQ(unreadable.status, 1);
    EXPECT_EQ(unreadable.err, "cannot load image: " + Data("jpeg_cmyk.jpg") + "\n");
    EXPECT_FALSE(fs::exists(folder.Path("out.png")));
    const ProcessResult unwritable = RunAssetTool({"convert", Data("png_rgb.png"), "/nonexistent/out.png"});
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_EQ(unwritable.err, "cannot write image: /nonexistent/out.png\n");
}

TEST(AssetTool, UsageErrorsExitWithTwoAndTheUsageText)
{
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{}, {"info"}, {"info", "a", "b"}, {"convert", "a"}, {"transmogrify", "a"}}) {
        const ProcessResult result = RunAssetTool(arguments);
        EXPECT_EQ(result.status, 2);
        EXPECT_EQ(result.out, "");
        EXPECT_NE(result.err.find("usage: vanta-asset COMMAND ARGUMENTS"), std::string::npos) << result.err;
        EXPECT_NE(result.err.find("vanta-asset convert URL OUT.png"), std::string::npos) << result.err;
    }
    EXPECT_NE(RunAssetTool({"transmogrify"}).err.find("unknown command: transmogrify"), std::string::npos);
}

} // namespace
} // namespace vanta::test
