// The "incbin" protocol over the embedded-file registry.
#include "stream/IncbinStream.h"

#include "runtime/EmbeddedFile.h"
#include "stream/MemoryStream.h"

namespace vanta {

Ref<TByteStream> TIncbinStreamOpener::CreateStream(const Ref<Object>&, const Ref<String>& protocol,
                                                   const Ref<String>& path, bool readable, bool writeable)
{
    if (vanta::Compare(protocol, "incbin"_s) != 0 || writeable) return Null;
    const void* data = EmbeddedFileData(path);
    if (data == nullptr) return Null;
    // The stream is never writeable, so the block's bytes are only ever read through it.
    return TMemoryStream::Create(const_cast<void*>(data), EmbeddedFileSize(path), readable, false);
}

void InitIncbinStreams()
{
    static bool initialised = false;
    if (initialised) return;
    initialised = true;
    InitStreams();
    InitMemoryStreams();
    New<TIncbinStreamOpener>();
}

} // namespace vanta
