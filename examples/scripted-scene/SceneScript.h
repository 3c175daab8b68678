// The scripted scene's script: a script engine with the runtime functions a scene script draws with, and
// the script's `frame` function called once per frame.
//
// The functions a script sees (all globals; images are integer handles, 0 when a picture cannot be made):
//     LoadImage(url [, flags])                          -> handle
//     LoadImageStrip(url, cellWidth, cellHeight, first, count [, flags]) -> handle of an animation strip
//     FreeImage(image)                                  the handle names no image afterwards
//     ImageWidth(image), ImageHeight(image), ImageFrames(image)
//     SetImageHandle(image, x, y)
//     DrawImage(image, x, y [, frame])
//     DrawImageRect(image, x, y, width, height [, frame])
//     TileImage(image [, x, y [, frame]])
//     DrawRect(x, y, width, height), DrawOval(x, y, width, height), DrawLine(x, y, x2, y2)
//     DrawText(text, x, y), TextWidth(text), TextHeight()
//     SetColor(r, g, b), SetAlpha(alpha), SetBlend(mode), SetClearColor(r, g, b)
//     SetRotation(degrees), SetScale(x, y)
//     GraphicsWidth(), GraphicsHeight()
//     KeyHit(key), KeyDown(key)                         key codes KEY_ESCAPE, KEY_SPACE, KEY_LEFT, ...
//     MilliSecs()                                       the millisecond clock
// and the constants BLEND_MASK, BLEND_SOLID, BLEND_ALPHA, BLEND_LIGHT, BLEND_SHADE and IMAGE_MASKED,
// IMAGE_FILTERED, IMAGE_MIPMAPPED. A function given a handle that names no image raises a Lua error.
//
// Builds on the script engine (script/ScriptEngine.h), images and 2D drawing (graphics/), the clock and
// polled input (system/HostDriver.h) and integer handles (runtime/Handle.h). Graphics must be open while
// the script runs. Main thread only; one scene script at a time.
#pragma once

#include "runtime/String.h"
#include "script/ScriptEngine.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vanta::scene {

class SceneScript
{
public:
    // Starts an engine and registers the scene functions. Throws a runtime error when another scene
    // script exists or the engine does not start.
    SceneScript();
    // Releases every image handle the script was given and stops the engine.
    ~SceneScript();
    SceneScript(const SceneScript&) = delete;
    SceneScript& operator=(const SceneScript&) = delete;

    // Runs the script file (its top level loads the pictures); false on error (see `Error`).
    bool Run(const Ref<String>& path);

    // Calls the script's `frame(number)`; false on error (see `Error`). `wantsToStop` is set when the
    // function answered false.
    bool Frame(std::int32_t number, bool& wantsToStop);

    // The last error as one line: "error CODE: MESSAGE" (the engine's error code and message).
    std::string Error() const;

    // The engine (for tests and tools that register more functions).
    TScriptEngine& Engine() { return *engine_; }

    // Remembers an image handle to release with the script (the scene functions call this).
    void KeepHandle(std::int32_t handle);
    // Releases an image handle the script was given now; nothing for any other number.
    void ForgetHandle(std::int32_t handle);

private:
    Ref<TScriptEngine> engine_;
    std::vector<std::int32_t> handles_;
};

} // namespace vanta::scene
