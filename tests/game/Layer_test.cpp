// Parallax layers: how a strip moves and wraps at each speed, and which list elements the walks take.
#include "game/GameGlobals.h"
#include "game/Layer.h"
#include "graphics/Image.h"
#include "runtime/Handle.h"
#include "support/GameStage.h"

#include <vector>

#include <gtest/gtest.h>

namespace vanta::game {
namespace {

// The x positions a layer holds after each of `updates` updates.
std::vector<std::int32_t> Positions(std::int32_t speed, int updates, std::int32_t start = 0)
{
    Ref<TLayer> layer = New<TLayer>();
    layer->x = start;
    layer->speed = speed;
    std::vector<std::int32_t> seen;
    for (int i = 0; i < updates; ++i) {
        layer->Update();
        seen.push_back(layer->x);
    }
    return seen;
}

TEST(Layer, SpeedMinusTwoReachesMinus638AndStartsAgainAtZeroWithoutHoldingMinus640)
{
    const std::vector<std::int32_t> seen = Positions(-2, 640);
    for (int i = 0; i < 319; ++i)
        ASSERT_EQ(seen[i], -2 * (i + 1)) << "update " << i + 1;
    EXPECT_EQ(seen[318], -638);
    EXPECT_EQ(seen[319], 0) << "-640 is reset at once";
    EXPECT_EQ(seen[320], -2) << "and the next pass starts from 0";
    for (std::int32_t x : seen)
        EXPECT_NE(x, -640);
}

TEST(Layer, SpeedsThatDoNotDivide640MakeAShortStepWhereTheyReset)
{
    // -3: ..., -636, -639, then -642 is reset to 0.
    std::vector<std::int32_t> seen = Positions(-3, 214);
    EXPECT_EQ(seen[211], -636);
    EXPECT_EQ(seen[212], -639) << "-639 is still a position";
    EXPECT_EQ(seen[213], 0);
    // -7: ..., -637, then -644 is reset to 0.
    seen = Positions(-7, 92);
    EXPECT_EQ(seen[90], -637);
    EXPECT_EQ(seen[91], 0);
}

TEST(Layer, APositiveSpeedResetsOnceXExceeds639)
{
    std::vector<std::int32_t> seen = Positions(5, 129);
    EXPECT_EQ(seen[126], 635);
    EXPECT_EQ(seen[127], 0) << "640 exceeds 639";
    EXPECT_EQ(seen[128], 5);
    seen = Positions(1, 641);
    EXPECT_EQ(seen[638], 639) << "639 itself is kept";
    EXPECT_EQ(seen[639], 0);
}

TEST(Layer, BothWalksSkipListElementsThatAreNotLayers)
{
    test::GameStage stage;
    stage.Open();
    Globals().layers = CreateList();
    Ref<TImage> strip = LoadImage("incbin::DATAS/herbe0.png"_s, -1);
    NewLayer(ObjectToHandle(strip), 0, 360, -2);
    ListAddLast(Globals().layers, "not a layer"_s);
    NewLayer(ObjectToHandle(strip), 0, 370, -4);

    UpdateLayers();
    DrawLayers();

    const std::vector<test::StageDraw> draws = stage.Draws();
    ASSERT_EQ(draws.size(), 6u);
    EXPECT_EQ(draws[0].tx, -2.0f);
    EXPECT_EQ(draws[3].tx, -4.0f);
    EXPECT_EQ(draws[3].ty, 370.0f);
}

} // namespace
} // namespace vanta::game
