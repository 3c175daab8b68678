// The desktop host driver: the message pump over the platform's queue, the clock, the pointer, message
// boxes and the zenity file choosers, with the console requesters as the fallback.
#include "system/desktop/WindowsHostDriver.h"

#include "platform/Platform.h"
#include "runtime/Startup.h"
#include "system/FileFilter.h"
#include "system/Input.h"
#include "system/desktop/DialogHelper.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace vanta {
namespace {

// Message box styles: the buttons, the icon (exclamation when serious, information otherwise), topmost.
std::uint32_t BoxStyle(std::uint32_t buttons, std::int32_t serious)
{
    return buttons | platform::MB_TOPMOST |
           (serious != 0 ? platform::MB_ICONEXCLAMATION : platform::MB_ICONINFORMATION);
}

// Remembers the window with the keyboard focus and gives the focus back to it when the requester is done.
class FocusKeeper
{
public:
    FocusKeeper() : focus_(platform::GetFocus()) {}
    ~FocusKeeper()
    {
        if (focus_ != nullptr && platform::IsWindow(focus_)) platform::SetFocus(focus_);
    }
    FocusKeeper(const FocusKeeper&) = delete;
    FocusKeeper& operator=(const FocusKeeper&) = delete;

private:
    platform::Window* focus_;
};

// Shows a message box owned by the active window, captioned with the program title. Answers the button
// (IDOK, IDCANCEL, IDYES, IDNO), or 0 when no box could be shown.
int ShowBox(const Ref<String>& text, std::uint32_t style)
{
    const FocusKeeper keep;
    // Both texts go through the 8-bit conversion, as the Windows "A" function was given them.
    const std::string caption = platform::EightBitToUtf8(ProgramTitle()->ToCString());
    const std::string body = platform::EightBitToUtf8(text->ToCString());
    return platform::MessageBox(platform::GetActiveWindow(), body.c_str(), caption.c_str(), style);
}

bool IsSet(const char* value)
{
    return value != nullptr && value[0] != '\0';
}

// Whether a dialog helper could reach a display: the one video runs on, or, before video was tried, the
// one the environment names. SDL's headless drivers show nothing, so they count as none.
bool DisplayAvailable()
{
    switch (platform::GetVideoStatus()) {
    case platform::VideoStatus::Running:
        return std::strcmp(platform::VideoDriverName(), "offscreen") != 0 &&
               std::strcmp(platform::VideoDriverName(), "dummy") != 0;
    case platform::VideoStatus::Unavailable: return false;
    case platform::VideoStatus::NotStarted: break;
    }
    return IsSet(std::getenv("DISPLAY")) || IsSet(std::getenv("WAYLAND_DISPLAY"));
}

// A path as the helper takes it: its bytes, with Windows separators turned into the native "/".
std::string NativePath(const Ref<String>& path)
{
    std::string text = path->ToCString();
    for (char& c : text) {
        if (c == '\\') c = '/';
    }
    return text;
}

// The extension list as the helper's filters: descriptions as display text, patterns as file-name bytes.
std::vector<desktop::DialogFilter> HelperFilters(const Ref<String>& extensions)
{
    std::vector<desktop::DialogFilter> filters;
    for (const FileFilter& filter : BuildFileFilters(extensions)) {
        desktop::DialogFilter converted;
        converted.description = platform::EightBitToUtf8(filter.description->ToCString());
        const std::string patterns = filter.pattern->ToCString();
        std::size_t start = 0;
        while (start <= patterns.size()) {
            const std::size_t end = std::min(patterns.find(';', start), patterns.size());
            if (end > start) converted.patterns.push_back(patterns.substr(start, end - start));
            start = end + 1;
        }
        filters.push_back(std::move(converted));
    }
    return filters;
}

// Runs the helper with the focus kept; Null when it could not run at all (the caller falls back to the
// console), else the chosen path or the empty string.
Ref<String> RunChooser(const std::string& helper, const std::vector<std::string>& arguments)
{
    const FocusKeeper keep;
    const desktop::DialogAnswer answer = desktop::RunDialogHelper(helper, arguments);
    switch (answer.outcome) {
    case desktop::DialogOutcome::Chosen:
        return String::FromBytes(answer.answer.data(), static_cast<std::int32_t>(answer.answer.size()));
    case desktop::DialogOutcome::Cancelled:
    case desktop::DialogOutcome::Failed: return EmptyString();
    case desktop::DialogOutcome::NotRun: break;
    }
    return Null;
}

} // namespace

