// The module-initialisation sequence: complete, ordered, harmless to run twice, with the game's two steps
// in their places and module sets that start only what they name.
//
// What a step leaves behind is only visible in a process where it has not run yet, so the tests of the
// game's steps and of the module sets run in a fresh process each (a death test in the "threadsafe" style
// runs the test program again for just that test) and end it with status 0 when every check held.
#include "audio/OggLoader.h"
#include "audio/Sound.h"
#include "audio/WAVLoader.h"
#include "audio/waveout/WaveOut.h"
#include "audio/waveout/WaveOutAudioDriver.h"
#include "graphics/Graphics.h"
#include "graphics/gl/GLFlat2DDriver.h"
#include "pixmap/Pixmap.h"
#include "pixmap/loaders/BMPLoader.h"
#include "pixmap/loaders/JPEGLoader.h"
#include "pixmap/loaders/PNGLoader.h"
#include "pixmap/loaders/TGALoader.h"
#include "runtime/EmbeddedFile.h"
#include "runtime/Object.h"
#include "startup/ModuleSequence.h"
#include "stream/IncbinStream.h"
#include "stream/MemoryBlockStream.h"
#include "stream/MemoryStream.h"
#include "system/HostDriver.h"

#include <cstdio>
#include <cstdlib>

#include <gtest/gtest.h>

