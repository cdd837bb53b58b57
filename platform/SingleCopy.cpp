#include "platform/SingleCopy.h"

#include "platform/Clock.h"
#include "platform/Trace.h"
#include "platform/Window.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <thread>

namespace platform {
namespace {

constexpr std::size_t kMaxRequest = 1024;

/// The folder for the lock and the socket: must be the user's own and closed to others.
std::optional<std::filesystem::path> PrivateFolder(const std::filesystem::path& wanted)
{
    std::filesystem::path dir = wanted;
    if (dir.empty()) {
        const char* runtime = std::getenv("XDG_RUNTIME_DIR");
        dir = runtime && *runtime ? std::filesystem::path(runtime) / "quelmar"
                                  : std::filesystem::path("/tmp") /
                                        ("quelmar-" + std::to_string(getuid()));
    }
    if (mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST)
        return std::nullopt;
    struct stat st;
    if (lstat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != getuid() ||
        (st.st_mode & 0077) != 0) {
        Trace("SingleCopyChannel: %s is not a private folder\n", dir.c_str());
        return std::nullopt;
    }
    return dir;
}

bool FillAddress(const std::filesystem::path& path, sockaddr_un& address)
{
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    const std::string text = path.string();
    if (text.size() >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, text.c_str(), text.size());
    return true;
}

bool WriteAll(int fd, std::string_view data)
{
    while (!data.empty()) {
        const ssize_t n = send(fd, data.data(), data.size(), MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

/// One line, at most kMaxRequest bytes, within `timeoutMs` of real time.
std::optional<std::string> ReadLine(int fd, int timeoutMs)
{
    std::string line;
    char c;
    while (line.size() < kMaxRequest) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, timeoutMs) <= 0)
            return std::nullopt;
        if (recv(fd, &c, 1, 0) != 1)
            return std::nullopt;
        if (c == '\n')
            return line;
        line.push_back(c);
    }
    return std::nullopt;
}

} // namespace

struct SingleCopyChannel::Impl
{
    std::string name;
    std::filesystem::path wanted;
    std::optional<std::filesystem::path> folder;
    int lockFd = -1;
    int listenFd = -1;
    int wakePipe[2] = {-1, -1};
    std::thread server;

    std::filesystem::path socketPath() const { return *folder / (name + ".sock"); }

    std::string answer(const std::string& request)
    {
        // "FIND <title>" or "POST <message> <title>"
        if (request.rfind("FIND ", 0) == 0)
            return FindWindow(request.substr(5)) ? "YES\n" : "NO\n";
        if (request.rfind("POST ", 0) == 0) {
            const auto space = request.find(' ', 5);
            if (space == std::string::npos)
                return "NO\n";
            const unsigned long message = std::strtoul(request.substr(5, space - 5).c_str(), nullptr, 16);
            if (message != WM_BRING_UP)
                return "DENIED\n";
            const HWND window = FindWindow(request.substr(space + 1));
            return window && PostMessage(window, WM_BRING_UP, 0, 0) ? "OK\n" : "NO\n";
        }
        return "NO\n";
    }

    void serve()
    {
        for (;;) {
            pollfd fds[2] = {{listenFd, POLLIN, 0}, {wakePipe[0], POLLIN, 0}};
            if (poll(fds, 2, -1) < 0) {
                if (errno == EINTR)
                    continue;
                return;
            }
            if (fds[1].revents)
                return;
            const int client = accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC);
            if (client < 0)
                continue;
            ucred peer{};
            socklen_t length = sizeof peer;
            if (getsockopt(client, SOL_SOCKET, SO_PEERCRED, &peer, &length) == 0 &&
                peer.uid == getuid()) {
                if (const auto request = ReadLine(client, 2000))
                    WriteAll(client, answer(*request));
            }
            close(client);
        }
    }

    /// Asks the running copy; retries a few times while it is still starting.
    std::optional<std::string> ask(const std::string& request)
    {
        if (!folder)
            return std::nullopt;
        sockaddr_un address;
        if (!FillAddress(socketPath(), address))
            return std::nullopt;
        for (int attempt = 0; attempt < 50; ++attempt) {
            const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
            if (fd < 0)
                return std::nullopt;
            if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
                std::optional<std::string> reply;
                if (WriteAll(fd, request + "\n"))
                    reply = ReadLine(fd, 5000);
                close(fd);
                return reply;
            }
            close(fd);
            Sleep(100);
        }
        return std::nullopt;
    }
};

SingleCopyChannel::SingleCopyChannel(std::string name, std::filesystem::path directory)
    : m(std::make_unique<Impl>())
{
    m->name = std::move(name);
    m->wanted = std::move(directory);
}

SingleCopyChannel::~SingleCopyChannel()
{
    if (m->server.joinable()) {
        const char byte = 1;
        (void)!write(m->wakePipe[1], &byte, 1);
        m->server.join();
    }
    if (m->listenFd >= 0) {
        close(m->listenFd);
        unlink(m->socketPath().c_str());
    }
    for (int fd : m->wakePipe) {
        if (fd >= 0)
            close(fd);
    }
    if (m->lockFd >= 0)
        close(m->lockFd);
}

bool SingleCopyChannel::claim()
{
    if (m->lockFd >= 0)
        return true;
    m->folder = PrivateFolder(m->wanted);
    if (!m->folder)
        return false;
    const auto lockPath = *m->folder / (m->name + ".lock");
    const int fd = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return false;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        close(fd);
        return false;
    }
    m->lockFd = fd;

    // The lock is ours: whatever socket is there was left by a copy that has ended.
    sockaddr_un address;
    if (!FillAddress(m->socketPath(), address))
        return true;
    unlink(m->socketPath().c_str());
    m->listenFd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m->listenFd < 0 || pipe2(m->wakePipe, O_CLOEXEC) != 0 ||
        bind(m->listenFd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(m->listenFd, 8) != 0) {
        Trace("SingleCopyChannel: cannot listen on %s\n", m->socketPath().c_str());
        return true; // still the only copy, just not reachable
    }
    chmod(m->socketPath().c_str(), 0600);
    m->server = std::thread([this] { m->serve(); });
    return true;
}

bool SingleCopyChannel::remoteWindowExists(std::string_view title)
{
    if (!m->folder)
        m->folder = PrivateFolder(m->wanted);
    const auto reply = m->ask("FIND " + std::string(title));
    return reply && *reply == "YES";
}

bool SingleCopyChannel::postToRemote(std::string_view title, UINT message)
{
    if (!m->folder)
        m->folder = PrivateFolder(m->wanted);
    char hex[16];
    std::snprintf(hex, sizeof hex, "%x", message);
    const auto reply = m->ask("POST " + std::string(hex) + " " + std::string(title));
    return reply && *reply == "OK";
}

} // namespace platform
