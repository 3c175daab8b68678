// The system module's initialiser.
#include "system/System.h"

#include "system/EventQueue.h"
#include "system/HostDriver.h"
#include "system/desktop/WindowsHostDriver.h"

namespace vanta {

void InitSystem()
{
    static bool initialised = false;
    if (initialised) return;
    initialised = true;
    InitRuntimeCore();
    SetHostDriver(New<TWindowsHostDriver>());
    InitEventQueue();
}

} // namespace vanta
