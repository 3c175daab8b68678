// Console requesters of the base host driver, run in a child process with a given standard input.
#include "support/Subprocess.h"

#include <filesystem>

#include <gtest/gtest.h>

namespace vanta {
namespace {

test::ProcessResult Ask(const char* which, const std::string& input)
{
    const auto probe = std::filesystem::canonical("/proc/self/exe").parent_path() / "system_console_probe";
    return test::RunProcess({probe.string(), which}, ".", input);
}

TEST(ConsoleRequesters, NoticeWritesTheTextAndALineEnd)
{
    EXPECT_EQ(Ask("notice", "").out, "Hello\r\n");
}

TEST(ConsoleRequesters, OkCancelAcceptsAnythingStartingWithY)
{
    EXPECT_EQ(Ask("okcancel", "yes\n").out, "Go on (Yes/No)?=1");
    EXPECT_EQ(Ask("okcancel", "Y\n").out, "Go on (Yes/No)?=1");
    EXPECT_EQ(Ask("okcancel", "no\n").out, "Go on (Yes/No)?=0");
    EXPECT_EQ(Ask("okcancel", "").out, "Go on (Yes/No)?=0") << "end of input";
}

TEST(ConsoleRequesters, YesNoCancelAnswersOneZeroOrMinusOne)
{
    EXPECT_EQ(Ask("yesnocancel", "YES\n").out, "Save (Yes/No/Cancel)?=1");
    EXPECT_EQ(Ask("yesnocancel", "Yes\r\n").out, "Save (Yes/No/Cancel)?=1");
    EXPECT_EQ(Ask("yesnocancel", "n\n").out, "Save (Yes/No/Cancel)?=0");
    EXPECT_EQ(Ask("yesnocancel", "\n").out, "Save (Yes/No/Cancel)?=-1");
    EXPECT_EQ(Ask("yesnocancel", "maybe\n").out, "Save (Yes/No/Cancel)?=-1");
}

TEST(ConsoleRequesters, ChoosersReturnTheLineAsTyped)
{
    EXPECT_EQ(Ask("file", "/tmp/a file.png\n").out, "Enter a filename:=[/tmp/a file.png]");
    EXPECT_EQ(Ask("folder", "/home\r\n").out, "Enter a directory name:=[/home]");
    EXPECT_EQ(Ask("file", "").out, "Enter a filename:=[]");
}

} // namespace
} // namespace vanta
