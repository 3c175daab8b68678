// A starter game on VantaMax: a window, a picture and a sound made in code, text, a ship that the arrow
// keys move, a beep on Space, a console command (F1 opens the console; type "$centre"), Escape to quit.
#include "audio/AudioSample.h"
#include "audio/Sound.h"
#include "console/Console.h"
#include "graphics/Draw.h"
#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "runtime/Startup.h"
#include "startup/ModuleSequence.h"
#include "system/HostDriver.h"
#include "system/Keys.h"

#include <cmath>
#include <cstdint>

using namespace vanta;

// A 32 x 32 ship: a yellow diamond on a transparent ground (pixels are 0xAARRGGBB).
Ref<TImage> MakeShip()
{
    Ref<TImage> ship = CreateImage(32, 32);
    Ref<TPixmap> pixels = LockImage(ship);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            pixels->WritePixel(x, y, std::abs(x - 16) + std::abs(y - 16) < 15 ? 0xFFFFD040u : 0x00000000u);
    UnlockImage(ship);
    CentreImageHandle(ship);
    return ship;
}

// A tenth of a second of a 660 Hz tone that fades out, as 16-bit mono samples.
Ref<TSound> MakeBeep()
{
    const int rate = 22050, length = rate / 10;
    Ref<TAudioSample> sample = CreateAudioSample(length, rate, SF_MONO16LE);
    auto* samples = reinterpret_cast<std::int16_t*>(sample->samples);
    for (int i = 0; i < length; ++i)
        samples[i] =
            static_cast<std::int16_t>(12000.0 * (1.0 - double(i) / length) * std::sin(i * 6.2832 * 660 / rate));
    return LoadSound(sample);
}

void Game()
{
    RunModuleInitialisers(); // every module of the runtime, in its order
    SetProgramTitle("VantaMax Starter"_s);
    OpenGraphics(640, 480);
    OpenConsole("Starter console"_s, 12, 40, 60, 120, 0.85f, ""_s);

    Ref<TImage> ship = MakeShip();
    Ref<TSound> beep = MakeBeep();
    float x = 320, y = 240;
    RegisterConsoleCommand("$centre"_s, [&] {
        x = 320, y = 240;
        ConsoleAddLine("The ship is back in the middle."_s);
    });

    const int mark = ReleaseStackLevel();
    while (!(KeyHits(VK_ESCAPE) && !ConsoleShown())) {
        if (!ConsoleShown()) {
            x += 4.0f * float(IsKeyDown(VK_RIGHT) - IsKeyDown(VK_LEFT));
            y += 4.0f * float(IsKeyDown(VK_DOWN) - IsKeyDown(VK_UP));
            if (KeyHits(VK_SPACE)) PlaySound(beep);
        }
        SetBlendMode(BLEND_SOLID);
        SetColor(30, 40, 90);
        DrawRect(0, 400, 640, 80);
        SetBlendMode(BLEND_ALPHA);
        SetColor(255, 255, 255);
        DrawImage(ship, x, y);
        DrawText("Arrows move, Space beeps, F1 opens the console, Escape quits."_s, 16, 440);
        UpdateConsole(VK_F1);
        FlipGraphics();
        ClearGraphics();
        FlushReleaseStack(mark); // the frame's temporaries (the texts above) go here
    }
    CloseGraphics();
}

int main(int argc, char** argv)
{
    return RunProgram(argc, argv, Game);
}
