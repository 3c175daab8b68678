// Runs one console requester of the base host driver, for the requester tests.
#include "system/HostDriver.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    using namespace vanta;
    Ref<THostDriver> driver = New<THostDriver>();
    const char* which = argc > 1 ? argv[1] : "";
    if (std::strcmp(which, "notice") == 0) driver->ShowNotice("Hello"_s, 1);
    if (std::strcmp(which, "okcancel") == 0) std::printf("=%d", driver->AskOkCancel("Go on"_s, 0));
    if (std::strcmp(which, "yesnocancel") == 0) std::printf("=%d", driver->AskYesNoCancel("Save"_s, 0));
    if (std::strcmp(which, "file") == 0)
        std::printf("=[%s]", driver->ChooseFile("t"_s, "png"_s, 0, "/x"_s)->ToCString());
    if (std::strcmp(which, "folder") == 0) std::printf("=[%s]", driver->ChooseFolder("t"_s, "/x"_s)->ToCString());
    return 0;
}
