// Describing a font file: what FreeType finds in it, face by face, with the sizes each face offers.
#include "graphics/FreeTypeFont.h"
#include "tools/asset/AssetTool.h"

namespace vanta::asset {

bool DescribeFont(const Ref<Object>& url, std::string& out)
{
    const std::vector<FontFaceInfo> faces = DescribeFontFile(url);
    if (faces.empty()) return false;
    out += "kind: font\n";
    out += "format: " + faces[0].format + "\n";
    out += "faces: " + std::to_string(faces.size()) + "\n";
    for (std::size_t i = 0; i < faces.size(); ++i) {
        const FontFaceInfo& face = faces[i];
        out += "face " + std::to_string(i) + ": " + face.family;
        if (!face.style.empty()) out += " " + face.style;
        out += ", " + std::to_string(face.glyphCount) + " glyphs";
        if (face.scalable) out += ", scalable";
        for (const FontFaceInfo::Size& size : face.sizes) {
            out += ", size " + std::to_string(size.size) + " (height " + std::to_string(size.height) + ", ascender " +
                   std::to_string(size.ascender) + ", descender " + std::to_string(size.descender) + ")";
        }
        out += "\n";
    }
    return true;
}

} // namespace vanta::asset
