// URL protocols: the process-wide list of stream factories and `OpenStream`.
#include "runtime/Error.h"
#include "stream/Stream.h"

namespace vanta {
namespace {

// The newest factory; each factory's `next_` leads to the one made before it.
constinit Ref<TStreamOpener> factoryHead;

} // namespace

TStreamOpener::TStreamOpener()
{
    next_ = factoryHead;
    factoryHead = this;
}

Ref<TByteStream> TStreamOpener::CreateStream(const Ref<Object>&, const Ref<String>&, const Ref<String>&, bool, bool)
{
    ThrowAbstractMethod();
}

const Ref<TStreamOpener>& StreamFactories() noexcept
{
    return factoryHead;
}

Ref<TByteStream> OpenStream(const Ref<Object>& url, bool readable, bool writeable)
{
    if (Ref<TByteStream> stream = Downcast<TByteStream>(url)) return TBorrowedStream::Create(stream);

    Ref<String> protocol = EmptyString();
    Ref<String> path = EmptyString();
    if (Ref<String> text = Downcast<String>(url); text && text->Length() > 0) {
        const std::int32_t separator = text->Find("::"_s);
        // Plain paths never reach the factories.
        if (separator < 0) return TFileStream::OpenFile(text, readable, writeable);
        protocol = Slice(text, 0, separator);
        path = Slice(text, separator + 2, text->Length());
    }
    for (Ref<TStreamOpener> factory = factoryHead; factory; factory = factory->Next()) {
        if (Ref<TByteStream> stream = factory->CreateStream(url, protocol, path, readable, writeable)) return stream;
    }
    return Null;
}

Ref<TByteStream> OpenReadStream(const Ref<Object>& url)
{
    return OpenStream(url, true, false);
}

Ref<TByteStream> OpenWriteStream(const Ref<Object>& url)
{
    return OpenStream(url, false, true);
}

} // namespace vanta
