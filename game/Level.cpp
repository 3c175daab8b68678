// The first level.
#include "game/Level.h"

#include "audio/Sound.h"
#include "game/GameFiles.h"
#include "game/GameGlobals.h"
#include "game/Layer.h"
#include "graphics/Draw.h"
#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "runtime/Handle.h"
#include "system/HostDriver.h"

#include <limits>

namespace vanta::game {

namespace {

// The strips in the order they are loaded (and later layered); fond.jpg, the sky, comes last.
constexpr std::string_view STRIP_FILES[12] = {
    "DATAS/herbe0.png",  "DATAS/herbe1.png",  "DATAS/herbe2.png",   "DATAS/herbe3.png",
    "DATAS/herbe4.png",  "DATAS/nuages0.png", "DATAS/nuages1.png",  "DATAS/nuages2.png",
    "DATAS/nuages3.png", "DATAS/nuages4.png", "DATAS/barriere.png", "DATAS/montagnes.png",
};

struct LayerPlace
{
    std::int32_t strip; // index into STRIP_FILES
    std::int32_t y;
    std::int32_t speed; // pixels per update
};

constexpr LayerPlace LAYERS[12] = {
    {0, 360, -2}, {1, 364, -3}, {2, 370, -4}, {3, 384, -5}, {4, 398, -6},  {5, 60, -6},
    {6, 102, -5}, {7, 182, -4}, {8, 220, -3}, {9, 238, -2}, {10, 378, -7}, {11, 214, -1},
};

Ref<String> IncbinUrl(std::string_view name)
{
    return Concat("incbin::"_s, String::FromBytes(name.data(), static_cast<std::int32_t>(name.size())));
}

} // namespace

std::int32_t LoadLevel()
{
    GameGlobals& g = Globals();

    RegisterGameFile("intro/globeintro.png");
    if (!g.loadingImageLoaded) {
        g.loadingImageLoaded = true;
        g.loadingImage = ObjectToHandle(LoadImage("incbin::intro/globeintro.png"_s, -1));
    }
    // Drawn over what the title's last clear left in the back buffer.
    DrawImage(HandleToObject<TImage>(g.loadingImage), 0.0f, 40.0f, 0);
    DrawText("LEVEL 1"_s, 290.0f, 20.0f);
    DrawText("Chargement en cours ..."_s, 240.0f, 456.0f);
    FlipGraphics();

    for (int i = 0; i < 12; ++i) {
        RegisterGameFile(STRIP_FILES[i]);
        g.stripImages[i] = ObjectToHandle(LoadImage(IncbinUrl(STRIP_FILES[i]), -1));
    }
    RegisterGameFile("DATAS/fond.jpg");
    g.skyImage = ObjectToHandle(LoadImage("incbin::DATAS/fond.jpg"_s, -1));

    RegisterGameFile("DATAS/lune.png");
    g.moonImage = ObjectToHandle(LoadImage("incbin::DATAS/lune.png"_s, IMAGE_MASKED));

    RegisterGameFile("DATAS/music-level1.ogg");
    g.levelMusic = ObjectToHandle(LoadSound("incbin::DATAS/music-level1.ogg"_s, 1));

    RegisterGameFile("DATAS/marcheur.png");
    g.creatureImage = ObjectToHandle(LoadImageStrip("incbin::DATAS/marcheur.png"_s, 80, 104, 0, 6, -1));

    ClearGraphics();
    return 0;
}

void NewLevelLayers()
{
    for (const LayerPlace& place : LAYERS)
        NewLayer(Globals().stripImages[place.strip], 0, place.y, place.speed);
}

void DrawLevelFrame()
{
    GameGlobals& g = Globals();
    DrawImage(HandleToObject<TImage>(g.skyImage), 0.0f, 60.0f, 0);
    DrawImage(HandleToObject<TImage>(g.moonImage), 534.0f, 60.0f, 0);
    UpdateLayers();
    DrawLayers();
    DrawText("V 0.1C"_s, 10.0f, 30.0f);
    DrawText(Concat("FPS = "_s, String::FromInt(CountFps())), 560.0f, 30.0f);
    DrawText("TOUCHE ESCAPE POUR QUITTER"_s, 10.0f, 450.0f);
    DrawImage(HandleToObject<TImage>(g.creatureImage), 270.0f, 266.0f, g.creatureFrame);
    AdvanceCreature();
}

std::int32_t FrameGate()
{
    GameGlobals& g = Globals();
    g.gateFrames += 1;
    const auto elapsed = static_cast<std::int32_t>(ClockDistance(g.gateLastClock, ReadClock()));
    g.gateLastClock = ReadClock();
    g.gateElapsed = static_cast<float>(elapsed);
    // Two frames in one millisecond give an infinite rate; the gate opens all the same.
    g.gateRate = elapsed == 0 ? std::numeric_limits<float>::infinity() : 1000.0f / g.gateElapsed;
    // The threshold is never refreshed: recomputed in single precision the rate never drops below the
    // stored one, so it keeps its start value 0 and the gate opens on every frame.
    if (static_cast<float>(g.gateFrames) > g.gateThreshold) {
        g.gateFrames = 0;
        return 1;
    }
    return 0;
}

std::int32_t CountFps()
{
    GameGlobals& g = Globals();
    // Measured forward on the wrapping clock, so the read-out keeps working when the clock passes 2^31
    // milliseconds (24.8 days) and turns negative.
    if (ClockDistance(g.fpsWindowStart, ReadClock()) < 1000u) {
        g.fpsFrames += 1;
    } else {
        // The frame that closes a window is counted in neither.
        g.fpsShown = g.fpsFrames;
        g.fpsFrames = 0;
        g.fpsWindowStart = ReadClock();
    }
    return g.fpsShown;
}

void AdvanceCreature()
{
    GameGlobals& g = Globals();
    g.creatureTick += 1;
    if (g.creatureTick == 6) {
        g.creatureTick = 0;
        g.creatureFrame += 1;
    }
    if (g.creatureFrame == 6) g.creatureFrame = 0;
}

} // namespace vanta::game
