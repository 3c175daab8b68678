// The game's embedded files.
#include "game/GameFiles.h"

#include "embedded/GameMedia.h"

namespace vanta::game {

std::span<const EmbeddedBlock> GameFiles()
{
    return embedded::GameMedia();
}

void RegisterGameFile(std::string_view name)
{
    if (const EmbeddedBlock* block = FindEmbeddedBlock(GameFiles(), name)) {
        EmbeddedFileAdd(String::FromBytes(name.data(), static_cast<std::int32_t>(name.size())), block->data,
                        block->size);
    }
}

} // namespace vanta::game
