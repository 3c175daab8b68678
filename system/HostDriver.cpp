// The base system driver, the current driver and the module functions over it.
#include "system/HostDriver.h"

#include "runtime/Error.h"
#include "system/Input.h"
#include "system/Keys.h"

#include <cstdio>
#include <cstring>

namespace vanta {
namespace {

Ref<THostDriver> currentDriver;
std::int32_t autoPoll = 1;

void AutomaticPoll()
{
    if (autoPoll != 0) currentDriver->PumpMessages();
}

void WriteConsole(const Ref<String>& text, const char* suffix)
{
    std::fwrite(text->ToCString(), 1, static_cast<std::size_t>(text->Length()), stdout);
    std::fputs(suffix, stdout);
    std::fflush(stdout);
}

// One line of at most 1023 characters from standard input, without its line end; empty at the end of
// the input.
Ref<String> ReadConsoleLine()
{
    char line[1024];
    if (std::fgets(line, sizeof line, stdin) == nullptr) return EmptyString();
    std::size_t length = std::strlen(line);
    while (length > 0 && (line[length - 1] == '\n' || line[length - 1] == '\r'))
        --length;
    return String::FromBytes(line, static_cast<std::int32_t>(length));
}

char FirstLetterLowered(const Ref<String>& answer)
{
    if (answer->Length() == 0) return '\0';
    const char16_t first = answer->Units()[0];
    return first >= u'A' && first <= u'Z' ? static_cast<char>(first + 32) : static_cast<char>(first & 0xFF);
}

} // namespace

void THostDriver::PumpMessages()
{
    ThrowAbstractMethod();
}

void THostDriver::WaitForMessages()
{
    ThrowAbstractMethod();
}

std::int32_t THostDriver::ReadClock()
{
    ThrowAbstractMethod();
}

void THostDriver::SleepFor(std::int32_t)
{
    ThrowAbstractMethod();
}

std::int32_t THostDriver::TakeChar()
{
    ThrowAbstractMethod();
}

KeyStroke THostDriver::TakeStroke()
{
    ThrowAbstractMethod();
}

std::int32_t THostDriver::TakeKeyHits(std::int32_t)
{
    ThrowAbstractMethod();
}

std::int32_t THostDriver::KeyState(std::int32_t)
{
    ThrowAbstractMethod();
}

void THostDriver::ClearKeyState()
{
    ThrowAbstractMethod();
}

std::int32_t THostDriver::PointerAxis(std::int32_t)
{
    ThrowAbstractMethod();
}

void THostDriver::MovePointer(std::int32_t, std::int32_t)
{
    ThrowAbstractMethod();
}

void THostDriver::ShowNotice(const Ref<String>& text, std::int32_t)
{
    WriteConsole(text, "\r\n");
}

std::int32_t THostDriver::AskOkCancel(const Ref<String>& text, std::int32_t)
{
    WriteConsole(text, " (Yes/No)?");
    return FirstLetterLowered(ReadConsoleLine()) == 'y' ? 1 : 0;
}

std::int32_t THostDriver::AskYesNoCancel(const Ref<String>& text, std::int32_t)
{
    WriteConsole(text, " (Yes/No/Cancel)?");
    switch (FirstLetterLowered(ReadConsoleLine())) {
    case 'y': return 1;
    case 'n': return 0;
    default: return -1;
    }
}

Ref<String> THostDriver::ChooseFile(const Ref<String>&, const Ref<String>&, std::int32_t, const Ref<String>&)
{
    WriteConsole(EmptyString(), "Enter a filename:");
    return ReadConsoleLine();
}

Ref<String> THostDriver::ChooseFolder(const Ref<String>&, const Ref<String>&)
{
    WriteConsole(EmptyString(), "Enter a directory name:");
    return ReadConsoleLine();
}

const Ref<THostDriver>& CurrentHostDriver()
{
    return currentDriver;
}

void SetHostDriver(const Ref<THostDriver>& driver)
{
    currentDriver = driver;
}

std::int32_t AutoPoll()
{
    return autoPoll;
}

void SetAutoPoll(std::int32_t on)
{
    autoPoll = on;
}

void PumpMessages()
{
    currentDriver->PumpMessages();
}

void WaitForMessages()
{
    currentDriver->WaitForMessages();
}

std::int32_t ReadClock()
{
    return currentDriver->ReadClock();
}

void SleepFor(std::int32_t milliseconds)
{
    currentDriver->SleepFor(milliseconds);
}

std::int32_t KeyHits(std::int32_t key)
{
    AutomaticPoll();
    return currentDriver->TakeKeyHits(key);
}

std::int32_t IsKeyDown(std::int32_t key)
{
    AutomaticPoll();
    return currentDriver->KeyState(key);
}

std::int32_t NextTypedChar()
{
    AutomaticPoll();
    return currentDriver->TakeChar();
}

KeyStroke NextKeyStroke()
{
    AutomaticPoll();
    return currentDriver->TakeStroke();
}

void ClearKeys()
{
    AutomaticPoll();
    currentDriver->ClearKeyState();
}

std::int32_t PointerX()
{
    AutomaticPoll();
    return currentDriver->PointerAxis(0);
}

std::int32_t PointerY()
{
    AutomaticPoll();
    return currentDriver->PointerAxis(1);
}

std::int32_t WheelPosition()
{
    AutomaticPoll();
    return currentDriver->PointerAxis(2);
}

void MovePointer(std::int32_t x, std::int32_t y)
{
    currentDriver->MovePointer(x, y);
}

namespace {

// The key code of a mouse button: 1 left, 2 right, 4 middle; 0 for no button.
std::int32_t ButtonCode(std::int32_t button)
{
    switch (button) {
    case 1: return VK_LBUTTON;
    case 2: return VK_RBUTTON;
    case 3: return VK_MBUTTON;
    default: return 0;
    }
}

} // namespace

std::int32_t ButtonHits(std::int32_t button)
{
    const std::int32_t code = ButtonCode(button);
    return code == 0 ? 0 : KeyHits(code);
}

std::int32_t IsButtonDown(std::int32_t button)
{
    const std::int32_t code = ButtonCode(button);
    return code == 0 ? 0 : IsKeyDown(code);
}

void ClearButtons()
{
    AutomaticPoll();
    for (std::int32_t button = 1; button <= 3; ++button)
        ButtonHits(button);
}

std::int32_t WaitForKey()
{
    ClearKeys();
    for (;;) {
        WaitForMessages();
        for (std::int32_t key = 1; key <= 255; ++key) {
            if (KeyHits(key) != 0) return key;
        }
    }
}

std::int32_t WaitForChar()
{
    ClearKeys();
    for (;;) {
        WaitForMessages();
        if (const std::int32_t typed = NextTypedChar()) return typed;
    }
}

std::int32_t WaitForButton()
{
    ClearButtons();
    for (;;) {
        WaitForMessages();
        for (std::int32_t button = 1; button <= 3; ++button) {
            if (ButtonHits(button) != 0) return button;
        }
    }
}

void ShowNotice(const Ref<String>& text, std::int32_t serious)
{
    currentDriver->ShowNotice(text, serious);
}

std::int32_t AskOkCancel(const Ref<String>& text, std::int32_t serious)
{
    return currentDriver->AskOkCancel(text, serious);
}

std::int32_t AskYesNoCancel(const Ref<String>& text, std::int32_t serious)
{
    return currentDriver->AskYesNoCancel(text, serious);
}

Ref<String> ChooseFile(const Ref<String>& title, const Ref<String>& extensions, std::int32_t save,
                       const Ref<String>& initialPath)
{
    return currentDriver->ChooseFile(title, extensions, save, initialPath);
}

Ref<String> ChooseFolder(const Ref<String>& title, const Ref<String>& initialPath)
{
    return currentDriver->ChooseFolder(title, initialPath);
}

} // namespace vanta
