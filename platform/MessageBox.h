// Message boxes of the platform layer: a notice and two kinds of question, shown through SDL.
//
// Builds on SDL's message boxes (MessageBox.cpp). The type bits and answers are the Windows ones.
#pragma once

#include <cstdint>

namespace vanta::platform {

struct Window;

// Buttons.
constexpr std::uint32_t MB_OK = 0x00000000u;
constexpr std::uint32_t MB_OKCANCEL = 0x00000001u;
constexpr std::uint32_t MB_YESNOCANCEL = 0x00000003u;
constexpr std::uint32_t MB_YESNO = 0x00000004u;
// Icons: SDL has error, warning and information icons; a question shows the information icon.
constexpr std::uint32_t MB_ICONERROR = 0x00000010u;
constexpr std::uint32_t MB_ICONQUESTION = 0x00000020u;
constexpr std::uint32_t MB_ICONEXCLAMATION = 0x00000030u; // the "serious" warning icon
constexpr std::uint32_t MB_ICONINFORMATION = 0x00000040u;
// Accepted; SDL's boxes are modal to their owner but cannot be asked to stay on top.
constexpr std::uint32_t MB_TOPMOST = 0x00040000u;

// Answers.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// Shows a modal box with `text` and `caption` (UTF-8) owned by `owner` (may be null) and waits for an
// answer. Enter picks the first button; Escape picks Cancel, or OK / No when there is no Cancel.
// Answers IDOK, IDCANCEL, IDYES or IDNO; 0 when no box could be shown (`MessageBoxError` says why).
int MessageBox(Window* owner, const char* text, const char* caption, std::uint32_t type);

// Why this thread's last `MessageBox` answered 0, or an empty text (each thread has its own).
const char* MessageBoxError();

} // namespace vanta::platform
