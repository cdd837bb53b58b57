#pragma once
// Virtual time for tests: a pause costs nothing, moves the clock on and is recorded with
// the thread it ran on.

#include "platform/Clock.h"

#include <thread>
#include <vector>

namespace fakes {

class VirtualClock final : public platform::Clock
{
public:
    struct Pause
    {
        std::uint32_t ms;
        std::thread::id thread;
    };

    /// Installs itself as the process clock; the destructor puts the system clock back.
    explicit VirtualClock(std::uint64_t start = 1'000'000);
    ~VirtualClock() override;

    std::uint64_t now() override;
    void sleep(std::uint32_t ms) override;
    void waitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable_any& cv,
                   std::uint64_t deadline) override;

    /// Moves time on and wakes every waiter.
    void advance(std::uint64_t ms);

    std::vector<Pause> pauses() const;
    /// The pauses' lengths, in order.
    std::vector<std::uint32_t> pauseLengths() const;
    std::uint64_t totalPaused() const;
    void clearPauses();

private:
    struct Waiter
    {
        std::mutex* mutex;
        std::condition_variable_any* cv;
    };
    mutable std::mutex m_mutex;
    std::uint64_t m_now;
    std::vector<Pause> m_pauses;
    std::vector<Waiter> m_waiters;
    int m_notifying = 0;
    std::condition_variable m_idle;
};

} // namespace fakes
