// Atlas pages: shelf packing, cells given back and used again, the ring of edge pixels, page lifetime.
#include "graphics/gl/GLTextureAtlas.h"

#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "graphics/gl/GLDrawState.h"
#include "graphics/gl/GLTexture.h"
#include "pixmap/Pixmap.h"

#include <vector>

#include <GL/gl.h>

namespace vanta {
namespace {

std::int32_t livePages = 0;

} // namespace

// One texture of cells: shelves filled left to right, each as high as the first cell put on it, opened
// top down; cells given back wait for a picture of their exact size.
class GLAtlasPage
{
public:
    GLAtlasPage(std::int32_t width, std::int32_t height, std::int32_t filter)
        : width_(width), height_(height), filter_(filter), sequence_(GraphicsSequence())
    {
        texture_ = GLCreateTexture(width, height, filter);
        ++livePages;
    }
    ~GLAtlasPage()
    {
        --livePages;
        if (sequence_ != GraphicsSequence()) return;
        // Quads held for this texture are drawn before it goes; GL binds 0 in place of a deleted texture.
        TheGLDrawState().ForgetBinding();
        const GLuint name = texture_;
        glDeleteTextures(1, &name);
    }
    GLAtlasPage(const GLAtlasPage&) = delete;
    GLAtlasPage& operator=(const GLAtlasPage&) = delete;

    // A free place for a w x h cell, if the page has one.
    bool Find(std::int32_t w, std::int32_t h, std::int32_t& x, std::int32_t& y)
    {
        for (auto cell = free_.begin(); cell != free_.end(); ++cell) {
            if (cell->width == w && cell->height == h) {
                x = cell->x;
                y = cell->y;
                free_.erase(cell);
                return true;
            }
        }
        // A shelf of about the cell's height (a quarter higher at most), so that short cells do not take
        // the room of tall ones.
        for (Shelf& shelf : shelves_) {
            if (h <= shelf.height && shelf.height <= h + h / 4 && shelf.used + w <= width_) {
                x = shelf.used;
                y = shelf.top;
                shelf.used += w;
                return true;
            }
        }
        if (top_ + h > height_ || w > width_) return false;
        shelves_.push_back({top_, h, w});
        x = 0;
        y = top_;
        top_ += h;
        return true;
    }
    void GiveBack(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h) { free_.push_back({x, y, w, h}); }

    std::uint32_t Texture() const noexcept { return texture_; }
    std::int32_t Width() const noexcept { return width_; }
    std::int32_t Height() const noexcept { return height_; }
    std::int32_t Filter() const noexcept { return filter_; }

private:
    struct Shelf
    {
        std::int32_t top;
        std::int32_t height;
        std::int32_t used; // texels taken from the left
    };
    struct FreeCell
    {
        std::int32_t x, y, width, height;
    };

