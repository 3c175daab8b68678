// Process entry and the start-up globals of the runtime.
//
// `RunProgram` is what a game's `main` calls: it installs the crash handlers, records the start
// directory, the executable's directory and path, the program title and the arguments, makes the
// executable's directory the working directory and runs the game's main function. An exception that the
// game does not catch ends the process through the uncaught-exception hook (status -1).
//
// Paths are 8-bit text from the system taken one byte per character, so they convert back to the same
// bytes with `ToCString`.
#pragma once

#include "runtime/Array.h"
#include "runtime/String.h"

namespace vanta {

// The working directory when the program started.
const Ref<String>& StartDirectory();

// The directory of the executable, without the final "/".
const Ref<String>& ExecutableDirectory();

// The full path of the executable.
const Ref<String>& ExecutablePath();

// The program's title, "VantaMax Application" unless the program changes it before opening a window.
const Ref<String>& ProgramTitle();
void SetProgramTitle(const Ref<String>& title);

// The command-line arguments (a "$" array), the program path first.
const Ref<Array>& CommandLineArguments();

// Installs the handlers that turn a crash, an abort or a termination request into the uncaught-error
// path: SIGILL, SIGSEGV, SIGABRT and SIGTERM write "Received Signal", SIGBUS and SIGFPE write
// "Unhandled Memory Exception Error"; then the process ends with status -1.
void InstallCrashHandlers();

// Sets the start-up globals from the arguments and the executable's directory and path, then changes the
// working directory to the executable's directory.
void RuntimeStartup(int argc, char** argv, const Ref<String>& executableDirectory, const Ref<String>& executablePath);

// The whole process entry: crash handlers, start-up globals, working directory, then `gameMain`.
// Returns 0 when `gameMain` returns.
int RunProgram(int argc, char** argv, void (*gameMain)());

} // namespace vanta
