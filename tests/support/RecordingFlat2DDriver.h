// A 2D driver for tests that draws nothing and records every slot call with its arguments, so code that
// draws (the 2D layer, the console, the game) can be checked without a display. Built on the null 2D
// driver (graphics/null/), which it extends with the record; `Flush` is counted, not recorded.
//
// `CreateGraphics` and `AttachGraphics` answer a `TFlat2DSurface` over a `TRecordingSurface` (a fake
// window of the asked size that counts its activations, flips and closes and can run a hook at each
// flip, for example to move a fake clock on). `CreateFrameFromPixmap` answers a `TRecordingFrame` whose
// draws go into the same log. The log keeps plain pointers to the objects passed (for identity checks
// only), so it keeps nothing alive.
//
//     Ref<test::TRecordingFlat2DDriver> driver = New<test::TRecordingFlat2DDriver>();
//     SelectGraphicsDriver(driver, 0);
//     OpenGraphics(640, 480, 0, SYNC_NONE);
//     driver->ClearCalls();
//     DrawRect(10, 20, 30, 40);
//     EXPECT_EQ(driver->Calls("DrawRect")[0].args, (std::vector<double>{0, 0, 30, 40, 10, 20}));
#pragma once

#include "graphics/null/NullFlat2DDriver.h"
#include "pixmap/Pixmap.h"
#include "runtime/Array.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vanta::test {

// One slot call: the slot's name, its number arguments in order and the object passed, if any.
struct DrawCall
{
    std::string slot;
    std::vector<double> args;
    const Object* object = nullptr;
};

using DrawLog = std::vector<DrawCall>;

// A fake window-and-context surface of a fixed size.
class TRecordingSurface : public TGraphicsSurface
{
    VANTA_CLASS(TRecordingSurface, TGraphicsSurface)
public:
    TRecordingSurface(std::int32_t width, std::int32_t height) : width(width), height(height) {}

    void Activate() override { ++activations; }
    void Flip() override
    {
        ++flips;
        if (onFlip) onFlip();
    }
    void GetSize(std::int32_t& outWidth, std::int32_t& outHeight) override
    {
        outWidth = width;
        outHeight = height;
    }
    void Close() override { ++closes; }

    std::int32_t width;
    std::int32_t height;
    int activations = 0;
    int flips = 0;
    int closes = 0;
    std::function<void()> onFlip; // run at every flip
};

// A driver frame that records its draws as "FrameDraw" (x0, y0, x1, y1, tx, ty) with itself as the object.
class TRecordingFrame : public TImageFrame
{
    VANTA_CLASS(TRecordingFrame, TImageFrame)
public:
    TRecordingFrame(std::shared_ptr<DrawLog> log, const Ref<TPixmap>& pixmap, std::int32_t flags)
        : pixmap(pixmap), flags(flags), log_(std::move(log))
    {}

    void Draw(float x0, float y0, float x1, float y1, float tx, float ty) override
    {
        log_->push_back({"FrameDraw", {x0, y0, x1, y1, tx, ty}, this});
    }

    Ref<TPixmap> pixmap; // the pixmap the frame was made from
    std::int32_t flags;  // the image flags it was made with

private:
    std::shared_ptr<DrawLog> log_;
};

class TRecordingFlat2DDriver : public TNullFlat2DDriver
{
    VANTA_CLASS(TRecordingFlat2DDriver, TNullFlat2DDriver)
public:
    TRecordingFlat2DDriver() = default;

    // Graphics-driver slots.
    Ref<TGraphicsSurface> AttachGraphics(platform::Window*, std::int32_t flags) override
    {
        Record("AttachGraphics", {static_cast<double>(flags)});
        return MakeSurface(640, 480);
    }
    Ref<TGraphicsSurface> CreateGraphics(std::int32_t width, std::int32_t height, std::int32_t depth, std::int32_t rate,
                                         std::int32_t flags) override
    {
        Record("CreateGraphics", {static_cast<double>(width), static_cast<double>(height), static_cast<double>(depth),
                                  static_cast<double>(rate), static_cast<double>(flags)});
        return MakeSurface(width, height);
    }
    void SetPointerVisible(std::int32_t show) override { Record("SetPointerVisible", {static_cast<double>(show)}); }
    void SetSwapInterval(std::int32_t interval) override { Record("SetSwapInterval", {static_cast<double>(interval)}); }
    Ref<Array> DisplayModes() override
    {
        ++displayModeQueries;
        Ref<Array> result = NewArray(":TDisplayMode", static_cast<std::int32_t>(modes.size()));
        for (std::size_t i = 0; i < modes.size(); ++i) {
            Ref<TDisplayMode> mode = New<TDisplayMode>();
            mode->width = modes[i][0];
            mode->height = modes[i][1];
            mode->depth = modes[i][2];
            mode->rate = modes[i][3];
            result->ObjectAt(static_cast<std::int32_t>(i)) = mode;
        }
        return result;
    }

