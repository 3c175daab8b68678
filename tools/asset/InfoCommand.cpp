// `vanta-asset info URL`: the first describer that can load the asset writes what it is.
#include "tools/asset/AssetTool.h"

#include <cstdio>

namespace vanta::asset {

int RunInfo(const std::vector<std::string>& arguments)
{
    if (arguments.size() != 1) return EXIT_USAGE;
    const Ref<Object> url = UrlOf(arguments[0]);
    for (const Describer& describer : Describers()) {
        std::string text;
        if (describer.describe(url, text)) {
            std::fputs(text.c_str(), stdout);
            return EXIT_OK;
        }
    }
    std::fprintf(stderr, "%s\n", CannotLoadMessage(arguments[0]).c_str());
    return EXIT_FAILED;
}

} // namespace vanta::asset
