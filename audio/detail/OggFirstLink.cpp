// The first link of an Ogg stream, page by page (see OggFirstLink.h).
#include "audio/detail/OggFirstLink.h"

#include "audio/detail/SampleBlock.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace vanta::detail {
namespace {

// How much is read from the stream at a time.
constexpr std::int32_t CHUNK = 4096;

} // namespace

OggFirstLink::OggFirstLink(TByteStream& stream) : stream_(stream)
{
    ogg_sync_init(&sync_);
}

OggFirstLink::~OggFirstLink()
{
    ogg_sync_clear(&sync_);
}

const ogg_page* OggFirstLink::NextPage()
{
    // The page handed out last points into the sync buffer, which reading more may move: it is done with.
    havePage_ = false;
    while (!ended_) {
        const long framed = ogg_sync_pageseek(&sync_, &page_);
        if (framed > 0) {
            pageSeen_ = true;
            const bool begins = ogg_page_bos(&page_) != 0;
            if (begins && pastBeginnings_) {
                ended_ = true;
                break;
            }
            pastBeginnings_ = pastBeginnings_ || !begins;
            havePage_ = true;
            handed_ = 0;
            return &page_;
        }
        if (framed < 0) {
            // Bytes that are no page (or a page whose checksum fails) are dropped.
            if (!pageSeen_) {
                skipped_ -= framed;
                ended_ = skipped_ > FIRST_PAGE_WITHIN;
            }
            continue;
        }
        char* room = ogg_sync_buffer(&sync_, CHUNK);
        if (room == nullptr) throw std::bad_alloc();
        const std::int32_t arrived = ReadAvailable(stream_, room, CHUNK);
        ogg_sync_wrote(&sync_, arrived);
        ended_ = arrived == 0;
    }
    return nullptr;
}

std::int32_t OggFirstLink::Read(void* buffer, std::int32_t count)
{
    auto* out = static_cast<std::uint8_t*>(buffer);
    std::int32_t done = 0;
    while (done < count) {
        if (!havePage_ || handed_ == page_.header_len + page_.body_len) {
            if (NextPage() == nullptr) break;
        }
        // The header, then the body.
        const bool inHeader = handed_ < page_.header_len;
        const unsigned char* from = inHeader ? page_.header + handed_ : page_.body + (handed_ - page_.header_len);
        const std::int64_t left = inHeader ? page_.header_len - handed_ : page_.header_len + page_.body_len - handed_;
        const auto n = static_cast<std::int32_t>(std::min<std::int64_t>(left, count - done));
        std::memcpy(out + done, from, static_cast<std::size_t>(n));
        done += n;
        handed_ += n;
    }
    return done;
}

std::int64_t AnnouncedOggFrames(TByteStream& stream)
{
    OggFirstLink link(stream);
    // libvorbisfile decodes the first bitstream whose first packet is a Vorbis identification header.
    static constexpr char VORBIS_ID[] = "\x01vorbis";
    constexpr long VORBIS_ID_BYTES = sizeof VORBIS_ID - 1;
    bool found = false;
    long serial = 0;
    std::int64_t frames = -1;
    while (const ogg_page* page = link.NextPage()) {
        if (!found && ogg_page_bos(page) != 0 && page->body_len >= VORBIS_ID_BYTES &&
            std::memcmp(page->body, VORBIS_ID, VORBIS_ID_BYTES) == 0) {
            found = true;
            serial = ogg_page_serialno(page);
        }
        if (found && ogg_page_serialno(page) == serial && ogg_page_granulepos(page) >= 0)
            frames = ogg_page_granulepos(page);
    }
    return frames;
}

} // namespace vanta::detail
