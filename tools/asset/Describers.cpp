// The table of describers, and what the tool says when none of them can load a URL.
#include "runtime/String.h"
#include "tools/asset/AssetTool.h"

namespace vanta::asset {

std::span<const Describer> Describers()
{
    static constexpr Describer describers[] = {
        {"image", DescribePicture},
        {"sound", DescribeSound},
        {"font", DescribeFont},
    };
    return describers;
}

std::string CannotLoadMessage(const std::string& url)
{
    std::string kinds;
    for (const Describer& describer : Describers()) {
        if (!kinds.empty()) kinds += " or ";
        kinds += describer.kind;
    }
    return "cannot load " + kinds + ": " + url;
}

Ref<Object> UrlOf(const std::string& url)
{
    return String::FromBytes(url.data(), static_cast<std::int32_t>(url.size()));
}

} // namespace vanta::asset
