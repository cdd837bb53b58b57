#pragma once
/// Sleeps and time. Every pause of the program goes through `Sleep`, and "now" through
/// `GetTickCount64`, so that a test can replace the clock with virtual time.

#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace platform {

class Clock
{
public:
    virtual ~Clock() = default;
    /// Milliseconds on a monotonic clock.
    virtual std::uint64_t now() = 0;
    /// Pauses the calling thread.
    virtual void sleep(std::uint32_t ms) = 0;
    /// Waits on `cv` (with `lock` held) until notified or until `now()` reaches `deadline`.
    /// May return early; callers re-check their condition and the time.
    virtual void waitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable_any& cv,
                           std::uint64_t deadline) = 0;
};

/// The steady system clock.
Clock& SystemClock();

/// The clock in use. Tests install their own and put back nullptr (the system clock).
Clock& CurrentClock();
void SetClock(Clock* clock);

inline void Sleep(std::uint32_t ms) { CurrentClock().sleep(ms); }
inline std::uint64_t GetTickCount64() { return CurrentClock().now(); }

} // namespace platform
