// Extension lists to (description, pattern) pairs, by the rules the Windows dialogs were given their
// filter text: every ":" starts a pattern, every ";" ends a group, every "," separates patterns.
#include "system/FileFilter.h"

namespace vanta {

std::vector<FileFilter> BuildFileFilters(const Ref<String>& extensions)
{
    std::vector<FileFilter> filters;
    if (extensions->Length() == 0) return filters;

    const char16_t nul = u'\0';
    Ref<String> separator = String::FromShorts(&nul, 1);
    Ref<String> text = extensions;
    if (text->Find(":"_s) < 0) {
        text = "Files"_s + separator + "*."_s + text;
    } else {
        text = text->Replace(":"_s, separator + "*."_s);
    }
    text = text->Replace(";"_s, separator);
    text = text->Replace(","_s, ";*."_s);

    // The text is now description, NUL, pattern, NUL, ...; a description without a pattern is dropped.
    std::vector<Ref<String>> parts;
    std::int32_t start = 0;
    for (std::int32_t at = text->Find(separator); at >= 0; at = text->Find(separator, start)) {
        parts.push_back(Slice(text, start, at));
        start = at + 1;
    }
    parts.push_back(Slice(text, start, text->Length()));
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2)
        filters.push_back({parts[i], parts[i + 1]});
    return filters;
}

} // namespace vanta
