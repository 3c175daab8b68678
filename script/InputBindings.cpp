// The input bindings: keyboard, typed characters, mouse buttons, pointer and wheel, under the names of
// system/HostDriver.h, with the key codes of system/Keys.h.
#include "script/ScriptBindings.h"
#include "script/detail/BindingSupport.h"
#include "system/HostDriver.h"
#include "system/Keys.h"

#include <string>
#include <vector>

namespace vanta {
namespace {

using namespace detail;

int LuaKeyHits(lua_State* state)
{
    return PushResult(state, KeyHits(TScriptEngine::ArgInt(state, 1)));
}

// IsKeyDown(key) -> boolean
int LuaIsKeyDown(lua_State* state)
{
    lua_pushboolean(state, IsKeyDown(TScriptEngine::ArgInt(state, 1)) != 0 ? 1 : 0);
    return 1;
}

int LuaNextTypedChar(lua_State* state)
{
    return PushResult(state, NextTypedChar());
}

int LuaClearKeys(lua_State*)
{
    ClearKeys();
    return 0;
}

int LuaPointerX(lua_State* state)
{
    return PushResult(state, PointerX());
}

int LuaPointerY(lua_State* state)
{
    return PushResult(state, PointerY());
}

int LuaWheelPosition(lua_State* state)
{
    return PushResult(state, WheelPosition());
}

int LuaMovePointer(lua_State* state)
{
    MovePointer(TScriptEngine::ArgInt(state, 1), TScriptEngine::ArgInt(state, 2));
    return 0;
}

int LuaButtonHits(lua_State* state)
{
    return PushResult(state, ButtonHits(TScriptEngine::ArgInt(state, 1)));
}

// IsButtonDown(button) -> boolean
int LuaIsButtonDown(lua_State* state)
{
    lua_pushboolean(state, IsButtonDown(TScriptEngine::ArgInt(state, 1)) != 0 ? 1 : 0);
    return 1;
}

int LuaClearButtons(lua_State*)
{
    ClearButtons();
    return 0;
}

constexpr BindingFunction FUNCTIONS[] = {
    {"KeyHits", &LuaKeyHits},
    {"IsKeyDown", &LuaIsKeyDown},
    {"NextTypedChar", &LuaNextTypedChar},
    {"ClearKeys", &LuaClearKeys},
    {"PointerX", &LuaPointerX},
    {"PointerY", &LuaPointerY},
    {"WheelPosition", &LuaWheelPosition},
    {"MovePointer", &LuaMovePointer},
    {"ButtonHits", &LuaButtonHits},
    {"IsButtonDown", &LuaIsButtonDown},
    {"ClearButtons", &LuaClearButtons},
};

// The named codes of system/Keys.h.
constexpr BindingConstant NAMED_KEYS[] = {
    {"VK_LBUTTON", VK_LBUTTON},
    {"VK_RBUTTON", VK_RBUTTON},
    {"VK_MBUTTON", VK_MBUTTON},
    {"VK_XBUTTON1", VK_XBUTTON1},
    {"VK_XBUTTON2", VK_XBUTTON2},
    {"VK_BACK", VK_BACK},
    {"VK_TAB", VK_TAB},
    {"VK_CLEAR", VK_CLEAR},
    {"VK_RETURN", VK_RETURN},
    {"VK_SHIFT", VK_SHIFT},
    {"VK_CONTROL", VK_CONTROL},
    {"VK_MENU", VK_MENU},
    {"VK_PAUSE", VK_PAUSE},
    {"VK_CAPITAL", VK_CAPITAL},
    {"VK_ESCAPE", VK_ESCAPE},
    {"VK_SPACE", VK_SPACE},
    {"VK_PRIOR", VK_PRIOR},
    {"VK_NEXT", VK_NEXT},
    {"VK_END", VK_END},
    {"VK_HOME", VK_HOME},
    {"VK_LEFT", VK_LEFT},
    {"VK_UP", VK_UP},
    {"VK_RIGHT", VK_RIGHT},
    {"VK_DOWN", VK_DOWN},
    {"VK_SNAPSHOT", VK_SNAPSHOT},
    {"VK_INSERT", VK_INSERT},
    {"VK_DELETE", VK_DELETE},
    {"VK_LWIN", VK_LWIN},
    {"VK_RWIN", VK_RWIN},
    {"VK_APPS", VK_APPS},
    {"VK_NUMPAD0", VK_NUMPAD0},
    {"VK_MULTIPLY", VK_MULTIPLY},
    {"VK_ADD", VK_ADD},
    {"VK_SUBTRACT", VK_SUBTRACT},
    {"VK_DECIMAL", VK_DECIMAL},
    {"VK_DIVIDE", VK_DIVIDE},
    {"VK_F1", VK_F1},
    {"VK_F10", VK_F10},
    {"VK_F12", VK_F12},
    {"VK_F24", VK_F24},
    {"VK_NUMLOCK", VK_NUMLOCK},
    {"VK_SCROLL", VK_SCROLL},
    {"VK_LSHIFT", VK_LSHIFT},
    {"VK_RSHIFT", VK_RSHIFT},
    {"VK_LCONTROL", VK_LCONTROL},
    {"VK_RCONTROL", VK_RCONTROL},
    {"VK_LMENU", VK_LMENU},
    {"VK_RMENU", VK_RMENU},
    {"VK_VOLUME_MUTE", VK_VOLUME_MUTE},
    {"VK_VOLUME_DOWN", VK_VOLUME_DOWN},
    {"VK_VOLUME_UP", VK_VOLUME_UP},
    {"VK_MEDIA_NEXT_TRACK", VK_MEDIA_NEXT_TRACK},
    {"VK_MEDIA_PREV_TRACK", VK_MEDIA_PREV_TRACK},
    {"VK_MEDIA_STOP", VK_MEDIA_STOP},
    {"VK_MEDIA_PLAY_PAUSE", VK_MEDIA_PLAY_PAUSE},
    {"VK_OEM_1", VK_OEM_1},
    {"VK_OEM_PLUS", VK_OEM_PLUS},
    {"VK_OEM_COMMA", VK_OEM_COMMA},
    {"VK_OEM_MINUS", VK_OEM_MINUS},
    {"VK_OEM_PERIOD", VK_OEM_PERIOD},
    {"VK_OEM_2", VK_OEM_2},
    {"VK_OEM_3", VK_OEM_3},
    {"VK_OEM_4", VK_OEM_4},
    {"VK_OEM_5", VK_OEM_5},
    {"VK_OEM_6", VK_OEM_6},
    {"VK_OEM_7", VK_OEM_7},
    {"VK_OEM_102", VK_OEM_102},
};

// The codes of system/Keys.h, plus the runs it describes without naming them (VK_NUMPAD1-9, VK_F2-F24)
// and VK_A-VK_Z and VK_0-VK_9 for the letters and digits, whose codes are their ASCII codes.
std::vector<BindingConstant> KeyConstants()
{
    static std::vector<std::string> names;
    std::vector<BindingConstant> constants(std::begin(NAMED_KEYS), std::end(NAMED_KEYS));
    if (names.empty()) {
        for (int i = 1; i <= 9; ++i)
            names.push_back("VK_NUMPAD" + std::to_string(i));
        for (int i = 2; i <= 24; ++i)
            names.push_back("VK_F" + std::to_string(i));
        for (char c = 'A'; c <= 'Z'; ++c)
            names.push_back(std::string("VK_") + c);
        for (char c = '0'; c <= '9'; ++c)
            names.push_back(std::string("VK_") + c);
    }
    std::size_t name = 0;
    for (int i = 1; i <= 9; ++i)
        constants.push_back({names[name++].c_str(), static_cast<double>(VK_NUMPAD0 + i)});
    for (int i = 2; i <= 24; ++i)
        constants.push_back({names[name++].c_str(), static_cast<double>(VK_F1 + i - 1)});
    for (char c = 'A'; c <= 'Z'; ++c)
        constants.push_back({names[name++].c_str(), static_cast<double>(c)});
    for (char c = '0'; c <= '9'; ++c)
        constants.push_back({names[name++].c_str(), static_cast<double>(c)});
    return constants;
}

} // namespace

void BindInput(TScriptEngine& engine)
{
    const std::vector<BindingConstant> constants = KeyConstants();
    detail::Bind(engine, FUNCTIONS, constants);
}

} // namespace vanta
