// The runtime modules the asset tool runs before any command, in the game's order where it matters.
#include "audio/OggLoader.h"
#include "audio/WAVLoader.h"
#include "graphics/Font.h"
#include "graphics/FreeTypeFont.h"
#include "pixmap/Pixmap.h"
#include "pixmap/loaders/ImageLoaders.h"
#include "stream/EndianStream.h"
#include "stream/IncbinStream.h"
#include "stream/MemoryBlockStream.h"
#include "stream/StandardModules.h"
#include "tools/asset/AssetTool.h"

namespace vanta::asset {

void InitAssetModules()
{
    InitRuntimeCore();
    InitStandardModules();
    InitMemoryBlockStreams();
    InitEndianStreams();
    InitIncbinStreams();
    InitPixmaps();
    InitImageLoaders();
    // The game's order: Ogg Vorbis first, so the WAV loader is asked first.
    InitOggLoader();
    InitWAVLoader();
    InitFontModule();
    InitFreeTypeFontModule();
}

} // namespace vanta::asset
