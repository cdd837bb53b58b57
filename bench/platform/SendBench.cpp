// Synchronous sends: on the interface thread (a direct call through the handle table) and
// from another thread (a hop to the interface thread and back).
#include "platform/Window.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

class Echo final : public platform::MessageTarget
{
public:
    LRESULT WindowProc(UINT, WPARAM wParam, LPARAM) override { return static_cast<LRESULT>(wParam); }
};

void SendOnInterfaceThread(benchmark::State& state)
{
    Echo echo;
    const HWND window = platform::CreateWindow(&echo, "echo");
    WPARAM i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(platform::SendMessage(window, 0x721, ++i, 0));
    platform::DestroyWindow(window);
    state.counters["us_per_send"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * 1e-6,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(SendOnInterfaceThread);

/// Each iteration: a library thread sends `kBatch` messages while the interface thread runs
/// its event loop.
void SendFromAnotherThread(benchmark::State& state)
{
    constexpr int kBatch = 200;
    Echo echo;
    const HWND window = platform::CreateWindow(&echo, "echo");
    std::mutex mutex;
    std::condition_variable cv;
    int batches = 0;
    bool stop = false;
    std::atomic<int> done{0};
    std::thread sender([&] {
        int seen = 0;
        for (;;) {
            {
                std::unique_lock lock(mutex);
                cv.wait(lock, [&] { return stop || batches > seen; });
                if (stop)
                    return;
                ++seen;
            }
            for (int i = 0; i < kBatch; ++i)
                benchmark::DoNotOptimize(platform::SendMessage(window, 0x721, 1, 0));
            done.fetch_add(1);
        }
    });
    int expected = 0;
    for (auto _ : state) {
        {
            std::lock_guard lock(mutex);
            ++batches;
        }
        cv.notify_one();
        ++expected;
        while (done.load() < expected)
            QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
    {
        std::lock_guard lock(mutex);
        stop = true;
    }
    cv.notify_one();
    sender.join();
    platform::DestroyWindow(window);
    state.counters["us_per_send"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kBatch * 1e-6,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(SendFromAnotherThread)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    platform::StartInterfaceThread();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
