// File-type filters for file choosers, from the runtime's extension lists.
//
// An extension list is a list of groups separated by ";", each a description, ":" and comma-separated
// extensions ("Images:png,jpg;Text:txt"), or just comma-separated extensions ("png,jpg", described as
// "Files"). Each filter pairs a description with a pattern of the form "*.png;*.jpg".
#pragma once

#include "runtime/String.h"

#include <vector>

namespace vanta {

struct FileFilter
{
    Ref<String> description;
    Ref<String> pattern;
};

// The filters of an extension list; none for an empty list.
std::vector<FileFilter> BuildFileFilters(const Ref<String>& extensions);

} // namespace vanta
