// Integer handles for objects.
//
// A handle is a small positive number that names an object: games keep images, sounds and channels as
// handles and turn them back into objects at each use. The handle tables hold one reference to every
// object that has a handle, until `ReleaseHandle`. Handles are issued 1, 2, 3, ... in order of first
// request; 0 is never issued and always means `Null`.
#pragma once

#include "runtime/Object.h"

#include <cstdint>

namespace vanta {

// The object's handle, issuing one (and retaining the object) the first time; 0 for `Null`.
std::int32_t ObjectToHandle(const Ref<Object>& object);

// The object a handle names; `Null` for 0, a released handle or a number never issued.
Ref<Object> HandleToObject(std::int32_t handle);

// The object a handle names as a `T`, or `Null`.
template <class T>
Ref<T> HandleToObject(std::int32_t handle)
{
    return Downcast<T>(HandleToObject(handle));
}

// Forgets a handle and releases the object it named; an unknown handle does nothing.
void ReleaseHandle(std::int32_t handle);

} // namespace vanta
