// Translation of SDL keys to Windows virtual-key codes and PC/AT set-1 scan codes, and of UTF-8 text to
// UTF-16 units.
//
// Builds on SDL's scancodes (USB HID positions) and keycodes (layout-dependent symbols).
#include "platform/detail/KeyMap.h"

#include "platform/Messages.h"

#include <SDL.h>

namespace vanta::platform::detail {
namespace {

struct Entry
{
    int virtualKey;
    int scanCode;
    bool extended;
};

// Keys whose Windows code follows their position alone.
Entry PositionalKey(int scancode)
{
    switch (scancode) {
    case SDL_SCANCODE_ESCAPE: return {VK_ESCAPE, 0x01, false};
    case SDL_SCANCODE_1: return {'1', 0x02, false};
    case SDL_SCANCODE_2: return {'2', 0x03, false};
    case SDL_SCANCODE_3: return {'3', 0x04, false};
    case SDL_SCANCODE_4: return {'4', 0x05, false};
    case SDL_SCANCODE_5: return {'5', 0x06, false};
    case SDL_SCANCODE_6: return {'6', 0x07, false};
    case SDL_SCANCODE_7: return {'7', 0x08, false};
    case SDL_SCANCODE_8: return {'8', 0x09, false};
    case SDL_SCANCODE_9: return {'9', 0x0A, false};
    case SDL_SCANCODE_0: return {'0', 0x0B, false};
    case SDL_SCANCODE_MINUS: return {VK_OEM_MINUS, 0x0C, false};
    case SDL_SCANCODE_EQUALS: return {VK_OEM_PLUS, 0x0D, false};
    case SDL_SCANCODE_BACKSPACE: return {VK_BACK, 0x0E, false};
    case SDL_SCANCODE_TAB: return {VK_TAB, 0x0F, false};
    case SDL_SCANCODE_Q: return {'Q', 0x10, false};
    case SDL_SCANCODE_W: return {'W', 0x11, false};
    case SDL_SCANCODE_E: return {'E', 0x12, false};
    case SDL_SCANCODE_R: return {'R', 0x13, false};
    case SDL_SCANCODE_T: return {'T', 0x14, false};
    case SDL_SCANCODE_Y: return {'Y', 0x15, false};
    case SDL_SCANCODE_U: return {'U', 0x16, false};
    case SDL_SCANCODE_I: return {'I', 0x17, false};
    case SDL_SCANCODE_O: return {'O', 0x18, false};
    case SDL_SCANCODE_P: return {'P', 0x19, false};
    case SDL_SCANCODE_LEFTBRACKET: return {VK_OEM_4, 0x1A, false};
    case SDL_SCANCODE_RIGHTBRACKET: return {VK_OEM_6, 0x1B, false};
    case SDL_SCANCODE_RETURN: return {VK_RETURN, 0x1C, false};
    case SDL_SCANCODE_LCTRL: return {VK_CONTROL, 0x1D, false};
    case SDL_SCANCODE_A: return {'A', 0x1E, false};
    case SDL_SCANCODE_S: return {'S', 0x1F, false};
    case SDL_SCANCODE_D: return {'D', 0x20, false};
    case SDL_SCANCODE_F: return {'F', 0x21, false};
    case SDL_SCANCODE_G: return {'G', 0x22, false};
    case SDL_SCANCODE_H: return {'H', 0x23, false};
    case SDL_SCANCODE_J: return {'J', 0x24, false};
    case SDL_SCANCODE_K: return {'K', 0x25, false};
    case SDL_SCANCODE_L: return {'L', 0x26, false};
    case SDL_SCANCODE_SEMICOLON: return {VK_OEM_1, 0x27, false};
    case SDL_SCANCODE_APOSTROPHE: return {VK_OEM_7, 0x28, false};
    case SDL_SCANCODE_GRAVE: return {VK_OEM_3, 0x29, false};
    case SDL_SCANCODE_LSHIFT: return {VK_SHIFT, 0x2A, false};
    // The ISO "#" key sits where the ANSI backslash is and sends the same make code.
    case SDL_SCANCODE_BACKSLASH:
    case SDL_SCANCODE_NONUSHASH: return {VK_OEM_5, 0x2B, false};
    case SDL_SCANCODE_Z: return {'Z', 0x2C, false};
    case SDL_SCANCODE_X: return {'X', 0x2D, false};
    case SDL_SCANCODE_C: return {'C', 0x2E, false};
    case SDL_SCANCODE_V: return {'V', 0x2F, false};
    case SDL_SCANCODE_B: return {'B', 0x30, false};
    case SDL_SCANCODE_N: return {'N', 0x31, false};
    case SDL_SCANCODE_M: return {'M', 0x32, false};
    case SDL_SCANCODE_COMMA: return {VK_OEM_COMMA, 0x33, false};
    case SDL_SCANCODE_PERIOD: return {VK_OEM_PERIOD, 0x34, false};
    case SDL_SCANCODE_SLASH: return {VK_OEM_2, 0x35, false};
    case SDL_SCANCODE_RSHIFT: return {VK_SHIFT, 0x36, false}; // right Shift is not an extended key
    case SDL_SCANCODE_KP_MULTIPLY: return {VK_MULTIPLY, 0x37, false};
    case SDL_SCANCODE_LALT: return {VK_MENU, 0x38, false};
    case SDL_SCANCODE_SPACE: return {VK_SPACE, 0x39, false};
    case SDL_SCANCODE_CAPSLOCK: return {VK_CAPITAL, 0x3A, false};
    case SDL_SCANCODE_F1: return {VK_F1, 0x3B, false};
    case SDL_SCANCODE_F2: return {VK_F1 + 1, 0x3C, false};
    case SDL_SCANCODE_F3: return {VK_F1 + 2, 0x3D, false};
    case SDL_SCANCODE_F4: return {VK_F1 + 3, 0x3E, false};
    case SDL_SCANCODE_F5: return {VK_F1 + 4, 0x3F, false};
    case SDL_SCANCODE_F6: return {VK_F1 + 5, 0x40, false};
    case SDL_SCANCODE_F7: return {VK_F1 + 6, 0x41, false};
    case SDL_SCANCODE_F8: return {VK_F1 + 7, 0x42, false};
    case SDL_SCANCODE_F9: return {VK_F1 + 8, 0x43, false};
    case SDL_SCANCODE_F10: return {VK_F10, 0x44, false};
    // Windows reports Num Lock as extended and Pause (E1 1D 45) as plain 0x45.
    case SDL_SCANCODE_NUMLOCKCLEAR: return {VK_NUMLOCK, 0x45, true};
    case SDL_SCANCODE_PAUSE: return {VK_PAUSE, 0x45, false};
    case SDL_SCANCODE_SCROLLLOCK: return {VK_SCROLL, 0x46, false};
    case SDL_SCANCODE_KP_7: return {VK_NUMPAD0 + 7, 0x47, false};
    case SDL_SCANCODE_KP_8: return {VK_NUMPAD0 + 8, 0x48, false};
    case SDL_SCANCODE_KP_9: return {VK_NUMPAD0 + 9, 0x49, false};
    case SDL_SCANCODE_KP_MINUS: return {VK_SUBTRACT, 0x4A, false};
    case SDL_SCANCODE_KP_4: return {VK_NUMPAD0 + 4, 0x4B, false};
    case SDL_SCANCODE_KP_5: return {VK_NUMPAD0 + 5, 0x4C, false};
    case SDL_SCANCODE_KP_6: return {VK_NUMPAD0 + 6, 0x4D, false};
    case SDL_SCANCODE_KP_PLUS: return {VK_ADD, 0x4E, false};
    case SDL_SCANCODE_KP_1: return {VK_NUMPAD0 + 1, 0x4F, false};
    case SDL_SCANCODE_KP_2: return {VK_NUMPAD0 + 2, 0x50, false};
    case SDL_SCANCODE_KP_3: return {VK_NUMPAD0 + 3, 0x51, false};
    case SDL_SCANCODE_KP_0: return {VK_NUMPAD0, 0x52, false};
    case SDL_SCANCODE_KP_PERIOD: return {VK_DECIMAL, 0x53, false};
    case SDL_SCANCODE_NONUSBACKSLASH: return {VK_OEM_102, 0x56, false};
    case SDL_SCANCODE_F11: return {VK_F1 + 10, 0x57, false};
    case SDL_SCANCODE_F12: return {VK_F12, 0x58, false};
    case SDL_SCANCODE_F13: return {VK_F1 + 12, 0x64, false};
    case SDL_SCANCODE_F14: return {VK_F1 + 13, 0x65, false};
    case SDL_SCANCODE_F15: return {VK_F1 + 14, 0x66, false};
    case SDL_SCANCODE_F16: return {VK_F1 + 15, 0x67, false};
    case SDL_SCANCODE_F17: return {VK_F1 + 16, 0x68, false};
    case SDL_SCANCODE_F18: return {VK_F1 + 17, 0x69, false};
    case SDL_SCANCODE_F19: return {VK_F1 + 18, 0x6A, false};
    case SDL_SCANCODE_F20: return {VK_F1 + 19, 0x6B, false};
    case SDL_SCANCODE_F21: return {VK_F1 + 20, 0x6C, false};
    case SDL_SCANCODE_F22: return {VK_F1 + 21, 0x6D, false};
    case SDL_SCANCODE_F23: return {VK_F1 + 22, 0x6E, false};
    case SDL_SCANCODE_F24: return {VK_F24, 0x76, false};
    // The E0-prefixed keys.
    case SDL_SCANCODE_KP_ENTER: return {VK_RETURN, 0x1C, true};
    case SDL_SCANCODE_RCTRL: return {VK_CONTROL, 0x1D, true};
    case SDL_SCANCODE_KP_DIVIDE: return {VK_DIVIDE, 0x35, true};
    case SDL_SCANCODE_PRINTSCREEN: return {VK_SNAPSHOT, 0x37, true};
    case SDL_SCANCODE_RALT: return {VK_MENU, 0x38, true};
    case SDL_SCANCODE_HOME: return {VK_HOME, 0x47, true};
    case SDL_SCANCODE_UP: return {VK_UP, 0x48, true};
    case SDL_SCANCODE_PAGEUP: return {VK_PRIOR, 0x49, true};
    case SDL_SCANCODE_LEFT: return {VK_LEFT, 0x4B, true};
    case SDL_SCANCODE_RIGHT: return {VK_RIGHT, 0x4D, true};
    case SDL_SCANCODE_END: return {VK_END, 0x4F, true};
    case SDL_SCANCODE_DOWN: return {VK_DOWN, 0x50, true};
    case SDL_SCANCODE_PAGEDOWN: return {VK_NEXT, 0x51, true};
    case SDL_SCANCODE_INSERT: return {VK_INSERT, 0x52, true};
    case SDL_SCANCODE_DELETE: return {VK_DELETE, 0x53, true};
    case SDL_SCANCODE_LGUI: return {VK_LWIN, 0x5B, true};
    case SDL_SCANCODE_RGUI: return {VK_RWIN, 0x5C, true};
    case SDL_SCANCODE_APPLICATION: return {VK_APPS, 0x5D, true};
    case SDL_SCANCODE_AUDIOPREV: return {VK_MEDIA_PREV_TRACK, 0x10, true};
    case SDL_SCANCODE_AUDIONEXT: return {VK_MEDIA_NEXT_TRACK, 0x19, true};
    case SDL_SCANCODE_MUTE:
    case SDL_SCANCODE_AUDIOMUTE: return {VK_VOLUME_MUTE, 0x20, true};
    case SDL_SCANCODE_AUDIOPLAY: return {VK_MEDIA_PLAY_PAUSE, 0x22, true};
    case SDL_SCANCODE_AUDIOSTOP: return {VK_MEDIA_STOP, 0x24, true};
    case SDL_SCANCODE_VOLUMEDOWN: return {VK_VOLUME_DOWN, 0x2E, true};
    case SDL_SCANCODE_VOLUMEUP: return {VK_VOLUME_UP, 0x30, true};
    default: return {0, 0, false};
    }
}

// With Num Lock off Windows reports the keypad digits and point as the navigation keys they are marked
// with (not extended: the scan code stays the keypad's).
int KeypadWithoutNumLock(int scancode)
{
    switch (scancode) {
    case SDL_SCANCODE_KP_7: return VK_HOME;
    case SDL_SCANCODE_KP_8: return VK_UP;
    case SDL_SCANCODE_KP_9: return VK_PRIOR;
    case SDL_SCANCODE_KP_4: return VK_LEFT;
    case SDL_SCANCODE_KP_5: return VK_CLEAR;
    case SDL_SCANCODE_KP_6: return VK_RIGHT;
    case SDL_SCANCODE_KP_1: return VK_END;
    case SDL_SCANCODE_KP_2: return VK_DOWN;
    case SDL_SCANCODE_KP_3: return VK_NEXT;
    case SDL_SCANCODE_KP_0: return VK_INSERT;
    case SDL_SCANCODE_KP_PERIOD: return VK_DELETE;
    default: return 0;
    }
}

// The OEM code Windows gives the key that types this ASCII punctuation on the US layout.
int PunctuationKey(int keycode)
{
    switch (keycode) {
    case ';': return VK_OEM_1;
    case '=': return VK_OEM_PLUS;
    case ',': return VK_OEM_COMMA;
    case '-': return VK_OEM_MINUS;
    case '.': return VK_OEM_PERIOD;
    case '/': return VK_OEM_2;
    case '`': return VK_OEM_3;
    case '[': return VK_OEM_4;
    case '\\': return VK_OEM_5;
    case ']': return VK_OEM_6;
    case '\'': return VK_OEM_7;
    default: return 0;
    }
}

bool IsLetterPosition(int scancode)
{
    return scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z;
}

bool IsPunctuationPosition(int scancode)
{
    return (scancode >= SDL_SCANCODE_MINUS && scancode <= SDL_SCANCODE_SLASH) ||
           scancode == SDL_SCANCODE_NONUSBACKSLASH;
}

} // namespace

KeyCodes MapKey(int sdlScancode, int sdlKeycode, unsigned sdlModifiers)
{
    if (sdlScancode <= SDL_SCANCODE_UNKNOWN || sdlScancode >= SDL_NUM_SCANCODES)
        sdlScancode = SDL_GetScancodeFromKey(sdlKeycode);
    const Entry position = PositionalKey(sdlScancode);
    KeyCodes codes{position.virtualKey, position.scanCode, position.extended};

    // Keys that type a letter or punctuation take their code from the layout, so that an AZERTY "A"
    // is 'A' wherever it sits; unknown symbols (non-Latin layouts) keep the positional code.
    if (IsLetterPosition(sdlScancode) || IsPunctuationPosition(sdlScancode)) {
        if (sdlKeycode >= 'a' && sdlKeycode <= 'z')
            codes.virtualKey = sdlKeycode - 'a' + 'A';
        else if (const int punctuation = PunctuationKey(sdlKeycode); punctuation != 0)
            codes.virtualKey = punctuation;
    }
    if ((sdlModifiers & KMOD_NUM) == 0) {
        if (const int navigation = KeypadWithoutNumLock(sdlScancode); navigation != 0) codes.virtualKey = navigation;
    }
    return codes;
}

std::size_t Utf8ToUtf16(const char* text, std::size_t length, char16_t* out, std::size_t capacity)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    std::size_t in = 0;
    std::size_t written = 0;
    auto put = [&](char32_t c) {
        if (c >= 0x10000) {
            if (written + 2 > capacity) return false;
            c -= 0x10000;
            out[written++] = static_cast<char16_t>(0xD800 + (c >> 10));
            out[written++] = static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        } else {
            if (written + 1 > capacity) return false;
            out[written++] = static_cast<char16_t>(c);
        }
        return true;
    };
    while (in < length && bytes[in] != 0) {
        const unsigned char lead = bytes[in];
        int extra = 0;
        char32_t c = 0;
        char32_t minimum = 0;
        if (lead < 0x80) {
            c = lead;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            extra = 1, c = lead & 0x1F, minimum = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            extra = 2, c = lead & 0x0F, minimum = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            extra = 3, c = lead & 0x07, minimum = 0x10000;
        } else {
            // A continuation byte without a lead, or a lead that can only start an overlong or
            // out-of-range form.
            if (!put(0xFFFD)) break;
            ++in;
            continue;
        }
        ++in;
        int taken = 0;
        while (taken < extra && in < length && (bytes[in] & 0xC0) == 0x80) {
            c = (c << 6) | (bytes[in] & 0x3F);
            ++in;
            ++taken;
        }
        const bool valid = taken == extra && c >= minimum && c <= 0x10FFFF && !(c >= 0xD800 && c <= 0xDFFF);
        if (!put(valid ? c : 0xFFFD)) break;
    }
    return written;
}

} // namespace vanta::platform::detail
