// Describing a picture: which loader took it and the pixmap it made.
#include "pixmap/Pixmap.h"
#include "tools/asset/AssetTool.h"

#include <string_view>

namespace vanta::asset {
namespace {

const char* FormatName(std::int32_t format)
{
    static const char* const names[] = {"unknown",   "PF_I8",       "PF_A8",      "PF_BGR888",
                                        "PF_RGB888", "PF_BGRA8888", "PF_RGBA8888"};
    return format >= PF_I8 && format <= PF_RGBA8888 ? names[format] : names[0];
}

} // namespace

std::string LoaderName(const Object& loader)
{
    const char* name = loader.Class()->name;
    if (name == nullptr) return "unnamed loader";
    std::string_view text(name);
    if (text.starts_with("T")) text.remove_prefix(1);
    if (text.ends_with("Loader")) text.remove_suffix(6);
    return std::string(text);
}

bool DescribePicture(const Ref<Object>& url, std::string& out)
{
    Ref<TPixmapLoader> loader;
    const Ref<TPixmap> pixmap = LoadPixmapWithLoader(url, loader);
    if (pixmap.IsNull()) return false;
    out += "kind: image\n";
    out += "loader: " + LoaderName(*loader) + "\n";
    out += "width: " + std::to_string(pixmap->Width()) + "\n";
    out += "height: " + std::to_string(pixmap->Height()) + "\n";
    out += std::string("format: ") + FormatName(pixmap->Format()) + "\n";
    return true;
}

} // namespace vanta::asset
