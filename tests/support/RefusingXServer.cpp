// A socket in the X server's place that takes each connection and closes it at once.
//
// Builds on AF_UNIX sockets and poll; the serving thread wakes every 50 ms to see whether to stop.
#include "RefusingXServer.h"

#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace vanta::test {
namespace {

constexpr const char* SOCKET_FOLDER = "/tmp/.X11-unix";

bool Exists(const std::string& path)
{
    struct stat info
    {};
    return ::stat(path.c_str(), &info) == 0;
}

} // namespace

RefusingXServer::RefusingXServer()
{
    if (!Exists(SOCKET_FOLDER) && ::mkdir(SOCKET_FOLDER, 01777) != 0) return;
    // Numbers far above the ones VirtualDisplay picks, spread by process.
    for (int number = 700 + static_cast<int>(::getpid() % 200), tries = 0; tries < 50; ++number, ++tries) {
        const std::string n = std::to_string(number);
        const std::string path = std::string(SOCKET_FOLDER) + "/X" + n;
        if (Exists("/tmp/.X" + n + "-lock") || Exists(path)) continue;
        const int listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (listener < 0) return;
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
        if (::bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
            ::listen(listener, 16) != 0) {
            ::close(listener);
            continue;
        }
        listener_ = listener;
        path_ = path;
        name_ = ":" + n;
        thread_ = std::thread([this] { Serve(); });
        return;
    }
}

RefusingXServer::~RefusingXServer()
{
    if (listener_ < 0) return;
    stop_.store(true);
    thread_.join();
    ::close(listener_);
    ::unlink(path_.c_str());
}

void RefusingXServer::Serve()
{
    while (!stop_.load()) {
        pollfd wait{listener_, POLLIN, 0};
        if (::poll(&wait, 1, 50) <= 0) continue;
        const int connection = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0) continue;
        // Counted before the close: the client sees the close, so a count taken after its last try
        // returns must already include that try.
        connections_.fetch_add(1);
        ::close(connection);
    }
}

} // namespace vanta::test
