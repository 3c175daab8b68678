// Local date and time through the C library.
#include "system/DateTime.h"

#include <ctime>

namespace vanta {
namespace {

Ref<String> FormatNow(const char* format)
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[256];
    const std::size_t length = std::strftime(text, sizeof text, format, &local);
    return String::FromBytes(text, static_cast<std::int32_t>(length));
}

} // namespace

Ref<String> CurrentDate()
{
    return FormatNow("%d %b %Y");
}

Ref<String> CurrentTime()
{
    return FormatNow("%H:%M:%S");
}

} // namespace vanta
