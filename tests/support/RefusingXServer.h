// A local X display whose server is there but drops every connection before the X handshake, as an X
// server does with the connections that arrive while it resets: the socket /tmp/.X11-unix/X<N> of a free
// display number, and a thread that accepts and closes.
//
// Builds on POSIX sockets. Part of the `vanta_test_support` library.
#pragma once

#include <atomic>
#include <string>
#include <thread>

namespace vanta::test {

class RefusingXServer
{
public:
    // Listens on a free display number; `Ready` is false when no socket could be made.
    RefusingXServer();
    // Stops listening and removes the socket.
    ~RefusingXServer();
    RefusingXServer(const RefusingXServer&) = delete;
    RefusingXServer& operator=(const RefusingXServer&) = delete;

    bool Ready() const { return listener_ >= 0; }
    // The display name (":N"), empty when not ready.
    const std::string& Name() const { return name_; }
    // How many connections were taken and dropped so far.
    int Connections() const { return connections_.load(); }

private:
    void Serve();

    int listener_ = -1;
    std::string path_;
    std::string name_;
    std::atomic<int> connections_{0};
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

} // namespace vanta::test
