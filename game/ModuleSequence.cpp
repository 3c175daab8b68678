// The module-initialisation sequence. Modules that this build leaves out (networking, the Direct3D
// drivers and the idle helper modules) have no initialiser here; their places are kept as comments so
// the order of the rest stays visible.
#include "game/ModuleSequence.h"

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

void InitGraphicsDriverChoice()
{
    static bool initialised = false;
    if (initialised) return;
    initialised = true;
    InitGLFlat2DDriver();
    // Where the Direct3D 7 2D driver would select itself: the GL 2D driver, double-buffered.
    SelectGraphicsDriver(GLFlat2DDriver(), GFX_BACKBUFFER);
}

void RunModuleInitialisers()
{
    InitRuntimeCore();        // 1. runtime core
    InitGameModule();         // 2. the game module
    InitAudio();              // 3. sound layer: installs the silent audio driver
    InitMemoryBlockStreams(); // 4. memory-bank streams
    InitPixmaps();            // 5. the older GL window module (not built): its import, the pixmap module
    InitBMPLoader();          // 6. BMP loader (imports the endian-stream module)
    InitSystem();             // 7. system and input: installs the host driver and creates the event queue
    InitFontModule();         // 8. font loader chain (registers the built-in typeface)
    InitWaveOutAudioDriver(); // 9. wave-out audio driver: replaces the silent driver when the device opens
    InitFreeTypeFontModule(); // 10. FreeType font loader
    // 11. HTTP stream protocol (networking is not built)
    // 12. sockets (networking is not built)
    InitLinkedLists(); // 13. linked lists
    // 14. filesystem helpers (not built)
    InitOggLoader();     // 15. Ogg Vorbis sound loader
    InitIncbinStreams(); // 16. "incbin" stream protocol
    // 17. pseudo-random numbers (not built)
    InitStandardIO();           // 18. standard input/output streams
    InitTGALoader();            // 19. TGA loader
    InitWAVLoader();            // 20. WAV sound loader
    InitStandardModules();      // 21. the standard-module bundle
    InitGLFlat2DDriver();       // 22. GL 2D driver (imports the 2D layer and the GL context driver)
    InitJPEGLoader();           // 23. JPEG loader
    InitPNGLoader();            // 24. PNG loader
    InitImageLoaders();         // 25. the image-loader bundle
    InitGraphicsDriverChoice(); // 26. Direct3D drivers (not built): the GL 2D driver is selected instead
    InitGamepads();             // 27. joystick input: game controllers, plugged in now or later
    InitLuaBinding();           // 28. Lua binding helpers
    InitScriptEngine();         // 29. script engine
    InitConsole();              // 30. developer console
    InitGameModuleLast();       // 31. the last game-side initialiser
}

} // namespace vanta::game