void TWindowsHostDriver::PumpMessages()
{
    platform::Message message;
    while (platform::PeekMessage(message, platform::PM_REMOVE)) {
        HandleInputMessage(reinterpret_cast<std::uintptr_t>(message.window), message.message, message.wParam,
                           message.lParam);
        // Windows offers the messages of dialog windows (style bit 0x00010000) to the dialog manager at this
        // point. The platform has no dialog windows (its message boxes run their own loop), so every
        // message goes on to translation and its window procedure.
        platform::TranslateMessage(message);
        platform::DispatchMessage(message);
    }
}

void TWindowsHostDriver::WaitForMessages()
{
    platform::WaitMessage(-1);
    PumpMessages();
}

std::int32_t TWindowsHostDriver::ReadClock()
{
    return static_cast<std::int32_t>(platform::TimeGetTime());
}

void TWindowsHostDriver::SleepFor(std::int32_t milliseconds)
{
    platform::Sleep(milliseconds);
}

std::int32_t TWindowsHostDriver::TakeChar()
{
    return TakeInputChar();
}

KeyStroke TWindowsHostDriver::TakeStroke()
{
    return TakeInputStroke();
}

std::int32_t TWindowsHostDriver::TakeKeyHits(std::int32_t key)
{
    return TakeInputKeyHits(key);
}

std::int32_t TWindowsHostDriver::KeyState(std::int32_t key)
{
    return InputKeyState(key);
}

void TWindowsHostDriver::ClearKeyState()
{
    ClearInputKeyState();
}

std::int32_t TWindowsHostDriver::PointerAxis(std::int32_t axis)
{
    return InputPointerAxis(axis);
}

void TWindowsHostDriver::MovePointer(std::int32_t x, std::int32_t y)
{
    platform::Window* active = platform::GetActiveWindow();
    if (active != nullptr) platform::WarpPointer(active, x, y);
}

void TWindowsHostDriver::ShowNotice(const Ref<String>& text, std::int32_t serious)
{
    if (ShowBox(text, BoxStyle(platform::MB_OK, serious)) == 0) THostDriver::ShowNotice(text, serious);
}

std::int32_t TWindowsHostDriver::AskOkCancel(const Ref<String>& text, std::int32_t serious)
{
    switch (ShowBox(text, BoxStyle(platform::MB_OKCANCEL, serious))) {
    case 0: return THostDriver::AskOkCancel(text, serious);
    case platform::IDOK: return 1;
    default: return 0;
    }
}

std::int32_t TWindowsHostDriver::AskYesNoCancel(const Ref<String>& text, std::int32_t serious)
{
    switch (ShowBox(text, BoxStyle(platform::MB_YESNOCANCEL, serious))) {
    case 0: return THostDriver::AskYesNoCancel(text, serious);
    case platform::IDYES: return 1;
    case platform::IDNO: return 0;
    default: return -1;
    }
}

Ref<String> TWindowsHostDriver::ChooseFile(const Ref<String>& title, const Ref<String>& extensions, std::int32_t save,
                                           const Ref<String>& initialPath)
{
    const std::string helper = DisplayAvailable() ? desktop::FindDialogHelper() : std::string();
    if (!helper.empty()) {
        const auto arguments =
            desktop::FileChooserArguments(platform::EightBitToUtf8(title->ToCString()), HelperFilters(extensions),
                                          save != 0, NativePath(initialPath));
        Ref<String> chosen = RunChooser(helper, arguments);
        if (!chosen.IsNull()) return chosen;
    }
    return THostDriver::ChooseFile(title, extensions, save, initialPath);
}

Ref<String> TWindowsHostDriver::ChooseFolder(const Ref<String>& title, const Ref<String>& initialPath)
{
    const std::string helper = DisplayAvailable() ? desktop::FindDialogHelper() : std::string();
    if (!helper.empty()) {
        const auto arguments =
            desktop::FolderChooserArguments(platform::EightBitToUtf8(title->ToCString()), NativePath(initialPath));
        Ref<String> chosen = RunChooser(helper, arguments);
        if (!chosen.IsNull()) return chosen;
    }
    return THostDriver::ChooseFolder(title, initialPath);
}

} // namespace vanta
