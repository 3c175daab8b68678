// Test entry: every test runs between a taken release mark and a flush back to it, so the objects a
// test makes are destroyed when it ends (and LeakSanitizer sees anything that was not). The user's display
// is forgotten first: tests start their own.
#include "runtime/Object.h"
#include "support/NoUserDisplay.h"
#include "support/SystemGLDrivers.h"

#include <gtest/gtest.h>

namespace {

class ReleaseStackFlusher : public ::testing::EmptyTestEventListener
{
public:
    void OnTestStart(const ::testing::TestInfo&) override { level_ = vanta::ReleaseStackLevel(); }
    void OnTestEnd(const ::testing::TestInfo&) override { vanta::FlushReleaseStack(level_); }

private:
    int level_ = 0;
};

} // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    vanta::test::ForgetUserDisplay();
    vanta::test::KeepSystemGLDriversLoaded();
    vanta::InitRuntimeCore();
    ::testing::UnitTest::GetInstance()->listeners().Append(new ReleaseStackFlusher);
    return RUN_ALL_TESTS();
}
