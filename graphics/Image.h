// Images: drawable pictures of one or more equal-sized frames (an animation strip is one image).
//
// Builds on pixmaps (pixmap/Pixmap.h) and the graphics module (graphics/Graphics.h). An image keeps each
// frame's pixels as a `TPixmap` and asks the current 2D driver for the frame's drawable form, a
// `TImageFrame`, only when the frame is first drawn, and again after every graphics open or close (the
// graphics sequence tells when a driver frame is stale). Every operation that takes a frame index throws
// `TArrayBoundsError` outside 0 ... frame count - 1.
//
// Main thread only.
#pragma once

#include "graphics/ImageFrame.h"
#include "pixmap/TPixmap.h"
#include "runtime/Array.h"
#include "runtime/Object.h"

#include <cstdint>

namespace vanta {

// Image flags.
inline constexpr std::int32_t IMAGE_MASKED = 1;    // mask-colour pixels of a picture without alpha are transparent
inline constexpr std::int32_t IMAGE_FILTERED = 2;  // magnified with bilinear filtering
inline constexpr std::int32_t IMAGE_MIPMAPPED = 4; // minified through mipmaps
inline constexpr std::int32_t IMAGE_DYNAMIC = 8;   // set on every image made by `CreateImage`

// A picture of one or more frames of the same size: the pixmaps, and the driver frames the current 2D
// driver made of them.
class TImage : public Object
{
    VANTA_CLASS(TImage, Object)
public:
    TImage() = default;

    // The driver frame of frame `index` for the current graphics, made by the current 2D driver when the
    // one held is stale. Throws `TNullObjectError` when no 2D driver is current.
    virtual Ref<TImageFrame> Frame(std::int32_t index);
    // The frame's pixmap, made blank when missing (RGBA when masked, else RGB); a non-zero `write` discards
    // the driver frame. `Null` only for an image of no pixels.
    virtual Ref<TPixmap> Lock(std::int32_t index, std::int32_t read, std::int32_t write);
    // Replaces the frame's pixmap and discards its driver frame.
    virtual void SetPixmap(std::int32_t index, const Ref<TPixmap>& pixmap);

    // A new image of `count` frames of width x height, with no pixmaps and no driver frames yet.
    static Ref<TImage> Create(std::int32_t width, std::int32_t height, std::int32_t count, std::int32_t flags);
    // A one-frame image of `source` (a `TPixmap`, or anything `LoadPixmap` opens); a picture without alpha
    // is masked with (r, g, b) when `flags` has `IMAGE_MASKED`. `Null` when the source gives no picture.
    static Ref<TImage> Load(const Ref<Object>& source, std::int32_t r, std::int32_t g, std::int32_t b,
                            std::int32_t flags);
    // An image of `count` cells of cellWidth x cellHeight, from cell `first` on, numbered left to right
    // then top to bottom (partial cells at the right and bottom are ignored). `Null` when the source gives
    // no picture, when it has fewer cells than asked for, or for cell sizes below 1 or a negative first
    // cell or count.
    static Ref<TImage> LoadStrip(const Ref<Object>& source, std::int32_t cellWidth, std::int32_t cellHeight,
                                 std::int32_t first, std::int32_t count, std::int32_t r, std::int32_t g, std::int32_t b,
                                 std::int32_t flags);

    // The number of frames.
    std::int32_t FrameCount() const noexcept { return pixmaps->Length(); }

    std::int32_t width = 0;              // the frames' width in pixels
    std::int32_t height = 0;             // the frames' height in pixels
    std::int32_t flags = 0;              // the `IMAGE_` flags it was made with
    float handleX = 0.0f;                // drawing handle, pixels from the frame's left edge
    float handleY = 0.0f;                // drawing handle, pixels from the frame's top edge
    Ref<Array> pixmaps = EmptyArray();   // ":TPixmap", one per frame
    Ref<Array> frames = EmptyArray();    // ":TImageFrame", one per frame
    Ref<Array> sequences = EmptyArray(); // "i": graphics sequence each driver frame was made in; 0 = none

private:
    void CheckIndex(std::int32_t index) const;
};

// `TImage::Load` with the current mask colour; `flags` -1 means the default image flags. The handle is
// centred while auto-centre is on. `Null` when the source gives no picture.
Ref<TImage> LoadImage(const Ref<Object>& source, std::int32_t flags = -1);
// `TImage::LoadStrip` with the current mask colour and the same flag and centring rules as `LoadImage`.
Ref<TImage> LoadImageStrip(const Ref<Object>& source, std::int32_t cellWidth, std::int32_t cellHeight,
                           std::int32_t first, std::int32_t count, std::int32_t flags = -1);
// `TImage::Create`; `flags` -1 means the default image flags; `IMAGE_DYNAMIC` is always added.
Ref<TImage> CreateImage(std::int32_t width, std::int32_t height, std::int32_t count = 1, std::int32_t flags = -1);
// The image's `Lock`. Throws `TNullObjectError` for a `Null` image.
Ref<TPixmap> LockImage(const Ref<TImage>& image, std::int32_t frame = 0, std::int32_t read = 1, std::int32_t write = 1);
// Does nothing (pixmaps are shared, not mapped).
void UnlockImage(const Ref<TImage>& image, std::int32_t frame = 0);
// Reads the image's size from the back buffer at (x, y) into frame `frame` (masked with the mask colour
// when the image is masked). Throws `TNullObjectError` for a `Null` image or without a current 2D driver.
void GrabImage(const Ref<TImage>& image, std::int32_t x, std::int32_t y, std::int32_t frame = 0);
// The frame width and height. Throw `TNullObjectError` for a `Null` image.
std::int32_t ImageWidth(const Ref<TImage>& image);
std::int32_t ImageHeight(const Ref<TImage>& image);
// Sets the drawing handle (pixels from the top-left corner).
void SetImageHandle(const Ref<TImage>& image, float x, float y);
// Puts the handle at the frame's centre.
void CentreImageHandle(const Ref<TImage>& image);
// 1: images made by `LoadImage`, `LoadImageStrip` and `CreateImage` get their handle centred.
void SetAutoCentre(std::int32_t on);
// The flags that -1 stands for; -1 leaves the setting unchanged.
void SetDefaultImageFlags(std::int32_t flags);

} // namespace vanta
