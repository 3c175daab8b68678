// The module-initialisation sequence: complete, ordered, and harmless to run twice.
#include "game/ModuleSequence.h"
#include "runtime/Object.h"

#include <gtest/gtest.h>

namespace vanta {
namespace {

TEST(ModuleSequence, RunningItAgainDoesNothing)
{
    game::RunModuleInitialisers();
    const int level = ReleaseStackLevel();
    const std::int64_t inUse = MemoryInUse();
    game::RunModuleInitialisers();
    EXPECT_EQ(ReleaseStackLevel(), level) << "a second run makes no objects";
    EXPECT_EQ(MemoryInUse(), inUse);
}

} // namespace
} // namespace vanta
