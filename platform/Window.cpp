#include "platform/Window.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QObject>
#include <QTimerEvent>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <unordered_map>
#include <vector>

namespace platform {
namespace {

struct Target
{
    MessageTarget* target = nullptr;
    std::string title;
};

std::mutex g_registryMutex;
std::unordered_map<HWND, Target> g_targets;
HWND g_nextHandle = 1;

/// A call waiting for the interface thread. Once it has started it always runs to its end,
/// so a sender never returns while its arguments are still in use.
struct CallJob
{
    enum State { Queued, Running, Done, Cancelled };
    std::function<LRESULT()> call;
    State state = Queued;
    LRESULT result = 0;
};

std::mutex g_callMutex;
std::condition_variable g_callDone;
bool g_accepting = false;
std::atomic<std::thread::id> g_interfaceThread{};

const QEvent::Type kCallEvent = static_cast<QEvent::Type>(QEvent::User + 0x51);
const QEvent::Type kPostEvent = static_cast<QEvent::Type>(QEvent::User + 0x52);

struct CallEvent : QEvent
{
    explicit CallEvent(std::shared_ptr<CallJob> j) : QEvent(kCallEvent), job(std::move(j)) {}
    std::shared_ptr<CallJob> job;
};

struct PostEvent : QEvent
{
    PostEvent(HWND w, UINT m, WPARAM wp, LPARAM lp)
        : QEvent(kPostEvent), window(w), message(m), wParam(wp), lParam(lp)
    {
    }
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

/// The message loops running on the interface thread, innermost last.
struct ActiveLoop
{
    QEventLoop* loop;
    LoopEnd end;
};
std::vector<ActiveLoop*> g_loops;

LRESULT Deliver(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    MessageTarget* target = nullptr;
    {
        std::lock_guard lock(g_registryMutex);
        const auto it = g_targets.find(window);
        if (it != g_targets.end())
            target = it->second.target;
    }
    return target ? target->WindowProc(message, wParam, lParam) : 0;
}

/// Lives on the interface thread: runs cross-thread calls, posted messages and timers.
class Dispatcher final : public QObject
{
public:
    struct TimerKey
    {
        HWND window;
        UINT id;
        bool operator<(const TimerKey& o) const
        {
            return window != o.window ? window < o.window : id < o.id;
        }
    };
    struct TimerInfo
    {
        int qtId;
        UINT interval;
    };

    std::map<TimerKey, TimerInfo> timers;
    std::unordered_map<int, TimerKey> byQtId;

    UINT setTimer(HWND window, UINT id, UINT ms)
    {
        killTimerOf(window, id);
        const int qtId = startTimer(static_cast<int>(ms), Qt::PreciseTimer);
        if (qtId == 0)
            return 0;
        timers[{window, id}] = {qtId, ms};
        byQtId[qtId] = {window, id};
        return id;
    }

    bool killTimerOf(HWND window, UINT id)
    {
        const auto it = timers.find({window, id});
        if (it == timers.end())
            return false;
        killTimer(it->second.qtId);
        byQtId.erase(it->second.qtId);
        timers.erase(it);
        return true;
    }

    void killTimersOf(HWND window)
    {
        for (auto it = timers.lower_bound({window, 0}); it != timers.end() && it->first.window == window;) {
            killTimer(it->second.qtId);
            byQtId.erase(it->second.qtId);
            it = timers.erase(it);
        }
    }

protected:
    bool event(QEvent* e) override
    {
        if (e->type() == kCallEvent) {
            RunJob(*static_cast<CallEvent*>(e)->job);
            return true;
        }
        if (e->type() == kPostEvent) {
            auto* p = static_cast<PostEvent*>(e);
            if (p->message == WM_CLOSE && !g_loops.empty()) {
                ActiveLoop* active = g_loops.back();
                if (!active->end.closed) {
                    active->end = LoopEnd{true, p->window, p->lParam};
                    active->loop->exit(0);
                    return true;
                }
            }
            Deliver(p->window, p->message, p->wParam, p->lParam);
            return true;
        }
        return QObject::event(e);
    }

