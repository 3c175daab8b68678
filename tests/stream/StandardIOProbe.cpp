// A program that uses standard input and output through the stream layer, for the standard I/O tests.
//   print  - prints a few lines, some beyond ASCII
//   echo   - reads lines with `Input` and prints each in brackets, until standard input runs out (which
//            ends the program with an uncaught `TStreamReadError`)
//   stream - prints what the standard stream reports about its position and size
#include "runtime/Startup.h"
#include "stream/StandardIO.h"

#include <cstdio>

namespace {

using namespace vanta;

void ProbeMain()
{
    InitStandardIO();
    const Ref<Array>& arguments = CommandLineArguments();
    const Ref<String> mode = arguments->Length() > 1 ? Downcast<String>(arguments->ObjectAt(1)) : EmptyString();
    if (Compare(mode, "print"_s) == 0) {
        Print("plain"_s);
        Print(u"\u00E9t\u00E9 \u20AC \U0001F600"_s);
        Print(""_s);
    } else if (Compare(mode, "echo"_s) == 0) {
        for (;;) {
            const Ref<String> line = Input("> "_s);
            Print("["_s + line + "]"_s);
        }
    } else if (Compare(mode, "stream"_s) == 0) {
        const Ref<TEncodedTextStream>& io = StandardIOStream();
        std::printf("pos=%d size=%d eof=%d encoding=%d\n", io->Pos(), io->Size(), io->Eof(), io->Encoding());
    }
}

} // namespace

int main(int argc, char** argv)
{
    return vanta::RunProgram(argc, argv, &ProbeMain);
}
