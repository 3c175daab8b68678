// vanta-script: runs a Lua script with the runtime's script engine, and calls one of its functions.
//
//     vanta-script FILE                      runs FILE
//     vanta-script FILE FUNCTION [ARG...]    runs FILE, then calls the global FUNCTION with the arguments
//                                            and prints its one result
//     vanta-script --version                 prints the runtime's version
//
// An argument that reads as a decimal number is passed as a number, "true" and "false" as booleans, and
// anything else as a string. The result is printed as one line: "number 42" (in the shortest form that
// reads back as the same value), "string TEXT", "boolean 1" or "0", or "none" when the function answered
// nothing the engine keeps. A failure prints "error CODE: MESSAGE" (the engine's error code and message)
// on standard error and exits with 1; a usage error exits with 2.
#include "runtime/String.h"
#include "runtime/Version.h"
#include "script/ScriptEngine.h"
#include "startup/ModuleSequence.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <system_error>

namespace {

using namespace vanta;

// The text's bytes (the low byte of each unit), zero bytes included.
void WriteText(const Ref<String>& text, std::FILE* stream)
{
    for (char16_t unit : text->View())
        std::fputc(unit & 0xFF, stream);
}

int Fail(TScriptEngine& engine)
{
    std::fprintf(stderr, "error %d: ", engine.ErrorCode());
    WriteText(engine.ErrorMessage(), stderr);
    std::fputc('\n', stderr);
    return 1;
}

// Queues `text` as a number, a boolean or a string.
void QueueArgument(TScriptEngine& engine, std::string_view text)
{
    double number = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (!text.empty() && error == std::errc() && end == text.data() + text.size() && std::isfinite(number)) {
        engine.AddNumberArg(number);
    } else if (text == "true" || text == "false") {
        engine.AddBooleanArg(text == "true" ? 1 : 0);
    } else {
        engine.AddStringArg(String::FromBytes(text.data(), static_cast<std::int32_t>(text.size())));
    }
}

void PrintResult(TScriptEngine& engine)
{
    switch (engine.ResultKind()) {
    case SCRIPT_NUMBER: {
        char digits[64];
        const auto [end, error] = std::to_chars(digits, digits + sizeof digits, engine.NumberResult());
        std::printf("number %.*s\n", error == std::errc() ? static_cast<int>(end - digits) : 0, digits);
        break;
    }
    case SCRIPT_STRING:
        std::fputs("string ", stdout);
        WriteText(engine.StringResult(), stdout);
        std::fputc('\n', stdout);
        break;
    case SCRIPT_BOOLEAN: std::printf("boolean %d\n", engine.BooleanResult()); break;
    default: std::puts("none"); break;
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fputs("usage: vanta-script FILE [FUNCTION [ARG...]]\n", stderr);
        return 2;
    }
    if (std::strcmp(argv[1], "--version") == 0) {
        std::puts("vanta-script " VANTAMAX_VERSION);
        return 0;
    }
    RunModuleInitialisers(MODULES_SCRIPT);
    const int level = ReleaseStackLevel();
    int status = 0;
    {
        Ref<TScriptEngine> engine = New<TScriptEngine>();
        if (engine->RunScriptFile(String::FromCString(argv[1])) == 0) {
            status = Fail(*engine);
        } else if (argc >= 3) {
            for (int i = 3; i < argc; ++i)
                QueueArgument(*engine, argv[i]);
            if (engine->CallFunction(String::FromCString(argv[2]), 1) != 0) {
                PrintResult(*engine);
            } else {
                status = Fail(*engine);
            }
        }
    }
    FlushReleaseStack(level);
    std::fflush(nullptr);
    return status;
}
