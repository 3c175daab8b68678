// Keeps the system's GL drivers loaded until the test process ends, in sanitizer builds.
//
// Mesa's GL and EGL libraries load a DRI driver (and LLVM behind it) when a context is made and unload it
// when the display or EGL device closes. What the driver and LLVM keep for the life of the process (their
// tables, caches and thread state) then has nothing left pointing at it, and LeakSanitizer reports it as
// leaked from a module it can no longer name. Loaded once more here with RTLD_NODELETE, the driver and
// what it needs stay mapped, their memory stays reachable, and the suites stay leak-checked without a
// suppression for them. Included by the test entry points.
#pragma once

#if defined(__SANITIZE_ADDRESS__)
#include <dlfcn.h>
#endif

namespace vanta::test {

inline void KeepSystemGLDriversLoaded()
{
#if defined(__SANITIZE_ADDRESS__)
    // Debian's places; a library that is not there is not loaded by the GL libraries either. All the DRI
    // drivers are one file under several names, so one of them covers every name.
    for (const char* library :
         {"libGLX_mesa.so.0", "libEGL_mesa.so.0", "libgbm.so.1", "/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so"}) {
        // The handle is never closed: that is the point.
        static_cast<void>(::dlopen(library, RTLD_LAZY | RTLD_NODELETE));
    }
#endif
}

} // namespace vanta::test
