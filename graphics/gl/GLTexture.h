// Textures of the GL 2D driver: the size a picture's texture gets (the proxy query, halving both sides
// until GL accepts), making a texture with its filters and levels, and uploading a pixmap into it with
// its smaller levels.
//
// Builds on GL 1.1 in the current context and pixmap/ (`ResizePixmap` makes each smaller level). Main
// thread only.
#pragma once

#include "pixmap/TPixmap.h"
#include "runtime/Object.h"

#include <cstdint>

namespace vanta {

// Whether GL would accept an RGBA texture of width x height (powers of two).
using GLTextureProxy = bool (*)(std::int32_t width, std::int32_t height);

// The proxy query of the current context (GL_PROXY_TEXTURE_2D).
bool GLProxyTextureAccepts(std::int32_t width, std::int32_t height);

// The proxy that frame creation asks: `GLProxyTextureAccepts` unless replaced here. Answers the one it
// replaces; null restores the real query. Tests use it to stand in for a GL with a smaller limit.
GLTextureProxy SetGLTextureProxy(GLTextureProxy proxy);
// The proxy frame creation asks now (never null).
GLTextureProxy CurrentGLTextureProxy();

// Turns a picture's size into its texture size: each side rounded up to a power of two (1 for sides of 1
// or less), then, while `proxy` refuses or the texture would not fit in a pixmap (16384 a side, 256 MiB),
// every side above 1 halved. Throws the runtime error "Unable to calculate tex size" when even 1 x 1 is
// refused.
void GLTextureSize(std::int32_t& width, std::int32_t& height, GLTextureProxy proxy);

// A new texture of width x height, bound to GL_TEXTURE_2D of the current context: clamped to its edges,
// magnified linearly with `IMAGE_FILTERED` (else nearest), minified through its mipmaps with
// `IMAGE_MIPMAPPED` (else nearest), with every level allocated. Answers its name.
std::uint32_t GLCreateTexture(std::int32_t width, std::int32_t height, std::int32_t flags);

// Uploads a `PF_RGBA8888` pixmap into level 0 of the bound texture at (0, 0), and with `IMAGE_MIPMAPPED`
// each smaller level, halving the sides above 1 with `ResizePixmap` down to 1 x 1. Throws
// `TNullObjectError` for `Null`.
void GLUploadTexture(const Ref<TPixmap>& pixmap, std::int32_t flags);

// The number of texture levels `GLCreateTexture` allocates for width x height with `IMAGE_MIPMAPPED`:
// level 0 and one per halving down to 1 x 1.
std::int32_t GLMipmapLevels(std::int32_t width, std::int32_t height);

// While it lives, GL reads uploaded rows with the pixmap's own pitch (GL_UNPACK_ROW_LENGTH); GL's default
// comes back when it goes.
class GLUnpackRowLength
{
public:
    // Sets the row length from `pixmap`'s pitch.
    explicit GLUnpackRowLength(const Ref<TPixmap>& pixmap);
    // Puts GL's default row length back.
    ~GLUnpackRowLength();
    GLUnpackRowLength(const GLUnpackRowLength&) = delete;
    GLUnpackRowLength& operator=(const GLUnpackRowLength&) = delete;
};

} // namespace vanta
