// The asset tool (vanta-asset) run as a real program by the tool suites. The suite defines
// VANTA_ASSET_TOOL, the tool's path, and depends on the tool's target.
#pragma once

#include "support/Subprocess.h"

#include <filesystem>
#include <string>
#include <vector>

#ifndef VANTA_ASSET_TOOL
#error "a suite that runs the asset tool defines VANTA_ASSET_TOOL as its path"
#endif

namespace vanta::test {

// Runs the tool with `arguments` in the temporary directory, with an empty standard input; what it
// answered and wrote.
inline ProcessResult RunAssetTool(const std::vector<std::string>& arguments)
{
    std::vector<std::string> argv{VANTA_ASSET_TOOL};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return RunProcess(argv, std::filesystem::temp_directory_path().string());
}

} // namespace vanta::test
