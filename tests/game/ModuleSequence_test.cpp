// The module-initialisation sequence: complete, ordered, and harmless to run twice.
#include "audio/OggLoader.h"
#include "audio/Sound.h"
#include "audio/WAVLoader.h"
#include "audio/waveout/WaveOut.h"
#include "audio/waveout/WaveOutAudioDriver.h"
#include "game/ModuleSequence.h"
#include "graphics/Graphics.h"
#include "graphics/gl/GLFlat2DDriver.h"
#include "pixmap/Pixmap.h"
#include "pixmap/loaders/BMPLoader.h"
#include "pixmap/loaders/JPEGLoader.h"
#include "pixmap/loaders/PNGLoader.h"
#include "pixmap/loaders/TGALoader.h"
#include "runtime/EmbeddedFile.h"
#include "runtime/Object.h"
#include "stream/IncbinStream.h"
#include "stream/MemoryBlockStream.h"
#include "stream/MemoryStream.h"

#include <gtest/gtest.h>

namespace vanta {
namespace {

TEST(ModuleSequence, RunningItAgainDoesNothing)
{
    game::RunModuleInitialisers();
    const int level = ReleaseStackLevel();
    const std::int64_t inUse = MemoryInUse();
    game::RunModuleInitialisers();
    EXPECT_EQ(ReleaseStackLevel(), level) << "a second run makes no objects";
    EXPECT_EQ(MemoryInUse(), inUse);
}

TEST(ModuleSequence, SelectsTheGL2DDriverOnceAndOnlyOnce)
{
    game::RunModuleInitialisers();
    EXPECT_EQ(CurrentGraphicsDriver().Raw(), GLFlat2DDriver().Raw());
    // A driver the program chose afterwards is not taken back by a second run.
    const Ref<TGraphicsDriver> other = New<TGraphicsDriver>();
    SelectGraphicsDriver(other, 0);
    game::RunModuleInitialisers();
    EXPECT_EQ(CurrentGraphicsDriver().Raw(), other.Raw());
    SelectGraphicsDriver(GLFlat2DDriver(), GFX_BACKBUFFER);
}

TEST(ModuleSequence, LeavesTheStreamFactoriesReadyNewestFirst)
{
    game::RunModuleInitialisers();
    static const char bytes[] = "sequence";
    EmbeddedFileAdd("sequence/test.bin"_s, bytes, 8);
    EXPECT_TRUE(Downcast<TMemoryStream>(OpenReadStream("incbin::sequence/test.bin"_s)));
    EXPECT_TRUE(Downcast<TMemoryBlockStream>(OpenReadStream(CreateMemoryBlock(1))));
    // Newest first: "incbin" (step 16) is asked before the memory-block factory (step 4), which is last.
    // (The endian factory comes with the first module that imports it, the BMP or the WAV loader.)
    Ref<TStreamOpener> factory = StreamFactories();
    while (factory && !Downcast<TIncbinStreamOpener>(factory))
        factory = factory->Next();
    ASSERT_TRUE(factory);
    while (factory->Next())
        factory = factory->Next();
    EXPECT_TRUE(Downcast<TMemoryBlockStreamOpener>(factory));
}

TEST(ModuleSequence, LeavesTheSoundLoadersAndTheAudioDriverInPlace)
{
    game::RunModuleInitialisers();
    // WAV (step 20) is asked before Ogg Vorbis (step 15).
    ASSERT_TRUE(Downcast<TWAVLoader>(AudioSampleLoaders()));
    EXPECT_TRUE(Downcast<TOggLoader>(AudioSampleLoaders()->next));
    // The wave-out driver took over when the device opened (SDL's dummy driver here); without a device the
    // silent driver stays.
    if (audio::CurrentAudioDevice() != nullptr) {
        EXPECT_TRUE(Downcast<TWaveOutAudioDriver>(CurrentAudioDriver()));
    } else {
        EXPECT_EQ(CurrentAudioDriver()->Class(), &classRecordOf<TAudioDriver>);
    }
}

TEST(ModuleSequence, RegistersTheImageLoadersSoThatPNGIsAskedFirst)
{
    game::RunModuleInitialisers();
    // BMP (step 6), TGA (19), JPEG (23) and PNG (24) each join at the head of the registry.
    Ref<TPixmapLoader> loader = PixmapLoaders();
    EXPECT_TRUE(Downcast<TPNGLoader>(loader));
    EXPECT_TRUE(Downcast<TJPEGLoader>(loader = loader->next));
    EXPECT_TRUE(Downcast<TTGALoader>(loader = loader->next));
    EXPECT_TRUE(Downcast<TBMPLoader>(loader = loader->next));
    EXPECT_TRUE(loader->next.IsNull());
}

} // namespace
} // namespace vanta
