// vanta-play's player: runs a game written in Lua in the runtime's own loop, with the developer console
// over it, reload on save and an error screen.
//
// The frame convention (docs/lua-api.md): the game's `main.lua` runs once after the graphics open (and
// again at every reload, in a fresh state); then the global `frame(n)` is called once per frame, n = 1,
// 2, ..., the back buffer cleared before each call and presented after it at the mode's rate
// (`FlipGraphics`). `frame` answering false ends the game. A game without `frame` shows its error.
//
// An error (at load or in a frame) shows the error screen and is written to standard error; saving a
// watched file or the reload key loads the game again, Escape quits with status 1. A frame that runs for
// more than a second is stopped by holding Escape for a second or pressing the console key.
//
// Builds on the script engine and the runtime's bindings, the graphics module, the console and the
// folder watcher. The console's "$lua CODE" runs CODE in the game's state and prints its results (or its
// error) as console lines and on standard output; "$reload" reloads. The graphics driver and host driver are whatever
// is current (the module sequence's, or a test's). Main thread only.
#pragma once

#include "ErrorScreen.h"
#include "FolderWatcher.h"
#include "script/ScriptEngine.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

namespace vanta::play {

// Exit statuses of `GamePlayer::Run`.
inline constexpr int PLAY_ENDED = 0;   // `frame` answered false, or the frame limit was reached
inline constexpr int PLAY_FAILED = 1;  // the game was left on its error screen, or the screenshot failed
inline constexpr int PLAY_NO_GAME = 2; // no main.lua (or .lua file) at the path given

// Defaults of the options.
inline constexpr std::int64_t PLAY_MEMORY_LIMIT = std::int64_t{256} << 20;

struct PlayOptions
{
    std::string game;                             // a folder with main.lua, or one .lua file
    std::int32_t consoleKey = 0x70;               // VK_F1: shows and hides the console
    std::int32_t reloadKey = 0x74;                // VK_F5: reloads the game
    std::int64_t memoryLimit = PLAY_MEMORY_LIMIT; // bytes the game's state may hold (0: no limit)
    std::int32_t width = 640;                     // the graphics mode the game starts in
    std::int32_t height = 480;
    std::int32_t rate = 60;  // with SYNC_ flags ORed in (SYNC_NONE: unpaced)
    std::int32_t frames = 0; // end after this many frames (0: no limit)
    std::string screenshot;  // a PNG of the last frame drawn, when not empty
    bool watch = true;       // reload when a watched file is saved
};

class GamePlayer
{
public:
    explicit GamePlayer(PlayOptions options);
    ~GamePlayer();
    GamePlayer(const GamePlayer&) = delete;
    GamePlayer& operator=(const GamePlayer&) = delete;

    // Opens the graphics and the console, plays until the game ends and closes them again; answers the
    // exit status (`PLAY_`). Throws what the graphics module throws when the mode cannot be opened.
    int Run();

    // The game's engine (a new state at every load).
    TScriptEngine& Engine() { return *engine_; }

    // The main script's path; empty when the game path names none.
    const std::filesystem::path& MainScript() const { return main_; }

private:
    void Load();
    void Fail(const std::string& message, const std::string& traceback);
    bool RunFrame(std::int32_t number, bool& ended);
    void UpdateDeveloperConsole();
    bool CheckRunaway();
    void EvaluateInConsole(const Ref<String>& code);

    PlayOptions options_;
    std::filesystem::path folder_;
    std::filesystem::path main_;
    Ref<TScriptEngine> engine_;
    std::unique_ptr<FolderWatcher> watcher_;
    ErrorScreen errorScreen_;
    bool failed_ = false;
    std::int32_t frame_ = 0;
    std::chrono::steady_clock::time_point callStart_;   // when the current call into the game began
    std::chrono::steady_clock::time_point lastPump_;    // when a runaway frame last pumped the messages
    std::chrono::steady_clock::time_point escapeSince_; // when Escape was first seen down in a runaway frame
    bool escapeHeld_ = false;
};

} // namespace vanta::play
