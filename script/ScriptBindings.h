// The runtime's functions for Lua: the bindings a game written in Lua calls, under the runtime's own
// names and meanings, so one reference serves C++ and Lua (docs/lua-api.md lists them).
//
// One binding module per subsystem; each registers its functions and constants as globals of an
// engine's current state (bind again after `Start`). Objects (images, fonts, sounds, channels) cross as
// handles the engine owns (script/ScriptEngine.h): a function given a handle that names nothing of the
// right kind (released, from an earlier state or another engine, or of another kind) raises a Lua
// argument error. Functions that take a file take "incbin::NAME" or a path that the engine's file root
// confines (`TScriptEngine::ResolveFile`); a missing file gives the runtime's answer for it (a handle of
// 0, or nil and a message for the file functions).
//
// Builds on the script engine and on graphics/, audio/, system/, console/ and stream/. Graphics must be
// open before a script draws; the console functions need `InitConsole`. Main thread only.
#pragma once

#include "script/ScriptEngine.h"

namespace vanta {

// Graphics mode, drawing state and primitives, images and strips, tiling, screenshots; BLEND_ and
// IMAGE_ constants.
void BindGraphics(TScriptEngine& engine);
// Text in the current font, image fonts (the default font, Windows bitmap fonts, TrueType through
// FreeType).
void BindText(TScriptEngine& engine);
// Sounds and channels; the SOUND_LOOP constant.
void BindAudio(TScriptEngine& engine);
// Keyboard, typed characters, mouse buttons, pointer and wheel; the VK_ key codes.
void BindInput(TScriptEngine& engine);
// The millisecond clock, sleeping, the date and the time.
void BindTime(TScriptEngine& engine);
// Console lines and console commands written in Lua (removed again when the state closes).
void BindConsole(TScriptEngine& engine);
// Reading and writing text files (under the file root, or "incbin::" for reading).
void BindFiles(TScriptEngine& engine);
// Every binding module above.
void BindRuntime(TScriptEngine& engine);

} // namespace vanta
