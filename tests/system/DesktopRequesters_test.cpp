// Requesters of the desktop host driver without a real display: the file choosers through a fake zenity
// placed first on PATH (it records its arguments and prints a prepared answer), and the console versions
// the driver falls back to when there is no helper or no display. Each case runs the probe program with
// its own environment and standard input.
#include "support/Subprocess.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace vanta {
namespace {

namespace fs = std::filesystem;

constexpr const char* fakeZenity = R"(#!/bin/sh
: > "$FAKE_ZENITY_LOG"
for argument in "$@"; do
    printf '%s\n' "$argument" >> "$FAKE_ZENITY_LOG"
done
if [ -n "$FAKE_ZENITY_ANSWER" ]; then
    printf '%s\n' "$FAKE_ZENITY_ANSWER"
fi
exit "${FAKE_ZENITY_STATUS:-0}"
)";

// Sets an environment variable for the rest of a test and puts the old value back afterwards.
class ScopedEnvironment
{
public:
    ~ScopedEnvironment()
    {
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
            if (it->second)
                ::setenv(it->first.c_str(), it->second->c_str(), 1);
            else
                ::unsetenv(it->first.c_str());
        }
    }
    void Set(const std::string& name, const std::optional<std::string>& value)
    {
        const char* old = std::getenv(name.c_str());
        saved_.emplace_back(name, old != nullptr ? std::optional<std::string>(old) : std::nullopt);
        if (value)
            ::setenv(name.c_str(), value->c_str(), 1);
        else
            ::unsetenv(name.c_str());
    }

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

class DesktopRequestersTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "vanta-zenity-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        directory_ = pattern;
        fs::create_directory(directory_ / "bin");
        fs::create_directory(directory_ / "empty");
        const fs::path script = directory_ / "bin" / "zenity";
        std::ofstream(script) << fakeZenity;
        fs::permissions(script, fs::perms::owner_all);
        log_ = directory_ / "arguments";
        environment_.Set("FAKE_ZENITY_LOG", log_.string());
        environment_.Set("FAKE_ZENITY_ANSWER", std::nullopt);
        environment_.Set("FAKE_ZENITY_STATUS", std::nullopt);
        environment_.Set("WAYLAND_DISPLAY", std::nullopt);
        environment_.Set("SDL_VIDEODRIVER", std::nullopt);
    }
    void TearDown() override { fs::remove_all(directory_); }

    // The fake helper first on PATH and a display named (the fake needs none).
    void WithHelper(const std::string& answer = "", int status = 0)
    {
        const char* path = std::getenv("PATH");
        environment_.Set("PATH", (directory_ / "bin").string() + ":" + (path != nullptr ? path : "/usr/bin:/bin"));
        environment_.Set("DISPLAY", ":97");
        environment_.Set("FAKE_ZENITY_ANSWER", answer);
        environment_.Set("FAKE_ZENITY_STATUS", std::to_string(status));
    }

    test::ProcessResult Probe(const std::vector<std::string>& arguments, const std::string& input = {})
    {
        const fs::path probe = fs::canonical("/proc/self/exe").parent_path() / "system_desktop_probe";
        std::vector<std::string> argv{probe.string()};
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        return test::RunProcess(argv, ".", input);
    }

    // The arguments the fake helper was given, or nothing when it never ran.
    std::optional<std::vector<std::string>> HelperArguments() const
    {
        std::ifstream in(log_);
        if (!in) return std::nullopt;
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }

    fs::path directory_;
    fs::path log_;
    ScopedEnvironment environment_;
};

using Arguments = std::vector<std::string>;

TEST_F(DesktopRequestersTest, OpenDialogGetsTitleInitialPathAndOneFilterPerGroup)
{
    WithHelper("/home/me/pic.png");
    const auto result = Probe({"file", "Pick a picture", "Images:png,jpg;Text:txt", "0", "C:\\data/pic.png"});
    EXPECT_EQ(result.out, "=[/home/me/pic.png]");
    EXPECT_EQ(HelperArguments(), (Arguments{"--file-selection", "--title=Pick a picture", "--filename=C:/data/pic.png",
                                            "--file-filter=Images | *.png *.jpg", "--file-filter=Text | *.txt"}));
}

