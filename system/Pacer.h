// A fixed-rate tick source for loops.
#pragma once

#include "runtime/Object.h"

#include <cstdint>

namespace vanta {

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

    std::int32_t period = 0;
    std::int32_t next = 0;
};

// The same as `TPacer::NewPacer`.
Ref<TPacer> NewPacer(float hertz);

} // namespace vanta
