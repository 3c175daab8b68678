// Memory-block streams and their factory.
#include "stream/MemoryBlockStream.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace vanta {

TMemoryBlockStream::TMemoryBlockStream(const Ref<TMemoryBlock>& block) : block_(block)
{}

std::int32_t TMemoryBlockStream::Pos()
{
    return pos_;
}

std::int32_t TMemoryBlockStream::Size()
{
    return block_->Size();
}

std::int32_t TMemoryBlockStream::Seek(std::int32_t pos)
{
    pos_ = std::clamp(pos, 0, block_->Size());
    return pos_;
}

std::int32_t TMemoryBlockStream::Read(void* buffer, std::int32_t count)
{
    const std::int32_t size = block_->Size();
    if (count < 1 || pos_ >= size) return 0;
    count = std::min(count, size - pos_);
    std::memcpy(buffer, block_->Buf() + pos_, static_cast<std::size_t>(count));
    pos_ += count;
    return count;
}

std::int32_t TMemoryBlockStream::Write(const void* buffer, std::int32_t count)
{
    const std::int32_t size = block_->Size();
    if (count < 1 || pos_ > size) return 0;
    // A block cannot hold more than the largest 32-bit size; what does not fit is not written.
    count = std::min(count, std::numeric_limits<std::int32_t>::max() - pos_);
    if (count < 1) return 0;
    if (pos_ + count > size) block_->Resize(pos_ + count);
    std::memcpy(block_->Buf() + pos_, buffer, static_cast<std::size_t>(count));
    pos_ += count;
    return count;
}

Ref<TMemoryBlockStream> TMemoryBlockStream::Create(const Ref<TMemoryBlock>& block)
{
    return New<TMemoryBlockStream>(block.IsNull() ? TMemoryBlock::Create(0) : block);
}

Ref<TMemoryBlockStream> CreateMemoryBlockStream(const Ref<TMemoryBlock>& block)
{
    return TMemoryBlockStream::Create(block);
}

Ref<TByteStream> TMemoryBlockStreamOpener::CreateStream(const Ref<Object>& url, const Ref<String>&, const Ref<String>&,
                                                        bool, bool)
{
    Ref<TMemoryBlock> block = Downcast<TMemoryBlock>(url);
    if (block.IsNull()) return Null;
    return CreateMemoryBlockStream(block);
}

void InitMemoryBlockStreams()
{
    static bool initialised = false;
    if (initialised) return;
    initialised = true;
    InitStreams();
    InitMemoryBlocks();
    New<TMemoryBlockStreamOpener>();
}

} // namespace vanta
