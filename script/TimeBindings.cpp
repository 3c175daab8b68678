// The time bindings: the millisecond clock, its wrap-safe distance, sleeping, the date and the time, under
// the names of system/HostDriver.h and system/DateTime.h.
#include "script/ScriptBindings.h"
#include "script/detail/BindingSupport.h"
#include "system/DateTime.h"
#include "system/HostDriver.h"

namespace vanta {
namespace {

using namespace detail;

int LuaReadClock(lua_State* state)
{
    return PushResult(state, ReadClock());
}

// ClockDistance(from, to) -> the milliseconds from `from` forward to `to` on the wrapping 32-bit clock
int LuaClockDistance(lua_State* state)
{
    return PushResult(state, ClockDistance(TScriptEngine::ArgInt(state, 1), TScriptEngine::ArgInt(state, 2)));
}

// SleepFor(milliseconds): at most ten seconds, so that a slip of the pen cannot freeze the game.
int LuaSleepFor(lua_State* state)
{
    const std::int32_t milliseconds = TScriptEngine::ArgInt(state, 1);
    if (milliseconds < 0 || milliseconds > 10000) luaL_argerror(state, 1, "0 to 10000 milliseconds expected");
    SleepFor(milliseconds);
    return 0;
}

int LuaCurrentDate(lua_State* state)
{
    PushText(state, CurrentDate());
    return 1;
}

int LuaCurrentTime(lua_State* state)
{
    PushText(state, CurrentTime());
    return 1;
}

constexpr BindingFunction FUNCTIONS[] = {
    {"ReadClock", &LuaReadClock},     {"ClockDistance", &LuaClockDistance}, {"SleepFor", &LuaSleepFor},
    {"CurrentDate", &LuaCurrentDate}, {"CurrentTime", &LuaCurrentTime},
};

} // namespace

void BindTime(TScriptEngine& engine)
{
    detail::Bind(engine, FUNCTIONS);
}

} // namespace vanta
