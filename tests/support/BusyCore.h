// Keeps one processor core busy while it lives, as other work on a player's machine would: a thread that
// spins at normal priority without pausing. Tests of timing-dependent start-up run under it.
#pragma once

#include <atomic>
#include <thread>

namespace vanta::test {

class BusyCore
{
public:
    BusyCore()
        : thread_([this] {
              while (!stop_.load(std::memory_order_relaxed)) {}
          })
    {}
    ~BusyCore()
    {
        stop_.store(true, std::memory_order_relaxed);
        thread_.join();
    }
    BusyCore(const BusyCore&) = delete;
    BusyCore& operator=(const BusyCore&) = delete;

private:
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

} // namespace vanta::test
