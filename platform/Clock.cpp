#include "platform/Clock.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace platform {
namespace {

class SteadyClock final : public Clock
{
public:
    std::uint64_t now() override
    {
        using namespace std::chrono;
        return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    }
    void sleep(std::uint32_t ms) override
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }
    void waitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable_any& cv,
                   std::uint64_t deadline) override
    {
        const std::uint64_t t = now();
        if (t >= deadline)
            return;
        cv.wait_for(lock, std::chrono::milliseconds(deadline - t));
    }
};

std::atomic<Clock*> g_clock{nullptr};

} // namespace

Clock& SystemClock()
{
    static SteadyClock clock;
    return clock;
}

Clock& CurrentClock()
{
    Clock* c = g_clock.load(std::memory_order_acquire);
    return c ? *c : SystemClock();
}

void SetClock(Clock* clock) { g_clock.store(clock, std::memory_order_release); }

} // namespace platform