    void timerEvent(QTimerEvent* e) override
    {
        const auto it = byQtId.find(e->timerId());
        if (it == byQtId.end())
            return;
        const TimerKey key = it->second;
        Deliver(key.window, WM_TIMER, key.id, 0);
    }

private:
    static void RunJob(CallJob& job)
    {
        {
            std::lock_guard lock(g_callMutex);
            if (job.state != CallJob::Queued || !g_accepting)
                return;
            job.state = CallJob::Running;
        }
        const LRESULT result = job.call();
        {
            std::lock_guard lock(g_callMutex);
            job.result = result;
            job.state = CallJob::Done;
        }
        g_callDone.notify_all();
    }
};

Dispatcher* g_dispatcher = nullptr; // owned by the interface thread

void StopAtAppExit()
{
    StopInterfaceThread();
    delete g_dispatcher;
    g_dispatcher = nullptr;
    // The thread stays the interface thread: later sends from others return 0.
}

} // namespace

void StartInterfaceThread()
{
    if (!g_dispatcher) {
        g_dispatcher = new Dispatcher;
        qAddPostRoutine(StopAtAppExit);
        if (auto* app = QCoreApplication::instance())
            QObject::connect(app, &QCoreApplication::aboutToQuit, g_dispatcher,
                             [] { StopInterfaceThread(); });
    }
    g_interfaceThread.store(std::this_thread::get_id());
    std::lock_guard lock(g_callMutex);
    g_accepting = true;
}

void StopInterfaceThread()
{
    {
        std::lock_guard lock(g_callMutex);
        g_accepting = false;
    }
    g_callDone.notify_all();
}

bool IsInterfaceThread()
{
    const auto id = g_interfaceThread.load();
    return id == std::thread::id{} || id == std::this_thread::get_id();
}

LRESULT InvokeOnInterfaceThread(const std::function<LRESULT()>& call)
{
    if (IsInterfaceThread())
        return call();
    auto job = std::make_shared<CallJob>();
    job->call = call;
    std::unique_lock lock(g_callMutex);
    if (!g_accepting || !g_dispatcher)
        return 0;
    QCoreApplication::postEvent(g_dispatcher, new CallEvent(job));
    g_callDone.wait(lock, [&] {
        return job->state == CallJob::Done || (job->state == CallJob::Queued && !g_accepting);
    });
    if (job->state != CallJob::Done) {
        job->state = CallJob::Cancelled;
        return 0;
    }
    return job->result;
}

HWND CreateWindow(MessageTarget* target, std::string_view title)
{
    std::lock_guard lock(g_registryMutex);
    const HWND handle = g_nextHandle++;
    g_targets[handle] = Target{target, std::string(title)};
    return handle;
}

void DestroyWindow(HWND window)
{
    if (window == 0)
        return;
    InvokeOnInterfaceThread([window]() -> LRESULT {
        if (g_dispatcher)
            g_dispatcher->killTimersOf(window);
        return 0;
    });
    std::lock_guard lock(g_registryMutex);
    g_targets.erase(window);
}

bool IsWindow(HWND window)
{
    std::lock_guard lock(g_registryMutex);
    return g_targets.count(window) != 0;
}

HWND FindWindow(std::string_view title)
{
    std::lock_guard lock(g_registryMutex);
    HWND found = 0;
    for (const auto& [handle, t] : g_targets) {
        if (t.title == title && (found == 0 || handle < found))
            found = handle;
    }
    return found;
}

std::string GetWindowText(HWND window)
{
    std::lock_guard lock(g_registryMutex);
    const auto it = g_targets.find(window);
    return it == g_targets.end() ? std::string() : it->second.title;
}

void SetWindowText(HWND window, std::string_view title)
{
    std::lock_guard lock(g_registryMutex);
    const auto it = g_targets.find(window);
    if (it != g_targets.end())
        it->second.title = std::string(title);
}

LRESULT SendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (window == 0 || !IsWindow(window))
        return 0;
    return InvokeOnInterfaceThread(
        [=]() -> LRESULT { return Deliver(window, message, wParam, lParam); });
}

bool PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (window == 0 || !IsWindow(window))
        return false;
    std::lock_guard lock(g_callMutex);
    if (!g_accepting || !g_dispatcher)
        return false;
    QCoreApplication::postEvent(g_dispatcher, new PostEvent(window, message, wParam, lParam));
    return true;
}

void ProcessPostedMessages()
{
    if (g_dispatcher && IsInterfaceThread())
        QCoreApplication::sendPostedEvents(g_dispatcher);
}

LoopEnd RunMessageLoop()
{
    QEventLoop loop;
    ActiveLoop active{&loop, {}};
    QMetaObject::Connection quit;
    if (auto* app = QCoreApplication::instance())
        quit = QObject::connect(app, &QCoreApplication::aboutToQuit, &loop, &QEventLoop::quit);
    g_loops.push_back(&active);
    loop.exec();
    g_loops.erase(std::find(g_loops.begin(), g_loops.end(), &active));
    QObject::disconnect(quit);
    return active.end;
}

UINT SetTimer(HWND window, UINT id, UINT elapseMs)
{
    if (!IsWindow(window))
        return 0;
    return static_cast<UINT>(InvokeOnInterfaceThread([=]() -> LRESULT {
        return g_dispatcher ? g_dispatcher->setTimer(window, id, elapseMs) : 0;
    }));
}

bool KillTimer(HWND window, UINT id)
{
    return InvokeOnInterfaceThread([=]() -> LRESULT {
               return g_dispatcher && g_dispatcher->killTimerOf(window, id);
           }) != 0;
}

std::optional<UINT> TimerInterval(HWND window, UINT id)
{
    std::optional<UINT> interval;
    InvokeOnInterfaceThread([&]() -> LRESULT {
        if (g_dispatcher) {
            const auto it = g_dispatcher->timers.find({window, id});
            if (it != g_dispatcher->timers.end())
                interval = it->second.interval;
        }
        return 0;
    });
    return interval;
}

} // namespace platform
