// The player: the frame loop, loading and reloading, the error path and the console's Lua command.
#include "GamePlayer.h"

#include "console/Console.h"
#include "graphics/Draw.h"
#include "graphics/Graphics.h"
#include "graphics/ImageFont.h"
#include "graphics/detail/ModuleLinks.h"
#include "pixmap/loaders/PNGLoader.h"
#include "runtime/Error.h"
#include "runtime/Object.h"
#include "script/ScriptBindings.h"
#include "system/HostDriver.h"
#include "system/Keys.h"

#include <chrono>
#include <cstdio>
#include <system_error>
#include <utility>

namespace vanta::play {
namespace {

std::string Bytes(const Ref<String>& text)
{
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text->Length()));
    for (char16_t unit : text->View())
        bytes += static_cast<char>(unit & 0xFF);
    return bytes;
}

Ref<String> Text(const std::string& bytes)
{
    return String::FromBytes(bytes.data(), static_cast<std::int32_t>(bytes.size()));
}

// The drawing settings the console changes, put back after it drew so the game's next frame finds its own.
class DrawingStateGuard
{
public:
    DrawingStateGuard() : font_(GetTextFont()), alpha_(GetAlpha()), blend_(GetBlendMode()) { GetColor(r_, g_, b_); }
    ~DrawingStateGuard()
    {
        SetTextFont(font_);
        SetColor(r_, g_, b_);
        SetAlpha(alpha_);
        SetBlendMode(blend_);
    }
    DrawingStateGuard(const DrawingStateGuard&) = delete;
    DrawingStateGuard& operator=(const DrawingStateGuard&) = delete;

private:
    Ref<TImageFont> font_;
    float alpha_;
    std::int32_t blend_;
    std::int32_t r_ = 0, g_ = 0, b_ = 0;
};

} // namespace

GamePlayer::GamePlayer(PlayOptions options) : options_(std::move(options)), engine_(New<TScriptEngine>())
{
    std::error_code error;
    const std::filesystem::path game = std::filesystem::absolute(options_.game, error);
    if (std::filesystem::is_directory(game, error)) {
        folder_ = game;
        if (std::filesystem::is_regular_file(game / "main.lua", error)) main_ = game / "main.lua";
    } else if (game.extension() == ".lua" && std::filesystem::is_regular_file(game, error)) {
        folder_ = game.parent_path();
        main_ = game;
    }
}

GamePlayer::~GamePlayer()
{
    RegisterConsoleTextCommand("$lua"_s, nullptr);
    RegisterConsoleCommand("$reload"_s, nullptr);
}

void GamePlayer::Fail(const std::string& message, const std::string& traceback)
{
    failed_ = true;
    errorScreen_.Show(message, traceback);
    std::fprintf(stderr, "vanta-play: %s\n%s%s", message.c_str(), traceback.c_str(), traceback.empty() ? "" : "\n");
    std::fflush(stderr);
}

void GamePlayer::Load()
{
    failed_ = false;
    frame_ = 0;
    // The old state's handles go with it; images made in it are released here, while the graphics are open.
    engine_->Start();
    if (engine_->IsStarted() == 0) {
        Fail("the script engine did not start", "");
        return;
    }
    engine_->SetMemoryLimit(options_.memoryLimit);
    engine_->SetFileRoot(Text(folder_.string()));
    engine_->SetInterruptCheck([this] { return CheckRunaway(); });
    BindRuntime(*engine_);
    // A fresh game starts from the drawing state a graphics activation gives.
    detail::ResetDrawingState();
    SetTextFont(Null);
    callStart_ = std::chrono::steady_clock::now();
    if (engine_->RunScriptFile(Text(main_.string())) == 0) {
        Fail(Bytes(engine_->ErrorMessage()), Bytes(engine_->ErrorTraceback()));
    }
}

bool GamePlayer::RunFrame(std::int32_t number, bool& ended)
{
    engine_->ClearCall();
    engine_->AddNumberArg(number);
    callStart_ = std::chrono::steady_clock::now();
    escapeHeld_ = false;
    if (engine_->CallFunction("frame"_s, 1) == 0) {
        Fail(Bytes(engine_->ErrorMessage()), Bytes(engine_->ErrorTraceback()));
        return false;
    }
    ended = engine_->ResultKind() == SCRIPT_BOOLEAN && engine_->BooleanResult() == 0;
    return true;
}

