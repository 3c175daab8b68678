// Answers a window (a message box) from outside the test process: waits until the window titled
// <title> is on the screen, gives it the focus as a desktop would, then presses a key in it or clicks the
// middle of its bottom button row.
//
//   vanta_answer_window <title> key <key name>       (xdotool key names: Return, Escape, ...)
//   vanta_answer_window <title> click-middle          (the middle button of a row along the bottom edge)
//
// A separate process, not a thread: SDL shows X11 message boxes in a forked child, and a thread of the
// test program that holds an allocator lock at that moment would leave the child stuck. Exits 0 when
// it answered, 1 when the window did not show within 20 s, 2 on bad arguments.
#include "support/VirtualDisplay.h"
#include "support/X11Tools.h"

#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace {

// xdotool with a time limit, so that a window that goes away cannot hold the caller.
int TimedXdotool(std::vector<std::string> arguments)
{
    arguments.insert(arguments.begin(), {"timeout", "10", "xdotool"});
    return vanta::test::RunProgram(arguments);
}

} // namespace

int main(int argc, char** argv)
{
    using namespace vanta::test;
    if (argc < 3) return 2;
    const std::string title = argv[1];
    const std::string action = argv[2];
    if (action == "key" && argc < 4) return 2;

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    unsigned long window = 0;
    while (window == 0 || !IsWindowViewable(window)) {
        if (std::chrono::steady_clock::now() >= deadline) return 1;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        window = FindWindowByTitle(title);
    }
    const std::string id = std::to_string(window);
    // A desktop gives a new box the focus; a bare X server does not.
    TimedXdotool({"windowfocus", "--sync", id});
    if (action == "key") return TimedXdotool({"key", "--window", id, argv[3]}) == 0 ? 0 : 1;
    if (action == "click-middle") {
        int width = 0;
        int height = 0;
        if (!GetWindowSize(window, width, height)) return 1;
        return TimedXdotool({"mousemove", "--window", id, std::to_string(width / 2), std::to_string(height - 25),
                             "click", "1"}) == 0
                   ? 0
                   : 1;
    }
    return 2;
}
