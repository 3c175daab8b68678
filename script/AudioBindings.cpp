// The audio bindings: sounds and channels, under the names of audio/Sound.h.
#include "audio/Sound.h"
#include "script/ScriptBindings.h"
#include "script/detail/BindingSupport.h"

namespace vanta {
namespace {

using namespace detail;

constexpr const char* SOUND = "sound";
constexpr const char* CHANNEL = "channel";

Ref<TChannel> ChannelArg(lua_State* state, int index)
{
    return ArgHandle<TChannel>(state, index, CHANNEL);
}

// LoadSound(url [, flags = 0]) -> sound (0 when the file gives no sound); SOUND_LOOP loops it.
int LuaLoadSound(lua_State* state)
{
    return PushHandle(state, LoadSound(ArgUrl(state, 1), OptInt(state, 2, 0)));
}

int LuaFreeSound(lua_State* state)
{
    return ReleaseHandleArg<TSound>(state, 1, SOUND);
}

// Answers the channel: the handle given when the same channel comes back, else a new handle.
int PushChannel(lua_State* state, const Ref<TChannel>& channel, const Ref<TChannel>& given)
{
    if (!given.IsNull() && channel.Raw() == given.Raw()) {
        lua_pushvalue(state, 2);
        return 1;
    }
    return PushHandle(state, channel);
}

// PlaySound(sound [, channel]) -> channel
int LuaPlaySound(lua_State* state)
{
    const Ref<TChannel> given = OptHandle<TChannel>(state, 2, CHANNEL);
    return PushChannel(state, PlaySound(ArgHandle<TSound>(state, 1, SOUND), given), given);
}

// CueSound(sound [, channel]) -> channel, paused until resumed
int LuaCueSound(lua_State* state)
{
    const Ref<TChannel> given = OptHandle<TChannel>(state, 2, CHANNEL);
    return PushChannel(state, CueSound(ArgHandle<TSound>(state, 1, SOUND), given), given);
}

int LuaAllocChannel(lua_State* state)
{
    return PushHandle(state, AllocChannel());
}

int LuaFreeChannel(lua_State* state)
{
    return ReleaseHandleArg<TChannel>(state, 1, CHANNEL);
}

int LuaStopChannel(lua_State* state)
{
    StopChannel(ChannelArg(state, 1));
    return 0;
}

// ChannelPlaying(channel) -> boolean
int LuaChannelPlaying(lua_State* state)
{
    lua_pushboolean(state, ChannelPlaying(ChannelArg(state, 1)) != 0 ? 1 : 0);
    return 1;
}

int LuaSetChannelVolume(lua_State* state)
{
    SetChannelVolume(ChannelArg(state, 1), ArgFloat(state, 2));
    return 0;
}

int LuaSetChannelPan(lua_State* state)
{
    SetChannelPan(ChannelArg(state, 1), ArgFloat(state, 2));
    return 0;
}

int LuaSetChannelDepth(lua_State* state)
{
    SetChannelDepth(ChannelArg(state, 1), ArgFloat(state, 2));
    return 0;
}

int LuaSetChannelRate(lua_State* state)
{
    SetChannelRate(ChannelArg(state, 1), ArgFloat(state, 2));
    return 0;
}

int LuaPauseChannel(lua_State* state)
{
    PauseChannel(ChannelArg(state, 1));
    return 0;
}

int LuaResumeChannel(lua_State* state)
{
    ResumeChannel(ChannelArg(state, 1));
    return 0;
}

constexpr BindingFunction FUNCTIONS[] = {
    {"LoadSound", &LuaLoadSound},
    {"FreeSound", &LuaFreeSound},
    {"PlaySound", &LuaPlaySound},
    {"CueSound", &LuaCueSound},
    {"AllocChannel", &LuaAllocChannel},
    {"FreeChannel", &LuaFreeChannel},
    {"StopChannel", &LuaStopChannel},
    {"ChannelPlaying", &LuaChannelPlaying},
    {"SetChannelVolume", &LuaSetChannelVolume},
    {"SetChannelPan", &LuaSetChannelPan},
    {"SetChannelDepth", &LuaSetChannelDepth},
    {"SetChannelRate", &LuaSetChannelRate},
    {"PauseChannel", &LuaPauseChannel},
    {"ResumeChannel", &LuaResumeChannel},
};

constexpr BindingConstant CONSTANTS[] = {
    {"SOUND_LOOP", SOUND_LOOP},
};

} // namespace

void BindAudio(TScriptEngine& engine)
{
    detail::Bind(engine, FUNCTIONS, CONSTANTS);
}

} // namespace vanta
