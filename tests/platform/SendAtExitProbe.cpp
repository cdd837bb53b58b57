// A program whose library threads keep sending to the interface thread while it ends.
// Exits 0 when every sender returned and every send after the end returned 0.
#include "platform/Window.h"

#include <QCoreApplication>
#include <QTimer>

#include <atomic>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

class Counter final : public platform::MessageTarget
{
public:
    LRESULT WindowProc(UINT, WPARAM, LPARAM) override { return ++handled; }
    std::atomic<int> handled{0};
};

} // namespace

int main(int argc, char** argv)
{
    std::atomic<bool> run{true};
    std::atomic<int> afterEnd{0};
    std::atomic<bool> ended{false};
    std::atomic<int> nonZeroAfterEnd{0};
    std::vector<std::thread> senders;
    Counter counter;
    {
        QCoreApplication app(argc, argv);
        platform::StartInterfaceThread();
        const HWND window = platform::CreateWindow(&counter, "counter");
        for (int i = 0; i < 4; ++i) {
            senders.emplace_back([&, window] {
                while (run) {
                    const bool wasEnded = ended;
                    const LRESULT r = platform::SendMessage(window, 0x466, 0, 0);
                    if (wasEnded) {
                        ++afterEnd;
                        if (r != 0)
                            ++nonZeroAfterEnd;
                    }
                }
            });
        }
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (counter.handled > 200)
                app.quit();
        });
        poll.start(0);
        app.exec();
        ended = true;
    } // the application object goes away while the threads still send
    while (afterEnd < 1000)
        std::this_thread::yield();
    run = false;
    for (auto& t : senders)
        t.join();
    if (nonZeroAfterEnd != 0) {
        std::fprintf(stderr, "%d sends after the end were answered\n", nonZeroAfterEnd.load());
        return 1;
    }
    return 0;
}
