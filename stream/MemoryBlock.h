// Memory blocks: resizable runs of bytes with typed peek and poke, loadable from and savable to URLs.
//
// A block owns its memory, except one made by `CreateStatic` over memory it was given: that one owns
// nothing until it first grows, when it copies the bytes into memory of its own. Growth is by half the
// capacity (at least to the size asked for), so repeated appends stay cheap. Peek and poke use the
// machine's byte order (little-endian).
//
// Every access is checked against the block's size: an offset or range outside 0 .. `Size` throws
// "Attempt to access memory block beyond its size" (a runtime error) and touches nothing.
//
// Main thread only.
#pragma once

#include "stream/Stream.h"

#include <cstdint>

namespace vanta {

// A resizable run of bytes.
class TMemoryBlock final : public Object
{
    VANTA_CLASS(TMemoryBlock, Object)
public:
    // An empty block (no memory, size and capacity 0); use `Create` or `CreateStatic`.
    TMemoryBlock() = default;
    ~TMemoryBlock() override;

    // The first byte; nullptr for a block that never had memory.
    virtual std::uint8_t* Buf();

    // Bytes in use.
    virtual std::int32_t Size();

    // Bytes allocated; -1 while the block runs over memory it does not own.
    virtual std::int32_t Capacity();

    // Makes the size `size` (a negative size counts as 0), growing the memory when needed; the bytes
    // kept keep their values, new bytes are not cleared.
    virtual void Resize(std::int32_t size);

    // The stream's `Read` into bytes `offset` .. `offset + count - 1`: the bytes read.
    virtual std::int32_t ReadFrom(const Ref<TByteStream>& stream, std::int32_t offset, std::int32_t count);

    // The stream's `Write` from bytes `offset` .. `offset + count - 1`: the bytes written.
    virtual std::int32_t WriteTo(const Ref<TByteStream>& stream, std::int32_t offset, std::int32_t count);

    // The byte at `offset`, 0-255.
    virtual std::int32_t PeekByte(std::int32_t offset);
    // Stores the low 8 bits at `offset`.
    virtual void PokeByte(std::int32_t offset, std::int32_t value);
    // The 2 bytes at `offset`, 0-65535.
    virtual std::int32_t PeekShort(std::int32_t offset);
    // Stores the low 16 bits at `offset`.
    virtual void PokeShort(std::int32_t offset, std::int32_t value);
    virtual std::int32_t PeekInt(std::int32_t offset);
    virtual void PokeInt(std::int32_t offset, std::int32_t value);
    virtual std::int64_t PeekLong(std::int32_t offset);
    virtual void PokeLong(std::int32_t offset, std::int64_t value);
    virtual float PeekFloat(std::int32_t offset);
    virtual void PokeFloat(std::int32_t offset, float value);
    virtual double PeekDouble(std::int32_t offset);
    virtual void PokeDouble(std::int32_t offset, double value);

    // Writes the bytes in use to a stream opened from `url`: 1, or 0 when the url cannot be opened.
    // Throws `TStreamWriteError`.
    virtual std::int32_t Save(const Ref<Object>& url);

    // A block holding everything the stream opened from `url` delivers; `Null` when it cannot be opened.
    static Ref<TMemoryBlock> Load(const Ref<Object>& url);

    // A block of `size` bytes (not cleared; a negative size counts as 0).
    static Ref<TMemoryBlock> Create(std::int32_t size);

    // A block over `size` bytes at `data`, which it does not own or free (a negative size counts as 0).
    static Ref<TMemoryBlock> CreateStatic(void* data, std::int32_t size);

private:
    // Throws unless bytes `offset` .. `offset + count - 1` lie inside the block.
    void CheckRange(std::int32_t offset, std::int64_t count) const;

    template <class T>
    T Peek(std::int32_t offset) const;
    template <class T>
    void Poke(std::int32_t offset, T value);

    std::uint8_t* data_ = nullptr;
    std::int32_t size_ = 0;
    std::int32_t capacity_ = 0;
    // The extent of memory the block does not own (capacity -1): it may shrink and grow within it.
    std::int32_t externalSize_ = 0;
};

// The slots as free functions; each throws `TNullObjectError` for `Null`.
inline std::uint8_t* Buf(const Ref<TMemoryBlock>& block)
{
    return block->Buf();
}
inline std::int32_t Size(const Ref<TMemoryBlock>& block)
{
    return block->Size();
}
inline std::int32_t Capacity(const Ref<TMemoryBlock>& block)
{
    return block->Capacity();
}
inline void Resize(const Ref<TMemoryBlock>& block, std::int32_t size)
{
    block->Resize(size);
}
inline std::int32_t ReadFrom(const Ref<TMemoryBlock>& block, const Ref<TByteStream>& stream, std::int32_t offset,
                             std::int32_t count)
{
    return block->ReadFrom(stream, offset, count);
}
inline std::int32_t WriteTo(const Ref<TMemoryBlock>& block, const Ref<TByteStream>& stream, std::int32_t offset,
                            std::int32_t count)
{
    return block->WriteTo(stream, offset, count);
}
inline std::int32_t PeekByte(const Ref<TMemoryBlock>& block, std::int32_t offset)
{
    return block->PeekByte(offset);
}
inline void PokeByte(const Ref<TMemoryBlock>& block, std::int32_t offset, std::int32_t value)
{
    block->PokeByte(offset, value);
}
inline std::int32_t PeekShort(const Ref<TMemoryBlock>& block, std::int32_t offset)
{
    return block->PeekShort(offset);
}
inline void PokeShort(const Ref<TMemoryBlock>& block, std::int32_t offset, std::int32_t value)
{
    block->PokeShort(offset, value);
}
inline std::int32_t PeekInt(const Ref<TMemoryBlock>& block, std::int32_t offset)
{
    return block->PeekInt(offset);
}
inline void PokeInt(const Ref<TMemoryBlock>& block, std::int32_t offset, std::int32_t value)
{
    block->PokeInt(offset, value);
}
inline std::int64_t PeekLong(const Ref<TMemoryBlock>& block, std::int32_t offset)
{
    return block->PeekLong(offset);
}
inline void PokeLong(const Ref<TMemoryBlock>& block, std::int32_t offset, std::int64_t value)
{
    block->PokeLong(offset, value);
}
inline float PeekFloat(const Ref<TMemoryBlock>& block, std::int32_t offset)
{
    return block->PeekFloat(offset);
}
inline void PokeFloat(const Ref<TMemoryBlock>& block, std::int32_t offset, float value)
{
    block->PokeFloat(offset, value);
}
inline double PeekDouble(const Ref<TMemoryBlock>& block, std::int32_t offset)
{
    return block->PeekDouble(offset);
}
inline void PokeDouble(const Ref<TMemoryBlock>& block, std::int32_t offset, double value)
{
    block->PokeDouble(offset, value);
}
inline std::int32_t Save(const Ref<TMemoryBlock>& block, const Ref<Object>& url)
{
    return block->Save(url);
}

// `TMemoryBlock::Create`.
Ref<TMemoryBlock> CreateMemoryBlock(std::int32_t size);

// `TMemoryBlock::CreateStatic`.
Ref<TMemoryBlock> CreateStaticMemoryBlock(void* data, std::int32_t size);

// `TMemoryBlock::Load`: the block, or `Null` when the url cannot be opened.
Ref<TMemoryBlock> LoadMemoryBlock(const Ref<Object>& url);

// The memory-block module's initialiser.
void InitMemoryBlocks();

} // namespace vanta
