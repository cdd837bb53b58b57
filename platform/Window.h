#pragma once
/// Window handles and messages on Qt's event loop.
///
/// A message target registers itself and receives a small integer handle. `SendMessage` is
/// synchronous: on the interface thread it calls the target at once; from any other thread
/// it runs the call on the interface thread and the caller waits for the result.
/// `PostMessage` queues the call. A message to handle 0 or to a target that no longer exists
/// does nothing and returns 0. Once the interface thread stops taking messages, pending and
/// new sends from other threads return 0 at once.
///
/// Targets are registered and destroyed on the interface thread.

#include "platform/Types.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

/// Anything that receives window messages.
class MessageTarget
{
public:
    virtual ~MessageTarget() = default;
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) = 0;
};

/// Makes the calling thread the interface thread. Needs a QCoreApplication on this thread.
/// Called once by each program's start-up and by test mains; later calls from the same
/// thread only re-open a stopped message loop.
void StartInterfaceThread();

/// Stops taking messages from other threads: pending and later cross-thread sends return 0.
/// Runs by itself when the QCoreApplication is about to quit or is destroyed.
void StopInterfaceThread();

/// True on the interface thread (and on any thread while no interface thread was started).
bool IsInterfaceThread();

/// Registers a target; `title` names it for FindWindow. Returns its handle (never 0).
HWND CreateWindow(MessageTarget* target, std::string_view title);

/// Unregisters the target and kills its timers. Messages to it return 0 from then on.
void DestroyWindow(HWND window);

bool IsWindow(HWND window);

/// First live target of this process with exactly this title, or 0.
HWND FindWindow(std::string_view title);

std::string GetWindowText(HWND window);
void SetWindowText(HWND window, std::string_view title);

/// Runs `call` on the interface thread and waits for its result (at once when already on
/// it). Returns 0 without running it once the interface thread stopped taking calls.
LRESULT InvokeOnInterfaceThread(const std::function<LRESULT()>& call);

LRESULT SendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

/// Queues the message for the interface thread. Returns nonzero when it was queued.
bool PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

/// Runs every message queued for the interface thread so far (interface thread only).
void ProcessPostedMessages();

/// What ended a message loop.
struct LoopEnd
{
    bool closed = false; ///< a posted WM_CLOSE ended it (false: the application quit)
    HWND window = 0;     ///< the window the WM_CLOSE was addressed to
    LPARAM lParam = 0;
};

/// Runs the interface thread's messages until a posted WM_CLOSE is fetched (to any window;
/// it is not dispatched) or the application quits. Loops nest; the innermost one takes the
/// close. Interface thread only.
LoopEnd RunMessageLoop();

/// Starts or restarts timer `id` of the window: WM_TIMER with wParam `id` every `elapseMs`.
/// Returns `id`, or 0 when the window does not exist.
UINT SetTimer(HWND window, UINT id, UINT elapseMs);
bool KillTimer(HWND window, UINT id);

/// The interval of a running timer, for tests and diagnostics.
std::optional<UINT> TimerInterval(HWND window, UINT id);

} // namespace platform
