// vanta-scripted-scene: opens a 640 x 480 window and lets a Lua script draw it, one call of the script's
// `frame` function per frame.
//
//     vanta-scripted-scene [--frames N] [--screenshot FILE.png] SCRIPT
//
// The script's top level runs once after the window opens (it loads its pictures there, for example the
// game's own "incbin::DATAS/..." files, which this program carries); then `frame(n)` is called for
// n = 1, 2, ... with the back buffer cleared before each call. The scene ends when Escape is hit, when
// `frame` answers false, or after N frames (--frames, or the environment variable VANTA_SCENE_FRAMES).
// --screenshot saves the last frame drawn as a PNG before it is shown.
//
// Exit status: 0 when the scene ended, 1 on a script error ("error CODE: MESSAGE" on standard error) or
// when the screenshot cannot be written, 2 on a usage error. A runtime error that nothing handles ends
// the program the runtime's way (its text on standard error, status -1).
#include "SceneScript.h"
#include "embedded/GameMedia.h"
#include "graphics/Draw.h"
#include "graphics/Graphics.h"
#include "pixmap/loaders/PNGLoader.h"
#include "runtime/EmbeddedFile.h"
#include "runtime/Error.h"
#include "runtime/Startup.h"
#include "startup/ModuleSequence.h"
#include "system/HostDriver.h"
#include "system/Keys.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace {

using namespace vanta;

struct Options
{
    const char* script = nullptr;
    const char* screenshot = nullptr;
    std::int32_t frames = 0; // 0: no limit
};

int Usage(const char* problem)
{
    std::fprintf(stderr,
                 "vanta-scripted-scene: %s\nusage: vanta-scripted-scene [--frames N] [--screenshot FILE.png] SCRIPT\n",
                 problem);
    return 2;
}

// A frame count of at least 1; false for anything else.
bool ReadFrameCount(std::string_view text, std::int32_t& frames)
{
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), frames);
    return !text.empty() && error == std::errc() && end == text.data() + text.size() && frames >= 1;
}

// The options, or the usage error's status in `status`.
bool ReadOptions(int argc, char** argv, Options& options, int& status)
{
    if (const char* limit = std::getenv("VANTA_SCENE_FRAMES"); limit != nullptr && *limit != '\0') {
        if (!ReadFrameCount(limit, options.frames)) {
            status = Usage("VANTA_SCENE_FRAMES must be a frame count of at least 1");
            return false;
        }
    }
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--frames" || argument == "--screenshot") {
            if (i + 1 == argc) {
                status = Usage("an option lacks its value");
                return false;
            }
            const char* value = argv[++i];
            if (argument == "--screenshot") {
                options.screenshot = value;
            } else if (!ReadFrameCount(value, options.frames)) {
                status = Usage("--frames takes a frame count of at least 1");
                return false;
            }
        } else if (argument.starts_with("--") || options.script != nullptr) {
            status = Usage("unexpected argument");
            return false;
        } else {
            options.script = argv[i];
        }
    }
    if (options.script == nullptr) {
        status = Usage("no script given");
        return false;
    }
    return true;
}

bool SaveScreenshot(const char* path)
{
    const Ref<TPixmap> pixmap = GrabPixmap(0, 0, GraphicsWidth(), GraphicsHeight());
    if (SavePixmapPNG(pixmap, String::FromCString(path), 6) != 0) return true;
    std::fprintf(stderr, "vanta-scripted-scene: cannot write the screenshot %s\n", path);
    return false;
}

int RunScene(const Options& options)
{
    RunModuleInitialisers();
    for (const EmbeddedBlock& block : embedded::GameMedia())
        EmbeddedFileAdd(block);
    SetProgramTitle("VantaMax Scripted Scene"_s);

    const int level = ReleaseStackLevel();
    OpenGraphics(640, 480, 0, 60);
    int status = 0;
    {
        scene::SceneScript script;
        if (!script.Run(String::FromCString(options.script))) {
            std::fprintf(stderr, "%s\n", script.Error().c_str());
            status = 1;
        }
        FlushReleaseStack(level);
        ClearGraphics();
        for (std::int32_t frame = 1; status == 0; ++frame) {
            bool wantsToStop = false;
            if (!script.Frame(frame, wantsToStop)) {
                std::fprintf(stderr, "%s\n", script.Error().c_str());
                status = 1;
                break;
            }
            const bool last = wantsToStop || frame == options.frames || KeyHits(VK_ESCAPE) != 0;
            if (last && options.screenshot != nullptr && !SaveScreenshot(options.screenshot)) status = 1;
            FlipGraphics();
            ClearGraphics();
            FlushReleaseStack(level);
            if (last) break;
        }
    }
    // The script's images go while their driver frames can still be released with the graphics.
    FlushReleaseStack(level);
    CloseGraphics();
    return status;
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    int status = 0;
    if (!ReadOptions(argc, argv, options, status)) return status;
    InstallCrashHandlers();
    try {
        status = RunScene(options);
    } catch (const Exception& e) {
        HandleUncaughtException(e.Thrown());
    }
    std::fflush(nullptr);
    return status;
}
