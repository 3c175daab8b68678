// Ogg files edited page by page for tests: another serial number, another Vorbis rate, the offset where a
// chained file's second link begins. Each edit rewrites the checksums of the pages it touches (with
// libogg's own), so the result is as valid as the input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <utility>
#include <vector>

#include <ogg/ogg.h>

namespace vanta::test {

// One page of a file: where it starts and its header and body sizes.
struct OggPageSpan
{
    std::size_t offset;
    std::size_t headerBytes;
    std::size_t bodyBytes;
};

// The pages of `bytes`, walked by their framing from the first byte; stops at the first incomplete or
// misframed page.
inline std::vector<OggPageSpan> OggPageSpans(const std::vector<std::uint8_t>& bytes)
{
    std::vector<OggPageSpan> pages;
    std::size_t p = 0;
    while (p + 27 <= bytes.size() && std::memcmp(&bytes[p], "OggS", 4) == 0) {
        const std::size_t segments = bytes[p + 26];
        if (p + 27 + segments > bytes.size()) break;
        std::size_t body = 0;
        for (std::size_t i = 0; i < segments; ++i)
            body += bytes[p + 27 + i];
        if (p + 27 + segments + body > bytes.size()) break;
        pages.push_back({p, 27 + segments, body});
        p += 27 + segments + body;
    }
    return pages;
}

// Runs `edit`(header, body, body size) on every page of `bytes`, then rewrites the page's checksum.
inline std::vector<std::uint8_t>
EditOggPages(std::vector<std::uint8_t> bytes,
             const std::function<void(std::uint8_t*, std::uint8_t*, std::size_t)>& edit)
{
    for (const OggPageSpan& span : OggPageSpans(bytes)) {
        std::uint8_t* header = &bytes[span.offset];
        edit(header, header + span.headerBytes, span.bodyBytes);
        ogg_page page{header, static_cast<long>(span.headerBytes), header + span.headerBytes,
                      static_cast<long>(span.bodyBytes)};
        ogg_page_checksum_set(&page);
    }
    return bytes;
}

// `bytes` with every page moved to logical bitstream `serial`.
inline std::vector<std::uint8_t> WithOggSerial(std::vector<std::uint8_t> bytes, std::uint32_t serial)
{
    return EditOggPages(std::move(bytes), [serial](std::uint8_t* header, std::uint8_t*, std::size_t) {
        for (int i = 0; i < 4; ++i)
            header[14 + i] = static_cast<std::uint8_t>(serial >> (8 * i));
    });
}

// `bytes` with the rate of its Vorbis identification header set to `hertz` (the audio packets do not depend
// on it, so the file decodes to the same frames at the new rate).
inline std::vector<std::uint8_t> WithVorbisRate(std::vector<std::uint8_t> bytes, std::uint32_t hertz)
{
    return EditOggPages(std::move(bytes), [hertz](std::uint8_t* header, std::uint8_t* body, std::size_t size) {
        // The identification header: packet type 1, "vorbis", version (4 bytes), channels (1), rate (4).
        if ((header[5] & 2) == 0 || size < 16 || std::memcmp(body, "\x01vorbis", 7) != 0) return;
        for (int i = 0; i < 4; ++i)
            body[12 + i] = static_cast<std::uint8_t>(hertz >> (8 * i));
    });
}

// The offset of the first page that begins a second link (a first page of a bitstream after pages that are
// not), or the size of `bytes` when there is none.
inline std::size_t SecondOggLinkOffset(const std::vector<std::uint8_t>& bytes)
{
    bool pastBeginnings = false;
    for (const OggPageSpan& span : OggPageSpans(bytes)) {
        const bool begins = (bytes[span.offset + 5] & 2) != 0;
        if (begins && pastBeginnings) return span.offset;
        pastBeginnings = pastBeginnings || !begins;
    }
    return bytes.size();
}

} // namespace vanta::test
