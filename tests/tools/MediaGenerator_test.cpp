// vanta-media run as a program, as `make media` runs it: it writes every file the game and the console
// embed, plus the contact sheet, the same bytes on every run, and says what went wrong when it cannot.
#include "support/Subprocess.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

namespace vanta::test {
namespace {

namespace fs = std::filesystem;

std::string Contents(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Every file below `root`, by its path relative to it.
std::set<std::string> FilesBelow(const fs::path& root)
{
    std::set<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (entry.is_regular_file()) names.insert(fs::relative(entry.path(), root).generic_string());
    }
    return names;
}

class MediaGenerator : public ::testing::Test
{
protected:
    void TearDown() override { fs::remove_all(folder_); }

    const fs::path folder_ = fs::temp_directory_path() / ("vanta_media_test_" + std::to_string(::getpid()));
};

TEST_F(MediaGenerator, WritesEveryFileUnderItsNameWithTheSameBytesAsTheBuildMade)
{
    const ProcessResult run = RunProcess({MEDIA_TOOL, folder_.string()}, fs::temp_directory_path().string());
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find(folder_.string()), std::string::npos) << "it says where the files went";

    const std::set<std::string> expected = {
        "intro/logo-zelkor.jpg", "intro/intromusic.ogg", "intro/introtitre.jpg",   "intro/globeintro.png",
        "DATAS/herbe0.png",      "DATAS/herbe1.png",     "DATAS/herbe2.png",       "DATAS/herbe3.png",
        "DATAS/herbe4.png",      "DATAS/nuages0.png",    "DATAS/nuages1.png",      "DATAS/nuages2.png",
        "DATAS/nuages3.png",     "DATAS/nuages4.png",    "DATAS/barriere.png",     "DATAS/montagnes.png",
        "DATAS/fond.jpg",        "DATAS/lune.png",       "DATAS/music-level1.ogg", "DATAS/marcheur.png",
        "bakground.png",         "contact-sheet.png"};
    EXPECT_EQ(FilesBelow(folder_), expected);
    // Fixed seeds and no clock: this run and the build's own give the same bytes.
    for (const std::string& name : expected) {
        EXPECT_TRUE(Contents(folder_ / name) == Contents(fs::path(BUILD_MEDIA_DIR) / name)) << name;
    }
}

TEST_F(MediaGenerator, ExplainsItsUseWithoutADirectoryAndFailsOnOneItCannotMake)
{
    const ProcessResult usage = RunProcess({MEDIA_TOOL}, fs::temp_directory_path().string());
    EXPECT_EQ(usage.status, 2);
    EXPECT_EQ(usage.err, "usage: vanta-media OUTPUT-DIRECTORY\n");

    // A plain file where the directory should be.
    fs::create_directories(folder_);
    std::ofstream(folder_ / "taken") << "a file";
    const ProcessResult blocked = RunProcess({MEDIA_TOOL, (folder_ / "taken").string()}, folder_.string());
    EXPECT_EQ(blocked.status, 1);
    EXPECT_EQ(blocked.err.rfind("vanta-media: ", 0), 0u) << blocked.err;
    EXPECT_EQ(std::count(blocked.err.begin(), blocked.err.end(), '\n'), 1) << blocked.err;
    EXPECT_TRUE(blocked.out.empty());
}

} // namespace
} // namespace vanta::test
