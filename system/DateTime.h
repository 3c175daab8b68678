// The local date and time as text.
#pragma once

#include "runtime/String.h"

namespace vanta {

// Day, abbreviated month and year: "07 Dec 2026" (the C library's "%d %b %Y").
Ref<String> CurrentDate();

// Hours, minutes and seconds: "20:04:17" ("%H:%M:%S").
Ref<String> CurrentTime();

} // namespace vanta
