// Image fonts: the default font built from the embedded bitmap (and without it), measuring, drawing and
// its glyph placement, the current font, and fonts made through the font-loader chain.
#include "graphics/Draw.h"
#include "graphics/Font.h"
#include "graphics/Graphics.h"
#include "graphics/ImageFont.h"
#include "pixmap/Pixmap.h"
#include "runtime/Error.h"
#include "support/RecordingGraphicsTest.h"

#include <cstdlib>
#include <vector>

#include <gtest/gtest.h>

namespace vanta {
namespace {

using Args = std::vector<double>;

class ImageFontTest : public test::RecordingGraphicsTest
{
protected:
    void TearDown() override
    {
        SetTextFont(Null);
        RecordingGraphicsTest::TearDown();
    }

    // The x positions of the glyph draws, in order.
    std::vector<double> DrawnAt() const
    {
        std::vector<double> xs;
        for (const test::DrawCall& call : driver->Calls("FrameDraw"))
            xs.push_back(call.args[4]);
        return xs;
    }
};

// A font of two glyphs from code 65: 'A' with a picture, offset (1, 2), advance 5.5; 'B' empty, advance 3.
Ref<TImageFont> TwoGlyphFont()
{
    Ref<TImageFont> font = New<TImageFont>();
    font->height = 11;
    font->firstCode = 65;
    font->glyphs = NewArray(":TImageGlyph", 2);
    Ref<TImageGlyph> a = New<TImageGlyph>();
    a->image = TImage::Load(CreatePixmap(4, 6, PF_A8, 4), 0, 0, 0, 0);
    a->advance = 5.5f;
    a->x = 1;
    a->y = 2;
    a->width = 4;
    a->height = 6;
    Ref<TImageGlyph> b = New<TImageGlyph>();
    b->advance = 3.0f;
    font->glyphs->ObjectAt(0) = a;
    font->glyphs->ObjectAt(1) = b;
    return font;
}

// [SECTION] The default font

TEST_F(ImageFontTest, TheDefaultFontIsMadeFromTheEmbeddedBitmap)
{
    Ref<TImageFont> font = GetTextFont();
    ASSERT_FALSE(font.IsNull());
    EXPECT_EQ(font->Height(), 16);
    EXPECT_EQ(font->FirstCode(), 32);
    EXPECT_EQ(font->GlyphCount(), 96);
    EXPECT_EQ(font->Style(), 0);

    const auto& bits = test::TestFontBitmap();
    for (std::int32_t c : {0, 33, 95}) {
        Ref<TImageGlyph> glyph = font->Glyph(c);
        std::int32_t x, y, w, h;
        glyph->GetRect(x, y, w, h);
        EXPECT_EQ(std::vector<std::int32_t>({x, y, w, h}), std::vector<std::int32_t>({0, 0, 8, 16}));
        EXPECT_EQ(glyph->Advance(), 8.0f);
        Ref<TImage> image = glyph->Image();
        EXPECT_EQ(image->flags, 0);
        Ref<TPixmap> pixels = LockImage(image, 0, 1, 0);
        ASSERT_EQ(pixels->Width(), 8);
        ASSERT_EQ(pixels->Height(), 16);
        for (std::int32_t r = 0; r < 16; ++r) {
            for (std::int32_t k = 0; k < 8; ++k) {
                const bool ink = ((bits[static_cast<std::size_t>(r * 96 + c)] >> k) & 1) != 0;
                ASSERT_EQ(pixels->ReadPixel(k, r), ink ? 0xFFFFFFFFu : 0u) << c << " " << r << " " << k;
            }
        }
    }
}

TEST_F(ImageFontTest, TheDefaultFontIsMadeOnceAndSurvivesReopening)
{
    Ref<TImageFont> font = GetTextFont();
    OpenGraphics(320, 200, 0, SYNC_NONE);
    EXPECT_EQ(GetTextFont(), font);
}

// [SECTION] Measuring and drawing

TEST_F(ImageFontTest, TheDefaultFontMeasuresEightPixelsACharacterAndSixteenALine)
{
    EXPECT_EQ(TextWidth("V 0.1C"_s), 48);
    EXPECT_EQ(TextHeight(), 16);
    EXPECT_EQ(TextWidth(""_s), 0);
    // Codes outside 32 ... 127 have no glyph and add nothing.
    EXPECT_EQ(TextWidth(u"A\u00e9\nB\u2603"_s), 16);
}

TEST_F(ImageFontTest, ACharacterWithoutAGlyphIsSkippedWithoutMovingThePen)
{
    DrawText(u"A\u00e9B\u0080\u001fC"_s, 10, 20);
    EXPECT_EQ(DrawnAt(), (Args{10, 18, 26}));
    const std::vector<test::DrawCall> draws = driver->Calls("FrameDraw");
    EXPECT_EQ(draws[0].args, (Args{0, 0, 8, 16, 10, 20}));
}

TEST_F(ImageFontTest, GlyphsArePlacedByTheirOffsetTurnedByTheMatrixAndTruncated)
{
    SetTextFont(TwoGlyphFont());
    DrawText("ABA"_s, 10, 20);
    const std::vector<test::DrawCall> draws = driver->Calls("FrameDraw");
    ASSERT_EQ(draws.size(), 2u); // 'B' has no picture but advances
    EXPECT_EQ(draws[0].args, (Args{0, 0, 4, 6, 11, 22}));
    EXPECT_EQ(draws[1].args, (Args{0, 0, 4, 6, 10 + 8.5 + 1, 22}));

    // Scaled by 1.5: the offset (1.5, 3) is truncated to (1, 3); the pen moves 5.5 x 1.5.
    driver->ClearCalls();
    SetScale(1.5f, 1.5f);
    DrawText("AA"_s, 0, 0);
    EXPECT_EQ(DrawnAt(), (Args{1, 8.25 + 1}));
    EXPECT_EQ(driver->Calls("FrameDraw")[0].args[5], 3);

    // Turned a quarter clockwise: the pen moves down, the offset (1, 2) becomes (-2, 1).
    driver->ClearCalls();
    SetRotationAndScale(90, 1, 1);
    DrawText("AA"_s, 100, 100);
    const std::vector<test::DrawCall> turned = driver->Calls("FrameDraw");
    ASSERT_EQ(turned.size(), 2u);
    EXPECT_NEAR(turned[0].args[4], 98, 1e-4);
    EXPECT_NEAR(turned[0].args[5], 101, 1e-4);
    EXPECT_NEAR(turned[1].args[4], 98, 1e-4);
    EXPECT_NEAR(turned[1].args[5], 106.5, 1e-4);
}

TEST_F(ImageFontTest, TextWidthTruncatesAfterEachAdvance)
{
    SetTextFont(TwoGlyphFont());
    EXPECT_EQ(TextWidth("AAA"_s), 15); // 5, 10, 15 rather than 16.5
    EXPECT_EQ(TextWidth("AB"_s), 8);
    EXPECT_EQ(TextHeight(), 11);
}

TEST_F(ImageFontTest, SettingNoFontRestoresTheDefault)
{
    Ref<TImageFont> original = GetTextFont();
    Ref<TImageFont> other = TwoGlyphFont();
    SetTextFont(other);
    EXPECT_EQ(GetTextFont(), other);
    SetTextFont(Null);
    EXPECT_EQ(GetTextFont(), original);
}

TEST(DefaultFontWithoutBitmap, HasTheMetricsAndNoPictures)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // A fresh process, in which nothing registers the bitmap.
    EXPECT_EXIT(
        {
            Ref<TImageFont> font = TImageFont::CreateDefault();
            bool ok = font->GlyphCount() == 96 && font->Height() == 16;
            for (std::int32_t c = 0; c < 96; ++c) {
                ok = ok && font->Glyph(c)->image.IsNull() && font->Glyph(c)->advance == 8.0f;
            }
            std::exit(ok ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

// [SECTION] Fonts from the loader chain

class TStubGlyph : public TGlyph
{
    VANTA_CLASS(TStubGlyph, TGlyph)
public:
    TStubGlyph(Ref<Object> pixels, float advance) : pixels_(std::move(pixels)), advance_(advance) {}
    Ref<Object> Pixels() override { return pixels_; }
    float Advance() override { return advance_; }
    void GetRect(std::int32_t& x, std::int32_t& y, std::int32_t& w, std::int32_t& h) override
    {
        x = -1;
        y = 3;
        w = 2;
        h = 2;
    }

private:
    Ref<Object> pixels_;
    float advance_;
};

class TStubFont : public TFont
{
    VANTA_CLASS(TStubFont, TFont)
public:
    explicit TStubFont(std::int32_t style) : style_(style) {}
    std::int32_t Style() override { return style_; }
    std::int32_t Height() override { return 13; }
    std::int32_t FirstCode() override { return 48; }
    std::int32_t GlyphCount() override { return 2; }
    Ref<TGlyph> Glyph(std::int32_t index) override
    {
        if (index == 0) return New<TStubGlyph>(pixels, 7.0f);
        return New<TStubGlyph>(Null, 4.0f);
    }

    Ref<TPixmap> pixels = CreatePixmap(2, 2, PF_A8, 4);

private:
    std::int32_t style_;
};

class TStubFontLoader : public TFontLoader
{
    VANTA_CLASS(TStubFontLoader, TFontLoader)
public:
    Ref<TFont> LoadFont(const Ref<Object>& url, std::int32_t size, std::int32_t style) override
    {
        Ref<String> name = Downcast<String>(url);
        if (name.IsNull() || name->View() != u"stub.font" || size != 13) return Null;
        lastFont = New<TStubFont>(style);
        return lastFont;
    }

    Ref<TStubFont> lastFont;
};

TEST_F(ImageFontTest, AFontFromTheLoaderChainBecomesImagesOfCopiedPixels)
{
    Ref<TStubFontLoader> loader = New<TStubFontLoader>();
    RegisterFontLoader(loader);

    EXPECT_TRUE(LoadImageFont("other.font"_s, 13).IsNull());
    EXPECT_TRUE(LoadImageFont("stub.font"_s, 12).IsNull());

    Ref<TImageFont> font = LoadImageFont("stub.font"_s, 13, 4 | 1);
    ASSERT_FALSE(font.IsNull());
    EXPECT_EQ(font->Style(), 5);
    EXPECT_EQ(font->Height(), 13);
    EXPECT_EQ(font->FirstCode(), 48);
    ASSERT_EQ(font->GlyphCount(), 2);
    Ref<TImageGlyph> zero = font->Glyph(0);
    EXPECT_EQ(zero->advance, 7.0f);
    EXPECT_EQ(std::vector<std::int32_t>({zero->x, zero->y, zero->width, zero->height}),
              std::vector<std::int32_t>({-1, 3, 2, 2}));
    EXPECT_EQ(zero->image->flags, IMAGE_FILTERED);
    Ref<TPixmap> pixels = LockImage(zero->image, 0, 1, 0);
    EXPECT_NE(pixels, loader->lastFont->pixels);
    EXPECT_EQ(pixels->Format(), PF_A8);
    EXPECT_TRUE(font->Glyph(1)->image.IsNull());
    EXPECT_EQ(font->Glyph(1)->advance, 4.0f);

    EXPECT_EQ(LoadImageFont("stub.font"_s, 13, 1)->Glyph(0)->image->flags, 0);
}

} // namespace
} // namespace vanta
