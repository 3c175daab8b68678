// A virtual X display for tests: a private Xvfb started on a free display number.
//
// Builds on fork/exec, poll and the Xvfb program. Xvfb's -displayfd option tells when the server
// accepts connections, so nothing here sleeps and guesses.
#include "support/VirtualDisplay.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace vanta::test {
namespace {

constexpr int startAttempts = 20;
constexpr int startTimeoutMilliseconds = 15000;

bool Exists(const std::string& path)
{
    struct stat info
    {};
    return ::stat(path.c_str(), &info) == 0;
}

// A display number is free when neither its lock file nor its socket exists.
bool LooksFree(int number)
{
    const std::string n = std::to_string(number);
    return !Exists("/tmp/.X" + n + "-lock") && !Exists("/tmp/.X11-unix/X" + n);
}

// Waits for a child to end, up to `milliseconds`; answers whether it did.
bool WaitForExit(pid_t child, int milliseconds)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    for (;;) {
        int status = 0;
        const pid_t done = ::waitpid(child, &status, WNOHANG);
        if (done == child || (done < 0 && errno != EINTR)) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

std::optional<std::string> Variable(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? std::optional<std::string>(value) : std::nullopt;
}

void Restore(const char* name, const std::optional<std::string>& value)
{
    if (value)
        ::setenv(name, value->c_str(), 1);
    else
        ::unsetenv(name);
}

void Stop(pid_t child)
{
    // kill() of 0 or -1 would reach the process group or every process of the user.
    if (child <= 0) return;
    ::kill(child, SIGTERM);
    if (!WaitForExit(child, 5000)) {
        ::kill(child, SIGKILL);
        WaitForExit(child, 5000);
    }
}

} // namespace

std::string FindProgram(const std::string& program)
{
    const char* path = std::getenv("PATH");
    std::string directories = path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= directories.size()) {
        const std::size_t end = std::min(directories.find(':', start), directories.size());
        const std::string directory = directories.substr(start, end - start);
        const std::string candidate = (directory.empty() ? "." : directory) + "/" + program;
        if (::access(candidate.c_str(), X_OK) == 0) return candidate;
        start = end + 1;
    }
    return {};
}

pid_t StartProgram(const std::vector<std::string>& arguments)
{
    if (arguments.empty()) return -1;
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t child = -1;
    if (::posix_spawnp(&child, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1;
    return child;
}

int WaitForProgram(pid_t program)
{
    if (program <= 0) return -1;
    int status = 0;
    while (::waitpid(program, &status, 0) < 0) {
        if (errno != EINTR) return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int RunProgram(const std::vector<std::string>& arguments)
{
    return WaitForProgram(StartProgram(arguments));
}

VirtualDisplay::VirtualDisplay(Reset reset)
{
    const std::string xvfb = FindProgram("Xvfb");
    if (xvfb.empty()) {
        state_ = State::NotInstalled;
        message_ = "Xvfb is not installed (package xvfb): display tests are skipped";
        return;
    }
    // Spread the search by process so that test programs running side by side rarely race for a number;
    // a lost race only costs one more attempt.
    int number = 100 + static_cast<int>(::getpid() % 400);
    for (int attempt = 0; attempt < startAttempts; ++attempt, ++number) {
        if (!LooksFree(number)) continue;
        if (TryStart(xvfb, number, reset)) {
            state_ = State::Started;
            name_ = ":" + std::to_string(number);
            previousDisplay_ = Variable("DISPLAY");
            previousWayland_ = Variable("WAYLAND_DISPLAY");
            ::setenv("DISPLAY", name_.c_str(), 1);
            ::unsetenv("WAYLAND_DISPLAY");
            message_ = "started Xvfb on " + name_;
            return;
        }
    }
    state_ = State::Failed;
    if (message_.empty()) message_ = "no free display number for Xvfb";
}

VirtualDisplay::~VirtualDisplay()
{
    if (state_ != State::Started) return;
    Stop(server_);
    Restore("DISPLAY", previousDisplay_);
    Restore("WAYLAND_DISPLAY", previousWayland_);
}

VirtualDisplay& VirtualDisplay::Shared()
{
    static VirtualDisplay display;
    return display;
}

bool VirtualDisplay::TryStart(const std::string& xvfb, int number, Reset reset)
{
    int ready[2];
    if (::pipe2(ready, O_CLOEXEC) != 0) {
        message_ = std::string("cannot make a pipe for Xvfb: ") + std::strerror(errno);
        return false;
    }
    // Made before the fork: a child of a threaded program may not allocate.
    const std::string display = ":" + std::to_string(number);
    std::vector<const char*> argv{xvfb.c_str(), display.c_str(), "-screen",    "0", "1280x1024x24",
                                  "-nolisten",  "tcp",           "-displayfd", "3"};
    if (reset == Reset::Never) argv.push_back("-noreset");
    argv.push_back(nullptr);
    const pid_t parent = ::getpid();
    const pid_t child = ::fork();
    if (child < 0) {
        message_ = std::string("cannot start Xvfb: ") + std::strerror(errno);
        ::close(ready[0]);
        ::close(ready[1]);
        return false;
    }
    if (child == 0) {
        // The server must not outlive a test program that crashes.
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != parent) ::_exit(127);
        ::dup2(ready[1], 3); // dup2 clears close-on-exec on the copy
        const int null = ::open("/dev/null", O_RDWR);
        ::dup2(null, 0);
        ::dup2(null, 1);
        ::dup2(null, 2);
        ::execv(xvfb.c_str(), const_cast<char**>(argv.data()));
        ::_exit(127);
    }
    ::close(ready[1]);
    // Xvfb writes the display number to the pipe once it accepts connections, and the pipe closes
    // without a word if it gives up (display in use, bad option).
    std::string written;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(startTimeoutMilliseconds);
    bool timedOut = false;
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            timedOut = true;
            break;
        }
        pollfd wait{ready[0], POLLIN, 0};
        const int polled = ::poll(&wait, 1, static_cast<int>(left.count()));
        if (polled < 0 && errno == EINTR) continue;
        if (polled <= 0) {
            timedOut = polled == 0;
            break;
        }
        char buffer[32];
        const ssize_t got = ::read(ready[0], buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        written.append(buffer, static_cast<std::size_t>(got));
        if (written.find('\n') != std::string::npos) break;
    }
    ::close(ready[0]);
    if (!written.empty() && std::atoi(written.c_str()) == number) {
        server_ = child;
        return true;
    }
    Stop(child);
    message_ = timedOut ? "Xvfb did not accept connections within 15 s"
                        : "Xvfb exited at start on display :" + std::to_string(number);
    return false;
}

bool Xdotool(const std::vector<std::string>& arguments)
{
    std::vector<std::string> command{"xdotool"};
    command.insert(command.end(), arguments.begin(), arguments.end());
    return RunProgram(command) == 0;
}

} // namespace vanta::test
