// The console's commands: the built-in ones (the seven of the help text, and $pads for the gamepads), the ones a game
// registers, and Tab completion of command names.
#include "console/Console.h"
#include "console/detail/ConsoleState.h"
#include "runtime/Memory.h"
#include "system/DateTime.h"
#include "system/Gamepads.h"
#include "system/HostDriver.h"

#include <algorithm>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vanta {
namespace {

void AddLines(std::initializer_list<String*> lines)
{
    for (String* line : lines)
        ConsoleAddLine(line, 0);
}

void ShowHelp()
{
    AddLines({" "_s, "--------------"_s, "Console help :"_s, "--------------"_s, "$help    : This help"_s,
              "$cls     : Clear console buffer"_s, "$version : Console version"_s,
              "$mem     : Display current memory"_s, "$time    : Display current time"_s,
              "$date    : Display current date"_s, "$mouse   : Display current mouse position X,Y,Z"_s, " "_s});
}

void ShowVersion()
{
    ConsoleAddLine("Console module version 1.2 (2026) by the VantaMax developers"_s, 0);
}

void ShowTime()
{
    ConsoleAddLine(CurrentTime(), 0);
}

void ShowDate()
{
    ConsoleAddLine(CurrentDate(), 0);
}

void ShowMouse()
{
    ConsoleAddLine("Mouse X:"_s + String::FromInt(PointerX()) + " / Y:"_s + String::FromInt(PointerY()) + " / Z:"_s +
                       String::FromInt(WheelPosition()),
                   0);
}

// Two decimals of a -1 ... 1 value, as "-0.50".
Ref<String> Decimals(float value)
{
    const auto hundredths = static_cast<std::int32_t>(value * 100.0f + (value < 0.0f ? -0.5f : 0.5f));
    const std::int32_t whole = (hundredths < 0 ? -hundredths : hundredths);
    const std::int32_t fraction = whole % 100;
    return (hundredths < 0 ? "-"_s : ""_s) + String::FromInt(whole / 100) + "."_s + (fraction < 10 ? "0"_s : ""_s) +
           String::FromInt(fraction);
}

// One line per connected pad: its number and name, the buttons held, the sticks and the triggers.
void ShowPads()
{
    static constexpr const char* buttonNames[PAD_BUTTONS] = {"A",  "B",  "X",  "Y",  "BACK", "GUIDE", "START", "LS",
                                                             "RS", "LB", "RB", "UP", "DOWN", "LEFT",  "RIGHT"};
    ConsoleAddLine("Pads : "_s + String::FromInt(CountGamepads()), 0);
    for (std::int32_t pad = 0; pad < MAX_GAMEPADS; ++pad) {
        if (GamepadConnected(pad) == 0) continue;
        Ref<String> held = ""_s;
        for (std::int32_t button = 0; button < PAD_BUTTONS; ++button) {
            if (IsGamepadButtonDown(pad, button) != 0) held = held + " "_s + String::FromCString(buttonNames[button]);
        }
        ConsoleAddLine("Pad "_s + String::FromInt(pad) + " ("_s + GamepadName(pad) + ") held:"_s + held + " / L "_s +
                           Decimals(GamepadAxis(pad, PAD_LEFT_X)) + ","_s + Decimals(GamepadAxis(pad, PAD_LEFT_Y)) +
                           " / R "_s + Decimals(GamepadAxis(pad, PAD_RIGHT_X)) + ","_s +
                           Decimals(GamepadAxis(pad, PAD_RIGHT_Y)) + " / T "_s +
                           Decimals(GamepadTrigger(pad, PAD_LEFT_TRIGGER)) + ","_s +
                           Decimals(GamepadTrigger(pad, PAD_RIGHT_TRIGGER)),
                       0);
    }
}

Ref<String> MemoryLine(String* label, std::int64_t bytes)
{
    // Integer division truncates towards zero, as the figures are written.
    return label + String::FromLong(bytes) + " Bytes / "_s + String::FromLong(bytes / 1024) + " Kb"_s;
}

void ShowMemory()
{
    const std::int64_t inUse = MemoryInUse();
    const std::int64_t reserved = MemoryReserved();
    AddLines({" "_s, "-------------"_s, "Memory dump :"_s, "-------------"_s});
    ConsoleAddLine(MemoryLine("Currently : "_s, inUse), 0);
    ConsoleAddLine(MemoryLine("Total     : "_s, reserved), 0);
    ConsoleAddLine(" "_s, 0);
}

struct BuiltIn
{
    std::u16string_view name;
    void (*run)();
};

// In the order they are matched.
constexpr BuiltIn BUILT_IN[] = {
    {u"$HELP", ShowHelp}, {u"$CLS", ClearConsoleLines}, {u"$VERSION", ShowVersion}, {u"$TIME", ShowTime},
    {u"$DATE", ShowDate}, {u"$MOUSE", ShowMouse},       {u"$MEM", ShowMemory},      {u"$PADS", ShowPads},
};

struct Registered
{
    std::u16string name;
    std::function<void()> handler;
};

// Commands a game added, in the order they were first registered. Names are kept as plain text, not as
// runtime strings, so that nothing here outlives the object runtime at exit.
std::vector<Registered>& RegisteredCommands()
{
    static std::vector<Registered> commands;
    return commands;
}

struct TextCommand
{
    std::u16string name;
    std::function<void(const Ref<String>&)> handler;
};

// Commands that take text, in the order they were first registered.
std::vector<TextCommand>& TextCommands()
{
    static std::vector<TextCommand> commands;
    return commands;
}

// The ASCII letters a-z raised, nothing else changed: how entered text and command names are compared.
std::u16string Raised(std::u16string_view text)
{
    std::u16string raised(text);
    for (char16_t& c : raised) {
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
    }
    return raised;
}

bool IsBuiltIn(std::u16string_view name)
{
    return std::any_of(std::begin(BUILT_IN), std::end(BUILT_IN),
                       [&](const BuiltIn& command) { return command.name == name; });
}

} // namespace

