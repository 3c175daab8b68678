// Test entry for builds without the object runtime; like the full one, it keeps tests off the user's display.
#include "support/NoUserDisplay.h"
#include "support/SystemGLDrivers.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    vanta::test::ForgetUserDisplay();
    vanta::test::KeepSystemGLDriversLoaded();
    return RUN_ALL_TESTS();
}
