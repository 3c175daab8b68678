// A program that starts like a game and prints what the start-up recorded, for the start-up tests.
// With the argument "throw" it ends in an uncaught error; with "crash" in a segmentation fault.
#include "runtime/Error.h"
#include "runtime/Startup.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

void ProbeMain()
{
    using namespace vanta;
    const Ref<Array>& arguments = CommandLineArguments();
    if (arguments->Length() > 1) {
        Ref<String> first = Downcast<String>(arguments->ObjectAt(1));
        if (Compare(first, "throw"_s) == 0) ThrowError("probe error");
        if (Compare(first, "crash"_s) == 0) std::raise(SIGSEGV);
        if (Compare(first, "fpe"_s) == 0) std::raise(SIGFPE);
    }
    char cwd[4096];
    std::printf("start=%s\n", StartDirectory()->ToCString());
    std::printf("dir=%s\n", ExecutableDirectory()->ToCString());
    std::printf("path=%s\n", ExecutablePath()->ToCString());
    std::printf("title=%s\n", ProgramTitle()->ToCString());
    std::printf("cwd=%s\n", getcwd(cwd, sizeof cwd));
    std::printf("argc=%d\n", arguments->Length());
    for (std::int32_t i = 0; i < arguments->Length(); ++i) {
        std::printf("arg%d=%s\n", i, Downcast<String>(arguments->ObjectAt(i))->ToCString());
    }
}

} // namespace

int main(int argc, char** argv)
{
    return vanta::RunProgram(argc, argv, &ProbeMain);
}
