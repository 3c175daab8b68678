// The table of commands.
#include "tools/asset/AssetTool.h"

namespace vanta::asset {

std::span<const Command> Commands()
{
    static constexpr Command commands[] = {
        {"info", "URL", "describe what the runtime makes of the asset at URL", RunInfo},
        {"convert", "URL OUT.png", "load the picture at URL and write it as a PNG file", RunConvert},
        {"audio", "URL OUT.wav", "load the sound at URL and write it as a WAV file", RunAudio},
        {"text", "FONT SIZE TEXT OUT.png", "draw TEXT with the font at FONT (or default) into a PNG file", RunText},
    };
    return commands;
}

} // namespace vanta::asset
