// Runs one requester of the desktop host driver, for the requester tests: the requester's name, then its
// arguments; prints "=" and the answer after whatever the requester itself wrote.
//
//   notice <text> | okcancel <text> | yesnocancel <text>
//   file <title> <extensions> <save 0/1> <initial path> | folder <title> <initial path>
#include "runtime/Startup.h"
#include "system/HostDriver.h"
#include "system/System.h"

#include <cstdio>
#include <cstring>
#include <string>

int main(int argc, char** argv)
{
    using namespace vanta;
    InitSystem();
    const std::string which = argc > 1 ? argv[1] : "";
    const auto text = [argc, argv](int index) { return String::FromCString(index < argc ? argv[index] : ""); };
    if (which == "notice") {
        ShowNotice(text(2), 1);
        std::printf("=");
    } else if (which == "okcancel") {
        std::printf("=%d", AskOkCancel(text(2), 0));
    } else if (which == "yesnocancel") {
        std::printf("=%d", AskYesNoCancel(text(2), 0));
    } else if (which == "file") {
        const Ref<String> chosen = ChooseFile(text(2), text(3), text(4)->ToInt(), text(5));
        std::printf("=[%s]", chosen->ToCString());
    } else if (which == "folder") {
        std::printf("=[%s]", ChooseFolder(text(2), text(3))->ToCString());
    } else {
        return 2;
    }
    return 0;
}
