// Memory blocks: owned or borrowed byte runs with bounds-checked typed access.
#include "stream/MemoryBlock.h"

#include "runtime/Error.h"
#include "runtime/Memory.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace vanta {

TMemoryBlock::~TMemoryBlock()
{
    if (capacity_ >= 0) MemFree(data_, capacity_);
}

std::uint8_t* TMemoryBlock::Buf()
{
    return data_;
}

std::int32_t TMemoryBlock::Size()
{
    return size_;
}

std::int32_t TMemoryBlock::Capacity()
{
    return capacity_;
}

void TMemoryBlock::Resize(std::int32_t size)
{
    size = std::max(size, 0);
    // Growing past the end of memory the block does not own means copying into owned memory (of exactly
    // the size asked for, as the capacity -1 grown by half stays below it).
    const std::int32_t room = capacity_ < 0 ? externalSize_ : capacity_;
    if (size > room) {
        const std::int64_t grown = std::min<std::int64_t>(std::max<std::int64_t>(std::int64_t{capacity_} * 3 / 2, size),
                                                          std::numeric_limits<std::int32_t>::max());
        auto* data = static_cast<std::uint8_t*>(MemAlloc(grown));
        if (size_ > 0) std::memcpy(data, data_, static_cast<std::size_t>(size_));
        if (capacity_ >= 0) MemFree(data_, capacity_);
        data_ = data;
        capacity_ = static_cast<std::int32_t>(grown);
    }
    size_ = size;
}

void TMemoryBlock::CheckRange(std::int32_t offset, std::int64_t count) const
{
    if (offset < 0 || count < 0 || offset + count > size_) ThrowError("Attempt to access memory block beyond its size");
}

std::int32_t TMemoryBlock::ReadFrom(const Ref<TByteStream>& stream, std::int32_t offset, std::int32_t count)
{
    CheckRange(offset, count);
    return stream->Read(data_ + offset, count);
}

std::int32_t TMemoryBlock::WriteTo(const Ref<TByteStream>& stream, std::int32_t offset, std::int32_t count)
{
    CheckRange(offset, count);
    return stream->Write(data_ + offset, count);
}

template <class T>
T TMemoryBlock::Peek(std::int32_t offset) const
{
    CheckRange(offset, sizeof(T));
    T value;
    std::memcpy(&value, data_ + offset, sizeof(T));
    return value;
}

template <class T>
void TMemoryBlock::Poke(std::int32_t offset, T value)
{
    CheckRange(offset, sizeof(T));
    std::memcpy(data_ + offset, &value, sizeof(T));
}

std::int32_t TMemoryBlock::PeekByte(std::int32_t offset)
{
    return Peek<std::uint8_t>(offset);
}

void TMemoryBlock::PokeByte(std::int32_t offset, std::int32_t value)
{
    Poke(offset, static_cast<std::uint8_t>(value));
}

std::int32_t TMemoryBlock::PeekShort(std::int32_t offset)
{
    return Peek<std::uint16_t>(offset);
}

void TMemoryBlock::PokeShort(std::int32_t offset, std::int32_t value)
{
    Poke(offset, static_cast<std::uint16_t>(value));
}

std::int32_t TMemoryBlock::PeekInt(std::int32_t offset)
{
    return Peek<std::int32_t>(offset);
}

void TMemoryBlock::PokeInt(std::int32_t offset, std::int32_t value)
{
    Poke(offset, value);
}

std::int64_t TMemoryBlock::PeekLong(std::int32_t offset)
{
    return Peek<std::int64_t>(offset);
}

void TMemoryBlock::PokeLong(std::int32_t offset, std::int64_t value)
{
    Poke(offset, value);
}

float TMemoryBlock::PeekFloat(std::int32_t offset)
{
    return Peek<float>(offset);
}

void TMemoryBlock::PokeFloat(std::int32_t offset, float value)
{
    Poke(offset, value);
}

double TMemoryBlock::PeekDouble(std::int32_t offset)
{
    return Peek<double>(offset);
}

void TMemoryBlock::PokeDouble(std::int32_t offset, double value)
{
    Poke(offset, value);
}

std::int32_t TMemoryBlock::Save(const Ref<Object>& url)
{
    Ref<TByteStream> stream = OpenWriteStream(url);
    if (stream.IsNull()) return 0;
    stream->WriteBytes(data_, size_);
    // A close that could not write the last buffered bytes (a full disk) is a failed save.
    return stream->Close() == 0 ? 1 : 0;
}

Ref<TMemoryBlock> TMemoryBlock::Load(const Ref<Object>& url)
{
    Ref<TByteStream> stream = OpenReadStream(url);
    if (stream.IsNull()) return Null;
    Ref<Array> bytes = LoadByteArray(stream);
    Ref<TMemoryBlock> block = Create(bytes->Length());
    if (bytes->Length() > 0) std::memcpy(block->data_, bytes->Data(), static_cast<std::size_t>(bytes->Length()));
    stream->Close();
    return block;
}

Ref<TMemoryBlock> TMemoryBlock::Create(std::int32_t size)
{
    size = std::max(size, 0);
    Ref<TMemoryBlock> block = New<TMemoryBlock>();
    block->data_ = static_cast<std::uint8_t*>(MemAlloc(size));
    block->size_ = size;
    block->capacity_ = size;
    return block;
}

Ref<TMemoryBlock> TMemoryBlock::CreateStatic(void* data, std::int32_t size)
{
    Ref<TMemoryBlock> block = New<TMemoryBlock>();
    block->data_ = static_cast<std::uint8_t*>(data);
    block->size_ = data == nullptr ? 0 : std::max(size, 0);
    block->externalSize_ = block->size_;
    block->capacity_ = -1;
    return block;
}

Ref<TMemoryBlock> CreateMemoryBlock(std::int32_t size)
{
    return TMemoryBlock::Create(size);
}

Ref<TMemoryBlock> CreateStaticMemoryBlock(void* data, std::int32_t size)
{
    return TMemoryBlock::CreateStatic(data, size);
}

Ref<TMemoryBlock> LoadMemoryBlock(const Ref<Object>& url)
{
    return TMemoryBlock::Load(url);
}

void InitMemoryBlocks()
{
    static bool initialised = false;
    if (initialised) return;
    initialised = true;
    InitStreams();
}

} // namespace vanta