    // 2D slots.
    void SetSurface(const Ref<TGraphicsSurface>& surface, std::int32_t width, std::int32_t height) override
    {
        Record("SetSurface", {static_cast<double>(width), static_cast<double>(height)}, surface.Raw());
    }
    void ReleaseSurface() override { Record("ReleaseSurface", {}); }
    void Flush() override { ++flushes; }
    Ref<TImageFrame> CreateFrameFromPixmap(const Ref<TPixmap>& pixmap, std::int32_t flags) override
    {
        Record("CreateFrameFromPixmap", {static_cast<double>(flags)}, pixmap.Raw());
        Ref<TRecordingFrame> frame = New<TRecordingFrame>(log_, pixmap, flags);
        frames.push_back(frame.Raw());
        return frame;
    }
    void SetBlend(std::int32_t mode) override { Record("SetBlend", {static_cast<double>(mode)}); }
    void SetAlpha(float alpha) override { Record("SetAlpha", {alpha}); }
    void SetColor(std::int32_t r, std::int32_t g, std::int32_t b) override
    {
        Record("SetColor", {static_cast<double>(r), static_cast<double>(g), static_cast<double>(b)});
    }
    void SetClearColor(std::int32_t r, std::int32_t g, std::int32_t b) override
    {
        Record("SetClearColor", {static_cast<double>(r), static_cast<double>(g), static_cast<double>(b)});
    }
    void SetViewport(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height) override
    {
        Record("SetViewport", {static_cast<double>(x), static_cast<double>(y), static_cast<double>(width),
                               static_cast<double>(height)});
    }
    void SetTransform(float ix, float iy, float jx, float jy) override { Record("SetTransform", {ix, iy, jx, jy}); }
    void SetLineWidth(float width) override { Record("SetLineWidth", {width}); }
    void Clear() override { Record("Clear", {}); }
    void Plot(float x, float y) override { Record("Plot", {x, y}); }
    void DrawLine(float x0, float y0, float x1, float y1, float tx, float ty) override
    {
        Record("DrawLine", {x0, y0, x1, y1, tx, ty});
    }
    void DrawRect(float x0, float y0, float x1, float y1, float tx, float ty) override
    {
        Record("DrawRect", {x0, y0, x1, y1, tx, ty});
    }
    void DrawOval(float x0, float y0, float x1, float y1, float tx, float ty) override
    {
        Record("DrawOval", {x0, y0, x1, y1, tx, ty});
    }
    void DrawPoly(const Ref<Array>& xy, float hx, float hy, float tx, float ty) override
    {
        Record("DrawPoly", {hx, hy, tx, ty}, xy.Raw());
    }
    void DrawPixmap(const Ref<TPixmap>& pixmap, std::int32_t x, std::int32_t y) override
    {
        Record("DrawPixmap", {static_cast<double>(x), static_cast<double>(y)}, pixmap.Raw());
    }
    // A new RGBA pixmap of the asked size filled with `grabColor`; `Null` for a size below 1.
    Ref<TPixmap> GrabPixmap(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height) override
    {
        Record("GrabPixmap", {static_cast<double>(x), static_cast<double>(y), static_cast<double>(width),
                              static_cast<double>(height)});
        Ref<TPixmap> pixmap = CreatePixmap(width, height, PF_RGBA8888, 4);
        if (pixmap.IsNull()) return Null;
        for (std::int32_t row = 0; row < height; ++row) {
            for (std::int32_t column = 0; column < width; ++column)
                pixmap->WritePixel(column, row, grabColor);
        }
        return pixmap;
    }

    // The log, oldest call first.
    const DrawLog& Log() const noexcept { return *log_; }
    // The calls of one slot, oldest first.
    std::vector<DrawCall> Calls(std::string_view slot) const
    {
        std::vector<DrawCall> result;
        for (const DrawCall& call : *log_) {
            if (call.slot == slot) result.push_back(call);
        }
        return result;
    }
    // The slot names of the log in order.
    std::vector<std::string> Slots() const
    {
        std::vector<std::string> result;
        for (const DrawCall& call : *log_)
            result.push_back(call.slot);
        return result;
    }
    void ClearCalls() { log_->clear(); }

    std::vector<std::array<std::int32_t, 4>> modes; // width, height, depth, rate of each display mode
    int displayModeQueries = 0;
    int flushes = 0;              // calls of `Flush`
    bool failCreate = false;      // create and attach answer `Null`
    bool plainSurfaces = false;   // create and attach answer the bare recording surface
    std::function<void()> onFlip; // given to every surface made from now on
    std::uint32_t grabColor = 0xFF000000u;
    std::vector<Ref<TRecordingSurface>> surfaces; // every surface made, oldest first
    std::vector<const Object*> frames;            // every frame made, oldest first (identity only)

private:
    void Record(const char* slot, std::vector<double> args, const Object* object = nullptr)
    {
        log_->push_back({slot, std::move(args), object});
    }

    Ref<TGraphicsSurface> MakeSurface(std::int32_t width, std::int32_t height)
    {
        if (failCreate) return Null;
        Ref<TRecordingSurface> surface = New<TRecordingSurface>(width, height);
        surface->onFlip = onFlip;
        surfaces.push_back(surface);
        if (plainSurfaces) return surface;
        return TFlat2DSurface::Create(surface, Ref<TFlat2DDriver>(this));
    }

    std::shared_ptr<DrawLog> log_ = std::make_shared<DrawLog>();
};

} // namespace vanta::test
