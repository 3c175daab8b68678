// Process entry: start-up globals, the working directory, and the crash and uncaught-error exits.
#include "support/Subprocess.h"

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

namespace vanta {
namespace {

namespace fs = std::filesystem;

std::string ProbePath()
{
    return fs::canonical("/proc/self/exe").parent_path() / "startup_probe";
}

TEST(Startup, RecordsTheGlobalsAndMovesToTheExecutablesDirectory)
{
    const fs::path elsewhere = fs::temp_directory_path();
    const test::ProcessResult result = test::RunProcess({ProbePath(), "first", "second arg"}, elsewhere.string());
    ASSERT_EQ(result.status, 0) << result.err;
    const fs::path probe = ProbePath();
    EXPECT_NE(result.out.find("start=" + fs::canonical(elsewhere).string() + "\n"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("dir=" + probe.parent_path().string() + "\n"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("path=" + probe.string() + "\n"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("cwd=" + probe.parent_path().string() + "\n"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("title=VantaMax Application\n"), std::string::npos);
    EXPECT_NE(result.out.find("argc=3\narg0=" + probe.string() + "\narg1=first\narg2=second arg\n"), std::string::npos)
        << result.out;
}

TEST(Startup, WithoutArgumentsTheOnlyArgumentIsTheProgramPath)
{
    const test::ProcessResult result = test::RunProcess({ProbePath()}, ".");
    ASSERT_EQ(result.status, 0);
    EXPECT_NE(result.out.find("argc=1\narg0="), std::string::npos) << result.out;
}

TEST(Startup, AnUncaughtErrorEndsWithItsTextAndStatusMinusOne)
{
    const test::ProcessResult result = test::RunProcess({ProbePath(), "throw"}, ".");
    EXPECT_EQ(result.status, 255);
    EXPECT_EQ(result.err, "probe error\n");
}

TEST(Startup, CrashesEndWithTheirTextAndStatusMinusOne)
{
    const test::ProcessResult segv = test::RunProcess({ProbePath(), "crash"}, ".");
    EXPECT_EQ(segv.status, 255);
    EXPECT_EQ(segv.err, "Received Signal\n");
    const test::ProcessResult fpe = test::RunProcess({ProbePath(), "fpe"}, ".");
    EXPECT_EQ(fpe.status, 255);
    EXPECT_EQ(fpe.err, "Unhandled Memory Exception Error\n");
}

} // namespace
} // namespace vanta
