// The game as a player meets it: build/bin/vantamax on a virtual X display (Xvfb, Mesa), real X11 keys
// from xdotool, and SDL's disk audio driver capturing what it plays. Escape leaves the title, a held
// Escape counts once, a second Escape ends the level with exit status 0, the window shrugs off a close
// request, and the intro music plays through the title and the loading screen, stops, and the level music
// follows.
#include "audio/AudioSample.h"
#include "audio/OggLoader.h"
#include "runtime/String.h"
#include "support/DiskAudio.h"
#include "support/VirtualDisplay.h"
#include "support/X11Tools.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

namespace vanta {
namespace {

using test::Xdotool;

using namespace std::chrono_literals;

constexpr const char* TITLE = "VantaMax Application";

// The game running as a child process; stopped by its destructor if it is still running.
class GameProcess
{
public:
    // The game, with `arguments` after its name.
    explicit GameProcess(std::vector<std::string> arguments = {})
    {
        arguments.insert(arguments.begin(), VANTA_GAME_PROGRAM);
        pid_ = test::StartProgram(arguments);
    }
    ~GameProcess()
    {
        if (Running()) {
            ::kill(pid_, SIGKILL);
            Wait(5s);
        }
    }
    GameProcess(const GameProcess&) = delete;
    GameProcess& operator=(const GameProcess&) = delete;

    bool Started() const { return pid_ > 0; }

    bool Running()
    {
        if (exited_ || pid_ <= 0) return false;
        int status = 0;
        const pid_t done = ::waitpid(pid_, &status, WNOHANG);
        if (done == 0) return true;
        exited_ = true;
        status_ = done == pid_ && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return false;
    }

    // The exit status once the process ended within `limit`, else -1 (it keeps running).
    int Wait(std::chrono::milliseconds limit)
    {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (Running() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(20ms);
        return exited_ ? status_ : -1;
    }

    // The game's window, waiting up to 30 s for it; 0 when it did not appear.
    unsigned long Window()
    {
        const auto deadline = std::chrono::steady_clock::now() + 30s;
        while (std::chrono::steady_clock::now() < deadline && Running()) {
            if (const unsigned long window = test::FindWindowByTitle(TITLE);
                window != 0 && test::IsWindowViewable(window)) {
                window_ = window;
                return window;
            }
            std::this_thread::sleep_for(20ms);
        }
        return 0;
    }

    // Waits until the window has shown `count` new pictures, up to 30 s; false when the game ended or
    // stopped drawing first. A capture that differs from the one before proves the game drew and flipped
    // (reading its input) since that capture: what was sent before the wait has been seen.
    bool NewPictures(int count)
    {
        const auto deadline = std::chrono::steady_clock::now() + 30s;
        std::vector<unsigned long> last;
        int width = 0;
        int height = 0;
        if (!test::CaptureWindow(window_, width, height, last)) return false;
        int seen = 0;
        while (seen < count && Running() && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(20ms);
            std::vector<unsigned long> now;
            if (!test::CaptureWindow(window_, width, height, now)) return false;
            if (now != last) ++seen;
            last = std::move(now);
        }
        return seen >= count;
    }

    // Gives the window the keyboard, as a player's click would, then sends the key through the X server.
    bool Key(const std::string& action, const std::string& key)
    {
        Xdotool({"windowfocus", std::to_string(window_)});
        return Xdotool({action, key});
    }

private:
    pid_t pid_ = -1;
    bool exited_ = false;
    int status_ = -1;
    unsigned long window_ = 0;
};

// A piece of music as the mixer plays it: 44.1 kHz stereo, 16 bits.
std::vector<std::int16_t> Music(const std::string& name)
{
    InitOggLoader();
    Ref<TAudioSample> sample =
        LoadAudioSample(String::FromCString((std::string(VANTA_MEDIA_DIR) + "/" + name).c_str()));
    if (sample.IsNull()) return {};
    sample = sample->Convert(SF_STEREO16LE);
    const auto* values = reinterpret_cast<const std::int16_t*>(sample->samples);
    return {values, values + static_cast<std::ptrdiff_t>(sample->length) * 2};
}

// How far (in values) `output` from `at` keeps playing `music` from `from`.
std::size_t Matching(const std::vector<std::int16_t>& output, std::size_t at, const std::vector<std::int16_t>& music,
                     std::size_t from)
{
    std::size_t n = 0;
    while (at + n < output.size() && from + n < music.size() &&
           std::abs(output[at + n] - music[from + n]) <= 2) // a rounding step
        ++n;
    return n;
}

// A tenth of a second into a piece, in values: the mixer eases a voice in and out over its first and last
// moments, so the samples match exactly only from a little after its start.
constexpr std::size_t SETTLED = 2 * 4410;

// Where in `output` `music` started to play (on a frame boundary), found by its samples a tenth of a
// second in; npos when it is not there.
std::size_t FindOpening(const std::vector<std::int16_t>& output, const std::vector<std::int16_t>& music,
                        std::size_t from)
{
    for (std::size_t at = from & ~std::size_t{1}; at + SETTLED + 512 < output.size(); at += 2) {
        if (output[at + SETTLED] == music[SETTLED] && Matching(output, at + SETTLED, music, SETTLED) >= 512) return at;
    }
    return std::string::npos;
}

class GamePlay : public ::testing::Test
{
protected:
    void SetUp() override
    {
        VANTA_REQUIRE_DISPLAY();
        if (test::FindProgram("xdotool").empty()) GTEST_SKIP() << "xdotool is not installed (package xdotool)";
    }

