// Memory-block streams: a stream over a `TMemoryBlock` that appends by growing the block, and the
// factory that opens any memory block passed to `OpenStream` as a URL.
#pragma once

#include "stream/MemoryBlock.h"
#include "stream/Stream.h"

#include <cstdint>

namespace vanta {

// A stream over a memory block, readable and writeable; writing at the end appends.
class TMemoryBlockStream final : public TByteStream
{
    VANTA_CLASS(TMemoryBlockStream, TByteStream)
public:
    // Use `Create`.
    explicit TMemoryBlockStream(const Ref<TMemoryBlock>& block);

    std::int32_t Pos() override;

    // The block's current size.
    std::int32_t Size() override;

    // Moves to `pos` kept within 0 .. `Size` and returns it.
    std::int32_t Seek(std::int32_t pos) override;

    // Copies up to `count` bytes from the block; 0 at its end and for a count below 1.
    std::int32_t Read(void* buffer, std::int32_t count) override;

    // Copies `count` bytes into the block, growing it when the bytes reach past its end; 0 for a count
    // below 1 and when the position lies past the block's end (after the block shrank).
    std::int32_t Write(const void* buffer, std::int32_t count) override;

    // A new stream over `block` (a new empty block for `Null`), positioned at 0.
    static Ref<TMemoryBlockStream> Create(const Ref<TMemoryBlock>& block);

    // The block.
    const Ref<TMemoryBlock>& Block() const noexcept { return block_; }

private:
    std::int32_t pos_ = 0;
    Ref<TMemoryBlock> block_;
};

// `TMemoryBlockStream::Create`: a stream over `block`, or over a new empty block for `Null`.
Ref<TMemoryBlockStream> CreateMemoryBlockStream(const Ref<TMemoryBlock>& block);

// The factory for memory blocks: accepts any url that is a `TMemoryBlock`, whatever the protocol.
class TMemoryBlockStreamOpener final : public TStreamOpener
{
    VANTA_CLASS(TMemoryBlockStreamOpener, TStreamOpener)
public:
    TMemoryBlockStreamOpener() = default;

    // A stream over the block, or `Null` when the url is not a memory block.
    Ref<TByteStream> CreateStream(const Ref<Object>& url, const Ref<String>& protocol, const Ref<String>& path,
                                  bool readable, bool writeable) override;
};

// The memory-block stream module's initialiser: constructs the memory-block factory.
void InitMemoryBlockStreams();

} // namespace vanta
