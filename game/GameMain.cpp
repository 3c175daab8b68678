// The game's main sequence.
#include "game/GameMain.h"

#include "audio/Sound.h"
#include "game/GameGlobals.h"
#include "game/Intro.h"
#include "game/Layer.h"
#include "game/Level.h"
#include "game/ModuleSequence.h"
#include "graphics/Graphics.h"
#include "runtime/Handle.h"
#include "system/HostDriver.h"

namespace vanta::game {

namespace {

struct LayerPlace
{
    std::int32_t strip; // index into the level's strip images
    std::int32_t y;
    std::int32_t speed;
};

// The twelve strips in drawing order: five of grass, five of clouds, the fence, the mountains.
constexpr LayerPlace LAYERS[12] = {
    {0, 360, -2}, {1, 364, -3}, {2, 370, -4}, {3, 384, -5}, {4, 398, -6},  {5, 60, -6},
    {6, 102, -5}, {7, 182, -4}, {8, 220, -3}, {9, 238, -2}, {10, 378, -7}, {11, 214, -1},
};

} // namespace

std::int32_t GameMain()
{
    GameGlobals& g = Globals();
    if (g.started) return 0;
    g.started = true;
    g.releaseMark = ReleaseStackLevel();

    RunModuleInitialisers();
    if (!g.layersCreated) {
        g.layersCreated = true;
        g.layers = CreateList();
    }
    if (!g.gateClockRead) {
        g.gateClockRead = true;
        g.gateLastClock = ReadClock();
    }

    OpenGraphics(640, 480, 0, 60);
    HidePointer();

    ShowLogo();
    ShowTitle();
    LoadLevel();
    for (const LayerPlace& place : LAYERS)
        NewLayer(g.stripImages[place.strip], 0, place.y, place.speed);

    StopChannel(HandleToObject<TChannel>(g.introChannel));
    if (!g.levelChannelStarted) {
        g.levelChannelStarted = true;
        g.levelChannel = ObjectToHandle(PlaySound(HandleToObject<TSound>(g.levelMusic)));
    }

    while (KeyHits(KEY_ESCAPE) == 0) {
        DrawLevelFrame();
        FlipGraphics();
        ClearGraphics();
        FlushReleaseStackKeeping(g.releaseMark, {});
    }
    FlushReleaseStack(g.releaseMark);
    return 0;
}

void RunGame()
{
    InitGameModule();
    GameMain();
}

} // namespace vanta::game