    std::uint32_t texture_ = 0;
    std::int32_t width_;
    std::int32_t height_;
    std::int32_t filter_; // IMAGE_FILTERED or 0
    std::int32_t sequence_;
    std::int32_t top_ = 0; // rows taken by shelves
    std::vector<Shelf> shelves_;
    std::vector<FreeCell> free_;
};

namespace {

// The pages of the current sequence (a page lives as long as the frames holding its cells).
struct Atlas
{
    std::int32_t sequence = 0;
    std::vector<std::weak_ptr<GLAtlasPage>> pages;
};

Atlas& TheAtlas()
{
    static Atlas atlas;
    return atlas;
}

// The picture in the middle of a pixmap one pixel larger on every side, the ring holding copies of its
// edge pixels (corners included).
Ref<TPixmap> Ringed(const Ref<TPixmap>& picture)
{
    const std::int32_t w = picture->Width();
    const std::int32_t h = picture->Height();
    Ref<TPixmap> ringed = CreatePixmap(w + 2, h + 2, PF_RGBA8888, 4);
    ringed->Paste(picture, 1, 1);
    ringed->Paste(picture->Window(0, 0, 1, h), 0, 1);
    ringed->Paste(picture->Window(w - 1, 0, 1, h), w + 1, 1);
    ringed->Paste(ringed->Window(0, 1, w + 2, 1), 0, 0);
    ringed->Paste(ringed->Window(0, h, w + 2, 1), 0, h + 1);
    return ringed;
}

} // namespace

GLAtlasCell::GLAtlasCell(std::shared_ptr<GLAtlasPage> page, std::int32_t x, std::int32_t y, std::int32_t width,
                         std::int32_t height) noexcept
    : page_(std::move(page)), x_(x), y_(y), width_(width), height_(height)
{}

GLAtlasCell::GLAtlasCell(GLAtlasCell&& other) noexcept
    : page_(std::move(other.page_)), x_(other.x_), y_(other.y_), width_(other.width_), height_(other.height_)
{}

GLAtlasCell& GLAtlasCell::operator=(GLAtlasCell&& other) noexcept
{
    if (this != &other) {
        GiveBack();
        page_ = std::move(other.page_);
        x_ = other.x_;
        y_ = other.y_;
        width_ = other.width_;
        height_ = other.height_;
    }
    return *this;
}

GLAtlasCell::~GLAtlasCell()
{
    GiveBack();
}

void GLAtlasCell::GiveBack() noexcept
{
    if (page_ == nullptr) return;
    // A cell of an earlier sequence's page is never used again; the page only waits for its last frame.
    page_->GiveBack(x_, y_, width_, height_);
    page_.reset();
}

std::uint32_t GLAtlasCell::Texture() const noexcept
{
    return page_ != nullptr ? page_->Texture() : 0;
}

float GLAtlasCell::UMin() const noexcept
{
    return page_ != nullptr ? static_cast<float>(x_ + 1) / static_cast<float>(page_->Width()) : 0.0f;
}

float GLAtlasCell::VMin() const noexcept
{
    return page_ != nullptr ? static_cast<float>(y_ + 1) / static_cast<float>(page_->Height()) : 0.0f;
}

float GLAtlasCell::UMax() const noexcept
{
    return page_ != nullptr ? static_cast<float>(x_ + width_ - 1) / static_cast<float>(page_->Width()) : 0.0f;
}

float GLAtlasCell::VMax() const noexcept
{
    return page_ != nullptr ? static_cast<float>(y_ + height_ - 1) / static_cast<float>(page_->Height()) : 0.0f;
}

bool GLAtlasTakes(std::int32_t width, std::int32_t height, std::int32_t flags)
{
    return width >= 1 && height >= 1 && width <= GL_ATLAS_MAX_SIDE && height <= GL_ATLAS_MAX_SIDE &&
           (flags & (IMAGE_MIPMAPPED | IMAGE_DYNAMIC)) == 0;
}

GLAtlasCell GLPlaceInAtlas(const Ref<TPixmap>& picture, std::int32_t flags)
{
    const std::int32_t w = picture->Width();
    const std::int32_t h = picture->Height();
    if (!GLAtlasTakes(w, h, flags)) return {};
    Atlas& atlas = TheAtlas();
    const std::int32_t sequence = GraphicsSequence();
    if (atlas.sequence != sequence) {
        atlas.sequence = sequence;
        atlas.pages.clear();
    }
    const std::int32_t filter = flags & IMAGE_FILTERED;
    const std::int32_t cellWidth = w + 2;
    const std::int32_t cellHeight = h + 2;
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::shared_ptr<GLAtlasPage> page;
    for (auto held = atlas.pages.begin(); held != atlas.pages.end();) {
        std::shared_ptr<GLAtlasPage> candidate = held->lock();
        if (candidate == nullptr) {
            held = atlas.pages.erase(held);
            continue;
        }
        if (candidate->Filter() == filter && candidate->Find(cellWidth, cellHeight, x, y)) {
            page = std::move(candidate);
            break;
        }
        ++held;
    }
    if (page == nullptr) {
        std::int32_t pageWidth = GL_ATLAS_PAGE_SIDE;
        std::int32_t pageHeight = GL_ATLAS_PAGE_SIDE;
        GLTextureSize(pageWidth, pageHeight, CurrentGLTextureProxy());
        // A GL that takes no page large enough leaves the picture a texture of its own.
        if (cellWidth > pageWidth || cellHeight > pageHeight) return {};
        page = std::make_shared<GLAtlasPage>(pageWidth, pageHeight, filter);
        atlas.pages.push_back(page);
        page->Find(cellWidth, cellHeight, x, y);
    }
    // The cell is owned before the upload, so that a failing upload gives it back.
    GLAtlasCell cell(page, x, y, cellWidth, cellHeight);
    const Ref<TPixmap> ringed = Ringed(picture);
    glBindTexture(GL_TEXTURE_2D, page->Texture());
    const GLUnpackRowLength rows(ringed);
    glTexSubImage2D(GL_TEXTURE_2D, 0, x, y, cellWidth, cellHeight, GL_RGBA, GL_UNSIGNED_BYTE, ringed->Pixels());
    return cell;
}

std::int32_t GLAtlasPageCount()
{
    return livePages;
}

} // namespace vanta
