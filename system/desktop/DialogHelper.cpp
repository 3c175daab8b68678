// The zenity dialog helper: its arguments and a modal run that collects what it prints.
//
// Builds on posix_spawn and a pipe for the helper's standard output; its standard error stays ours, so
// the desktop's own warnings reach the user's terminal as they would from any program.
#include "system/desktop/DialogHelper.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace vanta::desktop {
namespace {

constexpr const char* helperName = "zenity";

// zenity's exit status when the user cancels or closes the dialog.
constexpr int cancelledStatus = 1;

std::string Joined(const std::vector<std::string>& parts, const char* separator)
{
    std::string text;
    for (const std::string& part : parts) {
        if (!text.empty()) text += separator;
        text += part;
    }
    return text;
}

} // namespace

std::string FindDialogHelper()
{
    const char* path = std::getenv("PATH");
    const std::string directories = path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= directories.size()) {
        const std::size_t end = std::min(directories.find(':', start), directories.size());
        const std::string directory = directories.substr(start, end - start);
        std::string candidate = (directory.empty() ? std::string(".") : directory) + "/" + helperName;
        if (::access(candidate.c_str(), X_OK) == 0) return candidate;
        start = end + 1;
    }
    return {};
}

std::vector<std::string> FileChooserArguments(const std::string& title, const std::vector<DialogFilter>& filters,
                                              bool save, const std::string& initialPath)
{
    std::vector<std::string> arguments{"--file-selection"};
    if (!title.empty()) arguments.push_back("--title=" + title);
    if (save) {
        arguments.emplace_back("--save");
        arguments.emplace_back("--confirm-overwrite");
    }
    if (!initialPath.empty()) arguments.push_back("--filename=" + initialPath);
    // zenity's filter syntax is "description | pattern pattern ..."; the first filter is the one shown.
    for (const DialogFilter& filter : filters)
        arguments.push_back("--file-filter=" + filter.description + " | " + Joined(filter.patterns, " "));
    return arguments;
}

std::vector<std::string> FolderChooserArguments(const std::string& title, const std::string& initialPath)
{
    std::vector<std::string> arguments{"--file-selection", "--directory"};
    if (!title.empty()) arguments.push_back("--title=" + title);
    if (!initialPath.empty()) arguments.push_back("--filename=" + initialPath);
    return arguments;
}

DialogAnswer RunDialogHelper(const std::string& program, const std::vector<std::string>& arguments)
{
    DialogAnswer result;
    int output[2];
    if (::pipe2(output, O_CLOEXEC) != 0) return result;

    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
    pid_t child = -1;
    const int spawned = ::posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(output[1]);
    if (spawned != 0) {
        ::close(output[0]);
        return result;
    }

    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(output[0], buffer, sizeof buffer);
        if (n > 0) {
            result.answer.append(buffer, static_cast<std::size_t>(n));
        } else if (n == 0 || errno != EINTR) {
            break;
        }
    }
    ::close(output[0]);

    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) {
            result.outcome = DialogOutcome::Failed;
            return result;
        }
    }
    if (!result.answer.empty() && result.answer.back() == '\n') result.answer.pop_back();
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) {
        result.outcome = DialogOutcome::Chosen;
    } else if (WIFEXITED(status) && WEXITSTATUS(status) == cancelledStatus) {
        result.outcome = DialogOutcome::Cancelled;
    } else {
        result.outcome = DialogOutcome::Failed;
    }
    return result;
}

} // namespace vanta::desktop
