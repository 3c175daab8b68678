// A test fixture whose graphics are open (640 x 480, unpaced) on the recording 2D driver, with the test
// font bitmap registered; the driver's record starts empty.
#pragma once

#include "graphics/Graphics.h"
#include "support/RecordingFlat2DDriver.h"
#include "support/TestFontBitmap.h"

#include <gtest/gtest.h>

namespace vanta::test {

class RecordingGraphicsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        InitGraphics();
        RegisterTestFontBitmap();
        driver = New<TRecordingFlat2DDriver>();
        SelectGraphicsDriver(driver, 0);
        OpenGraphics(640, 480, 0, SYNC_NONE);
        driver->ClearCalls();
    }
    void TearDown() override
    {
        CloseGraphics();
        SelectGraphicsDriver(Null, 0);
    }

    Ref<TRecordingFlat2DDriver> driver;
};

} // namespace vanta::test
