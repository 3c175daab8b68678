// A queue of 256 events (any objects), oldest first.
//
// A full queue drops new events silently. A taken event stays referenced by its slot until the slot is
// reused.
#pragma once

#include "runtime/Object.h"

#include <cstdint>

namespace vanta {

// Adds `event` at the end; `Null` is ignored and a full queue drops it. Returns 0.
std::int32_t QueueEvent(const Ref<Object>& event);

// The oldest event without taking it; pumps messages once when the queue is empty; `Null` when still
// empty.
Ref<Object> PeekQueuedEvent();

// As `PeekQueuedEvent`, but the event is taken off the queue.
Ref<Object> TakeQueuedEvent();

// Waits for messages until an event is queued, then takes the oldest.
Ref<Object> WaitQueuedEvent();

// Creates the queue (the system module's initialiser does).
void InitEventQueue();

} // namespace vanta
