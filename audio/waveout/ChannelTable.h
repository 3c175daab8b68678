// The table of channel handles: 4096 slots (slot 0 is the head of the free list), each with the voice
// that plays on it and a generation that makes old handles stale.
// Builds on: sound.
//
// A handle is slot | generation: slot = handle & 0xFFF (1..4095), generation a multiple of 4096 that grows by
// 4096 each time the slot is allocated. A handle is current only while its slot is allocated and carries the
// same generation. Threads: program thread only.
#pragma once

#include <cstdint>

namespace vanta::audio {

class sound;

class ChannelTable
{
public:
    static constexpr int SLOTS = 4096;
    static constexpr int SLOT_MASK = SLOTS - 1;

    ChannelTable();

    ChannelTable(const ChannelTable&) = delete;
    ChannelTable& operator=(const ChannelTable&) = delete;

    // Pops a slot from the free list and returns its new handle; 0 when all 4095 slots are in use.
    int Alloc();

    // The slot of a current handle; 0 for handle 0, a stale handle or a free slot.
    int Slot(int handle) const;

    // The voice on an allocated slot, or nullptr.
    sound* Voice(int slot) const { return voices[slot]; }

    // Puts `voice` on `slot` and returns the voice that was there (nullptr when none), now off the channel.
    sound* Assign(int slot, sound* voice);

    // Clears `slot`, pushes it on the free list and returns the voice that was on it (nullptr when none).
    sound* Free(int slot);

    // The number of slots on the free list.
    int FreeCount() const { return freeCount; }

private:
    sound* voices[SLOTS];
    int freeNext[SLOTS];
    std::uint32_t generation[SLOTS];
    // A slot's freeNext of 0 also marks the tail of the free list, so allocation is tracked on its own.
    bool allocated[SLOTS];
    int freeCount = 0;
};

} // namespace vanta::audio
