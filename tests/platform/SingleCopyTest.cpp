#include "platform/SingleCopy.h"

#include "TempDir.h"
#include "VirtualClock.h"
#include "platform/VersionInfo.h"
#include "platform/Window.h"

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

QUELMAR_FILE_VERSION(3, 14, 15, 92);

namespace {

using namespace platform;

class Window final : public MessageTarget
{
public:
    explicit Window(const char* title) : handle(CreateWindow(this, title)) {}
    ~Window() override { DestroyWindow(handle); }
    LRESULT WindowProc(UINT message, WPARAM, LPARAM) override
    {
        received.push_back(message);
        return 0;
    }
    HWND handle;
    std::vector<UINT> received;
};

TEST(SingleCopy, aLaterCopyFindsTheRunningCopysWindowAndBringsItUp)
{
    fakes::TempDir dir;
    fakes::VirtualClock clock;
    SingleCopyChannel running("Tavoro", dir.path());
    ASSERT_TRUE(running.claim());
    Window selection("Wireless Utility");

    SingleCopyChannel later("Tavoro", dir.path());
    EXPECT_FALSE(later.claim());
    EXPECT_FALSE(later.remoteWindowExists("Wireless Configuration Utility"));
    EXPECT_TRUE(later.remoteWindowExists("Wireless Utility"));
    EXPECT_TRUE(later.postToRemote("Wireless Utility", WM_BRING_UP));
    EXPECT_FALSE(later.postToRemote("Wireless Utility", WM_CLOSE)) << "only 0x468 is admitted";
    EXPECT_FALSE(later.postToRemote("nobody", WM_BRING_UP));

    ProcessPostedMessages();
    EXPECT_EQ(selection.received, std::vector<UINT>{WM_BRING_UP});

    struct stat st;
    ASSERT_EQ(stat(dir.path().c_str(), &st), 0);
    ASSERT_EQ(stat((dir / "Tavoro.sock").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0077, 0u);
}

TEST(SingleCopy, ofCopiesStartingTogetherExactlyOneRuns)
{
    fakes::TempDir dir;
    constexpr int kCopies = 8;
    std::vector<std::unique_ptr<SingleCopyChannel>> copies;
    for (int i = 0; i < kCopies; ++i)
        copies.push_back(std::make_unique<SingleCopyChannel>("Tavoro", dir.path()));
    std::atomic<int> winners{0};
    std::vector<std::thread> starts;
    for (auto& copy : copies)
        starts.emplace_back([&] { winners += copy->claim() ? 1 : 0; });
    for (auto& t : starts)
        t.join();
    EXPECT_EQ(winners.load(), 1);
}

TEST(SingleCopy, aStaleSocketOfACrashedCopyDoesNotStopTheNextStart)
{
    fakes::TempDir dir;
    // A socket file nobody listens on, as a crashed copy leaves it.
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strcpy(address.sun_path, (dir / "Tavoro.sock").c_str());
    ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    close(fd);
    chmod(dir.path().c_str(), 0700);

    {
        SingleCopyChannel crashed("Tavoro", dir.path());
        ASSERT_TRUE(crashed.claim());
    } // its lock goes with it
    SingleCopyChannel next("Tavoro", dir.path());
    ASSERT_TRUE(next.claim());
    Window main("Wireless Configuration Utility");
    fakes::VirtualClock clock;
    SingleCopyChannel later("Tavoro", dir.path());
    EXPECT_TRUE(later.remoteWindowExists("Wireless Configuration Utility"));
}

TEST(SingleCopy, refusesAFolderOthersCanEnter)
{
    fakes::TempDir dir;
    chmod(dir.path().c_str(), 0777);
    SingleCopyChannel channel("Tavoro", dir.path());
    EXPECT_FALSE(channel.claim());
}

TEST(MessageLoop, aPostedCloseEndsTheInnermostLoopUndispatched)
{
    Window dialog("Select Card");
    PostMessage(dialog.handle, 0x468, 0, 0);
    PostMessage(dialog.handle, WM_CLOSE, 0, 1);
    const LoopEnd end = RunMessageLoop();
    EXPECT_TRUE(end.closed);
    EXPECT_EQ(end.window, dialog.handle);
    EXPECT_EQ(end.lParam, 1);
    EXPECT_EQ(dialog.received, std::vector<UINT>{0x468}); // the close itself is not dispatched

    // A close posted from another thread (the search worker) ends it as well.
    std::thread([&] { PostMessage(dialog.handle, WM_CLOSE, 0, 0); }).join();
    EXPECT_EQ(RunMessageLoop().lParam, 0);
}

TEST(VersionInfo, readsTheVersionTheProgramFileCarries)
{
    EXPECT_EQ(FileVersionText(), "3.14.15.92");
    fakes::TempDir dir;
    EXPECT_FALSE(GetFileVersion(dir.write("plain", "not a program")).has_value());
    EXPECT_EQ(FileVersionText(dir / "missing"), "");
    EXPECT_FALSE(GetFileVersion("/bin/true").has_value());
}

} // namespace
