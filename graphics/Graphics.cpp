// The graphics module: driver choice, display modes, opening and closing graphics, frame pacing.
//
// [SECTION] Module state
// [SECTION] Drivers and display modes
// [SECTION] Opening and closing
// [SECTION] Scaling
// [SECTION] Frame pacing
#include "graphics/Graphics.h"

#include "graphics/detail/ModuleLinks.h"
#include "pixmap/Pixmap.h"
#include "runtime/Error.h"
#include "system/HostDriver.h"
#include "system/System.h"

namespace vanta {

// [SECTION] Module state

namespace {

struct GraphicsState
{
    Ref<TFlat2DSurface> currentSurface; // the surface last activated
    Ref<TFlat2DDriver> flat2D;          // the current 2D driver: its surface's
    std::int32_t width = 0;             // size of the current surface
    std::int32_t height = 0;
    std::uint32_t sequence = 1;

    Ref<TGraphicsDriver> driver;
    std::int32_t defaultFlags = 0;
    Ref<Array> modes = EmptyArray();
    Ref<TFlat2DSurface> opened;
    std::int32_t depth = 0;
    std::int32_t rate = 0;
    std::int32_t pacingFlags = 0;

    // Timed pacing: the next frame is due `accumulator / rate` milliseconds after `base`. Both are rebased
    // at every frame, so the accumulator stays below one second's worth and `clock - base` below a frame.
    bool timed = false;
    std::int64_t accumulator = 0;
    std::int32_t base = 0;

