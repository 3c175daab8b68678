// File-type filters for file choosers, from the runtime's extension lists.
//
// An extension list is a list of groups separated by ";", each a description, ":" and comma-separated
// extensions ("Images:png,jpg;Text:txt"), or just comma-separated extensions ("png,jpg", described as
// "Files"). Each filter pairs a description with a pattern of the form "*.png;*.jpg".
#pragma once

#include "runtime/String.h"

#include <vector>

namespace vanta {

// One filter of a file chooser: a name and the files it lets through.
struct FileFilter
{
    Ref<String> description; // the name the chooser shows ("Images"; "Files" for a bare extension list)
    Ref<String> pattern;     // one pattern per extension, joined by ";" ("*.png;*.jpg")
};

// The filters of an extension list; none for an empty list.
std::vector<FileFilter> BuildFileFilters(const Ref<String>& extensions);

} // namespace vanta
