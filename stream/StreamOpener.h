// `TStreamOpener`: a stream factory, one link of the process-wide list that `OpenStream` asks in turn.
#pragma once

#include "stream/ByteStream.h"

namespace vanta {

// A stream factory: turns the URLs of one or more protocols into streams. Constructing one links it in at
// the head of the process-wide factory list, so it is asked before every factory made earlier; factories
// are never removed.
class TStreamOpener : public Object
{
    VANTA_CLASS(TStreamOpener, Object)
public:
    TStreamOpener();

    // A stream for `url` (split into `protocol` and `path` at the first "::"; both empty when the url is
    // not a string), or `Null` to let the next factory try. The base class throws
    // "Attempt to call abstract method".
    virtual Ref<TByteStream> CreateStream(const Ref<Object>& url, const Ref<String>& protocol, const Ref<String>& path,
                                          bool readable, bool writeable);

    // The factory made before this one, or `Null`.
    const Ref<TStreamOpener>& Next() const noexcept { return next_; }

private:
    Ref<TStreamOpener> next_;
};

} // namespace vanta