    // Waits until the captured sound has played `music` from its start for `seconds`, up to 60 s: the game
    // starts the intro music as the title shows and the level music as the level runs, so this is how a
    // test knows where the game is, whatever the machine's speed.
    static bool WaitForMusic(const test::DiskAudioFile& audio, const std::vector<std::int16_t>& music, double seconds)
    {
        const auto heard = static_cast<std::size_t>(seconds * 2 * 44100);
        const auto deadline = std::chrono::steady_clock::now() + 60s;
        while (std::chrono::steady_clock::now() < deadline) {
            const std::vector<std::int16_t> output = audio.ReadOutput();
            const std::size_t at = FindOpening(output, music, 0);
            if (at != std::string::npos && SETTLED + Matching(output, at + SETTLED, music, SETTLED) >= heard)
                return true;
            std::this_thread::sleep_for(200ms);
        }
        return false;
    }
};

TEST_F(GamePlay, ScaleOpensTheWindowThatManyTimesLargerAndNoArgumentAt640By480)
{
    for (const auto& [arguments, width, height] :
         {std::tuple<std::vector<std::string>, int, int>{{}, 640, 480}, {{"--scale", "2"}, 1280, 960}}) {
        SCOPED_TRACE(arguments.empty() ? "no argument" : "--scale 2");
        GameProcess game(arguments);
        ASSERT_TRUE(game.Started());
        const unsigned long window = game.Window();
        ASSERT_NE(window, 0u) << "the game's window did not appear";
        // The window is made at the picture's size and then grows to the scale asked for.
        int w = 0;
        int h = 0;
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        while (test::GetWindowSize(window, w, h) && (w != width || h != height) &&
               std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(20ms);
        EXPECT_EQ(w, width);
        EXPECT_EQ(h, height);
    }
}

TEST_F(GamePlay, PlaysFromTitleToLevelOnEscapeAndEndsAtTheSecondWithTheMusicHandedOver)
{
    test::DiskAudioFile audio("vanta_game_play");
    const std::vector<std::int16_t> intro = Music("intro/intromusic.ogg");
    const std::vector<std::int16_t> level = Music("DATAS/music-level1.ogg");
    ASSERT_FALSE(intro.empty());
    ASSERT_FALSE(level.empty());

    GameProcess game;
    ASSERT_TRUE(game.Started());
    ASSERT_NE(game.Window(), 0u) << "the game's window did not appear";
    // The logo, then the title for a while: its music has played for a second and a half.
    ASSERT_TRUE(WaitForMusic(audio, intro, 1.5)) << "the title's music did not play";

    // The window ignores the close box: the game draws on after the request.
    ASSERT_TRUE(test::RequestWindowClose(TITLE));
    EXPECT_TRUE(game.NewPictures(3)) << "the title stopped drawing after a close request";
    ASSERT_TRUE(game.Running()) << "a close request ended the game";

    ASSERT_TRUE(game.Key("key", "Escape"));
    ASSERT_TRUE(WaitForMusic(audio, level, 1.5)) << "the level did not start after Escape on the title";
    EXPECT_TRUE(game.NewPictures(3)) << "the level stopped drawing";
    ASSERT_TRUE(game.Running()) << "the level ended without a second Escape";
    ASSERT_TRUE(game.Key("key", "Escape"));
    EXPECT_EQ(game.Wait(15s), 0) << "the second Escape ends the game with status 0";

    // What was heard: silence through the logo, the intro music from its start until just before the
    // level music, which then plays alone.
    const std::vector<std::int16_t> output = audio.ReadOutput();
    const std::size_t introAt = FindOpening(output, intro, 0);
    ASSERT_NE(introAt, std::string::npos) << "the intro music was not heard";
    const std::size_t introHeard = SETTLED + Matching(output, introAt + SETTLED, intro, SETTLED);
    EXPECT_GT(introHeard, std::size_t{2 * 44100}) << "the intro plays through the title (a second at least)";
    const std::size_t levelAt = FindOpening(output, level, introAt);
    ASSERT_NE(levelAt, std::string::npos) << "the level music was not heard";
    EXPECT_LE(introAt + introHeard, levelAt + SETTLED) << "the intro stops as the level music starts";
    EXPECT_LT(levelAt - std::min(levelAt, introAt + introHeard), std::size_t{2 * 44100 / 2})
        << "the intro plays on through the loading screen, up to the level";
    EXPECT_GT(Matching(output, levelAt + SETTLED, level, SETTLED), std::size_t{2 * 44100})
        << "the level music plays alone";
}

TEST_F(GamePlay, AHeldEscapeEndsTheTitleOnly)
{
    test::DiskAudioFile audio("vanta_game_held_escape");
    const std::vector<std::int16_t> intro = Music("intro/intromusic.ogg");
    const std::vector<std::int16_t> level = Music("DATAS/music-level1.ogg");
    ASSERT_FALSE(intro.empty());
    ASSERT_FALSE(level.empty());

    GameProcess game;
    ASSERT_TRUE(game.Started());
    ASSERT_NE(game.Window(), 0u) << "the game's window did not appear";
    ASSERT_TRUE(WaitForMusic(audio, intro, 0.5)) << "the title's music did not play";

    // Escape held down into the level, long enough for the X server to repeat it (its repeat starts after
    // 660 ms): the level has played a second and a half of its music and drawn on since.
    ASSERT_TRUE(game.Key("keydown", "Escape"));
    ASSERT_TRUE(WaitForMusic(audio, level, 1.5)) << "the level did not start after Escape on the title";
    EXPECT_TRUE(game.NewPictures(3)) << "the level stopped drawing";
    EXPECT_TRUE(game.Running()) << "the held Escape also ended the level";
    ASSERT_TRUE(game.Key("keyup", "Escape"));
    EXPECT_TRUE(game.NewPictures(3)) << "the level stopped drawing";
    EXPECT_TRUE(game.Running()) << "releasing Escape ended the level";

    ASSERT_TRUE(game.Key("key", "Escape"));
    EXPECT_EQ(game.Wait(15s), 0);
}

} // namespace
} // namespace vanta
