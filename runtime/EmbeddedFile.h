// Embedded files: named byte blocks stored inside the executable.
//
// Modules register their blocks under names such as "DATAS/lune.png" before first opening them; the
// stream layer then opens "incbin::DATAS/lune.png" as a read-only memory stream over the block. The
// registry never copies, owns or frees a block: blocks are static and live as long as the process.
// Names match exactly (case-sensitive, no path normalisation). The first registration of a name wins.
//
// Main thread only.
#pragma once

#include "runtime/String.h"

#include <cstdint>
#include <span>
#include <string_view>

namespace vanta {

// A block placed in the executable by the build (see vanta_embed_files in cmake/Vanta.cmake).
struct EmbeddedBlock
{
    // The name it is registered under ("incbin::name" opens it).
    const char* name;
    // Its first byte.
    const void* data;
    // Its byte count.
    std::int32_t size;
};

// Registers a block; 1 if added, 0 (and nothing changes) if the name is already registered.
std::int32_t EmbeddedFileAdd(const Ref<String>& name, const void* data, std::int32_t size);

// Registers a block under its own name; 1 if added, 0 if the name is already registered.
std::int32_t EmbeddedFileAdd(const EmbeddedBlock& block);

// The block of `blocks` named `name`, or nullptr.
const EmbeddedBlock* FindEmbeddedBlock(std::span<const EmbeddedBlock> blocks, std::string_view name);

// The block's address, or nullptr for an unknown name.
const void* EmbeddedFileData(const Ref<String>& name);

// The block's size in bytes, or 0 for an unknown name.
std::int32_t EmbeddedFileSize(const Ref<String>& name);

} // namespace vanta
