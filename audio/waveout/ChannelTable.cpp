// Channel handles: the free list of slots, generations and the voice on each slot.
// Builds on: sound (only its onChannel mark).
#include "audio/waveout/ChannelTable.h"

#include "audio/waveout/sound.h"

#include <cassert>

namespace vanta::audio {

ChannelTable::ChannelTable()
{
    for (int i = 0; i < SLOTS; ++i) {
        voices[i] = nullptr;
        freeNext[i] = i + 1;
        generation[i] = SLOTS;
        allocated[i] = false;
    }
    freeNext[SLOTS - 1] = 0;
    freeCount = SLOTS - 1;
}

int ChannelTable::Alloc()
{
    const int slot = freeNext[0];
    if (slot == 0) return 0;
    freeNext[0] = freeNext[slot];
    freeNext[slot] = 0;
    allocated[slot] = true;
    --freeCount;
    // Unsigned so that the generation wraps instead of overflowing after a million reuses of one slot.
    generation[slot] += SLOTS;
    return static_cast<int>(generation[slot] | static_cast<std::uint32_t>(slot));
}

int ChannelTable::Slot(int handle) const
{
    const int slot = handle & SLOT_MASK;
    if (slot == 0 || !allocated[slot]) return 0;
    const std::uint32_t handleGeneration = static_cast<std::uint32_t>(handle) & ~static_cast<std::uint32_t>(SLOT_MASK);
    return handleGeneration == generation[slot] ? slot : 0;
}

sound* ChannelTable::Assign(int slot, sound* voice)
{
    assert(slot > 0 && slot < SLOTS && allocated[slot] && "voice assigned to a free channel slot");
    sound* previous = voices[slot];
    if (previous != nullptr) previous->onChannel = false;
    voices[slot] = voice;
    if (voice != nullptr) voice->onChannel = true;
    return previous;
}

sound* ChannelTable::Free(int slot)
{
    assert(slot > 0 && slot < SLOTS && allocated[slot] && "channel slot freed twice");
    sound* previous = Assign(slot, nullptr);
    allocated[slot] = false;
    freeNext[slot] = freeNext[0];
    freeNext[0] = slot;
    ++freeCount;
    return previous;
}

} // namespace vanta::audio
