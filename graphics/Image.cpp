// Images and their lazily made driver frames.
#include "graphics/Image.h"

#include "graphics/Draw.h"
#include "graphics/Graphics.h"
#include "graphics/detail/ModuleLinks.h"
#include "pixmap/Pixmap.h"
#include "runtime/Error.h"

namespace vanta {

void TImage::CheckIndex(std::int32_t index) const
{
    if (index < 0 || index >= pixmaps->Length()) ThrowArrayBounds();
}

namespace {

// The part of `TImage::Frame` that makes a driver frame, out of line so that the common case (the frame
// held is current) stays a few loads and compares. The frame is made before anything is recorded, so a
// driver that throws leaves no stale record.
[[gnu::noinline]] Ref<TImageFrame> MakeDriverFrame(TImage& image, std::int32_t index, std::int32_t sequence)
{
    Ref<TImageFrame> frame = detail::Driver().CreateFrameFromPixmap(image.Lock(index, 1, 0), image.flags);
    image.frames->ObjectAt(index) = frame;
    image.sequences->At<std::int32_t>(index) = sequence;
    return frame;
}

} // namespace

Ref<TImageFrame> TImage::Frame(std::int32_t index)
{
    CheckIndex(index);
    const std::int32_t sequence = GraphicsSequence();
    const std::int32_t made = sequences->At<std::int32_t>(index);
    const Ref<Object>& current = frames->ObjectAt(index);
    // Only driver frames are stored here; the class check stays because the array is a public field.
    if (made == sequence && IsKindOf(current.Raw(), &classRecordOf<TImageFrame>))
        return Ref<TImageFrame>(static_cast<TImageFrame*>(current.Raw()));
    return MakeDriverFrame(*this, index, sequence);
}

Ref<TPixmap> TImage::Lock(std::int32_t index, std::int32_t, std::int32_t write)
{
    CheckIndex(index);
    if (write != 0) {
        sequences->At<std::int32_t>(index) = 0;
        frames->ObjectAt(index) = Null;
    }
    Ref<Object>& pixmap = pixmaps->ObjectAt(index);
    if (pixmap.IsNull()) {
        pixmap = CreatePixmap(width, height, (flags & IMAGE_MASKED) != 0 ? PF_RGBA8888 : PF_RGB888, 4);
    }
    return Downcast<TPixmap>(pixmap);
}

void TImage::SetPixmap(std::int32_t index, const Ref<TPixmap>& pixmap)
{
    CheckIndex(index);
    pixmaps->ObjectAt(index) = pixmap;
    sequences->At<std::int32_t>(index) = 0;
    frames->ObjectAt(index) = Null;
}

Ref<TImage> TImage::Create(std::int32_t width, std::int32_t height, std::int32_t count, std::int32_t flags)
{
    Ref<TImage> image = New<TImage>();
    image->width = width;
    image->height = height;
    image->flags = flags;
    image->pixmaps = NewArray(":TPixmap", count);
    image->frames = NewArray(":TImageFrame", count);
    image->sequences = NewArray("i", count);
    return image;
}

namespace {

// The source's picture, masked with (r, g, b) when asked for and it has no alpha of its own.
Ref<TPixmap> SourcePixmap(const Ref<Object>& source, std::int32_t r, std::int32_t g, std::int32_t b, std::int32_t flags)
{
    Ref<TPixmap> pixmap = Downcast<TPixmap>(source);
    if (pixmap.IsNull()) pixmap = LoadPixmap(source);
    if (pixmap.IsNull()) return Null;
    const std::int32_t format = pixmap->Format();
    if ((flags & IMAGE_MASKED) != 0 && (format == PF_I8 || format == PF_BGR888 || format == PF_RGB888)) {
        pixmap = MaskPixmap(pixmap, r, g, b);
    }
    return pixmap;
}

} // namespace

Ref<TImage> TImage::Load(const Ref<Object>& source, std::int32_t r, std::int32_t g, std::int32_t b, std::int32_t flags)
{
    Ref<TPixmap> pixmap = SourcePixmap(source, r, g, b, flags);
    if (pixmap.IsNull()) return Null;
    Ref<TImage> image = Create(pixmap->Width(), pixmap->Height(), 1, flags);
    image->SetPixmap(0, pixmap);
    return image;
}

Ref<TImage> TImage::LoadStrip(const Ref<Object>& source, std::int32_t cellWidth, std::int32_t cellHeight,
                              std::int32_t first, std::int32_t count, std::int32_t r, std::int32_t g, std::int32_t b,
                              std::int32_t flags)
{
    if (cellWidth < 1 || cellHeight < 1 || first < 0 || count < 0) return Null;
    Ref<TPixmap> pixmap = SourcePixmap(source, r, g, b, flags);
    if (pixmap.IsNull()) return Null;
    const std::int32_t across = pixmap->Width() / cellWidth;
    const std::int32_t down = pixmap->Height() / cellHeight;
    if (static_cast<std::int64_t>(first) + count > static_cast<std::int64_t>(across) * down) return Null;
    Ref<TImage> image = Create(cellWidth, cellHeight, count, flags);
    for (std::int32_t i = first; i < first + count; ++i) {
        const std::int32_t x = (i % across) * cellWidth;
        const std::int32_t y = (i / across) * cellHeight;
        image->SetPixmap(i - first, pixmap->Window(x, y, cellWidth, cellHeight)->Copy());
    }
    return image;
}

namespace {

// The image module's settings (reset by every graphics activation, through the drawing module).
struct ImageState
{
    std::int32_t autoCentre = 0;
    std::int32_t defaultImageFlags = 0;
};

ImageState& Images()
{
    static ImageState state;
    return state;
}

std::int32_t ImageFlags(std::int32_t flags)
{
    return flags == -1 ? Images().defaultImageFlags : flags;
}

Ref<TImage> Made(Ref<TImage> image)
{
    if (!image.IsNull() && Images().autoCentre != 0) CentreImageHandle(image);
    return image;
}

} // namespace

Ref<TImage> LoadImage(const Ref<Object>& source, std::int32_t flags)
{
    std::int32_t r = 0, g = 0, b = 0;
    GetMaskColor(r, g, b);
    return Made(TImage::Load(source, r, g, b, ImageFlags(flags)));
}

Ref<TImage> LoadImageStrip(const Ref<Object>& source, std::int32_t cellWidth, std::int32_t cellHeight,
                           std::int32_t first, std::int32_t count, std::int32_t flags)
{
    std::int32_t r = 0, g = 0, b = 0;
    GetMaskColor(r, g, b);
    return Made(TImage::LoadStrip(source, cellWidth, cellHeight, first, count, r, g, b, ImageFlags(flags)));
}

Ref<TImage> CreateImage(std::int32_t width, std::int32_t height, std::int32_t count, std::int32_t flags)
{
    return Made(TImage::Create(width, height, count, ImageFlags(flags) | IMAGE_DYNAMIC));
}

Ref<TPixmap> LockImage(const Ref<TImage>& image, std::int32_t frame, std::int32_t read, std::int32_t write)
{
    return image->Lock(frame, read, write);
}

void UnlockImage(const Ref<TImage>&, std::int32_t)
{}

void GrabImage(const Ref<TImage>& image, std::int32_t x, std::int32_t y, std::int32_t frame)
{
    TImage& target = *image;
    if (frame < 0 || frame >= target.FrameCount()) ThrowArrayBounds();
    Ref<TPixmap> pixmap = detail::Driver().GrabPixmap(x, y, target.width, target.height);
    if ((target.flags & IMAGE_MASKED) != 0) {
        std::int32_t r = 0, g = 0, b = 0;
        GetMaskColor(r, g, b);
        pixmap = MaskPixmap(pixmap, r, g, b);
    }
    target.SetPixmap(frame, pixmap);
}

std::int32_t ImageWidth(const Ref<TImage>& image)
{
    return image->width;
}

std::int32_t ImageHeight(const Ref<TImage>& image)
{
    return image->height;
}

void SetImageHandle(const Ref<TImage>& image, float x, float y)
{
    image->handleX = x;
    image->handleY = y;
}

void CentreImageHandle(const Ref<TImage>& image)
{
    image->handleX = static_cast<float>(image->width) * 0.5f;
    image->handleY = static_cast<float>(image->height) * 0.5f;
}

void SetAutoCentre(std::int32_t on)
{
    Images().autoCentre = on;
}

void SetDefaultImageFlags(std::int32_t flags)
{
    if (flags != -1) Images().defaultImageFlags = flags;
}

} // namespace vanta
