// The offscreen picture of a scaled GL window and its presentation.
#include "graphics/gl/GLScaledTarget.h"

#include "platform/Platform.h"

#include <cstdlib>
#include <cstring>

#include <GL/gl.h>
#include <GL/glext.h>

namespace vanta {
namespace {

struct FramebufferCalls
{
    PFNGLGENFRAMEBUFFERSPROC genFramebuffers = nullptr;
    PFNGLBINDFRAMEBUFFERPROC bindFramebuffer = nullptr;
    PFNGLGENRENDERBUFFERSPROC genRenderbuffers = nullptr;
    PFNGLBINDRENDERBUFFERPROC bindRenderbuffer = nullptr;
    PFNGLRENDERBUFFERSTORAGEPROC renderbufferStorage = nullptr;
    PFNGLFRAMEBUFFERRENDERBUFFERPROC framebufferRenderbuffer = nullptr;
    PFNGLCHECKFRAMEBUFFERSTATUSPROC checkFramebufferStatus = nullptr;
    PFNGLBLITFRAMEBUFFERPROC blitFramebuffer = nullptr;

    bool Complete() const
    {
        return genFramebuffers != nullptr && bindFramebuffer != nullptr && genRenderbuffers != nullptr &&
               bindRenderbuffer != nullptr && renderbufferStorage != nullptr && framebufferRenderbuffer != nullptr &&
               checkFramebufferStatus != nullptr && blitFramebuffer != nullptr;
    }
};

// Whether the current context offers framebuffer objects with blits: GL 3.0 or the ARB extension. The
// addresses alone prove nothing (GLX answers one for any name).
bool ContextOffersFramebuffers()
{
    const auto* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    if (version != nullptr && std::atoi(version) >= 3) return true;
    const auto* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    return extensions != nullptr && std::strstr(extensions, "GL_ARB_framebuffer_object") != nullptr;
}

template <typename Call>
void Load(Call& call, const char* name)
{
    call = reinterpret_cast<Call>(platform::GetGLProcAddress(name));
}

// The entry points, looked up once a context has shown that it offers them.
const FramebufferCalls& Calls()
{
    static const FramebufferCalls calls = [] {
        FramebufferCalls loaded;
        Load(loaded.genFramebuffers, "glGenFramebuffers");
        Load(loaded.bindFramebuffer, "glBindFramebuffer");
        Load(loaded.genRenderbuffers, "glGenRenderbuffers");
        Load(loaded.bindRenderbuffer, "glBindRenderbuffer");
        Load(loaded.renderbufferStorage, "glRenderbufferStorage");
        Load(loaded.framebufferRenderbuffer, "glFramebufferRenderbuffer");
        Load(loaded.checkFramebufferStatus, "glCheckFramebufferStatus");
        Load(loaded.blitFramebuffer, "glBlitFramebuffer");
        return loaded;
    }();
    return calls;
}

} // namespace

bool GLScaledTarget::Create(std::int32_t width, std::int32_t height)
{
    if (width < 1 || height < 1) {
        error_ = "the picture is empty";
        return false;
    }
    if (!ContextOffersFramebuffers() || !Calls().Complete()) {
        error_ = "the GL context offers no framebuffer objects";
        return false;
    }
    const FramebufferCalls& gl = Calls();
    GLuint framebuffer = 0;
    GLuint colour = 0;
    gl.genFramebuffers(1, &framebuffer);
    gl.genRenderbuffers(1, &colour);
    gl.bindRenderbuffer(GL_RENDERBUFFER, colour);
    gl.bindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    // No alpha, so that read-backs answer 255 there as they do from the window's own buffer; a driver
    // that cannot draw into that format gets one with alpha.
    bool complete = false;
    for (const GLenum format : {GL_RGB8, GL_RGBA8}) {
        gl.renderbufferStorage(GL_RENDERBUFFER, format, width, height);
        gl.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour);
        complete = gl.checkFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
        if (complete) break;
    }
    if (!complete) {
        gl.bindFramebuffer(GL_FRAMEBUFFER, 0);
        error_ = "the GL context refuses a framebuffer of that size";
        return false;
    }
    framebuffer_ = framebuffer;
    colour_ = colour;
    width_ = width;
    height_ = height;
    error_.clear();
    return true;
}

void GLScaledTarget::Bind() const
{
    if (framebuffer_ != 0) Calls().bindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
}

void GLScaledTarget::BindWindow()
{
    if (Calls().bindFramebuffer != nullptr) Calls().bindFramebuffer(GL_FRAMEBUFFER, 0);
}

void GLScaledTarget::Present(platform::Window* window, std::int32_t mode) const
{
    if (framebuffer_ == 0) return;
    int drawableWidth = 0;
    int drawableHeight = 0;
    platform::GetDrawableSize(window, drawableWidth, drawableHeight);
    platform::PixelRect rect;
    if (!platform::GetLogicalViewport(window, rect) || rect.width < 1 || rect.height < 1) return;
    const FramebufferCalls& gl = Calls();
    // The bars are cleared and the blit is not clipped: scissor, clear colour and mask are the program's
    // and come back afterwards.
    glPushAttrib(GL_COLOR_BUFFER_BIT | GL_SCISSOR_BIT);
    glDisable(GL_SCISSOR_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    gl.bindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer_);
    gl.bindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    // GL counts rows from the bottom; the rectangle is centred, so only its rounding needs the flip.
    const GLint bottom = drawableHeight - rect.y - rect.height;
    const GLenum filter =
        mode == SCALE_WHOLE && rect.width % width_ == 0 && rect.height % height_ == 0 ? GL_NEAREST : GL_LINEAR;
    gl.blitFramebuffer(0, 0, width_, height_, rect.x, bottom, rect.x + rect.width, bottom + rect.height,
                       GL_COLOR_BUFFER_BIT, filter);
    gl.bindFramebuffer(GL_FRAMEBUFFER, 0);
    glPopAttrib();
}

} // namespace vanta
