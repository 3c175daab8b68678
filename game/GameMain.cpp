// The game's main sequence.
#include "game/GameMain.h"

#include "audio/Sound.h"
#include "game/Controls.h"
#include "game/GameGlobals.h"
#include "game/Intro.h"
#include "game/Level.h"
#include "graphics/Graphics.h"
#include "pixmap/Pixmap.h"
#include "runtime/Handle.h"
#include "runtime/Startup.h"
#include "startup/ModuleSequence.h"
#include "system/HostDriver.h"
#include "system/Keys.h"

namespace vanta::game {

void InitGameModule()
{
    static bool initialised = false;
    if (initialised) return;
    initialised = true;
    InitRuntimeCore();
}

void InitGameModuleLast()
{
    static bool initialised = false;
    if (initialised) return;
    initialised = true;
    InitRuntimeCore();
    InitPixmaps();
}

void RunGameModuleInitialisers()
{
    RunModuleInitialisers(GameModuleHooks{InitGameModule, InitGameModuleLast});
}

std::int32_t WindowScaleArgument()
{
    const Ref<Array>& arguments = CommandLineArguments();
    for (std::int32_t i = 1; i + 1 < arguments->Length(); ++i) {
        if (Compare(Downcast<String>(arguments->ObjectAt(i)), "--scale"_s) != 0) continue;
        const std::int32_t scale = Downcast<String>(arguments->ObjectAt(i + 1))->ToInt();
        return scale < 1 ? 1 : (scale > MAX_WINDOW_SCALE ? MAX_WINDOW_SCALE : scale);
    }
    return 1;
}

std::int32_t GameMain()
{
    GameGlobals& g = Globals();
    if (g.started) return 0;
    g.started = true;
    g.releaseMark = ReleaseStackLevel();

    RunGameModuleInitialisers();
    if (!g.layersCreated) {
        g.layersCreated = true;
        g.layers = CreateList();
    }
    if (!g.gateClockRead) {
        g.gateClockRead = true;
        g.gateLastClock = ReadClock();
    }

    // The player may resize the window; the picture stays 640 x 480, shown in whole multiples.
    SetGraphicsScaling(SCALE_WHOLE, WindowScaleArgument());
    OpenGraphics(640, 480, 0, 60);
    HidePointer();

    ShowLogo();
    ShowTitle();
    LoadLevel();
    NewLevelLayers();

    StopChannel(HandleToObject<TChannel>(g.introChannel));
    if (!g.levelChannelStarted) {
        g.levelChannelStarted = true;
        g.levelChannel = ObjectToHandle(PlaySound(HandleToObject<TSound>(g.levelMusic)));
    }

    while (EscapeHits() == 0)
        RunLevelFrame();
    FlushReleaseStack(g.releaseMark);
    return 0;
}

void RunLevelFrame()
{
    DrawLevelFrame();
    FlipGraphics();
    ClearGraphics();
    // Everything the frame made and nobody kept dies here.
    FlushReleaseStackKeeping(Globals().releaseMark, {});
}

void RunGame()
{
    InitGameModule();
    GameMain();
}

} // namespace vanta::game
