// The system module's initialiser: the desktop host driver and the event queue.
//
// Builds on the host driver (system/HostDriver.h), its desktop version (system/desktop/) and the event
// queue (system/EventQueue.h).
#pragma once

namespace vanta {

// Installs a new `TWindowsHostDriver` as the current host driver and creates the event queue; later
// calls do nothing. Needs no display: without one the driver still pumps, times and sleeps.
void InitSystem();

} // namespace vanta