void RunConsoleCommand(const Ref<String>& text)
{
    const std::u16string command = Raised(text->View());
    for (const BuiltIn& builtIn : BUILT_IN) {
        if (builtIn.name == command) {
            builtIn.run();
            return;
        }
    }
    for (const Registered& registered : RegisteredCommands()) {
        if (registered.name == command) {
            // A copy: the handler may register or remove commands while it runs.
            const std::function<void()> handler = registered.handler;
            handler();
            return;
        }
    }
    // A command that takes text: its name, then nothing or a space and the text.
    const std::u16string_view typed = text->View();
    for (const TextCommand& registered : TextCommands()) {
        const std::size_t length = registered.name.size();
        if (!command.starts_with(registered.name) || (command.size() > length && command[length] != u' ')) continue;
        const std::u16string_view rest = command.size() > length ? typed.substr(length + 1) : std::u16string_view();
        const std::function<void(const Ref<String>&)> handler = registered.handler;
        handler(String::FromShorts(rest.data(), static_cast<std::int32_t>(rest.size())));
        return;
    }
}

namespace {

// Adds the command `name`, gives it its new handler, or removes it when `handler` is empty.
template <typename Command, typename Handler>
void Register(std::vector<Command>& commands, const std::u16string& name, Handler handler)
{
    const auto found =
        std::find_if(commands.begin(), commands.end(), [&](const Command& command) { return command.name == name; });
    if (!handler) {
        if (found != commands.end()) commands.erase(found);
    } else if (found != commands.end()) {
        found->handler = std::move(handler);
    } else {
        commands.push_back({name, std::move(handler)});
    }
}

} // namespace

std::int32_t RegisterConsoleTextCommand(const Ref<String>& name, std::function<void(const Ref<String>&)> handler)
{
    const std::u16string raised = Raised(name->View());
    if (raised.empty() || IsBuiltIn(raised) || raised.find(u' ') != std::u16string::npos) return 0;
    Register(TextCommands(), raised, std::move(handler));
    return 1;
}

std::int32_t RegisterConsoleCommand(const Ref<String>& name, std::function<void()> handler)
{
    const std::u16string raised = Raised(name->View());
    if (raised.empty() || IsBuiltIn(raised)) return 0;
    Register(RegisteredCommands(), raised, std::move(handler));
    return 1;
}

namespace detail {

void CompleteConsoleCommand()
{
    ConsoleState& console = Console();
    const std::u16string_view typed = console.input->View();
    const std::u16string raised = Raised(typed);
    std::u16string prefix;
    bool any = false;
    const auto consider = [&](std::u16string_view name) {
        if (!name.starts_with(raised)) return;
        if (!any) {
            prefix = name;
            any = true;
            return;
        }
        const auto differ = std::mismatch(prefix.begin(), prefix.end(), name.begin(), name.end());
        prefix.erase(differ.first, prefix.end());
    };
    for (const BuiltIn& builtIn : BUILT_IN)
        consider(builtIn.name);
    for (const Registered& registered : RegisteredCommands())
        consider(registered.name);
    for (const TextCommand& registered : TextCommands())
        consider(registered.name);
    if (!any || prefix.size() <= typed.size()) return;

    // The completion follows the typed text's case: small letters unless capitals were typed, the way
    // the help lists the commands.
    std::u16string rest = prefix.substr(typed.size());
    const bool capitals = std::any_of(typed.begin(), typed.end(), [](char16_t c) { return c >= u'A' && c <= u'Z'; });
    if (!capitals) {
        for (char16_t& c : rest) {
            if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
        }
    }
    console.input = console.input + String::FromShorts(rest.data(), static_cast<std::int32_t>(rest.size()));
    const std::int32_t length = console.input->Length();
    console.cursorIndex = length;
    console.cursorOffset = console.charWidth * length;
}

} // namespace detail
} // namespace vanta
