// Process entry: crash handlers, start-up globals and the working directory.
#include "runtime/Startup.h"

#include "runtime/Error.h"

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace vanta {
namespace {

constexpr std::size_t PATH_BUFFER = 4096;

Ref<String> startDirectory;
Ref<String> executableDirectory;
Ref<String> executablePath;
Ref<String> programTitle;
Ref<Array> commandLineArguments;

// Signal handlers may only call async-signal-safe functions: one write, then _exit.
template <std::size_t N>
void WriteAndExit(const char (&text)[N])
{
    const ssize_t written = write(STDERR_FILENO, text, N - 1);
    (void)written;
    _exit(255);
}

extern "C" void OnFatalSignal(int)
{
    WriteAndExit("Received Signal\n");
}

extern "C" void OnMemoryFault(int)
{
    WriteAndExit("Unhandled Memory Exception Error\n");
}

void Install(int signal, void (*handler)(int))
{
    struct sigaction action
    {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
}

// The full path of the running executable, as the system reports it.
Ref<String> ReadExecutablePath()
{
    char buffer[PATH_BUFFER];
    const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0) return EmptyString();
    return String::FromBytes(buffer, static_cast<std::int32_t>(length));
}

} // namespace

const Ref<String>& StartDirectory()
{
    return startDirectory;
}

const Ref<String>& ExecutableDirectory()
{
    return executableDirectory;
}

const Ref<String>& ExecutablePath()
{
    return executablePath;
}

const Ref<String>& ProgramTitle()
{
    if (programTitle.IsNull()) programTitle = "VantaMax Application"_s;
    return programTitle;
}

void SetProgramTitle(const Ref<String>& title)
{
    programTitle = title.IsNull() ? Ref<String>(EmptyString()) : title;
}

const Ref<Array>& CommandLineArguments()
{
    if (commandLineArguments.IsNull()) commandLineArguments = EmptyArray();
    return commandLineArguments;
}

void InstallCrashHandlers()
{
    Install(SIGILL, &OnFatalSignal);
    Install(SIGSEGV, &OnFatalSignal);
    Install(SIGABRT, &OnFatalSignal);
    Install(SIGTERM, &OnFatalSignal);
    Install(SIGBUS, &OnMemoryFault);
    Install(SIGFPE, &OnMemoryFault);
}

void RuntimeStartup(int argc, char** argv, const Ref<String>& directory, const Ref<String>& path)
{
    char buffer[PATH_BUFFER];
    startDirectory =
        getcwd(buffer, sizeof buffer) != nullptr ? String::FromCString(buffer) : Ref<String>(EmptyString());
    executableDirectory = directory;
    executablePath = path;
    programTitle = "VantaMax Application"_s;

    Ref<Array> arguments = NewArray("$", argc);
    for (int i = 0; i < argc; ++i)
        arguments->ObjectAt(i) = String::FromCString(argv[i]);
    commandLineArguments = arguments;

    if (directory->Length() > 0 && chdir(directory->ToCString()) != 0) {
        // The game finds its files inside the executable; a directory it cannot enter changes nothing.
    }
}

int RunProgram(int argc, char** argv, void (*gameMain)())
{
    InstallCrashHandlers();
    Ref<String> path = ReadExecutablePath();
    const std::int32_t slash = path->FindLast("/"_s);
    Ref<String> directory =
        slash < 0 ? Ref<String>(EmptyString()) : (slash == 0 ? Ref<String>("/"_s) : Slice(path, 0, slash));
    RuntimeStartup(argc, argv, directory, path);

    InitRuntimeCore();
    try {
        gameMain();
    } catch (const Exception& e) {
        HandleUncaughtException(e.Thrown());
    }
    return 0;
}

} // namespace vanta
