// vanta-asset: loads assets through the runtime's own loaders and describes or converts them.
//
//     vanta-asset info URL            what the asset is (for a sound: loader, format, rate, frames)
//     vanta-asset audio URL OUT.wav   the sound decoded and written as a WAV file in its own format
//
// URL is a file path or any "protocol::path" the stream layer opens. Exit status: 0 on success, 1 when the
// asset cannot be loaded or the result cannot be written (with a message on standard error), 2 for a wrong
// command line.
// Builds on: each kind of asset's command file (SoundCommands.h).
#include "tools/asset/AssetTool.h"

#include "runtime/Object.h"
#include "tools/asset/SoundCommands.h"

#include <cstring>
#include <string>
#include <vector>

namespace vanta::asset {
namespace {

// [SECTION] Registration: each kind of asset adds its initialiser, commands and describer here.

void InitAssetKinds()
{
    InitRuntimeCore();
    InitSoundCommands();
}

std::vector<Command> AllCommands()
{
    std::vector<Command> all;
    for (const Command& command : SoundCommands())
        all.push_back(command);
    return all;
}

constexpr Describer describers[] = {
    {"sound", DescribeSound},
};

// [SECTION] The tool itself.

int Usage()
{
    std::fprintf(stderr, "usage: vanta-asset info URL\n");
    for (const Command& command : AllCommands())
        std::fprintf(stderr, "       vanta-asset %s %s\n", command.name, command.usage);
    return EXIT_USAGE;
}

int RunInfo(const std::vector<std::string>& arguments)
{
    const Ref<String> url = String::FromCString(arguments[0].c_str());
    for (const Describer& describer : describers) {
        if (describer.describe(url, stdout)) return EXIT_OK;
    }
    std::string kinds;
    for (const Describer& describer : describers)
        kinds += (kinds.empty() ? "" : " or ") + std::string(describer.kind);
    std::fprintf(stderr, "cannot load %s: %s\n", kinds.c_str(), arguments[0].c_str());
    return EXIT_FAILED;
}

int Run(int argc, char** argv)
{
    if (argc < 2) return Usage();
    std::vector<Command> commands = AllCommands();
    commands.insert(commands.begin(), Command{"info", 1, "URL", RunInfo});
    for (const Command& command : commands) {
        if (std::strcmp(argv[1], command.name) != 0) continue;
        if (argc - 2 != command.arguments) return Usage();
        InitAssetKinds();
        return command.run(std::vector<std::string>(argv + 2, argv + argc));
    }
    std::fprintf(stderr, "vanta-asset: unknown command \"%s\"\n", argv[1]);
    return Usage();
}

} // namespace
} // namespace vanta::asset

int main(int argc, char** argv)
{
    const int status = vanta::asset::Run(argc, argv);
    vanta::FlushReleaseStack(-1);
    return status;
}