TEST_F(DesktopRequestersTest, SaveDialogConfirmsOverwritingAndABareListIsDescribedAsFiles)
{
    WithHelper("/tmp/out.png");
    const auto result = Probe({"file", "Save as", "png", "1", "/tmp/old.png"});
    EXPECT_EQ(result.out, "=[/tmp/out.png]");
    EXPECT_EQ(HelperArguments(), (Arguments{"--file-selection", "--title=Save as", "--save", "--confirm-overwrite",
                                            "--filename=/tmp/old.png", "--file-filter=Files | *.png"}));
}

TEST_F(DesktopRequestersTest, EmptyTitleListAndPathAreLeftOut)
{
    WithHelper("/x");
    EXPECT_EQ(Probe({"file", "", "", "0", ""}).out, "=[/x]");
    EXPECT_EQ(HelperArguments(), (Arguments{"--file-selection"}));
}

TEST_F(DesktopRequestersTest, EightBitTitlesBecomeUtf8AndPathsKeepTheirBytes)
{
    WithHelper("/tmp/caf\xC3\xA9.png");
    const auto result = Probe({"file", "Photo d'\xE9t\xE9", "", "0", "/tmp/\xC3\xA9"});
    EXPECT_EQ(result.out, "=[/tmp/caf\xC3\xA9.png]");
    EXPECT_EQ(HelperArguments(),
              (Arguments{"--file-selection", "--title=Photo d'\xC3\xA9t\xC3\xA9", "--filename=/tmp/\xC3\xA9"}));
}

TEST_F(DesktopRequestersTest, CancelledOrFailedDialogsGiveTheEmptyStringWithoutAskingTheConsole)
{
    WithHelper("", 1);
    EXPECT_EQ(Probe({"file", "t", "png", "0", "/tmp"}, "typed\n").out, "=[]");
    WithHelper("half an answer", 255);
    EXPECT_EQ(Probe({"file", "t", "png", "0", "/tmp"}, "typed\n").out, "=[]");
    WithHelper("", 1);
    EXPECT_EQ(Probe({"folder", "t", "/tmp"}, "typed\n").out, "=[]");
}

TEST_F(DesktopRequestersTest, FolderDialog)
{
    WithHelper("/srv/data");
    EXPECT_EQ(Probe({"folder", "Where", "/tmp/start"}).out, "=[/srv/data]");
    EXPECT_EQ(HelperArguments(),
              (Arguments{"--file-selection", "--directory", "--title=Where", "--filename=/tmp/start"}));
}

TEST_F(DesktopRequestersTest, WithoutAHelperTheConsoleIsAsked)
{
    environment_.Set("PATH", (directory_ / "empty").string());
    environment_.Set("DISPLAY", ":97");
    EXPECT_EQ(Probe({"file", "t", "png", "0", "/tmp"}, "/tmp/typed.png\n").out, "Enter a filename:=[/tmp/typed.png]");
    EXPECT_EQ(Probe({"folder", "t", "/tmp"}, "/srv\n").out, "Enter a directory name:=[/srv]");
}

TEST_F(DesktopRequestersTest, WithoutADisplayTheConsoleIsAskedAndTheHelperNeverRuns)
{
    WithHelper("/never");
    environment_.Set("DISPLAY", std::nullopt);
    EXPECT_EQ(Probe({"file", "t", "png", "1", "/tmp"}, "/tmp/typed.png\n").out, "Enter a filename:=[/tmp/typed.png]");
    EXPECT_EQ(Probe({"folder", "t", "/tmp"}, "/srv\n").out, "Enter a directory name:=[/srv]");
    EXPECT_FALSE(HelperArguments().has_value());
}

TEST_F(DesktopRequestersTest, WithoutADisplayMessageBoxesBecomeConsoleQuestions)
{
    environment_.Set("DISPLAY", std::nullopt);
    EXPECT_EQ(Probe({"notice", "Hello"}).out, "Hello\r\n=");
    EXPECT_EQ(Probe({"okcancel", "Go on"}, "yes\n").out, "Go on (Yes/No)?=1");
    EXPECT_EQ(Probe({"okcancel", "Go on"}, "no\n").out, "Go on (Yes/No)?=0");
    EXPECT_EQ(Probe({"yesnocancel", "Save"}, "N\n").out, "Save (Yes/No/Cancel)?=0");
    EXPECT_EQ(Probe({"yesnocancel", "Save"}, "\n").out, "Save (Yes/No/Cancel)?=-1");
}

} // namespace
} // namespace vanta
