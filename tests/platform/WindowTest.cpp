#include "platform/Window.h"

#include "Wait.h"

#include <gtest/gtest.h>

#include <QProcess>

#include <atomic>
#include <thread>
#include <vector>

namespace {

using namespace platform;

class Recorder final : public MessageTarget
{
public:
    struct Seen
    {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        std::thread::id thread;
    };
    Recorder() : handle(CreateWindow(this, "recorder")) {}
    ~Recorder() override { DestroyWindow(handle); }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        seen.push_back({message, wParam, lParam, std::this_thread::get_id()});
        ++count;
        return static_cast<LRESULT>(wParam) * 10;
    }

    HWND handle;
    std::vector<Seen> seen; // written on the interface thread only
    std::atomic<int> count{0};
};

TEST(Messages, sendOnTheInterfaceThreadCallsAtOnce)
{
    Recorder target;
    EXPECT_EQ(SendMessage(target.handle, 0x721, 4, 99), 40);
    ASSERT_EQ(target.seen.size(), 1u);
    EXPECT_EQ(target.seen[0].message, 0x721u);
    EXPECT_EQ(target.seen[0].lParam, 99);
    EXPECT_EQ(target.seen[0].thread, std::this_thread::get_id());
}

TEST(Messages, sendFromAnotherThreadRunsOnTheInterfaceThreadAndWaits)
{
    Recorder target;
    std::atomic<LRESULT> result{-1};
    std::thread sender([&] { result = SendMessage(target.handle, 0x466, 7, 4); });
    ASSERT_TRUE(fakes::WaitUntil([&] { return result.load() != -1; }));
    sender.join();
    EXPECT_EQ(result.load(), 70);
    ASSERT_EQ(target.seen.size(), 1u);
    EXPECT_EQ(target.seen[0].thread, std::this_thread::get_id());
}

TEST(Messages, handleZeroAndDestroyedTargetsDoNothing)
{
    auto target = std::make_unique<Recorder>();
    const HWND gone = target->handle;
    target.reset();
    EXPECT_EQ(SendMessage(0, 0x466, 1, 0), 0);
    EXPECT_EQ(SendMessage(gone, 0x466, 1, 0), 0);
    EXPECT_FALSE(PostMessage(0, 0x466, 1, 0));
    EXPECT_FALSE(PostMessage(gone, 0x466, 1, 0));
    EXPECT_FALSE(IsWindow(gone));
    EXPECT_EQ(SetTimer(gone, 1, 10), 0u);

    LRESULT fromThread = -1;
    std::thread([&] { fromThread = SendMessage(gone, 0x466, 1, 0); }).join();
    EXPECT_EQ(fromThread, 0);
}

TEST(Messages, aPostedMessageToATargetDestroyedMeanwhileIsDropped)
{
    auto target = std::make_unique<Recorder>();
    ASSERT_TRUE(PostMessage(target->handle, 0x468, 0, 0));
    target.reset();
    ProcessPostedMessages(); // must not touch the destroyed target
    SUCCEED();
}

TEST(Messages, postQueuesInOrder)
{
    Recorder target;
    EXPECT_TRUE(PostMessage(target.handle, 0x468, 1, 0));
    EXPECT_TRUE(PostMessage(target.handle, 0x468, 2, 0));
    EXPECT_TRUE(target.seen.empty());
    ProcessPostedMessages();
    ASSERT_EQ(target.seen.size(), 2u);
    EXPECT_EQ(target.seen[0].wParam, 1u);
    EXPECT_EQ(target.seen[1].wParam, 2u);
}

TEST(Messages, findWindowByTitle)
{
    Recorder first;
    Recorder second;
    SetWindowText(second.handle, "_ADAPTER_COMMAND_WND_~!@#$%^_");
    EXPECT_EQ(FindWindow("_ADAPTER_COMMAND_WND_~!@#$%^_"), second.handle);
    EXPECT_EQ(FindWindow("recorder"), first.handle);
    EXPECT_EQ(FindWindow("nobody"), 0u);
    EXPECT_EQ(GetWindowText(second.handle), "_ADAPTER_COMMAND_WND_~!@#$%^_");
}

TEST(Timers, deliverWmTimerUntilKilledOrDestroyed)
{
    auto target = std::make_unique<Recorder>();
    const HWND handle = target->handle;
    EXPECT_EQ(SetTimer(handle, 1001, 1000), 1001u);
    EXPECT_EQ(SetTimer(handle, 1003, 3000), 1003u);
    EXPECT_EQ(TimerInterval(handle, 1001), 1000u);
    EXPECT_EQ(SetTimer(handle, 1001, 500), 1001u); // restarting replaces the interval
    EXPECT_EQ(TimerInterval(handle, 1001), 500u);
    EXPECT_TRUE(KillTimer(handle, 1001));
    EXPECT_FALSE(KillTimer(handle, 1001));
    EXPECT_FALSE(TimerInterval(handle, 1001).has_value());

    ASSERT_EQ(SetTimer(handle, 9, 0), 9u); // a zero interval fires on the next loop pass
    ASSERT_TRUE(fakes::WaitUntil([&] { return target->count.load() > 0; }));
    EXPECT_EQ(target->seen[0].message, WM_TIMER);
    EXPECT_EQ(target->seen[0].wParam, 9u);

    target.reset();
    EXPECT_FALSE(TimerInterval(handle, 1003).has_value());
}

TEST(Messages, stoppingReleasesEverySenderAndRefusesNewOnes)
{
    Recorder target;
    constexpr int kThreads = 4;
    std::atomic<bool> sending{true};
    std::atomic<int> started{0};
    std::atomic<int> zeroResults{0};
    std::vector<std::thread> senders;
    for (int i = 0; i < kThreads; ++i) {
        senders.emplace_back([&] {
            ++started;
            while (sending) {
                if (SendMessage(target.handle, 0x466, 1, 0) == 0)
                    ++zeroResults;
            }
        });
    }
    // Let some sends through, then stop without taking any more messages.
    ASSERT_TRUE(fakes::WaitUntil([&] { return target.count.load() > 20 && started == kThreads; }));
    StopInterfaceThread();
    const int handledAtStop = target.count.load();
    ASSERT_TRUE(fakes::WaitUntil([&] { return zeroResults.load() > 100; }, 20000));
    sending = false;
    for (auto& t : senders)
        t.join();

    // Sends queued before the stop are never run afterwards.
    ProcessPostedMessages();
    EXPECT_EQ(target.count.load(), handledAtStop);
    LRESULT late = -1;
    std::thread([&] { late = SendMessage(target.handle, 0x466, 1, 0); }).join();
    EXPECT_EQ(late, 0);

    StartInterfaceThread();
    std::thread([&] { late = SendMessage(target.handle, 0x466, 2, 0); }).detach();
    EXPECT_TRUE(fakes::WaitUntil([&] { return late == 20; }));
}

TEST(Messages, libraryThreadsSendingWhileTheProgramEndsNeitherHangNorCrash)
{
    QProcess probe;
    probe.start(QStringLiteral(QUELMAR_SEND_AT_EXIT_PROBE), {});
    ASSERT_TRUE(probe.waitForFinished(60000)) << "the program did not end";
    EXPECT_EQ(probe.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(probe.exitCode(), 0) << probe.readAllStandardError().toStdString();
}

} // namespace
