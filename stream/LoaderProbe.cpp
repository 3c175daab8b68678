// One stream offered to a chain of loaders in turn (see LoaderProbe.h).
#include "stream/LoaderProbe.h"

namespace vanta {

LoaderProbe::LoaderProbe(const Ref<Object>& url) : stream_(OpenReadStream(url))
{
    if (!stream_.IsNull()) start_ = stream_->Pos();
}

LoaderProbe::~LoaderProbe()
{
    if (stream_.IsNull()) return;
    try {
        stream_->Close();
    } catch (...) {
        // Dropped: see the declaration.
    }
}

bool LoaderProbe::Rewind()
{
    return start_ >= 0 && stream_->Seek(start_) == start_;
}

} // namespace vanta
