// Standard input and output, run in a child process: UTF-8 lines out, lines in, and the end of input.
#include "support/Subprocess.h"

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

namespace vanta {
namespace {

namespace fs = std::filesystem;

test::ProcessResult RunProbe(const std::string& mode, const std::string& input = {})
{
    const std::string probe = fs::canonical("/proc/self/exe").parent_path() / "standard_io_probe";
    return test::RunProcess({probe, mode}, ".", input);
}

TEST(StandardIO, PrintWritesUtf8LinesEndingInCarriageReturnLineFeed)
{
    const test::ProcessResult result = RunProbe("print");
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "plain\r\n\xC3\xA9t\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80\r\n\r\n");
}

TEST(StandardIO, InputPromptsAndReadsUtf8LinesUntilInputRunsOut)
{
    const test::ProcessResult result = RunProbe("echo", "one\r\n\xC3\xA9t\xC3\xA9\n\nlast");
    EXPECT_EQ(result.out, "> [one]\r\n> [\xC3\xA9t\xC3\xA9]\r\n> []\r\n> [last]\r\n> ")
        << "a last line without a line feed is still read";
    EXPECT_EQ(result.status, 255);
    EXPECT_EQ(result.err, "Error reading from stream\n");
}

TEST(StandardIO, InputOnAnEmptyStandardInputFailsAtOnce)
{
    const test::ProcessResult result = RunProbe("echo");
    EXPECT_EQ(result.out, "> ");
    EXPECT_EQ(result.status, 255);
    EXPECT_EQ(result.err, "Error reading from stream\n");
}

TEST(StandardIO, TheStreamHasNoPositionAndNeverReportsItsEnd)
{
    const test::ProcessResult result = RunProbe("stream");
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "pos=-1 size=0 eof=0 encoding=2\n");
}

} // namespace
} // namespace vanta
