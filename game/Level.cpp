// The first level.
#include "game/Level.h"

#include "audio/Sound.h"
#include "game/GameFiles.h"
#include "game/GameGlobals.h"
#include "game/Layer.h"
#include "game/LevelLayout.h"
#include "graphics/Draw.h"
#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "runtime/Handle.h"
#include "system/HostDriver.h"

#include <limits>

namespace vanta::game {

namespace {

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

    for (int i = 0; i < LEVEL_LAYER_COUNT; ++i) {
        RegisterGameFile(LEVEL_LAYERS[i].file);
        g.stripImages[i] = ObjectToHandle(LoadImage(IncbinUrl(LEVEL_LAYERS[i].file), -1));
    }
    RegisterGameFile(LEVEL_SKY.file);
    g.skyImage = ObjectToHandle(LoadImage(IncbinUrl(LEVEL_SKY.file), -1));

    RegisterGameFile(LEVEL_MOON.file);
    g.moonImage = ObjectToHandle(LoadImage(IncbinUrl(LEVEL_MOON.file), IMAGE_MASKED));

    RegisterGameFile("DATAS/music-level1.ogg");
    g.levelMusic = ObjectToHandle(LoadSound("incbin::DATAS/music-level1.ogg"_s, 1));

    RegisterGameFile(LEVEL_CREATURE.file);
    g.creatureImage = ObjectToHandle(LoadImageStrip(IncbinUrl(LEVEL_CREATURE.file), LEVEL_CREATURE.cellWidth,
                                                    LEVEL_CREATURE.cellHeight, 0, LEVEL_CREATURE.cellCount, -1));

    ClearGraphics();
    return 0;
}

void NewLevelLayers()
{
    for (int i = 0; i < LEVEL_LAYER_COUNT; ++i)
        NewLayer(Globals().stripImages[i], 0, LEVEL_LAYERS[i].y, LEVEL_LAYERS[i].speed);
}

void DrawLevelFrame()
{
    GameGlobals& g = Globals();
    DrawImage(HandleToObject<TImage>(g.skyImage), static_cast<float>(LEVEL_SKY.x), static_cast<float>(LEVEL_SKY.y), 0);
    DrawImage(HandleToObject<TImage>(g.moonImage), static_cast<float>(LEVEL_MOON.x), static_cast<float>(LEVEL_MOON.y),
              0);
    UpdateLayers();
    DrawLayers();
    DrawText("V 0.1C"_s, 10.0f, 30.0f);
    DrawText(Concat("FPS = "_s, String::FromInt(CountFps())), 560.0f, 30.0f);
    DrawText("TOUCHE ESCAPE POUR QUITTER"_s, 10.0f, 450.0f);
    DrawImage(HandleToObject<TImage>(g.creatureImage), static_cast<float>(LEVEL_CREATURE.x),
              static_cast<float>(LEVEL_CREATURE.y), g.creatureFrame);
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
    if (g.creatureTick == LEVEL_CREATURE.framesPerCell) {
        g.creatureTick = 0;
        g.creatureFrame += 1;
    }
    if (g.creatureFrame == LEVEL_CREATURE.cellCount) g.creatureFrame = 0;
}

} // namespace vanta::game
