// The desktop's dialog helper (zenity): finding it, the arguments of its file and folder choosers, and
// running it to an answer.
//
// Builds on POSIX processes. The helper is optional on a desktop; callers fall back to the console when
// it is not installed. Used by the desktop host driver (and its tests); games ask through `ChooseFile`
// and `ChooseFolder` (system/HostDriver.h) instead.
#pragma once

#include <string>
#include <vector>

namespace vanta::desktop {

// One file-type filter: a description and its patterns ("*.png", "*.jpg").
struct DialogFilter
{
    std::string description;           // the name the dialog shows for the filter ("Images")
    std::vector<std::string> patterns; // one shell pattern per entry ("*.png")
};

// The full path of the dialog helper found on $PATH, or an empty text when none is installed.
std::string FindDialogHelper();

// The helper's arguments for choosing a file. Empty `title` and `initialPath` are left out (the helper's
// own title and starting folder); `save` asks for a new name with confirmation before overwriting.
std::vector<std::string> FileChooserArguments(const std::string& title, const std::vector<DialogFilter>& filters,
                                              bool save, const std::string& initialPath);

// The helper's arguments for choosing a folder.
std::vector<std::string> FolderChooserArguments(const std::string& title, const std::string& initialPath);

// How a run of the helper ended.
enum class DialogOutcome
{
    Chosen,    // the user chose: `answer` holds it
    Cancelled, // the user cancelled or closed the dialog
    Failed,    // the helper reported an error or was killed
    NotRun     // the helper could not be started
};

// What one run of the helper gave: how it ended and what it printed.
struct DialogAnswer
{
    DialogOutcome outcome = DialogOutcome::NotRun; // how the run ended
    std::string answer;                            // what the helper printed, without its final line end
};

// Runs `program` with `arguments` and waits for it (the dialog is modal: nothing else runs meanwhile).
DialogAnswer RunDialogHelper(const std::string& program, const std::vector<std::string>& arguments);

} // namespace vanta::desktop
