// The sample loader registry and LoadAudioSample: newest loader first, each from the stream's start
// position, stream errors as rejections, other exceptions passed on, unseekable streams refused, and the
// stream closed however the load ends.
#include "audio/AudioSample.h"
#include "runtime/Error.h"
#include "stream/Stream.h"
#include "support/SoundTestSupport.h"

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace vanta::test {
namespace {

// A loader whose answer the test decides; it records the position it was called at.
class TScriptedLoader final : public TAudioSampleLoader
{
    VANTA_CLASS(TScriptedLoader, TAudioSampleLoader)
public:
    Ref<TAudioSample> LoadAudioSample(const Ref<TByteStream>& stream) override
    {
        positions.push_back(stream->Pos());
        ReadByte(stream); // every loader reads: the next one must still start where the stream began
        return answer ? answer() : Ref<TAudioSample>();
    }

    std::function<Ref<TAudioSample>()> answer;
    std::vector<std::int32_t> positions;
};

class SampleLoaderRegistry : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        InitAudioSamples();
        // Loaders are never unregistered: these two stay for the whole suite, silent unless a test scripts
        // them. `first` is made last, so it is asked first.
        second = New<TScriptedLoader>();
        first = New<TScriptedLoader>();
        // The "probe" protocol hands out the one watched stream the test set up.
        probe = New<TTestOpener>("probe", [](const Ref<String>&, bool, bool) -> Ref<TByteStream> { return probed; });
    }
    static void TearDownTestSuite()
    {
        first = Null;
        second = Null;
        probe = Null;
    }
    void SetUp() override
    {
        for (TScriptedLoader* loader : {first.Get(), second.Get()}) {
            loader->answer = nullptr;
            loader->positions.clear();
        }
        bytes = Bytes(64, 7);
        probed = TWatchedStream::Over(StreamOver(bytes));
    }
    void TearDown() override { probed = Null; }

    static Ref<TAudioSample> Made() { return CreateAudioSample(3, 8000, SF_MONO8); }

    static inline Ref<TScriptedLoader> first;
    static inline Ref<TScriptedLoader> second;
    static inline Ref<TTestOpener> probe;
    static inline Ref<TWatchedStream> probed;
    Bytes bytes;
};

TEST_F(SampleLoaderRegistry, NewLoadersJoinAtTheHead)
{
    EXPECT_EQ(AudioSampleLoaders(), first);
    EXPECT_EQ(first->next, second);
}

TEST_F(SampleLoaderRegistry, EveryLoaderStartsWhereTheStreamStarted)
{
    Ref<TMemoryStream> stream = StreamOver(bytes);
    stream->Seek(5);
    Ref<TAudioSample> made = Made();
    second->answer = [&] { return made; };
    Ref<TAudioSampleLoader> loadedBy;
    EXPECT_EQ(LoadAudioSample(stream, &loadedBy), made);
    EXPECT_EQ(loadedBy, second);
    EXPECT_EQ(first->positions, std::vector<std::int32_t>{5});
    EXPECT_EQ(second->positions, std::vector<std::int32_t>{5});
}

TEST_F(SampleLoaderRegistry, TheFirstWillingLoaderWins)
{
    Ref<TAudioSample> made = Made();
    first->answer = [&] { return made; };
    second->answer = [] { return Made(); };
    EXPECT_EQ(LoadAudioSample(StreamOver(bytes)), made);
    EXPECT_TRUE(second->positions.empty());
}

TEST_F(SampleLoaderRegistry, AStreamErrorIsThatLoadersRejection)
{
    Ref<TAudioSample> made = Made();
    first->answer = []() -> Ref<TAudioSample> { Throw(New<TStreamReadError>()); };
    second->answer = [&] { return made; };
    EXPECT_EQ(LoadAudioSample("probe::x"_s), made);
    EXPECT_EQ(probed->closes, 1);
}

TEST_F(SampleLoaderRegistry, OtherExceptionsPassThroughAndTheStreamIsClosed)
{
    first->answer = []() -> Ref<TAudioSample> { ThrowError("broken loader"); };
    try {
        LoadAudioSample("probe::x"_s);
        ADD_FAILURE() << "no exception";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "broken loader");
    }
    EXPECT_TRUE(second->positions.empty());
    EXPECT_EQ(probed->closes, 1);
}

TEST_F(SampleLoaderRegistry, AFailingCloseLeavesTheAnswerStanding)
{
    probed->closeFails = true;
    Ref<TAudioSample> made = Made();
    first->answer = [&] { return made; };
    EXPECT_EQ(LoadAudioSample("probe::x"_s), made);
    // The loader's own error is the one that comes out, not the close's.
    first->answer = []() -> Ref<TAudioSample> { ThrowError("broken loader"); };
    try {
        LoadAudioSample("probe::x"_s);
        ADD_FAILURE() << "no exception";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "broken loader");
    }
    EXPECT_EQ(probed->closes, 2);
}

TEST_F(SampleLoaderRegistry, NobodyWillingGivesNullAndClosesTheStream)
{
    Ref<TAudioSampleLoader> loadedBy = first;
    EXPECT_TRUE(LoadAudioSample("probe::x"_s, &loadedBy).IsNull());
    EXPECT_TRUE(loadedBy.IsNull());
    EXPECT_EQ(probed->closes, 1);
}

TEST_F(SampleLoaderRegistry, UnopenableUrlsGiveNull)
{
    first->answer = [] { return Made(); };
    EXPECT_TRUE(LoadAudioSample("/no/such/file.wav"_s).IsNull());
    EXPECT_TRUE(LoadAudioSample(Ref<Object>()).IsNull());
    EXPECT_TRUE(LoadAudioSample("nosuchprotocol::x"_s).IsNull());
    EXPECT_TRUE(first->positions.empty());
}

TEST_F(SampleLoaderRegistry, AStreamWithoutPositionsIsRefused)
{
    first->answer = [] { return Made(); };
    try {
        LoadAudioSample(TWatchedStream::Unseekable(StreamOver(bytes)));
        ADD_FAILURE() << "no exception";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "Stream is not seekable");
    }
    EXPECT_TRUE(first->positions.empty());
}

TEST_F(SampleLoaderRegistry, AStreamThatDoesNotGoBackToItsStartIsNotProbed)
{
    // It reports positions, but a seek goes nowhere: after a loader has read, the next would start
    // elsewhere than the stream began, so the walk ends with `Null` and the stream closed.
    first->answer = [] { return Ref<TAudioSample>(); };
    second->answer = [] { return Made(); };
    probed->seekFails = true;
    EXPECT_TRUE(LoadAudioSample("probe::x"_s).IsNull());
    EXPECT_TRUE(second->positions.empty());
    EXPECT_EQ(probed->closes, 1);
}

TEST_F(SampleLoaderRegistry, TheBaseLoaderIsAbstract)
{
    try {
        first->TAudioSampleLoader::LoadAudioSample(StreamOver(bytes));
        ADD_FAILURE() << "no exception";
    } catch (const Exception& e) {
        EXPECT_TRUE(e.Is<TAbstractMethodError>());
    }
}

} // namespace
} // namespace vanta::test
