// Opens a full-screen GL context at the desktop's mode, hides the pointer and exits without closing it,
// for the test of the process-exit hook. With "stopped", video is stopped first (its windows go).
// Prints the full-screen state before exiting; answers 3 when no context could be made.
#include "graphics/gl/GLContext.h"
#include "platform/Platform.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    using namespace vanta;
    platform::DisplayMode desktop;
    if (!platform::StartVideo() || !platform::GetDesktopDisplayMode(desktop)) return 3;
    VTGLContext* context = GLContextCreate(desktop.width, desktop.height, desktop.bitsPerPixel, 0, GFX_BACKBUFFER);
    if (context == nullptr) return 3;
    GLShowCursor(0);
    if (argc > 1 && std::strcmp(argv[1], "stopped") == 0) platform::StopVideo();
    std::printf("state=%d\n", FullScreenState());
    return 0;
}
