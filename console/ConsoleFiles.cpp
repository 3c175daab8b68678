// The console's embedded files, put into the program by the build (console/CMakeLists.txt).
#include "console/detail/ConsoleFiles.h"

#include "embedded/ConsoleFont.h"
#include "embedded/ConsoleMedia.h"
#include "runtime/EmbeddedFile.h"

namespace vanta::detail {
namespace {

bool Register(std::span<const EmbeddedBlock> blocks, const char* name)
{
    const EmbeddedBlock* block = FindEmbeddedBlock(blocks, name);
    if (block == nullptr) return false;
    EmbeddedFileAdd(*block);
    return true;
}

} // namespace

void RegisterConsoleFont()
{
    Register(embedded::ConsoleFont(), "Vanta.fon");
}

bool RegisterConsoleBackground()
{
    return Register(embedded::ConsoleMedia(), "bakground.png");
}

} // namespace vanta::detail
