// The game's embedded files.
#include "game/GameFiles.h"

#if VANTA_GAME_MEDIA
#include "embedded/GameMedia.h"
#endif

namespace vanta::game {

std::span<const EmbeddedBlock> GameFiles()
{
#if VANTA_GAME_MEDIA
    return embedded::GameMedia();
#else
    return {};
#endif
}

void RegisterGameFile(std::string_view name)
{
    if (const EmbeddedBlock* block = FindEmbeddedBlock(GameFiles(), name)) {
        EmbeddedFileAdd(String::FromBytes(name.data(), static_cast<std::int32_t>(name.size())), block->data,
                        block->size);
    }
}

} // namespace vanta::game
