// The "incbin" protocol: embedded files (runtime/EmbeddedFile.h) opened as read-only memory streams.
//
// "incbin::DATAS/lune.png" opens the block registered as "DATAS/lune.png" (exact, case-sensitive name)
// as a `TMemoryStream` over the block itself, positioned at 0; nothing is copied, and closing the stream
// leaves the block alone. An unregistered name, or a request to write, gives `Null`.
#pragma once

#include "stream/Stream.h"

namespace vanta {

// The factory for "incbin".
class TIncbinStreamOpener final : public TStreamOpener
{
    VANTA_CLASS(TIncbinStreamOpener, TStreamOpener)
public:
    TIncbinStreamOpener() = default;

    // A memory stream over the embedded file named by `path`; `Null` for other protocols, for an unknown
    // name and when `writeable` is set.
    Ref<TByteStream> CreateStream(const Ref<Object>& url, const Ref<String>& protocol, const Ref<String>& path,
                                  bool readable, bool writeable) override;
};

// The "incbin" module's initialiser: constructs the "incbin" factory.
void InitIncbinStreams();

} // namespace vanta