bool GamePlayer::CheckRunaway()
{
    // Real time: the system clock reading only moves on when messages are pumped.
    const auto now = std::chrono::steady_clock::now();
    const auto second = std::chrono::seconds(1);
    // A frame that keeps within a second is never disturbed: its keys stay for the game to read.
    if (now - callStart_ < second) return false;
    if (now - lastPump_ >= std::chrono::milliseconds(50)) {
        lastPump_ = now;
        PumpMessages();
    }
    if (IsKeyDown(options_.consoleKey) != 0) return true;
    if (IsKeyDown(VK_ESCAPE) == 0) {
        escapeHeld_ = false;
        return false;
    }
    if (!escapeHeld_) {
        escapeHeld_ = true;
        escapeSince_ = now;
    }
    return now - escapeSince_ >= second;
}

void GamePlayer::EvaluateInConsole(const Ref<String>& code)
{
    std::vector<Ref<String>> results;
    callStart_ = std::chrono::steady_clock::now();
    // Each line goes to standard output as well, for scripts that drive the console.
    const auto print = [](const Ref<String>& line) {
        ConsoleAddLine(line->Length() != 0 ? line : Ref<String>(" "_s));
        std::printf("%s\n", Bytes(line).c_str());
        std::fflush(stdout);
    };
    if (engine_->IsStarted() == 0 || engine_->Evaluate(code, results) == 0) {
        print(Concat("error: "_s, engine_->ErrorMessage()));
        return;
    }
    for (const Ref<String>& result : results)
        print(result);
}

void GamePlayer::UpdateDeveloperConsole()
{
    // A retracted console draws nothing and must not touch the game's drawing: it is only woken by its key.
    if (ConsoleRetracted() != 0) {
        if (KeyHits(options_.consoleKey) == 0) return;
        SetConsoleShown(1);
    }
    DrawingStateGuard guard;
    UpdateConsole(options_.consoleKey);
}

int GamePlayer::Run()
{
    if (main_.empty()) {
        std::fprintf(stderr, "vanta-play: no game at %s (a folder with main.lua, or a .lua file)\n",
                     options_.game.c_str());
        return PLAY_NO_GAME;
    }
    const int level = ReleaseStackLevel();
    OpenGraphics(options_.width, options_.height, 0, options_.rate);
    OpenConsole("vanta-play"_s, 12, 70, 110, 190, 0.85f, ""_s);
    // Lua needs every printable character the console font has: + - = < > [ ] { } , _ # ~ ^ and the rest.
    std::string printable;
    for (char c = ' '; c <= '~'; ++c)
        printable += c;
    SetConsoleCharacters(Text(printable));
    SetConsoleShown(0, 1);
    RegisterConsoleTextCommand("$lua"_s, [this](const Ref<String>& code) { EvaluateInConsole(code); });
    RegisterConsoleCommand("$reload"_s, [this] { Load(); });
    if (options_.watch) watcher_ = std::make_unique<FolderWatcher>(main_.filename() == "main.lua" ? folder_ : main_);

    // Cleared after main.lua ran, so the first frame starts on the clear colour the game chose.
    Load();
    ClearGraphics();
    int status = PLAY_ENDED;
    for (std::int32_t shown = 1;; ++shown) {
        if ((watcher_ && watcher_->Changed()) || KeyHits(options_.reloadKey) != 0) {
            Load();
            ClearGraphics();
        }
        bool ended = false;
        if (!failed_) {
            ++frame_;
            RunFrame(frame_, ended);
        }
        if (failed_) {
            errorScreen_.Draw();
            if (KeyHits(VK_ESCAPE) != 0) {
                status = PLAY_FAILED;
                break;
            }
        }
        if (ended) break;
        UpdateDeveloperConsole();
        const bool last = options_.frames != 0 && shown >= options_.frames;
        if (last && !options_.screenshot.empty()) {
            const Ref<TPixmap> pixmap = GrabPixmap(0, 0, GraphicsWidth(), GraphicsHeight());
            if (SavePixmapPNG(pixmap, Text(options_.screenshot), 6) == 0) {
                std::fprintf(stderr, "vanta-play: cannot write the screenshot %s\n", options_.screenshot.c_str());
                status = PLAY_FAILED;
            }
        }
        if (last && failed_ && status == PLAY_ENDED) status = PLAY_FAILED;
        FlipGraphics();
        ClearGraphics();
        FlushReleaseStack(level);
        if (last) break;
    }
    // The game's images go while their driver frames can still be released with the graphics.
    RegisterConsoleTextCommand("$lua"_s, nullptr);
    RegisterConsoleCommand("$reload"_s, nullptr);
    engine_->Stop();
    FlushReleaseStack(level);
    CloseGraphics();
    return status;
}

} // namespace vanta::play
