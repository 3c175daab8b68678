// Texture sizing, creation and upload for the GL 2D driver.
#include "graphics/gl/GLTexture.h"

#include "graphics/Image.h"
#include "pixmap/Pixmap.h"
#include "runtime/Error.h"

#include <GL/gl.h>

namespace vanta {
namespace {

GLTextureProxy& Proxy()
{
    static GLTextureProxy proxy = GLProxyTextureAccepts;
    return proxy;
}

// The smallest power of two at or above `side`; 1 for sides of 1 or less. Sides beyond 2^30 have no
// power of two in an int32; they get 2^30, which no GL and no pixmap accepts, so the loop halves it.
std::int32_t PowerOfTwoAtLeast(std::int32_t side)
{
    std::int32_t power = 1;
    while (power < side && power < (1 << 30))
        power *= 2;
    return power;
}

// Whether a texture of this size can be held as an RGBA pixmap (for the padding and the upload).
bool FitsInPixmap(std::int32_t width, std::int32_t height)
{
    return width <= PIXMAP_MAX_SIDE && height <= PIXMAP_MAX_SIDE &&
           std::int64_t{width} * height * 4 <= PIXMAP_MAX_BYTES;
}

std::int32_t Halved(std::int32_t side)
{
    return side > 1 ? side / 2 : side;
}

} // namespace

bool GLProxyTextureAccepts(std::int32_t width, std::int32_t height)
{
    glTexImage2D(GL_PROXY_TEXTURE_2D, 0, 4, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    GLint accepted = 0;
    glGetTexLevelParameteriv(GL_PROXY_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &accepted);
    return accepted != 0;
}

GLTextureProxy SetGLTextureProxy(GLTextureProxy proxy)
{
    const GLTextureProxy previous = Proxy();
    Proxy() = proxy != nullptr ? proxy : GLProxyTextureAccepts;
    return previous;
}

GLTextureProxy CurrentGLTextureProxy()
{
    return Proxy();
}

void GLTextureSize(std::int32_t& width, std::int32_t& height, GLTextureProxy proxy)
{
    if (proxy == nullptr) proxy = GLProxyTextureAccepts;
    width = PowerOfTwoAtLeast(width);
    height = PowerOfTwoAtLeast(height);
    while (!FitsInPixmap(width, height) || !proxy(width, height)) {
        if (width == 1 && height == 1) ThrowError("Unable to calculate tex size");
        // Both sides above 1 are halved, not only the one that is too large.
        width = Halved(width);
        height = Halved(height);
    }
}

std::int32_t GLMipmapLevels(std::int32_t width, std::int32_t height)
{
    std::int32_t levels = 1;
    while (width > 1 || height > 1) {
        width = Halved(width);
        height = Halved(height);
        ++levels;
    }
    return levels;
}

std::uint32_t GLCreateTexture(std::int32_t width, std::int32_t height, std::int32_t flags)
{
    const bool mipmapped = (flags & IMAGE_MIPMAPPED) != 0;
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, (flags & IMAGE_FILTERED) != 0 ? GL_LINEAR : GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, mipmapped ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST);
    const std::int32_t levels = mipmapped ? GLMipmapLevels(width, height) : 1;
    for (std::int32_t level = 0; level < levels; ++level) {
        glTexImage2D(GL_TEXTURE_2D, level, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
        width = Halved(width);
        height = Halved(height);
    }
    return name;
}

void GLUploadTexture(const Ref<TPixmap>& pixmap, std::int32_t flags)
{
    Ref<TPixmap> level = pixmap;
    for (GLint index = 0;; ++index) {
        const GLUnpackRowLength rows(level);
        glTexSubImage2D(GL_TEXTURE_2D, index, 0, 0, level->Width(), level->Height(), GL_RGBA, GL_UNSIGNED_BYTE,
                        level->Pixels());
        const std::int32_t width = level->Width();
        const std::int32_t height = level->Height();
        if ((flags & IMAGE_MIPMAPPED) == 0 || (width == 1 && height == 1)) break;
        level = ResizePixmap(level, Halved(width), Halved(height));
    }
}

GLUnpackRowLength::GLUnpackRowLength(const Ref<TPixmap>& pixmap)
{
    glPixelStorei(GL_UNPACK_ROW_LENGTH, pixmap->Pitch() / pixmap->BytesPerPixel());
}

GLUnpackRowLength::~GLUnpackRowLength()
{
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
}

} // namespace vanta
