// mirodelctl: drives the simulated radio world of a process that has libMirodel loaded.
//
//   mirodelctl [--pid PID | --socket PATH] COMMAND [ARGUMENTS...]
//
// The command goes to the world's control socket; "mirodelctl help" lists the commands.
// Exit status: 0 done, 1 the world refused the command, 2 no world could be reached.

#include "maker/airsim/Control.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

namespace {

int Usage()
{
    std::fputs("usage: mirodelctl [--pid PID | --socket PATH] COMMAND [ARGUMENTS...]\n", stderr);
    std::fputs(airsim::CommandHelp().c_str(), stderr);
    return 2;
}

int Talk(const std::string& path, const std::vector<std::string>& args)
{
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (path.size() >= sizeof addr.sun_path) {
        std::fprintf(stderr, "mirodelctl: %s: the path is too long for a socket\n", path.c_str());
        return 2;
    }
    std::memcpy(addr.sun_path, path.data(), path.size());
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0 || connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0) {
        std::fprintf(stderr, "mirodelctl: cannot reach the simulated world at %s: %s\n", path.c_str(),
                     std::strerror(errno));
        if (fd >= 0)
            close(fd);
        return 2;
    }
    const std::string line = airsim::EncodeCommand(args);
    for (std::size_t done = 0; done < line.size();) {
        const ssize_t n = send(fd, line.data() + done, line.size() - done, MSG_NOSIGNAL);
        if (n <= 0) {
            std::fprintf(stderr, "mirodelctl: the world hung up: %s\n", std::strerror(errno));
            close(fd);
            return 2;
        }
        done += static_cast<std::size_t>(n);
    }
    std::string reply;
    char buffer[4096];
    for (;;) {
        const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        reply.append(buffer, static_cast<std::size_t>(n));
    }
    close(fd);
    // The last line says how it went; what comes before it is the answer.
    while (!reply.empty() && reply.back() == '\n')
        reply.pop_back();
    const auto cut = reply.rfind('\n');
    const std::string last = cut == std::string::npos ? reply : reply.substr(cut + 1);
    const std::string body = cut == std::string::npos ? std::string() : reply.substr(0, cut + 1);
    std::fputs(body.c_str(), stdout);
    if (last == "OK")
        return 0;
    if (last.rfind("ERROR ", 0) == 0) {
        std::fprintf(stderr, "mirodelctl: %s\n", last.c_str() + 6);
        return 1;
    }
    std::fputs("mirodelctl: the world gave no answer\n", stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string socketPath;
    if (args.size() >= 2 && (args[0] == "--pid" || args[0] == "--socket")) {
        if (args[0] == "--socket") {
            socketPath = args[1];
        } else {
            char* end = nullptr;
            const long pid = std::strtol(args[1].c_str(), &end, 10);
            if (!end || *end || pid <= 0) {
                std::fprintf(stderr, "mirodelctl: --pid %s is not a process id\n", args[1].c_str());
                return 2;
            }
            socketPath = airsim::ControlSocketPath(static_cast<pid_t>(pid)).string();
        }
        args.erase(args.begin(), args.begin() + 2);
    }
    if (args.empty() || args[0] == "--help" || args[0] == "-h")
        return Usage();
    if (args[0] == "help" && args.size() == 1) {
        std::fputs(airsim::CommandHelp().c_str(), stdout);
        return 0;
    }
    if (socketPath.empty()) {
        const auto worlds = airsim::RunningWorlds();
        if (worlds.empty()) {
            std::fprintf(stderr,
                         "mirodelctl: no simulated world is running (no process has libMirodel loaded "
                         "with Backend=sim; sockets are looked for in %s)\n",
                         airsim::ControlDirectory().c_str());
            return 2;
        }
        if (worlds.size() > 1) {
            std::fputs("mirodelctl: several simulated worlds are running; choose one with --pid:", stderr);
            for (pid_t pid : worlds)
                std::fprintf(stderr, " %d", static_cast<int>(pid));
            std::fputs("\n", stderr);
            return 2;
        }
        socketPath = airsim::ControlSocketPath(worlds.front()).string();
    }
    return Talk(socketPath, args);
}
