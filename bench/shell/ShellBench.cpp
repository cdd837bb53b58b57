// Figures of the application shell, in process on the simulated world (libMirodel, the
// default Sorvik.dll and OEM.rec of the program directory), offscreen, with a notification
// area that records when the icon arrives:
// - start to tray icon: start-up, OEM-mode selection and the main window up to the icon,
//   with the start-up's fixed pauses (1.5 s per name, 3 s before the open, 1.5 s for the
//   found card) taken out;
// - resident memory after start with the window hidden, and after showing it;
// - CPU used over an idle minute with the window hidden (QUELMAR_BENCH_IDLE_SECONDS changes
//   the length).
#include "platform/Clock.h"
#include "platform/System.h"
#include "platform/Window.h"
#include "shell/NotifyIcon.h"
#include "shell/SystemTray.h"
#include "shell/TavoroApp.h"
#include "shell/TavoroDlg.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

namespace {

/// Real time, but the fixed pauses cost nothing.
class NoPauseClock final : public platform::Clock
{
public:
    std::uint64_t now() override { return platform::SystemClock().now(); }
    void sleep(std::uint32_t) override {}
    void waitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable_any& cv,
                   std::uint64_t deadline) override
    {
        platform::SystemClock().waitUntil(lock, cv, deadline);
    }
};

class RecordingTray final : public shell::NotifyIconService
{
public:
    QElapsedTimer sinceStart;
    qint64 addedAtNs = -1;
    bool present = false;
    bool Add(const shell::NotifyIconData&) override
    {
        if (present)
            return false;
        present = true;
        if (addedAtNs < 0)
            addedAtNs = sinceStart.nsecsElapsed();
        return true;
    }
    bool Modify(const shell::NotifyIconData&) override { return present; }
    bool Delete(const shell::NotifyIconData&) override
    {
        const bool had = present;
        present = false;
        return had;
    }
    UINT TrackPopupMenu(const std::vector<PopupItem>&, QPoint, QWidget*) override { return 0; }
};

double ResidentMiB()
{
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) /
           (1024.0 * 1024.0);
}

double CpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void RunEventsFor(int ms)
{
    QTimer::singleShot(ms, [] { QCoreApplication::quit(); });
    QCoreApplication::exec();
    platform::StartInterfaceThread(); // quitting stops cross-thread sends; take them again
}

struct Session
{
    QTemporaryDir channel;
    RecordingTray tray;
    std::unique_ptr<CTavoroApp> app;

    bool Start()
    {
        shell::SetNotifyIconService(&tray);
        tray.sinceStart.start();
        app = std::make_unique<CTavoroApp>(channel.path().toStdString());
        return app->StartUp() && app->RunSelection() && app->CreateMainWindow() &&
               tray.addedAtNs >= 0;
    }
    ~Session()
    {
        if (app && app->MainWindow()) {
            app->MainWindow()->Exit();
            platform::RunMessageLoop();
        }
        app.reset();
        shell::SetNotifyIconService(nullptr);
    }
};

void BM_StartToTrayIcon(benchmark::State& state)
{
    for (auto _ : state) {
        Session session;
        if (!session.Start()) {
            state.SkipWithError("the program did not reach its icon");
            return;
        }
        state.SetIterationTime(static_cast<double>(session.tray.addedAtNs) / 1e9);
    }
}
BENCHMARK(BM_StartToTrayIcon)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_ResidentMemory(benchmark::State& state)
{
    for (auto _ : state) {
        const double before = ResidentMiB();
        Session session;
        if (!session.Start()) {
            state.SkipWithError("the program did not reach its icon");
            return;
        }
        RunEventsFor(300);
        const double hidden = ResidentMiB();
        session.app->MainWindow()->OnCommand(ID_TRAY_OPEN);
        RunEventsFor(300);
        const double shown = ResidentMiB();
        state.counters["rss_before_MiB"] = before;
        state.counters["rss_hidden_MiB"] = hidden;
        state.counters["rss_shown_MiB"] = shown;
    }
}
BENCHMARK(BM_ResidentMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_IdleCpuHidden(benchmark::State& state)
{
    const char* env = std::getenv("QUELMAR_BENCH_IDLE_SECONDS");
    const int seconds = env ? std::max(1, std::atoi(env)) : 60;
    for (auto _ : state) {
        Session session;
        if (!session.Start()) {
            state.SkipWithError("the program did not reach its icon");
            return;
        }
        RunEventsFor(500); // let the start-up settle
        const double cpu = CpuSeconds();
        RunEventsFor(seconds * 1000);
        const double used = CpuSeconds() - cpu;
        state.counters["idle_s"] = seconds;
        state.counters["cpu_ms"] = used * 1000.0;
        state.counters["cpu_percent"] = used * 100.0 / seconds;
    }
}
BENCHMARK(BM_IdleCpuHidden)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    platform::StartInterfaceThread();
    platform::SetProgramDirectory(QUELMAR_BIN_DIR);
    QTemporaryDir config;
    setenv("XDG_CONFIG_HOME", config.path().toLocal8Bit().constData(), 1);
    NoPauseClock clock;
    platform::SetClock(&clock);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    platform::SetClock(nullptr);
    return 0;
}
