// The SDK as somebody outside this repository meets it: the install tree (library, headers, CMake and
// pkg-config packages, tools, fonts, docs), the starter template copied to a folder of its own and built
// with find_package against that tree alone, then played under Xvfb with xdotool's keys and read back; a
// one-file program compiled by hand with pkg-config; and the .deb, listed, unpacked and built against.
#include "support/Subprocess.h"
#include "support/TempFolder.h"
#include "support/VirtualDisplay.h"
#include "support/X11Tools.h"

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

namespace vanta {
namespace {

using test::Xdotool;

using namespace std::chrono_literals;
namespace fs = std::filesystem;

constexpr const char* STARTER_TITLE = "VantaMax Starter";

std::string Quote(const std::string& text)
{
    std::string quoted = "'";
    for (const char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// Runs a shell command line in `directory`.
test::ProcessResult Shell(const std::string& line, const std::string& directory)
{
    return test::RunProcess({"/bin/sh", "-c", line}, directory);
}

std::string Describe(const test::ProcessResult& result)
{
    return "status " + std::to_string(result.status) + "\n" + result.out + result.err;
}

std::string ReadFile(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// The paths of this source and build tree, which nothing a user's build sees may name.
std::vector<std::string> TreePaths()
{
    return {fs::weakly_canonical(VANTA_SOURCE_DIR).string(), fs::weakly_canonical(VANTA_BUILD_DIR).string()};
}

// Fails the test for every file among `files` that names the source or build tree.
void ExpectNoTreePathIn(const std::vector<fs::path>& files)
{
    for (const fs::path& file : files) {
        ASSERT_TRUE(fs::exists(file)) << file;
        const std::string text = ReadFile(file);
        for (const std::string& tree : TreePaths())
            EXPECT_EQ(text.find(tree), std::string::npos) << file << " names " << tree;
    }
}

// Every file under `root` whose extension is one of `extensions`.
std::vector<fs::path> FilesUnder(const fs::path& root, const std::vector<std::string>& extensions)
{
    std::vector<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (!entry.is_regular_file()) continue;
        for (const std::string& extension : extensions) {
            if (entry.path().extension() == extension) files.push_back(entry.path());
        }
    }
    return files;
}

// Copies the starter template to `folder`/starter, configures it with find_package against `prefix`
// alone, checks that no path of this tree reached its build, and builds it. Answers the program's path,
// or an empty text after a failure.
std::string BuildStarter(const test::TempFolder& folder, const fs::path& prefix)
{
    const fs::path starter = folder / "starter";
    fs::copy(fs::path(VANTA_SOURCE_DIR) / "templates" / "starter", starter, fs::copy_options::recursive);
    const fs::path build = starter / "build";
    const test::ProcessResult configure =
        test::RunProcess({VANTA_CMAKE, "-S", starter.string(), "-B", build.string(), "-DCMAKE_BUILD_TYPE=Release",
                          "-DCMAKE_PREFIX_PATH=" + prefix.string(), "-DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF",
                          "-DCMAKE_FIND_USE_SYSTEM_PACKAGE_REGISTRY=OFF", "-DCMAKE_EXPORT_COMPILE_COMMANDS=ON"},
                         starter.string());
    EXPECT_EQ(configure.status, 0) << Describe(configure);
    if (configure.status != 0) return {};
    const std::string cache = ReadFile(build / "CMakeCache.txt");
    EXPECT_NE(cache.find("VantaMax_DIR:PATH=" + (prefix / "lib" / "cmake" / "VantaMax").string()), std::string::npos)
        << "the package came from somewhere else than " << prefix;
    ExpectNoTreePathIn({build / "CMakeCache.txt", build / "compile_commands.json",
                        build / "CMakeFiles" / "starter.dir" / "flags.make",
                        build / "CMakeFiles" / "starter.dir" / "link.txt"});
    const test::ProcessResult make = test::RunProcess({VANTA_CMAKE, "--build", build.string()}, starter.string());
    EXPECT_EQ(make.status, 0) << Describe(make);
    if (make.status != 0) return {};
    return (build / "starter").string();
}

// The starter running on the test's display; killed by the destructor if it is still running.
class StarterProcess
{
public:
    explicit StarterProcess(const std::string& program) : pid_(test::StartProgram({program})) {}
    ~StarterProcess()
    {
        if (pid_ > 0 && ExitStatus(0ms) == NOT_YET) {
            ::kill(pid_, SIGKILL);
            ExitStatus(5s);
        }
    }
    StarterProcess(const StarterProcess&) = delete;
    StarterProcess& operator=(const StarterProcess&) = delete;

    static constexpr int NOT_YET = -1000;

    // The exit status once the program ended within `limit` (-1 when a signal ended it), else NOT_YET.
    int ExitStatus(std::chrono::milliseconds limit)
    {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (status_ == NOT_YET) {
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            } else if (std::chrono::steady_clock::now() >= deadline) {
                break;
            } else {
                std::this_thread::sleep_for(20ms);
            }
        }
        return status_;
    }

    bool Started() const { return pid_ > 0; }

private:
    pid_t pid_;
    int status_ = NOT_YET;
};

// What the starter's window shows.
struct Picture
{
    int width = 0, height = 0;
    std::vector<unsigned long> pixels;
    unsigned long At(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)] & 0xFFFFFF; }
};

bool Near(unsigned long pixel, unsigned long rgb)
{
    for (int shift = 0; shift < 24; shift += 8) {
        const long a = static_cast<long>(pixel >> shift & 0xFF), b = static_cast<long>(rgb >> shift & 0xFF);
        if (a - b > 8 || b - a > 8) return false;
    }
    return true;
}

constexpr unsigned long SHIP = 0xFFD040, BAND = 0x1E285A, WHITE = 0xFFFFFF;

// The middle of the ship's pixels on row `y`, or -1 when the row holds none.
int ShipCentreOnRow(const Picture& picture, int y)
{
    int first = -1, last = -1;
    for (int x = 0; x < picture.width; ++x) {
        if (!Near(picture.At(x, y), SHIP)) continue;
        if (first < 0) first = x;
        last = x;
    }
    return first < 0 ? -1 : (first + last) / 2;
}

// Captures the window until `ready` holds for the picture, up to `limit`; false when it never did.
template <typename Ready>
bool CaptureWhen(unsigned long window, Picture& picture, Ready ready, std::chrono::milliseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    do {
        if (test::CaptureWindow(window, picture.width, picture.height, picture.pixels) && picture.width >= 640 &&
            picture.height >= 480 && ready(picture))
            return true;
        std::this_thread::sleep_for(50ms);
    } while (std::chrono::steady_clock::now() < deadline);
    return false;
}

class Sdk : public ::testing::Test
{
protected:
    // Installs the build into a temporary prefix once for every test of the suite.
    static void SetUpTestSuite()
    {
        prefixFolder_ = std::make_unique<test::TempFolder>();
        prefix_ = prefixFolder_->Path("prefix");
        installed_ = test::RunProcess({VANTA_CMAKE, "--install", VANTA_BUILD_DIR, "--prefix", prefix_.string()},
                                      VANTA_BUILD_DIR);
    }
    static void TearDownTestSuite() { prefixFolder_.reset(); }

