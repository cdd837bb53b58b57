#include "VirtualClock.h"

#include <algorithm>
#include <numeric>

namespace fakes {

VirtualClock::VirtualClock(std::uint64_t start) : m_now(start) { platform::SetClock(this); }

VirtualClock::~VirtualClock() { platform::SetClock(nullptr); }

std::uint64_t VirtualClock::now()
{
    std::lock_guard lock(m_mutex);
    return m_now;
}

void VirtualClock::sleep(std::uint32_t ms)
{
    {
        std::lock_guard lock(m_mutex);
        m_pauses.push_back({ms, std::this_thread::get_id()});
    }
    advance(ms);
}

void VirtualClock::waitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable_any& cv,
                             std::uint64_t deadline)
{
    {
        std::lock_guard own(m_mutex);
        if (m_now >= deadline)
            return;
        m_waiters.push_back({lock.mutex(), &cv});
    }
    // advance() takes the waiter's mutex before it notifies, so this wait cannot miss it.
    cv.wait(lock);
    // Leave only when no advance() still holds a pointer to this waiter's cv.
    lock.unlock();
    {
        std::unique_lock own(m_mutex);
        const auto it = std::find_if(m_waiters.begin(), m_waiters.end(),
                                     [&](const Waiter& w) { return w.cv == &cv; });
        if (it != m_waiters.end())
            m_waiters.erase(it);
        m_idle.wait(own, [this] { return m_notifying == 0; });
    }
    lock.lock();
}

void VirtualClock::advance(std::uint64_t ms)
{
    std::vector<Waiter> waiters;
    {
        std::lock_guard lock(m_mutex);
        m_now += ms;
        waiters = m_waiters;
        ++m_notifying;
    }
    for (const Waiter& w : waiters) {
        {
            std::lock_guard theirs(*w.mutex);
        }
        w.cv->notify_all();
    }
    {
        std::lock_guard lock(m_mutex);
        --m_notifying;
    }
    m_idle.notify_all();
}

std::vector<VirtualClock::Pause> VirtualClock::pauses() const
{
    std::lock_guard lock(m_mutex);
    return m_pauses;
}

std::vector<std::uint32_t> VirtualClock::pauseLengths() const
{
    std::lock_guard lock(m_mutex);
    std::vector<std::uint32_t> out;
    for (const Pause& p : m_pauses)
        out.push_back(p.ms);
    return out;
}

std::uint64_t VirtualClock::totalPaused() const
{
    std::lock_guard lock(m_mutex);
    return std::accumulate(m_pauses.begin(), m_pauses.end(), std::uint64_t{0},
                           [](std::uint64_t sum, const Pause& p) { return sum + p.ms; });
}

void VirtualClock::clearPauses()
{
    std::lock_guard lock(m_mutex);
    m_pauses.clear();
}

} // namespace fakes