namespace vanta {
namespace {

TEST(ModuleSequence, RunningItAgainDoesNothing)
{
    RunModuleInitialisers();
    const int level = ReleaseStackLevel();
    const std::int64_t inUse = MemoryInUse();
    RunModuleInitialisers();
    EXPECT_EQ(ReleaseStackLevel(), level) << "a second run makes no objects";
    EXPECT_EQ(MemoryInUse(), inUse);
}

TEST(ModuleSequence, SelectsTheGL2DDriverOnceAndOnlyOnce)
{
    RunModuleInitialisers();
    EXPECT_EQ(CurrentGraphicsDriver().Raw(), GLFlat2DDriver().Raw());
    // A driver the program chose afterwards is not taken back by a second run.
    const Ref<TGraphicsDriver> other = New<TGraphicsDriver>();
    SelectGraphicsDriver(other, 0);
    RunModuleInitialisers();
    EXPECT_EQ(CurrentGraphicsDriver().Raw(), other.Raw());
    SelectGraphicsDriver(GLFlat2DDriver(), GFX_BACKBUFFER);
}

TEST(ModuleSequence, LeavesTheStreamFactoriesReadyNewestFirst)
{
    RunModuleInitialisers();
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
    RunModuleInitialisers();
    // WAV (step 20) is asked before Ogg Vorbis (step 15).
    ASSERT_TRUE(Downcast<TWAVLoader>(AudioSampleLoaders()));
    EXPECT_TRUE(Downcast<TOggLoader>(AudioSampleLoaders()->next));
    // The device opened at step 9 (SDL's dummy driver, set by this suite's CMake list, always opens one), and
    // the wave-out driver took over from the silent one.
    ASSERT_NE(audio::CurrentAudioDevice(), nullptr) << "SDL's dummy audio driver did not open";
    EXPECT_TRUE(Downcast<TWaveOutAudioDriver>(CurrentAudioDriver()));
}

TEST(ModuleSequence, RegistersTheImageLoadersSoThatPNGIsAskedFirst)
{
    RunModuleInitialisers();
    // BMP (step 6), TGA (19), JPEG (23) and PNG (24) each join at the head of the registry.
    Ref<TPixmapLoader> loader = PixmapLoaders();
    EXPECT_TRUE(Downcast<TPNGLoader>(loader));
    EXPECT_TRUE(Downcast<TJPEGLoader>(loader = loader->next));
    EXPECT_TRUE(Downcast<TTGALoader>(loader = loader->next));
    EXPECT_TRUE(Downcast<TBMPLoader>(loader = loader->next));
    EXPECT_TRUE(loader->next.IsNull());
}

// Runs `checks` in a fresh process and expects every one of them to hold. The child reports nothing to the
// test's listeners, so it writes its failed checks to standard error, which the parent shows.
template <typename Checks>
void ExpectInAFreshProcess(Checks checks)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            checks();
            const ::testing::TestResult& result = *::testing::UnitTest::GetInstance()->current_test_info()->result();
            for (int i = 0; i < result.total_part_count(); ++i) {
                const ::testing::TestPartResult& part = result.GetTestPartResult(i);
                if (part.failed())
                    std::fprintf(stderr, "%s:%d: %s\n", part.file_name(), part.line_number(), part.message());
            }
            std::exit(result.Failed() ? 1 : 0);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(ModuleSequence, RunsTheGamesFirstStepAfterTheRuntimeCoreAndItsLastStepAfterEverythingElse)
{
    ExpectInAFreshProcess([] {
        int calls = 0;
        GameModuleHooks hooks;
        hooks.first = [&] {
            EXPECT_EQ(++calls, 1);
            EXPECT_TRUE(CurrentAudioDriver().IsNull()) << "the sound layer (step 3) comes after";
            EXPECT_TRUE(PixmapLoaders().IsNull());
        };
        hooks.last = [&] {
            EXPECT_EQ(++calls, 2);
            EXPECT_TRUE(Downcast<TPNGLoader>(PixmapLoaders()));
            EXPECT_EQ(CurrentGraphicsDriver().Raw(), GLFlat2DDriver().Raw()) << "step 26 came before";
        };
        RunModuleInitialisers(hooks);
        EXPECT_EQ(calls, 2);
    });
}

TEST(ModuleSequence, TheLoaderSetRegistersEveryLoaderInOrderAndStartsNoDriver)
{
    ExpectInAFreshProcess([] {
        RunModuleInitialisers(MODULES_LOADERS);
        EXPECT_TRUE(Downcast<TPNGLoader>(PixmapLoaders()));
        EXPECT_TRUE(Downcast<TJPEGLoader>(PixmapLoaders()->next));
        ASSERT_TRUE(Downcast<TWAVLoader>(AudioSampleLoaders()));
        EXPECT_TRUE(Downcast<TOggLoader>(AudioSampleLoaders()->next));
        static const char bytes[] = "subset";
        EmbeddedFileAdd("subset/test.bin"_s, bytes, 6);
        EXPECT_TRUE(OpenReadStream("incbin::subset/test.bin"_s)) << "the loaders' streams came with them";
        EXPECT_TRUE(CurrentHostDriver().IsNull());
        EXPECT_TRUE(CurrentGraphicsDriver().IsNull());
        EXPECT_TRUE(CurrentAudioDriver().IsNull());
    });
}

TEST(ModuleSequence, TheGraphicsSetSelectsTheGL2DDriverOverTheSystemDriverAndRegistersNoLoader)
{
    ExpectInAFreshProcess([] {
        RunModuleInitialisers(MODULES_GRAPHICS);
        EXPECT_FALSE(CurrentHostDriver().IsNull());
        EXPECT_EQ(CurrentGraphicsDriver().Raw(), GLFlat2DDriver().Raw());
        EXPECT_TRUE(AudioSampleLoaders().IsNull());
        EXPECT_TRUE(CurrentAudioDriver().IsNull());
        // A later, larger start adds what it names and leaves the choice alone.
        const Ref<TGraphicsDriver> other = New<TGraphicsDriver>();
        SelectGraphicsDriver(other, 0);
        RunModuleInitialisers(MODULES_ALL);
        EXPECT_EQ(CurrentGraphicsDriver().Raw(), other.Raw());
        EXPECT_TRUE(Downcast<TWAVLoader>(AudioSampleLoaders()));
        EXPECT_FALSE(CurrentAudioDriver().IsNull());
    });
}

} // namespace
} // namespace vanta
