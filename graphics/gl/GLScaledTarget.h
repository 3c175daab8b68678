// The offscreen picture of a scaled GL window: the program draws into a framebuffer object of its own
// size, and each flip shows it fitted into the window's drawable with black bars.
//
// Builds on the framebuffer-object entry points of OpenGL 3.0 / ARB_framebuffer_object (fetched through
// platform::GetGLProcAddress; Mesa offers them with every driver, llvmpipe included) and on the logical
// size of platform/LogicalSize.h, which owns the fitted rectangle so that pointer positions and the
// picture agree. Why a framebuffer object: everything the program does (viewport, scissor, read-back,
// pixmap blits) then works in its own coordinates unchanged, whatever the window's size; a copy from the
// back buffer's corner would need a window at least as large as the picture.
//
// Main thread only, with the window's drawing context current.
#pragma once

#include "graphics/GraphicsDriver.h"

#include <cstdint>
#include <string>

namespace vanta {

namespace platform {
struct Window;
}

// The framebuffer object a scaled window draws into, and its scaled copy into the window at each flip.
class GLScaledTarget
{
public:
    // The names belong to the drawing context and go with it; nothing is deleted here.
    GLScaledTarget() = default;
    GLScaledTarget(const GLScaledTarget&) = delete;
    GLScaledTarget& operator=(const GLScaledTarget&) = delete;

    // Makes a `width` x `height` colour target in the current context. Answers false (the reason in
    // `Error`) when the context has no framebuffer objects or refuses this one.
    bool Create(std::int32_t width, std::int32_t height);

    // Directs drawing and read-back to the picture.
    void Bind() const;
    // Directs drawing and read-back to the current context's window again.
    static void BindWindow();

    // Shows the picture in `window`'s back buffer where the window's logical size puts it, black around
    // it, filtered unless `mode` is `SCALE_WHOLE`. The context's state is left as it was, except that the
    // window's own framebuffer is bound until the next `Bind`.
    void Present(platform::Window* window, std::int32_t mode) const;

    // The picture's size; 0 x 0 before a successful `Create`.
    std::int32_t Width() const noexcept { return width_; }
    std::int32_t Height() const noexcept { return height_; }
    // Why `Create` failed.
    const std::string& Error() const noexcept { return error_; }

private:
    std::uint32_t framebuffer_ = 0;
    std::uint32_t colour_ = 0;
    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
    std::string error_;
};

} // namespace vanta