    // How the next windowed opening is shown (`SetGraphicsScaling`).
    std::int32_t scaleMode = SCALE_NONE;
    std::int32_t windowScale = 1;
};

GraphicsState& Graphics()
{
    static GraphicsState state;
    return state;
}

void AdvanceSequence()
{
    std::uint32_t& sequence = Graphics().sequence;
    if (++sequence == 0) sequence = 1;
}

const Ref<Array>& Modes()
{
    GraphicsState& state = Graphics();
    if (state.modes->Length() == 0) state.modes = state.driver->DisplayModes();
    return state.modes;
}

// The inner surface of the current surface: flipped and activated again to present a frame.
void PresentFrame()
{
    TFlat2DSurface& current = *Graphics().currentSurface;
    // Drawing the driver still holds belongs to this frame.
    current.driver->Flush();
    TGraphicsSurface& inner = *current.surface;
    inner.Flip();
    inner.Activate();
}

void SetUpPacing();

// Asks a windowed surface for the scaling the program chose; a surface that cannot scale stays as it is.
void ApplyScaling(TGraphicsSurface& surface)
{
    const GraphicsState& state = Graphics();
    if (state.scaleMode != SCALE_NONE) surface.SetScaling(state.scaleMode, state.windowScale);
}

} // namespace

void detail::SetCurrentSurface(const Ref<TFlat2DSurface>& surface, std::int32_t width, std::int32_t height)
{
    GraphicsState& state = Graphics();
    state.currentSurface = surface;
    state.flat2D = surface.IsNull() ? Ref<TFlat2DDriver>() : surface->driver;
    state.width = surface.IsNull() ? 0 : width;
    state.height = surface.IsNull() ? 0 : height;
}

TFlat2DDriver& detail::Driver()
{
    return *Graphics().flat2D;
}

void InitGraphics()
{
    static bool initialised = false;
    if (initialised) return;
    initialised = true;
    InitRuntimeCore();
    InitSystem();
    InitPixmaps();
}

// [SECTION] Drivers and display modes

void SelectGraphicsDriver(const Ref<TGraphicsDriver>& driver, std::int32_t flags)
{
    GraphicsState& state = Graphics();
    state.modes = EmptyArray();
    state.driver = driver;
    state.defaultFlags = flags;
}

const Ref<TGraphicsDriver>& CurrentGraphicsDriver()
{
    return Graphics().driver;
}

Ref<TGraphicsSurface> AttachGraphics(platform::Window* window, std::int32_t flags)
{
    GraphicsState& state = Graphics();
    return state.driver->AttachGraphics(window, flags | state.defaultFlags);
}

Ref<TGraphicsSurface> CreateGraphics(std::int32_t width, std::int32_t height, std::int32_t depth, std::int32_t rate,
                                     std::int32_t flags)
{
    GraphicsState& state = Graphics();
    return state.driver->CreateGraphics(width, height, depth, rate, flags | state.defaultFlags);
}

void SetGraphicsSwapInterval(std::int32_t interval)
{
    Graphics().driver->SetSwapInterval(interval);
}

std::int32_t CountDisplayModes()
{
    return Modes()->Length();
}

void GetDisplayMode(std::int32_t index, std::int32_t& width, std::int32_t& height, std::int32_t& depth,
                    std::int32_t& rate)
{
    Ref<TDisplayMode> mode = Downcast<TDisplayMode>(Modes()->ObjectAt(index));
    width = mode->width;
    height = mode->height;
    depth = mode->depth;
    rate = mode->rate;
}

std::int32_t DisplayModeExists(std::int32_t width, std::int32_t height, std::int32_t depth, std::int32_t rate)
{
    const Ref<Array>& modes = Modes();
    for (std::int32_t i = 0; i < modes->Length(); ++i) {
        Ref<TDisplayMode> mode = Downcast<TDisplayMode>(modes->ObjectAt(i));
        if (mode.IsNull()) continue;
        if (width != 0 && width != mode->width) continue;
        if (height != 0 && height != mode->height) continue;
        if (depth != 0 && depth != mode->depth) continue;
        if (rate != 0 && rate != mode->rate) continue;
        return 1;
    }
    return 0;
}

// [SECTION] Opening and closing

std::int32_t OpenGraphics(std::int32_t width, std::int32_t height, std::int32_t depth, std::int32_t rateWord)
{
    CloseGraphics();
    GraphicsState& state = Graphics();
    const std::int32_t pacingFlags = rateWord & 0xF0000;
    std::int32_t rate = rateWord & 0xFFFF;
    if (depth != 0) {
        if (DisplayModeExists(width, height, 0, 0) == 0) ThrowError("Graphics mode does not exist");
    } else if (rate == 0) {
        rate = 85;
    }

    Ref<TGraphicsSurface> surface = CreateGraphics(width, height, depth, rate, 0);
    if (surface.IsNull()) ThrowError("Unable to create graphics");
    Ref<TFlat2DSurface> opened = Downcast<TFlat2DSurface>(surface);
    if (opened.IsNull()) {
        surface->Close();
        ThrowError("Current graphics driver is not a Flat2D driver");
    }
    state.opened = opened;
    if (depth == 0) ApplyScaling(*opened);
    AdvanceSequence();
    state.depth = depth;
    state.rate = rate;
    state.pacingFlags = pacingFlags;

    opened->Activate();
    ClearGraphics();
    FlipGraphics();
    ClearGraphics();
    FlipGraphics();
    SetUpPacing();
    return 0;
}

std::int32_t CloseGraphics()
{
    GraphicsState& state = Graphics();
    if (state.opened.IsNull()) return 0;
    AdvanceSequence();
    Ref<TFlat2DSurface> opened = std::move(state.opened);
    state.depth = 0;
    state.rate = 0;
    state.pacingFlags = 0;
    // The next opening starts its own schedule (its two blank frames are not paced against this one's).
    state.timed = false;
    // What the driver still holds is drawn while its context lives.
    if (!state.flat2D.IsNull()) state.flat2D->Flush();
    opened->Close();
    return 0;
}

std::int32_t GraphicsWidth()
{
    return Graphics().width;
}

std::int32_t GraphicsHeight()
{
    return Graphics().height;
}

void GetGraphicsInfo(std::int32_t& width, std::int32_t& height, std::int32_t& depth, std::int32_t& rate)
{
    const GraphicsState& state = Graphics();
    width = state.width;
    height = state.height;
    depth = state.depth;
    rate = state.rate;
}

std::int32_t ClearGraphics()
{
    detail::Driver().Clear();
    return 0;
}

std::int32_t ShowPointer()
{
    detail::Driver().SetPointerVisible(1);
    return 0;
}

std::int32_t HidePointer()
{
    detail::Driver().SetPointerVisible(0);
    return 0;
}

std::int32_t GraphicsSequence()
{
    return static_cast<std::int32_t>(Graphics().sequence);
}

const Ref<TFlat2DDriver>& CurrentFlat2DDriver()
{
    return Graphics().flat2D;
}

const Ref<TFlat2DSurface>& CurrentGraphicsSurface()
{
    return Graphics().currentSurface;
}

// [SECTION] Scaling

std::int32_t SetGraphicsScaling(std::int32_t mode, std::int32_t windowScale)
{
    GraphicsState& state = Graphics();
    if (mode != SCALE_NONE && mode != SCALE_WHOLE && mode != SCALE_ANY) return 0;
    state.scaleMode = mode;
    state.windowScale = windowScale < 1 ? 1 : windowScale;
    if (state.opened.IsNull() || state.depth != 0) return 1;
    // Open graphics follow at once; the inner surface is activated again so that drawing goes where the
    // new mode puts it, without resetting the program's drawing state.
    const std::int32_t done = state.opened->SetScaling(mode, mode == SCALE_NONE ? 1 : state.windowScale);
    const Ref<TFlat2DSurface>& current = state.currentSurface;
    if (!current.IsNull() && !current->surface.IsNull()) current->surface->Activate();
    return done;
}

std::int32_t GraphicsScaling()
{
    return Graphics().scaleMode;
}

std::int32_t SetGraphicsFullScreen(std::int32_t on)
{
    const GraphicsState& state = Graphics();
    return state.opened.IsNull() ? 0 : state.opened->SetFullScreen(on);
}

std::int32_t GraphicsFullScreen()
{
    const GraphicsState& state = Graphics();
    return state.opened.IsNull() ? 0 : state.opened->FullScreen();
}

// [SECTION] Frame pacing

namespace {

constexpr int VSYNC_TEST_PASSES = 100;
constexpr int VSYNC_TEST_HITS = 3;

void StartTimedPacing()
{
    GraphicsState& state = Graphics();
    state.timed = true;
    state.accumulator = 0;
    state.base = ReadClock();
}

void SetUpPacing()
{
    GraphicsState& state = Graphics();
    TFlat2DDriver& driver = *state.currentSurface->driver;
    state.timed = false;
    driver.SetSwapInterval(0);
    if ((state.pacingFlags & SYNC_NONE) != 0) return;
    if ((state.pacingFlags & SYNC_TIMED) != 0 && state.rate != 0) {
        StartTimedPacing();
        return;
    }
    driver.SetSwapInterval(1);
    if (state.rate == 0) return;

    // A flip that waits for the display takes one refresh period; three in a row mean it does.
    const std::int32_t period = 1000 / state.rate;
    int hits = 0;
    for (int pass = 0; pass < VSYNC_TEST_PASSES; ++pass) {
        const std::int32_t t0 = ReadClock();
        PresentFrame();
        const std::int32_t d = static_cast<std::int32_t>(ClockDistance(t0, ReadClock())) - period;
        if (d >= -1 && d <= 1) {
            if (++hits == VSYNC_TEST_HITS) return;
        } else {
            hits = 0;
        }
    }
    if ((state.pacingFlags & SYNC_STRICT) != 0) ThrowError("Unable to synchronize to refresh rate");
    StartTimedPacing();
    detail::Driver().SetSwapInterval(0);
}

// Waits for the next slot of the schedule; a frame that is late (or absurdly early, the clock having
// jumped) moves the schedule to the present.
void WaitForSlot()
{
    GraphicsState& state = Graphics();
    const std::int64_t rate = state.rate;
    if (rate <= 0) return; // no schedule without a rate
    const std::int64_t elapsed = static_cast<std::int32_t>(ClockDistance(state.base, ReadClock()));
    state.accumulator += 1000;
    const std::int64_t wait = state.accumulator / rate - elapsed;
    if (wait > 0 && wait < 1000) {
        SleepFor(static_cast<std::int32_t>(wait));
    } else {
        state.accumulator = elapsed * rate;
    }
    // Rebase: move the whole milliseconds of the schedule into the base. accumulator / rate - elapsed
    // stays the same, and neither number grows with the frame count.
    const std::int64_t whole = state.accumulator / rate;
    state.accumulator -= whole * rate;
    state.base = static_cast<std::int32_t>(static_cast<std::uint32_t>(state.base) + static_cast<std::uint32_t>(whole));
}

} // namespace

std::int32_t FlipGraphics()
{
    GraphicsState& state = Graphics();
    if (state.opened.IsNull()) return 0;
    if (state.timed && state.rate > 0) WaitForSlot();
    PresentFrame();
    return 0;
}

} // namespace vanta
