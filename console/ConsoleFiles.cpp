// The console's embedded files, put into the program by the build (console/CMakeLists.txt).
#include "console/detail/ConsoleFiles.h"

#include "embedded/ConsoleFiles.h"
#include "runtime/EmbeddedFile.h"

namespace vanta::detail {
namespace {

bool Register(const char* name)
{
    const EmbeddedBlock* block = FindEmbeddedBlock(embedded::ConsoleFiles(), name);
    if (block == nullptr) return false;
    EmbeddedFileAdd(*block);
    return true;
}

} // namespace

void RegisterConsoleFont()
{
    Register("Vanta.fon");
}

bool RegisterConsoleBackground()
{
    return Register("bakground.png");
}

} // namespace vanta::detail
