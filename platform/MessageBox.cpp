// Message boxes through SDL: Windows' box types and answers over SDL_ShowMessageBox.
//
// Builds on SDL's message boxes, which need no running video (SDL opens its own connection).
#include "platform/MessageBox.h"

#include "platform/detail/State.h"

#include <string>

#include <SDL.h>

namespace vanta::platform {
namespace {

// The reason of this thread's last failed message box (per thread, like Windows' last error).
thread_local std::string messageBoxError;

constexpr Uint32 defaultButton = SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
constexpr Uint32 escapeButton = SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;

} // namespace

int MessageBox(Window* owner, const char* text, const char* caption, std::uint32_t type)
{
    SDL_MessageBoxButtonData buttons[3];
    int count = 0;
    int escapeAnswer = IDCANCEL;
    switch (type & 0x0Fu) {
    case MB_OKCANCEL:
        buttons[0] = {defaultButton, IDOK, "OK"};
        buttons[1] = {escapeButton, IDCANCEL, "Cancel"};
        count = 2;
        break;
    case MB_YESNOCANCEL:
        buttons[0] = {defaultButton, IDYES, "Yes"};
        buttons[1] = {0, IDNO, "No"};
        buttons[2] = {escapeButton, IDCANCEL, "Cancel"};
        count = 3;
        break;
    case MB_YESNO:
        buttons[0] = {defaultButton, IDYES, "Yes"};
        buttons[1] = {escapeButton, IDNO, "No"};
        count = 2;
        escapeAnswer = IDNO;
        break;
    default:
        buttons[0] = {defaultButton | escapeButton, IDOK, "OK"};
        count = 1;
        escapeAnswer = IDOK;
        break;
    }
    Uint32 flags = SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT;
    switch (type & 0xF0u) {
    case MB_ICONERROR: flags |= SDL_MESSAGEBOX_ERROR; break;
    case MB_ICONEXCLAMATION: flags |= SDL_MESSAGEBOX_WARNING; break;
    case MB_ICONQUESTION:
    case MB_ICONINFORMATION: flags |= SDL_MESSAGEBOX_INFORMATION; break;
    default: break;
    }
    const bool ownerUsable = owner != nullptr && detail::VideoReady() && detail::IsLiveWindow(owner);
    const SDL_MessageBoxData box{flags,
                                 ownerUsable ? owner->sdl : nullptr,
                                 caption != nullptr ? caption : "",
                                 text != nullptr ? text : "",
                                 count,
                                 buttons,
                                 nullptr};
    int pressed = -1;
    if (SDL_ShowMessageBox(&box, &pressed) != 0) {
        messageBoxError = std::string("Cannot show a message box: ") + SDL_GetError();
        return 0;
    }
    messageBoxError.clear();
    // Closing the box without a button counts as Escape.
    return pressed < 0 ? escapeAnswer : pressed;
}

const char* MessageBoxError()
{
    return messageBoxError.c_str();
}

} // namespace vanta::platform
