// vanta-console-demo: a small moving scene with the developer console over it.
//
// F1 shows and hides the console (F1 types no character, so it never lands in the input line). Type
// "$help" and Enter for the built-in commands; the demo adds "$pause" (stops or restarts the scene) and
// "$quit". Escape quits while the console is hidden. With "--still" the scene starts paused, which is how
// the tests read the console's pixels against an unmoving background.
#include "console/Console.h"
#include "graphics/Draw.h"
#include "graphics/Graphics.h"
#include "graphics/ImageFont.h"
#include "runtime/Error.h"
#include "runtime/Startup.h"
#include "startup/ModuleSequence.h"
#include "system/HostDriver.h"
#include "system/Keys.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

using namespace vanta;

constexpr std::int32_t WIDTH = 640;
constexpr std::int32_t HEIGHT = 480;
constexpr std::int32_t TOGGLE_KEY = VK_F1;

struct Scene
{
    bool paused = false;
    int tick = 0;

    void Draw() const
    {
        SetBlendMode(BLEND_SOLID);
        SetAlpha(1.0f);
        // Sky bands.
        for (int band = 0; band < 8; ++band) {
            SetColor(20 + band * 6, 30 + band * 10, 70 + band * 12);
            DrawRect(0.0f, static_cast<float>(band * HEIGHT) / 8.0f, WIDTH, HEIGHT / 8.0f);
        }
        // A sun circling the middle and a row of posts sliding by.
        const double angle = tick * 0.02;
        SetColor(250, 210, 90);
        DrawOval(static_cast<float>(WIDTH / 2.0 - 30 + std::cos(angle) * 180),
                 static_cast<float>(HEIGHT / 2.0 - 30 + std::sin(angle) * 120), 60.0f, 60.0f);
        SetColor(60, 120, 60);
        DrawRect(0.0f, HEIGHT - 60.0f, WIDTH, 60.0f);
        SetColor(120, 80, 40);
        for (int post = -1; post < WIDTH / 80 + 1; ++post)
            DrawRect(static_cast<float>(post * 80 + (tick * 2) % 80), HEIGHT - 90.0f, 12.0f, 40.0f);
        SetTextFont(Null);
        SetColor(255, 255, 255);
        DrawText("F1: console   Escape: quit"_s, 8.0f, HEIGHT - 20.0f);
    }
};

int Run(bool still)
{
    RunModuleInitialisers(MODULES_CONSOLE);
    SetProgramTitle("VantaMax console demo"_s);
    OpenGraphics(WIDTH, HEIGHT, 0, 60);

    OpenConsole("VantaMax console"_s, 14, 60, 140, 230, 0.85f, ""_s);
    Scene scene;
    scene.paused = still;
    bool running = true;
    RegisterConsoleCommand("$quit"_s, [&] { running = false; });
    RegisterConsoleCommand("$pause"_s, [&] {
        scene.paused = !scene.paused;
        ConsoleAddLine(scene.paused ? "Scene paused"_s : "Scene running"_s);
    });
    ConsoleAddLine("Welcome: type $help and press Enter."_s);
    ConsoleAddLine("This demo adds $pause and $quit; Tab completes names."_s);

    const int mark = ReleaseStackLevel();
    while (running) {
        // Read every frame, so an Escape pressed while the console was shown does not quit once it hides.
        const bool escape = KeyHits(VK_ESCAPE) != 0;
        if (escape && ConsoleShown() == 0) break;
        scene.Draw();
        UpdateConsole(TOGGLE_KEY);
        FlipGraphics();
        ClearGraphics();
        if (!scene.paused) ++scene.tick;
        FlushReleaseStack(mark);
    }
    CloseGraphics();
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const bool still = argc > 1 && std::strcmp(argv[1], "--still") == 0;
    try {
        return Run(still);
    } catch (const vanta::Exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
}
