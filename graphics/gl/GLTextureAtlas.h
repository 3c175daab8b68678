// Atlas pages of the GL 2D driver: small pictures share one texture, so that drawing several of them in a
// row (the glyphs of a line of text) stays one batch instead of one draw per picture.
//
// A page is a texture of GL_ATLAS_PAGE_SIDE texels a side (less where the texture proxy refuses that), cut
// into shelves of cells. A picture's cell is one texel larger than the picture on every side, and that ring
// holds copies of the picture's edge pixels: a filtered sample at the picture's edge then sees what the
// clamped edge of a texture of its own shows, never a neighbour. Pages are kept apart by their filter (it
// belongs to the texture). What goes in: pictures of at most GL_ATLAS_MAX_SIDE a side, neither mipmapped
// (smaller levels would mix neighbours) nor made by `CreateImage` (`IMAGE_DYNAMIC`: pictures drawn into and
// replaced often keep textures of their own).
//
// A page lives while a frame holds a cell of it; a cell given back is used again for a picture of the same
// cell size. A page belongs to the graphics sequence it was made in: once the sequence moves on (graphics
// opened or closed) new cells go to new pages, and old pages leave their textures alone when they go, as
// frames of an earlier opening do. A page of the current sequence deletes its texture when its last cell
// is given back, sending what the driver holds first.
//
// Builds on GL 1.1 in the current context (the driver's shared one while frames are made), the texture
// helpers (graphics/gl/GLTexture.h) and the driver's drawing state. Main thread only.
#pragma once

#include "pixmap/TPixmap.h"

#include <cstdint>
#include <memory>

namespace vanta {

// The largest picture side that goes in an atlas page.
inline constexpr std::int32_t GL_ATLAS_MAX_SIDE = 64;
// The side of an atlas page, where GL takes it.
inline constexpr std::int32_t GL_ATLAS_PAGE_SIDE = 512;

class GLAtlasPage;

// A picture's place in an atlas page, given back when this is destroyed; empty for a picture kept apart.
class GLAtlasCell
{
public:
    GLAtlasCell() = default;
    // Takes the other cell's place over, leaving that one empty.
    GLAtlasCell(GLAtlasCell&& other) noexcept;
    // Gives this cell back, then takes the other cell's place over, leaving that one empty.
    GLAtlasCell& operator=(GLAtlasCell&& other) noexcept;
    GLAtlasCell(const GLAtlasCell&) = delete;
    GLAtlasCell& operator=(const GLAtlasCell&) = delete;
    ~GLAtlasCell();

    // Whether the picture has a place in a page.
    explicit operator bool() const noexcept { return page_ != nullptr; }
    // The page's texture name; 0 for an empty cell.
    std::uint32_t Texture() const noexcept;
    // The picture's left texture coordinate in the page (its ring left out); 0 for an empty cell.
    float UMin() const noexcept;
    // The picture's top texture coordinate in the page; 0 for an empty cell.
    float VMin() const noexcept;
    // The picture's right texture coordinate in the page; 0 for an empty cell.
    float UMax() const noexcept;
    // The picture's bottom texture coordinate in the page; 0 for an empty cell.
    float VMax() const noexcept;

private:
    friend GLAtlasCell GLPlaceInAtlas(const Ref<TPixmap>& picture, std::int32_t flags);
    GLAtlasCell(std::shared_ptr<GLAtlasPage> page, std::int32_t x, std::int32_t y, std::int32_t width,
                std::int32_t height) noexcept;
    void GiveBack() noexcept;

    std::shared_ptr<GLAtlasPage> page_;
    std::int32_t x_ = 0; // the cell, ring included, in texels
    std::int32_t y_ = 0;
    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
};

// Whether a width x height picture with these `IMAGE_` flags goes in an atlas page.
bool GLAtlasTakes(std::int32_t width, std::int32_t height, std::int32_t flags);

// Places `picture` (any format) in a page of the current graphics sequence for `flags` and uploads it with
// its ring (the page's texture stays bound); an empty cell when the picture does not go in a page or no page
// GL takes can hold it. Throws `TNullObjectError` for `Null`.
GLAtlasCell GLPlaceInAtlas(const Ref<TPixmap>& picture, std::int32_t flags);

// The number of atlas pages alive (of any sequence), for tests.
std::int32_t GLAtlasPageCount();

} // namespace vanta
