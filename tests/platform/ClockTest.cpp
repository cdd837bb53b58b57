#include "platform/Clock.h"

#include "VirtualClock.h"
#include "platform/Trace.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

TEST(VirtualClock, pausesCostNothingAndAreRecordedWithTheirThread)
{
    fakes::VirtualClock clock(5000);
    EXPECT_EQ(&platform::CurrentClock(), &clock);
    platform::Sleep(2000);
    std::thread::id worker;
    std::thread([&] {
        worker = std::this_thread::get_id();
        platform::Sleep(1500);
    }).join();
    EXPECT_EQ(platform::GetTickCount64(), 8500u);
    const auto pauses = clock.pauses();
    ASSERT_EQ(pauses.size(), 2u);
    EXPECT_EQ(pauses[0].ms, 2000u);
    EXPECT_EQ(pauses[0].thread, std::this_thread::get_id());
    EXPECT_EQ(pauses[1].ms, 1500u);
    EXPECT_EQ(pauses[1].thread, worker);
    EXPECT_EQ(clock.totalPaused(), 3500u);
}

TEST(VirtualClock, restoresTheSystemClock)
{
    {
        fakes::VirtualClock clock;
    }
    EXPECT_EQ(&platform::CurrentClock(), &platform::SystemClock());
}

TEST(VirtualClock, waitersWakeWhenTimeReachesTheirDeadline)
{
    fakes::VirtualClock clock(0);
    std::mutex mutex;
    std::condition_variable_any cv;
    std::atomic<bool> woke{false};
    std::atomic<bool> waiting{false};
    std::thread waiter([&] {
        std::unique_lock lock(mutex);
        waiting = true;
        while (platform::GetTickCount64() < 3000)
            platform::CurrentClock().waitUntil(lock, cv, 3000);
        woke = true;
    });
    while (!waiting)
        std::this_thread::yield();
    clock.advance(1000);
    EXPECT_FALSE(woke.load());
    platform::Sleep(2000); // a pause on another thread moves time for everyone
    waiter.join();
    EXPECT_TRUE(woke.load());
}

TEST(Trace, linesGoToTheInstalledSink)
{
    std::string captured;
    platform::SetTraceSink([&](std::string_view line) { captured += line; });
    platform::Trace("CAdapter::DoConnect()\n");
    platform::Trace("(WPS) m_nPage = %d\n", 3);
    platform::SetTraceSink({});
    platform::Trace("not captured\n");
    EXPECT_EQ(captured, "CAdapter::DoConnect()\n(WPS) m_nPage = 3\n");
}

} // namespace
