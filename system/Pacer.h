// A fixed-rate tick source for loops.
#pragma once

#include "runtime/Object.h"

#include <cstdint>

namespace vanta {

// A fixed-rate tick source: a loop that calls `WaitTick` once per pass runs at the pacer's rate, on the
// host driver's clock.
class TPacer : public Object
{
    VANTA_CLASS(TPacer, Object)
public:
    TPacer() = default;

    // Waits for the next tick and returns how many periods have passed since the last one accounted
    // for: at least 1; a caller that fell behind gets every period that passed and no wait.
    virtual std::int32_t WaitTick();

    // A pacer of `hertz` ticks per second: the period is 1000 / hertz milliseconds, truncated (60 Hz gives
    // 16 ms). A rate that is not positive gives a pacer that practically never ticks; a rate above 1000 Hz
    // ticks every millisecond.
    static Ref<TPacer> NewPacer(float hertz);

    std::int32_t period = 0; // milliseconds from one tick to the next; at least 1 in a pacer from `NewPacer`
    std::int32_t next = 0;   // the clock reading (`ReadClock`) of the last tick accounted for
};

// The same as `TPacer::NewPacer`.
Ref<TPacer> NewPacer(float hertz);

} // namespace vanta