    void SetUp() override { ASSERT_EQ(installed_.status, 0) << Describe(installed_); }

    static std::unique_ptr<test::TempFolder> prefixFolder_;
    static fs::path prefix_;
    static test::ProcessResult installed_;
};

std::unique_ptr<test::TempFolder> Sdk::prefixFolder_;
fs::path Sdk::prefix_;
test::ProcessResult Sdk::installed_;

TEST_F(Sdk, TheInstallTreeHoldsEveryPartOfTheSdkAndNamesNoPathOfTheSourceOrBuildTree)
{
    for (const char* file :
         {"lib/libvantamax.a", "lib/cmake/VantaMax/VantaMaxConfig.cmake",
          "lib/cmake/VantaMax/VantaMaxConfigVersion.cmake", "lib/cmake/VantaMax/VantaMaxTargets.cmake",
          "lib/pkgconfig/vantamax.pc", "include/vantamax/graphics/Draw.h", "include/vantamax/runtime/Version.h",
          "include/vantamax/startup/ModuleSequence.h", "bin/vanta-asset", "bin/vanta-script", "bin/vanta-play",
          "share/vantamax/fonts/vantafont.bin", "share/vantamax/fonts/Vanta.fon",
          "share/vantamax/templates/starter/main.cpp", "share/doc/vantamax/getting-started.md"})
        EXPECT_TRUE(fs::is_regular_file(prefix_ / file)) << file;
    // Internals stay out, but for the libjpeg glue that the JPEG loader's header includes.
    for (const auto& entry : fs::recursive_directory_iterator(prefix_ / "include")) {
        if (entry.path().string().find("/detail/") != std::string::npos && entry.is_regular_file()) {
            EXPECT_EQ(entry.path().filename(), "JPEGGlue.h") << entry.path();
        }
    }
    ExpectNoTreePathIn(FilesUnder(prefix_, {".cmake", ".pc", ".h", ".txt"}));

    // One version everywhere.
    for (const char* tool : {"vanta-asset", "vanta-script", "vanta-play"}) {
        const test::ProcessResult version = test::RunProcess({(prefix_ / "bin" / tool).string(), "--version"}, "/");
        EXPECT_EQ(version.status, 0);
        EXPECT_EQ(version.out, std::string(tool) + " " VANTA_VERSION "\n");
    }
    EXPECT_NE(
        ReadFile(prefix_ / "include/vantamax/runtime/Version.h").find("#define VANTAMAX_VERSION \"" VANTA_VERSION "\""),
        std::string::npos);
    EXPECT_NE(ReadFile(prefix_ / "lib/cmake/VantaMax/VantaMaxConfigVersion.cmake")
                  .find("set(PACKAGE_VERSION \"" VANTA_VERSION "\")"),
              std::string::npos);
}

TEST_F(Sdk, TheStarterCopiedOutOfTheTreeBuildsWithFindPackageAndPlaysUnderXvfb)
{
    VANTA_REQUIRE_DISPLAY();
    if (test::FindProgram("xdotool").empty()) GTEST_SKIP() << "xdotool is not installed (package xdotool)";
    const test::TempFolder folder;
    const std::string program = BuildStarter(folder, prefix_);
    ASSERT_FALSE(program.empty());

    const auto start = std::chrono::steady_clock::now();
    StarterProcess starter(program);
    ASSERT_TRUE(starter.Started());
    unsigned long window = 0;
    for (auto deadline = start + 30s; window == 0 && std::chrono::steady_clock::now() < deadline;) {
        window = test::FindWindowByTitle(STARTER_TITLE);
        if (window == 0) std::this_thread::sleep_for(50ms);
    }
    ASSERT_NE(window, 0u) << "no window titled " << STARTER_TITLE;

    // The first frames: the ship in the middle, the band along the bottom and the help text on it.
    Picture picture;
    ASSERT_TRUE(CaptureWhen(
        window, picture, [](const Picture& p) { return Near(p.At(320, 240), SHIP); }, 20s))
        << "the ship never showed in the middle";
    EXPECT_TRUE(Near(picture.At(4, 404), BAND));
    int white = 0;
    for (int y = 436; y < 460; ++y)
        for (int x = 0; x < 640; ++x)
            white += Near(picture.At(x, y), WHITE) ? 1 : 0;
    EXPECT_GT(white, 200) << "no help text on the band";

    // Right held for a while moves the ship right by 4 pixels a frame.
    ASSERT_TRUE(Xdotool({"windowfocus", "--sync", std::to_string(window)}));
    ASSERT_TRUE(Xdotool({"keydown", "Right"}));
    std::this_thread::sleep_for(600ms);
    ASSERT_TRUE(Xdotool({"keyup", "Right"}));
    EXPECT_TRUE(CaptureWhen(
        window, picture, [](const Picture& p) { return ShipCentreOnRow(p, 240) > 360; }, 5s))
        << "the ship did not move right: its centre is at " << ShipCentreOnRow(picture, 240);
    EXPECT_FALSE(Near(picture.At(320, 240), SHIP)) << "the ship left a copy behind";

    // A few hundred frames (60 a second), then Escape ends the game normally.
    std::this_thread::sleep_until(start + 6s);
    EXPECT_EQ(starter.ExitStatus(0ms), StarterProcess::NOT_YET) << "the starter ended by itself";
    ASSERT_TRUE(Xdotool({"key", "Escape"}));
    EXPECT_EQ(starter.ExitStatus(15s), 0);
}

TEST_F(Sdk, AOneFileProgramCompiledByHandWithPkgConfigRuns)
{
    const test::TempFolder folder;
    fs::copy_file(VANTA_HELLO_SOURCE, folder / "hello.cpp");
    const std::string environment = "export PKG_CONFIG_PATH=" + Quote((prefix_ / "lib" / "pkgconfig").string()) + "; ";

    const test::ProcessResult version = Shell(environment + "pkg-config --modversion vantamax", folder / "");
    EXPECT_EQ(version.out, VANTA_VERSION "\n") << Describe(version);
    const test::ProcessResult flags = Shell(environment + "pkg-config --cflags --libs vantamax", folder / "");
    ASSERT_EQ(flags.status, 0) << Describe(flags);
    for (const std::string& tree : TreePaths())
        EXPECT_EQ(flags.out.find(tree), std::string::npos) << flags.out;

    const test::ProcessResult compile =
        Shell(environment + "c++ -std=c++20 hello.cpp -o hello $(pkg-config --cflags --libs vantamax)", folder / "");
    ASSERT_EQ(compile.status, 0) << Describe(compile);
    const test::ProcessResult run = test::RunProcess({folder / "hello"}, folder / "");
    EXPECT_EQ(run.status, 0) << Describe(run);
    EXPECT_EQ(run.out, VANTA_VERSION " 3x2 FF123456\n");
}

TEST_F(Sdk, TheDebListsTheSdkUnpacksIntoAFolderTheStarterBuildsAgainstAndDependsOnRealPackages)
{
    const test::TempFolder folder;
    const test::ProcessResult pack =
        test::RunProcess({VANTA_CPACK, "-G", "DEB", "--config", std::string(VANTA_BUILD_DIR) + "/CPackConfig.cmake",
                          "-B", folder / "deb"},
                         VANTA_BUILD_DIR);
    ASSERT_EQ(pack.status, 0) << Describe(pack);
    const std::string deb = folder / ("deb/vantamax-dev_" VANTA_VERSION "_amd64.deb");
    ASSERT_TRUE(fs::is_regular_file(deb)) << Describe(pack);

    const test::ProcessResult fields = test::RunProcess({"/usr/bin/dpkg-deb", "-f", deb, "Package", "Version"}, "/");
    EXPECT_EQ(fields.out, "Package: vantamax-dev\nVersion: " VANTA_VERSION "\n") << Describe(fields);
    const test::ProcessResult listing = test::RunProcess({"/usr/bin/dpkg-deb", "-c", deb}, "/");
    ASSERT_EQ(listing.status, 0) << Describe(listing);
    for (const char* file : {"./usr/lib/libvantamax.a", "./usr/include/vantamax/graphics/Draw.h",
                             "./usr/lib/cmake/VantaMax/VantaMaxConfig.cmake", "./usr/lib/pkgconfig/vantamax.pc",
                             "./usr/bin/vanta-asset", "./usr/share/vantamax/fonts/vantafont.bin"})
        EXPECT_NE(listing.out.find(std::string(file) + "\n"), std::string::npos) << file << " is not in the package";

    // Every dependency is a Debian package: installed here, or known to apt.
    const test::ProcessResult depends = test::RunProcess({"/usr/bin/dpkg-deb", "-f", deb, "Depends"}, "/");
    std::istringstream list(depends.out.substr(0, depends.out.find('\n')));
    int count = 0;
    for (std::string item; std::getline(list, item, ',');) {
        std::istringstream words(item);
        std::string name;
        words >> name;
        ++count;
        const test::ProcessResult known =
            Shell("dpkg-query -W " + Quote(name) + " || apt-cache show " + Quote(name), "/");
        EXPECT_EQ(known.status, 0) << name << " is no Debian package here";
    }
    EXPECT_GE(count, 5) << depends.out;

    const test::ProcessResult unpack = test::RunProcess({"/usr/bin/dpkg-deb", "-x", deb, folder / "root"}, "/");
    ASSERT_EQ(unpack.status, 0) << Describe(unpack);
    EXPECT_FALSE(BuildStarter(folder, fs::path(folder / "root") / "usr").empty());
}

} // namespace
} // namespace vanta
