// Fixed-rate pacing over the host driver's clock.
#include "system/Pacer.h"

#include "system/HostDriver.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace vanta {

std::int32_t TPacer::WaitTick()
{
    const std::int32_t now = ReadClock();
    const auto elapsed = static_cast<std::int32_t>(ClockDistance(next, now));
    std::int32_t ticks = elapsed / period;
    if (ticks == 0) {
        SleepFor(static_cast<std::int32_t>(static_cast<std::uint32_t>(next) + static_cast<std::uint32_t>(period) -
                                           static_cast<std::uint32_t>(now)));
        ticks = 1;
    }
    next = static_cast<std::int32_t>(static_cast<std::uint32_t>(next) +
                                     static_cast<std::uint32_t>(ticks) * static_cast<std::uint32_t>(period));
    return ticks;
}

Ref<TPacer> TPacer::NewPacer(float hertz)
{
    Ref<TPacer> pacer = New<TPacer>();
    const float period = 1000.0f / hertz;
    if (!(hertz > 0.0f) || !(period < static_cast<float>(std::numeric_limits<std::int32_t>::max()))) {
        pacer->period = std::numeric_limits<std::int32_t>::max();
    } else {
        pacer->period = std::max(1, static_cast<std::int32_t>(period));
    }
    pacer->next = ReadClock();
    return pacer;
}

Ref<TPacer> NewPacer(float hertz)
{
    return TPacer::NewPacer(hertz);
}

} // namespace vanta
