// A stage for the game's scenes in tests: the module sequence with the game's steps, a scripted clock and input
// (ScriptedHostDriver.h), a recording 2D driver (RecordingFlat2DDriver.h) and stand-ins for the game's
// files (GameStandIns.h), with the game's globals at their start values. `Draws` reads the driver's log
// back as pictures: which file (or glyph) was drawn where.
//
// The flip pacing of the graphics module runs on the scripted clock, so every flip moves it on by the
// 16 or 17 milliseconds of a 60 Hz frame (the vertical-sync test fails on a surface that does not wait).
#pragma once

#include "game/GameGlobals.h"
#include "game/GameMain.h"
#include "graphics/Graphics.h"
#include "support/GameStandIns.h"
#include "support/RecordingFlat2DDriver.h"
#include "support/ScriptedHostDriver.h"
#include "system/Input.h"

#include <string>
#include <vector>

namespace vanta::test {

// One image frame drawn: what it showed and the driver's arguments.
struct StageDraw
{
    std::string what; // a game file's name, "name#cell" for a strip cell, or "glyph"
    float x0, y0, x1, y1, tx, ty;
};

class GameStage
{
public:
    // Sets the stage; `ok` tells whether the stand-ins could be made.
    GameStage()
    {
        game::RunGameModuleInitialisers();
        ok = RegisterGameStandIns();
        game::ResetGlobals();
        previousHost = CurrentHostDriver();
        host = New<TScriptedHostDriver>();
        host->clock = 10000;
        SetHostDriver(host);
        ClearInputKeyState(); // keys left down by an earlier stage would swallow the next press
        driver = New<TRecordingFlat2DDriver>();
        SelectGraphicsDriver(driver, 0);
    }
    ~GameStage()
    {
        CloseGraphics();
        ClearInputKeyState();
        SetHostDriver(previousHost);
        game::ResetGlobals();
    }
    GameStage(const GameStage&) = delete;
    GameStage& operator=(const GameStage&) = delete;

    // Opens graphics as the game does and forgets the calls that made.
    void Open()
    {
        OpenGraphics(640, 480, 0, 60);
        driver->ClearCalls();
    }

    // Presses (and releases) Escape: the messages wait in the queue until input is polled.
    void PressEscape() { host->Tap(VK_ESCAPE); }

    // Every image frame drawn since the log was last cleared, in order.
    std::vector<StageDraw> Draws() const
    {
        std::vector<StageDraw> draws;
        for (const DrawCall& call : driver->Log()) {
            if (call.slot != "FrameDraw") continue;
            const auto* frame = static_cast<const TRecordingFrame*>(call.object);
            const auto& a = call.args;
            draws.push_back({StandInNameOf(frame->pixmap), static_cast<float>(a[0]), static_cast<float>(a[1]),
                             static_cast<float>(a[2]), static_cast<float>(a[3]), static_cast<float>(a[4]),
                             static_cast<float>(a[5])});
        }
        return draws;
    }

    // How many frames were presented since graphics were opened.
    int Flips() const
    {
        int flips = 0;
        for (const auto& surface : driver->surfaces)
            flips += surface->flips;
        return flips;
    }

    bool ok = false;
    Ref<TScriptedHostDriver> host;
    Ref<TRecordingFlat2DDriver> driver;

private:
    Ref<THostDriver> previousHost;
};

} // namespace vanta::test
