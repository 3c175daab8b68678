// The module-initialisation sequence, as a table: each step is one initialiser and the module set it
// belongs to. Modules this runtime leaves out (networking, the Direct3D drivers and the idle helper
// modules) keep their places as comments so the order of the rest stays visible.
#include "startup/ModuleSequence.h"

#include "audio/OggLoader.h"
#include "audio/Sound.h"
#include "audio/WAVLoader.h"
#include "audio/waveout/WaveOutAudioDriver.h"
#include "console/Console.h"
#include "graphics/Font.h"
#include "graphics/FreeTypeFont.h"
#include "graphics/Graphics.h"
#include "graphics/gl/GLFlat2DDriver.h"
#include "pixmap/Pixmap.h"
#include "pixmap/loaders/BMPLoader.h"
#include "pixmap/loaders/ImageLoaders.h"
#include "pixmap/loaders/JPEGLoader.h"
#include "pixmap/loaders/PNGLoader.h"
#include "pixmap/loaders/TGALoader.h"
#include "runtime/LinkedList.h"
#include "runtime/Object.h"
#include "script/LuaBinding.h"
#include "script/ScriptEngine.h"
#include "stream/IncbinStream.h"
#include "stream/MemoryBlockStream.h"
#include "stream/StandardIO.h"
#include "stream/StandardModules.h"
#include "system/Gamepads.h"
#include "system/System.h"

namespace vanta {
namespace {

// The bits of the named sets, one per step.
constexpr std::uint32_t STREAMS = MODULES_STREAMS;
constexpr std::uint32_t LOADERS = MODULES_LOADERS & ~MODULES_STREAMS;
constexpr std::uint32_t SYSTEM = MODULES_SYSTEM;
constexpr std::uint32_t GRAPHICS = MODULES_GRAPHICS & ~MODULES_SYSTEM;
constexpr std::uint32_t AUDIO = MODULES_AUDIO;
constexpr std::uint32_t SCRIPT = MODULES_SCRIPT & ~MODULES_STREAMS;
constexpr std::uint32_t CONSOLE = MODULES_CONSOLE & ~(MODULES_GRAPHICS | MODULES_LOADERS);
constexpr std::uint32_t GAMEPADS = MODULES_GAMEPADS & ~MODULES_SYSTEM;
static_assert((STREAMS | LOADERS | SYSTEM | GRAPHICS | AUDIO | SCRIPT | CONSOLE | GAMEPADS) == MODULES_ALL);

// Step 26, in place of the Direct3D 7 2D driver's initialiser: selects the GL 2D driver, double-buffered.
void InitGraphicsDriverChoice()
{
    static bool initialised = false;
    if (initialised) return;
    initialised = true;
    InitGLFlat2DDriver();
    SelectGraphicsDriver(GLFlat2DDriver(), GFX_BACKBUFFER);
}

// One step of the sequence: the set it belongs to and its initialiser.
struct Step
{
    std::uint32_t set;
    void (*init)();
};

constexpr Step STEPS_BEFORE_GAME_LAST[] = {
    {AUDIO, InitAudio},                   // 3. sound layer: installs the silent audio driver
    {STREAMS, InitMemoryBlockStreams},    // 4. memory-bank streams
    {LOADERS, InitPixmaps},               // 5. the older GL window module (not built): its import, pixmaps
    {LOADERS, InitBMPLoader},             // 6. BMP loader (imports the endian-stream module)
    {SYSTEM, InitSystem},                 // 7. system and input: the host driver and the event queue
    {LOADERS, InitFontModule},            // 8. font loader chain (registers the built-in typeface)
    {AUDIO, InitWaveOutAudioDriver},      // 9. wave-out audio driver: replaces the silent one on open
    {LOADERS, InitFreeTypeFontModule},    // 10. FreeType font loader
                                          // 11. HTTP stream protocol (networking is not built)
                                          // 12. sockets (networking is not built)
    {STREAMS, InitLinkedLists},           // 13. linked lists
                                          // 14. filesystem helpers (not built)
    {LOADERS, InitOggLoader},             // 15. Ogg Vorbis sound loader
    {STREAMS, InitIncbinStreams},         // 16. "incbin" stream protocol
                                          // 17. pseudo-random numbers (not built)
    {STREAMS, InitStandardIO},            // 18. standard input/output streams
    {LOADERS, InitTGALoader},             // 19. TGA loader
    {LOADERS, InitWAVLoader},             // 20. WAV sound loader
    {STREAMS, InitStandardModules},       // 21. the standard-module bundle
    {GRAPHICS, InitGLFlat2DDriver},       // 22. GL 2D driver (imports the 2D layer and the GL context)
    {LOADERS, InitJPEGLoader},            // 23. JPEG loader
    {LOADERS, InitPNGLoader},             // 24. PNG loader
    {LOADERS, InitImageLoaders},          // 25. the image-loader bundle
    {GRAPHICS, InitGraphicsDriverChoice}, // 26. Direct3D drivers (not built): the GL 2D driver instead
    {GAMEPADS, InitGamepads},             // 27. joystick input: game controllers, plugged in now or later
    {SCRIPT, InitLuaBinding},             // 28. Lua binding helpers
    {SCRIPT, InitScriptEngine},           // 29. script engine
    {CONSOLE, InitConsole},               // 30. developer console
};

} // namespace

void RunModuleInitialisers(const GameModuleHooks& hooks, std::uint32_t modules)
{
    InitRuntimeCore();              // 1. runtime core
    if (hooks.first) hooks.first(); // 2. the game module's own initialiser
    for (const Step& step : STEPS_BEFORE_GAME_LAST) {
        if ((step.set & modules) != 0) step.init();
    }
    if (hooks.last) hooks.last(); // 31. the last game-side initialiser
}

void RunModuleInitialisers(std::uint32_t modules)
{
    RunModuleInitialisers(GameModuleHooks{}, modules);
}

} // namespace vanta
