// The first link of an Ogg stream, page by page: what the Ogg loader lets libvorbisfile see.
// Builds on: the stream layer, libogg's page sync.
//
// A chained Ogg file is several links one after another, each beginning with the first pages (BOS) of its
// logical bitstreams. Opening a file it can seek in, libvorbisfile 1.3.7 visits every link, and a later
// link whose headers are broken leaves the memory it set up for that link behind: about 35 KB on every
// load, more with the codebooks put into the broken link. A sample is one link, so the loader shows the
// library only the first: this reader frames the stream's pages with libogg's own sync (the framing the
// library would find itself), hands on whole pages and nothing between them, and ends where a page begins
// a second link. The library then reads straight through and never seeks: a seek could land inside a
// page's body and find a page hidden there that this reader never framed.
#pragma once

#include "stream/Stream.h"

#include <cstdint>

#include <ogg/ogg.h>

namespace vanta::detail {

// Reads the pages of the first link of the Ogg data at a stream's current position.
class OggFirstLink
{
public:
    // A reader over `stream` from its present position; the stream must outlive it.
    explicit OggFirstLink(TByteStream& stream);
    ~OggFirstLink();

    OggFirstLink(const OggFirstLink&) = delete;
    OggFirstLink& operator=(const OggFirstLink&) = delete;

    // Copies up to `count` bytes of the link's pages into `buffer` and returns how many; fewer only at the
    // link's end, 0 after it. Throws the stream's errors, and `std::bad_alloc` when libogg has no memory.
    std::int32_t Read(void* buffer, std::int32_t count);

    // Moves to the link's next page and returns it (valid until the next call), or nullptr at the end of the
    // link: at the end of the stream, at a page that begins another link, or when no page starts within
    // `FIRST_PAGE_WITHIN` bytes. Throws as `Read` does.
    const ogg_page* NextPage();

    // How far into the stream the first page may start: data that holds none by then is not Ogg.
    static constexpr std::int32_t FIRST_PAGE_WITHIN = 64 * 1024;

private:
    TByteStream& stream_;
    ogg_sync_state sync_;
    ogg_page page_{};
    // The bytes of the current page not yet handed on by `Read` (header first, then body).
    std::int64_t handed_ = 0;
    bool havePage_ = false;
    // Bytes skipped before the first page, pages seen, and whether a page that does not begin a bitstream
    // has gone by (after which a beginning page starts the next link).
    std::int64_t skipped_ = 0;
    bool pageSeen_ = false;
    bool pastBeginnings_ = false;
    bool ended_ = false;
};

// Reads the first link of the Ogg data at the stream's position to its end and returns the length that
// the link's first Vorbis bitstream announces (the granule position of its last page that has one), or -1
// when none does. Leaves the stream where the reading stopped. Throws as `OggFirstLink::Read` does.
std::int64_t AnnouncedOggFrames(TByteStream& stream);

} // namespace vanta::detail
