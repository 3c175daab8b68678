// The scripted scene's script: a script engine with the runtime's Lua bindings (script/ScriptBindings.h)
// and the script's `frame` function called once per frame.
//
// The script sees the runtime's own functions and constants (`LoadImage`, `DrawImage`, `SetBlendMode`,
// `KeyHits`, `ReadClock`, `BLEND_ALPHA`, `VK_SPACE`, ...; docs/lua-api.md lists them). Images are handles
// the engine owns; they go when the script ends.
//
// Builds on the script engine and its bindings. Graphics must be open while the script runs. Main thread
// only.
#pragma once

#include "runtime/String.h"
#include "script/ScriptEngine.h"

#include <cstdint>
#include <string>

namespace vanta::scene {

class SceneScript
{
public:
    // Starts an engine and binds the runtime's functions. Throws a runtime error when the engine does
    // not start.
    SceneScript();
    // Stops the engine, which releases every handle the script was given.
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

private:
    Ref<TScriptEngine> engine_;
};

} // namespace vanta::scene
