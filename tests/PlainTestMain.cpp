// Test entry for builds without the object runtime; like the full one, it keeps tests off the user's display.
#include "support/NoUserDisplay.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    vanta::test::ForgetUserDisplay();
    return RUN_ALL_TESTS();
}
