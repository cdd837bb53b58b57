#include "maker/airsim/Control.h"

#include "maker/airsim/World.h"
#include "platform/Trace.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

namespace airsim {
namespace {

constexpr std::size_t kMaxCommand = 64 * 1024;
constexpr int kClientTimeoutMs = 5000;

bool ProcessRuns(pid_t pid) { return kill(pid, 0) == 0 || errno == EPERM; }

/// The folder exists, is ours and is closed to everybody else.
bool EnsurePrivateDirectory(const std::filesystem::path& dir, std::string* error)
{
    if (mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) {
        *error = dir.string() + ": " + std::strerror(errno);
        return false;
    }
    struct stat st;
    if (lstat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        *error = dir.string() + ": not a folder";
        return false;
    }
    if (st.st_uid != geteuid()) {
        *error = dir.string() + ": belongs to another user";
        return false;
    }
    if ((st.st_mode & 077) != 0 && chmod(dir.c_str(), 0700) != 0) {
        *error = dir.string() + ": open to other users and cannot be closed";
        return false;
    }
    return true;
}

std::optional<pid_t> SocketPid(const std::string& name)
{
    const std::string prefix = "airsim-", suffix = ".sock";
    if (name.size() <= prefix.size() + suffix.size() || name.compare(0, prefix.size(), prefix) != 0 ||
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
        return std::nullopt;
    const std::string digits = name.substr(prefix.size(), name.size() - prefix.size() - suffix.size());
    if (digits.empty() || digits.size() > 9 ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    return static_cast<pid_t>(std::stol(digits));
}

bool WriteAll(int fd, std::string_view data)
{
    while (!data.empty()) {
        const ssize_t n = send(fd, data.data(), data.size(), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

CommandResult Fail(std::string reason) { return {false, std::move(reason)}; }

std::optional<long long> Number(const std::string& text, long long low, long long high)
{
    const auto v = ParseInteger(text);
    if (!v || *v < low || *v > high)
        return std::nullopt;
    return v;
}

CommandResult AdapterCommand(World& world, const std::vector<std::string>& a)
{
    if (a.size() < 3)
        return Fail("usage: adapter plug|unplug|button|zeroconfig|dhcp-fail ADAPTER [VALUE]");
    const auto index = world.findAdapter(a[2]);
    if (!index)
        return Fail("no adapter \"" + a[2] + "\" (give its id or its name)");
    const std::string& verb = a[1];
    std::string error;
    if ((verb == "plug" || verb == "unplug") && a.size() == 3) {
        if (!world.plug(*index, verb == "plug", &error))
            return Fail(error);
        return {true, ""};
    }
    if (verb == "button" && a.size() == 3) {
        world.setButton(*index, true);
        return {true, ""};
    }
    if (verb == "zeroconfig" && a.size() == 4) {
        const auto v = Number(a[3], 0, 255);
        if (!v)
            return Fail("the zero-configuration flag is a number from 0 to 255");
        world.setZeroConfig(*index, static_cast<std::uint8_t>(*v));
        return {true, ""};
    }
    if (verb == "dhcp-fail" && a.size() == 3) {
        world.failNextDhcp(*index);
        return {true, ""};
    }
    return Fail("usage: adapter plug|unplug|button|dhcp-fail ADAPTER, adapter zeroconfig ADAPTER 0|1");
}

CommandResult NetworkCommand(World& world, const std::vector<std::string>& a)
{
    if (a.size() < 3)
        return Fail("usage: network add|remove|move|signal NETWORK ...");
    const std::string& verb = a[1];
    std::string error;
    if (verb == "add") {
        std::vector<Setting> settings;
        for (std::size_t i = 3; i < a.size(); ++i) {
            const auto eq = a[i].find('=');
            if (eq == std::string::npos || eq == 0)
                return Fail("network add NETWORK KEY=VALUE...: \"" + a[i] + "\" is not KEY=VALUE");
            settings.push_back({a[i].substr(0, eq), a[i].substr(eq + 1), 0});
        }
        const bool goodId = std::all_of(a[2].begin(), a[2].end(), [](char c) {
            return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' || c == '.';
        });
        if (!goodId)
            return Fail("a network id is made of letters, digits, '-', '_' and '.'");
        auto spec = ParseNetwork(a[2], settings, "network add", &error);
        if (!spec)
            return Fail(error);
        if (!world.addNetwork(std::move(*spec), &error))
            return Fail(error);
        return {true, ""};
    }
    if (verb == "remove" && a.size() == 3) {
        if (!world.removeNetwork(a[2], &error))
            return Fail(error);
        return {true, ""};
    }
    if (verb == "move" && a.size() == 4) {
        const auto ch = Number(a[3], 1, 196);
        if (!ch)
            return Fail("network move NETWORK CHANNEL: \"" + a[3] + "\" is not a channel");
        if (!world.moveNetwork(a[2], static_cast<unsigned>(*ch), &error))
            return Fail(error);
        return {true, ""};
    }
    if (verb == "signal" && a.size() == 4) {
        const auto dbm = Number(a[3], -1000, 1000);
        if (!dbm)
            return Fail("network signal NETWORK DBM: \"" + a[3] + "\" is not a number");
        if (!world.setSignal(a[2], static_cast<int>(*dbm), &error))
            return Fail(error);
        return {true, ""};
    }
    return Fail("usage: network add NETWORK KEY=VALUE..., network remove NETWORK, "
                "network move NETWORK CHANNEL, network signal NETWORK DBM");
}

CommandResult WpsCommand(World& world, const std::vector<std::string>& a)
{
    std::string error;
    if (a.size() == 3 && a[1] == "pbc") {
        if (!world.openPushButton(a[2], &error))
            return Fail(error);
        return {true, ""};
    }
    if (a.size() == 4 && a[1] == "pin") {
        if (!world.addEnrolleePin(a[2], a[3], &error))
            return Fail(error);
        return {true, ""};
    }
    return Fail("usage: wps pbc NETWORK, wps pin NETWORK PIN");
}

CommandResult FaultCommand(World& world, const std::vector<std::string>& a)
{
    if (a.size() == 2 && a[1] == "clear") {
        world.clearFaults();
        return {true, ""};
    }
    if (a.size() != 4 && a.size() != 5)
        return Fail("usage: fail EXPORT COUNT STATUS [REQUEST-CODE], fail clear");
    const auto count = Number(a[2], 1, 1000000);
    const auto status = Number(a[3], 1, 0xFFFFFFFFll);
    if (!count)
        return Fail("fail: the count is a number from 1 to 1000000");
    if (!status)
        return Fail("fail: the status is a number from 1 to 4294967295");
    std::optional<std::uint32_t> code;
    if (a.size() == 5) {
        const auto c = Number(a[4], 0, 0xFFFFFFFFll);
        if (!c)
            return Fail("fail: the request code is a number");
        code = static_cast<std::uint32_t>(*c);
    }
    std::string error;
    if (!world.setFault(a[1], static_cast<std::uint32_t>(*count), static_cast<std::uint32_t>(*status),
                        code, &error))
        return Fail(error);
    return {true, ""};
}

} // namespace

std::filesystem::path ControlDirectory()
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && runtime[0] == '/')
        return std::filesystem::path(runtime) / "Quelmar";
    return std::filesystem::path("/tmp") / ("quelmar-" + std::to_string(geteuid()));
}

std::filesystem::path ControlSocketPath(pid_t pid)
{
    return ControlDirectory() / ("airsim-" + std::to_string(pid) + ".sock");
}

std::vector<pid_t> RunningWorlds()
{
    std::vector<pid_t> out;
    const std::filesystem::path dir = ControlDirectory();
    DIR* d = opendir(dir.c_str());
    if (!d)
        return out;
    while (const dirent* e = readdir(d)) {
        const auto pid = SocketPid(e->d_name);
        if (pid && ProcessRuns(*pid))
            out.push_back(*pid);
    }
    closedir(d);
    std::sort(out.begin(), out.end());
    return out;
}

std::string EncodeCommand(const std::vector<std::string>& args)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string line;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (i)
            line += ' ';
        if (args[i].empty())
            line += '%';
        for (unsigned char c : args[i]) {
            if (c <= 0x20 || c == '%' || c == 0x7F) {
                line += '%';
                line += digits[c >> 4];
                line += digits[c & 15];
            } else {
                line += static_cast<char>(c);
            }
        }
    }
    line += '\n';
    return line;
}

std::optional<std::vector<std::string>> DecodeCommand(std::string_view line)
{
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.remove_suffix(1);
    std::vector<std::string> args;
    std::size_t pos = 0;
    while (pos < line.size()) {
        const std::size_t end = std::min(line.find(' ', pos), line.size());
        const std::string_view token = line.substr(pos, end - pos);
        pos = end + 1;
        if (token.empty())
            return std::nullopt;
        std::string arg;
        if (token != "%") {
            for (std::size_t i = 0; i < token.size(); ++i) {
                if (token[i] != '%') {
                    arg += token[i];
                    continue;
                }
                if (i + 2 >= token.size())
                    return std::nullopt;
                const auto byte = DecodeHex(token.substr(i + 1, 2));
                if (!byte)
                    return std::nullopt;
                arg += static_cast<char>((*byte)[0]);
                i += 2;
            }
        }
        args.push_back(std::move(arg));
    }
    return args;
}

std::string CommandHelp()
{
    return "Commands of the simulated radio world:\n"
           "  state                              list adapters, links, networks and faults\n"
           "  adapter plug ADAPTER               plug the adapter in (it was unplugged)\n"
           "  adapter unplug ADAPTER             pull the adapter out\n"
           "  adapter button ADAPTER             press the adapter's WPS push button\n"
           "  adapter zeroconfig ADAPTER VALUE   set the zero-configuration flag (request 11)\n"
           "  adapter dhcp-fail ADAPTER          the next DHCP answer does not come\n"
           "  network add NETWORK KEY=VALUE...   a new network, keys as in a [Network] section\n"
           "  network remove NETWORK             the network goes out of range\n"
           "  network move NETWORK CHANNEL       the access point changes its channel\n"
           "  network signal NETWORK DBM         set the network's signal level\n"
           "  wps pbc NETWORK                    open the access point's push-button window\n"
           "  wps pin NETWORK PIN                give the access point an enrollee PIN\n"
           "  fail EXPORT COUNT STATUS [CODE]    the next COUNT calls of EXPORT answer STATUS\n"
           "  fail clear                         drop every pending fault\n"
           "ADAPTER is an adapter's id or name, NETWORK a network's id (see state).\n";
}

CommandResult ExecuteCommand(World& world, const std::vector<std::string>& args)
{
    if (args.empty())
        return Fail("no command; try help");
    const std::string& verb = args[0];
    if (verb == "state" && args.size() == 1)
        return {true, world.describe()};
    if (verb == "help" && args.size() == 1)
        return {true, CommandHelp()};
    if (verb == "adapter")
        return AdapterCommand(world, args);
    if (verb == "network")
        return NetworkCommand(world, args);
    if (verb == "wps")
        return WpsCommand(world, args);
    if (verb == "fail")
        return FaultCommand(world, args);
    return Fail("unknown command \"" + verb + "\"; try help");
}

ControlServer::ControlServer(World& world) : m_world(world) {}

ControlServer::~ControlServer()
{
    if (m_thread.joinable()) {
        const char stop = 1;
        [[maybe_unused]] const ssize_t n = write(m_stopPipe[1], &stop, 1);
        m_thread.join();
    }
    if (m_listen >= 0) {
        close(m_listen);
        unlink(m_path.c_str());
    }
    for (int fd : m_stopPipe)
        if (fd >= 0)
            close(fd);
}

bool ControlServer::start(std::string* error)
{
    const std::filesystem::path dir = ControlDirectory();
    if (!EnsurePrivateDirectory(dir, error))
        return false;
    // Sockets left by processes that ended without closing theirs.
    if (DIR* d = opendir(dir.c_str())) {
        while (const dirent* e = readdir(d)) {
            const auto pid = SocketPid(e->d_name);
            if (pid && (!ProcessRuns(*pid) || *pid == getpid()))
                unlink((dir / e->d_name).c_str());
        }
        closedir(d);
    }
    m_path = ControlSocketPath(getpid());
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (m_path.string().size() >= sizeof addr.sun_path) {
        *error = m_path.string() + ": the path is too long for a socket";
        return false;
    }
    std::memcpy(addr.sun_path, m_path.c_str(), m_path.string().size());
    m_listen = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_listen < 0 || pipe2(m_stopPipe, O_CLOEXEC) != 0) {
        *error = std::string("socket: ") + std::strerror(errno);
        return false;
    }
    const mode_t old = umask(077);
    const int bound = bind(m_listen, reinterpret_cast<const sockaddr*>(&addr), sizeof addr);
    umask(old);
    if (bound != 0 || listen(m_listen, 8) != 0) {
        *error = m_path.string() + ": " + std::strerror(errno);
        close(m_listen);
        m_listen = -1;
        return false;
    }
    chmod(m_path.c_str(), 0600);
    m_thread = std::thread([this] { run(); });
    return true;
}

void ControlServer::run()
{
    for (;;) {
        pollfd fds[2] = {{m_listen, POLLIN, 0}, {m_stopPipe[0], POLLIN, 0}};
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (fds[1].revents)
            return;
        if (fds[0].revents & POLLIN) {
            const int client = accept4(m_listen, nullptr, nullptr, SOCK_CLOEXEC);
            if (client >= 0) {
                serve(client);
                close(client);
            }
        }
    }
}

void ControlServer::serve(int client)
{
    ucred cred{};
    socklen_t len = sizeof cred;
    if (getsockopt(client, SOL_SOCKET, SO_PEERCRED, &cred, &len) != 0 || cred.uid != geteuid()) {
        WriteAll(client, "ERROR permission denied: the world belongs to another user\n");
        return;
    }
    std::string line;
    char buffer[4096];
    while (line.find('\n') == std::string::npos) {
        pollfd fds[2] = {{client, POLLIN, 0}, {m_stopPipe[0], POLLIN, 0}};
        if (poll(fds, 2, kClientTimeoutMs) <= 0 || fds[1].revents)
            return;
        const ssize_t n = recv(client, buffer, sizeof buffer, 0);
        if (n <= 0)
            break;
        line.append(buffer, static_cast<std::size_t>(n));
        if (line.size() > kMaxCommand) {
            WriteAll(client, "ERROR the command is too long\n");
            return;
        }
    }
    const auto args = DecodeCommand(line.substr(0, line.find('\n')));
    CommandResult result;
    if (!args)
        result = Fail("the command line is garbled");
    else
        result = ExecuteCommand(m_world, *args);
    std::string reply = result.ok ? result.text : std::string();
    if (!reply.empty() && reply.back() != '\n')
        reply += '\n';
    reply += result.ok ? "OK\n" : "ERROR " + result.text + "\n";
    WriteAll(client, reply);
    if (args)
        platform::Trace("airsim: control: %s: %s\n", (*args).empty() ? "" : (*args)[0].c_str(),
                        result.ok ? "OK" : result.text.c_str());
}

} // namespace airsim
