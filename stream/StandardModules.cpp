// The standard-module bundle. Sockets belong to it as well, but networking is not part of this build.
#include "stream/StandardModules.h"

#include "runtime/LinkedList.h"
#include "stream/MemoryBlock.h"
#include "stream/MemoryStream.h"
#include "stream/Stream.h"

namespace vanta {

void InitStandardModules()
{
    static bool initialised = false;
    if (initialised) return;
    initialised = true;
    InitStreams();
    InitMemoryStreams();
    InitMemoryBlocks();
    InitLinkedLists();
}

} // namespace vanta
