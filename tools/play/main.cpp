// vanta-play: plays a game written in Lua.
//
//     vanta-play [options] GAME
//
// GAME is a folder holding main.lua, or one .lua file. The game's script sees the runtime's functions
// (docs/lua-api.md) and the demo game's media as "incbin::" files. Options:
//     --console-key KEY   the key that shows and hides the developer console (default F1; a name such
//                         as F2 or OEM_3, or a virtual-key number)
//     --memory MB         the most the game's Lua state may hold (default 256; 0: no limit)
//     --size WxH          the graphics mode the game starts in (default 640x480)
//     --unpaced           present frames as fast as they come (no 60 Hz pacing)
//     --frames N          end after N frames (for scripts and benchmarks)
//     --screenshot FILE   save the last frame drawn as a PNG
//     --no-watch          do not reload when the game's files are saved
//     --version           prints the runtime's version
//
// Exit status: 0 when the game ended (its `frame` answered false, or --frames ran out), 1 when it was
// left on the error screen with Escape (each error is also written to standard error), 2 for a usage
// error or a missing game.
#include "GamePlayer.h"
#include "embedded/GameMedia.h"
#include "graphics/Graphics.h"
#include "runtime/EmbeddedFile.h"
#include "runtime/Error.h"
#include "runtime/Startup.h"
#include "runtime/Version.h"
#include "startup/ModuleSequence.h"
#include "system/Keys.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

namespace {

using namespace vanta;

int Usage(const char* problem)
{
    std::fprintf(stderr,
                 "vanta-play: %s\nusage: vanta-play [--console-key KEY] [--memory MB] [--size WxH] [--unpaced] "
                 "[--frames N] [--screenshot FILE.png] [--no-watch] GAME\n",
                 problem);
    return play::PLAY_NO_GAME;
}

bool ReadNumber(std::string_view text, std::int64_t& value, std::int64_t least, std::int64_t most)
{
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && error == std::errc() && end == text.data() + text.size() && value >= least && value <= most;
}

// A key by its virtual-key name without "VK_" (F1 ... F24, OEM_3, SPACE, ...), a letter or digit, or a number.
bool ReadKey(std::string_view text, std::int32_t& key)
{
    struct Named
    {
        const char* name;
        int code;
    };
    static constexpr Named NAMES[] = {
        {"TAB", VK_TAB},       {"RETURN", VK_RETURN},   {"PAUSE", VK_PAUSE}, {"SPACE", VK_SPACE},
        {"INSERT", VK_INSERT}, {"DELETE", VK_DELETE},   {"HOME", VK_HOME},   {"END", VK_END},
        {"OEM_1", VK_OEM_1},   {"OEM_2", VK_OEM_2},     {"OEM_3", VK_OEM_3}, {"OEM_4", VK_OEM_4},
        {"OEM_5", VK_OEM_5},   {"OEM_6", VK_OEM_6},     {"OEM_7", VK_OEM_7}, {"OEM_102", VK_OEM_102},
        {"SCROLL", VK_SCROLL}, {"CAPITAL", VK_CAPITAL}, {"APPS", VK_APPS},   {"PRIOR", VK_PRIOR},
    };
    if (text.starts_with("VK_")) text.remove_prefix(3);
    std::int64_t number = 0;
    if (text.size() >= 2 && text[0] == 'F' && ReadNumber(text.substr(1), number, 1, 24)) {
        key = VK_F1 + static_cast<std::int32_t>(number) - 1;
        return true;
    }
    if (text.size() == 1 && ((text[0] >= 'A' && text[0] <= 'Z') || (text[0] >= '0' && text[0] <= '9'))) {
        key = static_cast<unsigned char>(text[0]);
        return true;
    }
    for (const Named& named : NAMES) {
        if (text == named.name) {
            key = named.code;
            return true;
        }
    }
    if (!ReadNumber(text, number, 1, 255)) return false;
    key = static_cast<std::int32_t>(number);
    return true;
}

// The options, or false with the usage error's status in `status`.
bool ReadOptions(int argc, char** argv, play::PlayOptions& options, int& status)
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        const bool takesValue = argument == "--console-key" || argument == "--memory" || argument == "--size" ||
                                argument == "--frames" || argument == "--screenshot";
        if (takesValue && i + 1 == argc) {
            status = Usage("an option lacks its value");
            return false;
        }
        std::int64_t number = 0;
        if (argument == "--console-key") {
            if (!ReadKey(argv[++i], options.consoleKey)) {
                status = Usage("--console-key takes a key name (F1, OEM_3, ...) or a virtual-key number");
                return false;
            }
        } else if (argument == "--memory") {
            if (!ReadNumber(argv[++i], number, 0, 1 << 20)) {
                status = Usage("--memory takes megabytes (0: no limit)");
                return false;
            }
            options.memoryLimit = number << 20;
        } else if (argument == "--size") {
            const std::string_view size = argv[++i];
            const std::size_t x = size.find('x');
            std::int64_t width = 0, height = 0;
            if (x == std::string_view::npos || !ReadNumber(size.substr(0, x), width, 16, 8192) ||
                !ReadNumber(size.substr(x + 1), height, 16, 8192)) {
                status = Usage("--size takes WIDTHxHEIGHT");
                return false;
            }
            options.width = static_cast<std::int32_t>(width);
            options.height = static_cast<std::int32_t>(height);
        } else if (argument == "--frames") {
            if (!ReadNumber(argv[++i], number, 1, INT32_MAX)) {
                status = Usage("--frames takes a frame count of at least 1");
                return false;
            }
            options.frames = static_cast<std::int32_t>(number);
        } else if (argument == "--screenshot") {
            options.screenshot = argv[++i];
        } else if (argument == "--unpaced") {
            options.rate = 60 | SYNC_NONE;
        } else if (argument == "--no-watch") {
            options.watch = false;
        } else if (argument.starts_with("--") || !options.game.empty()) {
            status = Usage("unexpected argument");
            return false;
        } else {
            options.game = argv[i];
        }
    }
    if (options.game.empty()) {
        status = Usage("no game given");
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::puts("vanta-play " VANTAMAX_VERSION);
        return 0;
    }
    play::PlayOptions options;
    int status = 0;
    if (!ReadOptions(argc, argv, options, status)) return status;
    InstallCrashHandlers();
    try {
        RunModuleInitialisers();
        for (const EmbeddedBlock& block : embedded::GameMedia())
            EmbeddedFileAdd(block);
        SetProgramTitle("vanta-play"_s);
        play::GamePlayer player(options);
        status = player.Run();
    } catch (const Exception& e) {
        HandleUncaughtException(e.Thrown());
    }
    std::fflush(nullptr);
    return status;
}
