#include "shell/Termination.h"

#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace shell {

namespace {

int g_fds[2] = {-1, -1};

extern "C" void OnSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const auto written = write(g_fds[0], &byte, 1);
}

} // namespace

void InstallTerminationHandler(std::function<void()> onTerminate)
{
    if (g_fds[0] < 0 &&
        socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, g_fds) != 0)
        return;
    auto* notifier = new QSocketNotifier(g_fds[1], QSocketNotifier::Read);
    QObject::connect(notifier, &QSocketNotifier::activated, [onTerminate] {
        char bytes[16];
        while (read(g_fds[1], bytes, sizeof bytes) > 0) {
        }
        onTerminate();
    });
    struct sigaction action = {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int sig : {SIGTERM, SIGINT, SIGHUP})
        sigaction(sig, &action, nullptr);
}

} // namespace shell
