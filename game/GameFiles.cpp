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
    if (const EmbeddedBlock* block = FindEmbeddedBlock(GameFiles(), name)) EmbeddedFileAdd(*block);
}

} // namespace vanta::game
