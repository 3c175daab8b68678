// `LoadPixmap`'s walk of the registry with loaders made for the test: the start position restored before
// each loader, stream errors counted as rejections, other errors passed on with the stream closed, streams
// that cannot seek refused. (Loaders are never unregistered, so this suite has a program of its own.)
#include "runtime/Error.h"
#include "support/LoaderTestSupport.h"
#include "support/StreamDoubles.h"

namespace vanta::test {
namespace {

// A loader that reads `take` bytes, then answers as `behaviour` says.
class TScriptedLoader : public TPixmapLoader
{
    VANTA_CLASS(TScriptedLoader, TPixmapLoader)
public:
    enum Behaviour
    {
        REFUSE,
        ACCEPT,
        STREAM_ERROR,
        OTHER_ERROR
    };

    Ref<TPixmap> LoadPixmap(const Ref<TByteStream>& stream) override
    {
        ++calls;
        startSeen = stream->Pos();
        stream->SkipBytes(take);
        switch (behaviour) {
        case ACCEPT: return CreatePixmap(width, 1, PF_I8);
        case STREAM_ERROR: Throw(New<TStreamReadError>());
        case OTHER_ERROR: ThrowError("loader failure");
        default: return Null;
        }
    }

    Behaviour behaviour = REFUSE;
    std::int32_t take = 3;
    std::int32_t width = 1;
    int calls = 0;
    std::int32_t startSeen = -2;
};

struct Registry
{
    Ref<TScriptedLoader> first;  // registered first: asked last
    Ref<TScriptedLoader> second; // asked in the middle
    Ref<TScriptedLoader> third;  // registered last: asked first

    Registry()
    {
        InitLoadersForTest();
        first = New<TScriptedLoader>();
        second = New<TScriptedLoader>();
        third = New<TScriptedLoader>();
        // The real loaders, registered before, come after these and refuse the test's bytes.
        first->behaviour = TScriptedLoader::REFUSE;
        second->behaviour = TScriptedLoader::REFUSE;
        third->behaviour = TScriptedLoader::REFUSE;
    }
    ~Registry()
    {
        // Registered loaders stay for good: make them harmless for the next test.
        first->behaviour = second->behaviour = third->behaviour = TScriptedLoader::REFUSE;
    }
};

const std::string DATA = "some bytes no real loader takes";

TEST(LoadPixmap, EveryLoaderStartsFromTheSamePosition)
{
    Registry registry;
    registry.first->behaviour = TScriptedLoader::ACCEPT;
    registry.first->width = 7;
    const std::string bytes = "xx" + DATA;
    const Ref<TMemoryStream> stream = MemoryOver(bytes);
    stream->Seek(2);
    const Ref<TPixmap> pixmap = LoadPixmap(stream);
    ASSERT_FALSE(pixmap.IsNull());
    EXPECT_EQ(pixmap->Width(), 7);
    for (const auto& loader : {registry.first, registry.second, registry.third}) {
        EXPECT_EQ(loader->calls, 1);
        EXPECT_EQ(loader->startSeen, 2);
    }
}

TEST(LoadPixmap, TheFirstLoaderToAnswerWins)
{
    Registry registry;
    registry.second->behaviour = TScriptedLoader::ACCEPT;
    registry.second->width = 2;
    registry.first->behaviour = TScriptedLoader::ACCEPT;
    Ref<TPixmapLoader> loader;
    EXPECT_EQ(LoadPixmapWithLoader(MemoryOver(DATA), loader)->Width(), 2);
    EXPECT_EQ(loader.Raw(), registry.second.Raw());
    EXPECT_EQ(registry.first->calls, 0);
}

TEST(LoadPixmap, AStreamErrorIsARejection)
{
    Registry registry;
    registry.third->behaviour = TScriptedLoader::STREAM_ERROR;
    registry.first->behaviour = TScriptedLoader::ACCEPT;
    EXPECT_FALSE(LoadPixmap(MemoryOver(DATA)).IsNull());
    EXPECT_EQ(registry.second->calls, 1);
}

TEST(LoadPixmap, OtherErrorsPropagateAfterTheStreamIsClosed)
{
    Registry registry;
    registry.second->behaviour = TScriptedLoader::OTHER_ERROR;
    const Ref<TWatchedStream> watched = New<TWatchedStream>();
    watched->SetStream(MemoryOver(DATA));
    const Ref<TByteStream> file = OpenReadStream(watched);
    try {
        LoadPixmap(file);
        FAIL() << "the error was swallowed";
    } catch (const Exception& e) {
        EXPECT_TRUE(e.Is<TMessageError>());
    }
    EXPECT_EQ(registry.first->calls, 0);
    // `file` was handed in as an object, so LoadPixmap's borrowed wrapper was closed, not `file`.
    EXPECT_EQ(watched->closes, 0);
}

TEST(LoadPixmap, AStreamThatCannotSeekGivesNullEvenForAValidPicture)
{
    Registry registry;
    registry.third->behaviour = TScriptedLoader::ACCEPT;
    const std::string bytes = Fixture("png_rgb.png");
    const Ref<TWatchedStream> stream = New<TWatchedStream>();
    stream->SetStream(MemoryOver(bytes));
    stream->seekable = false;
    EXPECT_TRUE(LoadPixmap(stream).IsNull());
    EXPECT_EQ(registry.third->calls, 0);
    stream->seekable = true;
    stream->Seek(0);
    EXPECT_FALSE(LoadPixmap(stream).IsNull());
}

TEST(LoadPixmap, AStreamThatDoesNotGoBackToItsStartIsNotProbed)
{
    // It reports positions, but a seek goes nowhere: no loader may read it from elsewhere than it began.
    Registry registry;
    registry.second->behaviour = TScriptedLoader::ACCEPT;
    const Ref<TWatchedStream> stream = New<TWatchedStream>();
    stream->SetStream(MemoryOver(DATA));
    stream->seekFails = true;
    EXPECT_TRUE(LoadPixmap(stream).IsNull());
    EXPECT_EQ(registry.second->calls, 0);
}

} // namespace
} // namespace vanta::test
