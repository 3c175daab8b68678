// The asset tool's command table: what each kind of asset registers with the tool's main.
#pragma once

#include "runtime/String.h"

#include <cstdio>
#include <string>
#include <vector>

namespace vanta::asset {

// Exit statuses of every command.
inline constexpr int EXIT_OK = 0;
inline constexpr int EXIT_FAILED = 1; // the asset could not be loaded or the result not written
inline constexpr int EXIT_USAGE = 2;  // the command line is wrong

// A command: `vanta-asset <name> <arguments>`. `run` gets the arguments after the name, and is called only
// with exactly `arguments` of them.
struct Command
{
    const char* name;
    int arguments;
    const char* usage; // the arguments as the usage text shows them
    int (*run)(const std::vector<std::string>& arguments);
};

// One kind of asset that `info` can describe.
struct Describer
{
    const char* kind; // "sound", ... as the failure message names it
    // Writes the description of the asset at `url` to `out` and returns true; false when the url is not an
    // asset of this kind.
    bool (*describe)(const Ref<String>& url, std::FILE* out);
};

} // namespace vanta::asset
