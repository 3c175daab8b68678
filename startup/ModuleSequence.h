// The module-initialisation sequence: what every program built on VantaMax runs before anything else.
//
// Every module has one once-only initialiser that first runs the initialisers of the modules it imports,
// so the order below decides which implementations are current when the program starts: the silent audio
// driver is installed first and the wave-out driver replaces it when the device opens (steps 3 and 9), the
// system driver is installed before any clock or input call (step 7), and loaders and stream factories
// join their chains at the head, so the last registered is asked first (WAV before Ogg Vorbis, PNG before
// JPEG, TGA and BMP).
//
// How step 26 chooses the graphics driver: it stands where the Direct3D 7 2D driver would select itself,
// and since this runtime has no Direct3D drivers it selects the GL 2D driver (graphics/gl/GLFlat2DDriver.h)
// with the default flags `GFX_BACKBUFFER` (2, double-buffered). No other step selects a graphics driver.
// The choice opens nothing: no window or display is needed until `OpenGraphics`. It is made once per
// process, so a program that selects another driver after the sequence (`SelectGraphicsDriver`) keeps it
// when the sequence runs again.
//
// The game owns two steps: step 2, its module's own initialiser, and step 31, the last game-side
// initialiser. It supplies them as `GameModuleHooks`; a program without them leaves them empty.
//
// A program that needs less than the whole runtime (a command-line tool, a benchmark, a test) names the
// module sets it needs; the steps of those sets run in the same order, the others are left out. Each
// initialiser still runs the ones it imports, so a set never leaves a module half started.
#pragma once

#include <cstdint>
#include <functional>

namespace vanta {

// Module sets, ORed together. Each named set includes the sets it cannot work without.
// Streams: memory-bank streams, linked lists, the "incbin" protocol, standard input and output (4, 13, 16, 18, 21).
inline constexpr std::uint32_t MODULES_STREAMS = 1;
// Loaders: pixmaps, the image, sound and font loaders, and the streams they read (5, 6, 8, 10, 15, 19, 20, 23-25).
inline constexpr std::uint32_t MODULES_LOADERS = 2 | MODULES_STREAMS;
// System: the system driver with its clock, pacing and polled input (7).
inline constexpr std::uint32_t MODULES_SYSTEM = 4;
// Graphics: the GL 2D driver, selected as the current graphics driver, and the system driver (22, 26).
inline constexpr std::uint32_t MODULES_GRAPHICS = 8 | MODULES_SYSTEM;
// Audio: the sound layer with its silent driver, then the wave-out driver (3, 9).
inline constexpr std::uint32_t MODULES_AUDIO = 16;
// Scripting: the Lua binding helpers and the script engine, with the streams scripts are read from (28, 29).
inline constexpr std::uint32_t MODULES_SCRIPT = 32 | MODULES_STREAMS;
// The developer console, with everything it draws and reads with (30).
inline constexpr std::uint32_t MODULES_CONSOLE = 64 | MODULES_GRAPHICS | MODULES_LOADERS;
// Gamepads: game controllers, plugged in at start or later, with the system driver that reads them (27).
inline constexpr std::uint32_t MODULES_GAMEPADS = 128 | MODULES_SYSTEM;
// The whole runtime: the 31 steps, as the demo game runs them.
inline constexpr std::uint32_t MODULES_ALL = 255;

// The game's own two steps of the sequence. Either may be empty; each should itself be once-only, since a
// second run of the sequence calls it again.
struct GameModuleHooks
{
    std::function<void()> first; // step 2: the game module's own initialiser, run after the runtime core
    std::function<void()> last;  // step 31: the last game-side initialiser, run after everything else
};

// Runs the steps of the module sets `modules` (`MODULES_`) in the sequence's order, with the game's two
// steps from `hooks`. The runtime core (step 1) always runs. Running it again does nothing beyond calling
// the hooks again. Throws whatever an initialiser throws (they throw only when memory runs out).
void RunModuleInitialisers(const GameModuleHooks& hooks, std::uint32_t modules = MODULES_ALL);

// The same without game steps: the whole runtime, or the sets `modules`.
void RunModuleInitialisers(std::uint32_t modules = MODULES_ALL);

} // namespace vanta
