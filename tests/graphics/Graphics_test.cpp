// The graphics module over a recording 2D driver and a scripted clock: opening and closing, the errors,
// the drawing-state reset, display modes and frame pacing.
#include "graphics/Draw.h"
#include "graphics/Graphics.h"
#include "runtime/Error.h"
#include "support/RecordingFlat2DDriver.h"
#include "support/ScriptedHostDriver.h"

#include <gtest/gtest.h>

namespace vanta {
namespace {

class GraphicsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        InitGraphics();
        host = New<test::TScriptedHostDriver>();
        SetHostDriver(host);
        driver = New<test::TRecordingFlat2DDriver>();
        SelectGraphicsDriver(driver, 0);
    }
    void TearDown() override
    {
        CloseGraphics();
        SelectGraphicsDriver(Null, 0);
        SetHostDriver(Null);
    }

    Ref<test::TScriptedHostDriver> host;
    Ref<test::TRecordingFlat2DDriver> driver;
};

TEST_F(GraphicsTest, OpeningMakesTheSurfaceCurrentAndResetsTheDrawingState)
{
    EXPECT_EQ(OpenGraphics(640, 480, 0, SYNC_NONE | 60), 0);
    EXPECT_EQ(GraphicsWidth(), 640);
    EXPECT_EQ(GraphicsHeight(), 480);
    EXPECT_EQ(CurrentFlat2DDriver(), driver);
}

} // namespace
} // namespace vanta
