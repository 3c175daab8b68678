// The event queue: a ring of 256 object references with free-running counters.
#include "system/EventQueue.h"

#include "runtime/Array.h"
#include "system/HostDriver.h"

namespace vanta {
namespace {

constexpr std::uint32_t QUEUE_SIZE = 256;

Ref<Array> events;
std::uint32_t put = 0;
std::uint32_t get = 0;

Ref<Object>& Slot(std::uint32_t counter)
{
    return events->ObjectAt(static_cast<std::int32_t>(counter % QUEUE_SIZE));
}

} // namespace

void InitEventQueue()
{
    if (events.IsNull()) events = NewArray(":Object", QUEUE_SIZE);
}

std::int32_t QueueEvent(const Ref<Object>& event)
{
    if (event.IsNull() || put - get == QUEUE_SIZE) return 0;
    Slot(put) = event;
    ++put;
    return 0;
}

Ref<Object> PeekQueuedEvent()
{
    if (put == get) PumpMessages();
    if (put == get) return Null;
    return Slot(get);
}

Ref<Object> TakeQueuedEvent()
{
    Ref<Object> event = PeekQueuedEvent();
    if (!event.IsNull()) ++get;
    return event;
}

Ref<Object> WaitQueuedEvent()
{
    while (put == get)
        WaitForMessages();
    return Slot(get++);
}

} // namespace vanta
