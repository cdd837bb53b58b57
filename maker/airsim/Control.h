#pragma once
/// The control socket of the simulated world: a per-user local socket on which `mirodelctl`
/// asks the world to change (plug an adapter, move a network, inject a fault) or to list its
/// state. One command per connection: a line of escaped arguments; the answer is text whose
/// last line is "OK" or "ERROR <reason>".

#include <atomic>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <thread>
#include <vector>

namespace airsim {

class World;

/// The folder of the control sockets: $XDG_RUNTIME_DIR/Quelmar, else /tmp/quelmar-<uid>.
std::filesystem::path ControlDirectory();
/// The socket of the world in process `pid`.
std::filesystem::path ControlSocketPath(pid_t pid);
/// Worlds whose sockets are in the folder and whose process still runs, oldest pid first.
std::vector<pid_t> RunningWorlds();

/// One line for the arguments: bytes up to the blank, '%' and DEL become %XX; an empty
/// argument is a lone '%'.
std::string EncodeCommand(const std::vector<std::string>& args);
/// The arguments of such a line; nullopt when an escape is broken.
std::optional<std::vector<std::string>> DecodeCommand(std::string_view line);

struct CommandResult
{
    bool ok = false;
    std::string text; ///< what to print; for an error, the reason
};

/// Carries out one command on the world. Invalid commands change nothing.
CommandResult ExecuteCommand(World& world, const std::vector<std::string>& args);

/// The text of `mirodelctl help`.
std::string CommandHelp();

class ControlServer
{
public:
    explicit ControlServer(World& world);
    ~ControlServer();
    ControlServer(const ControlServer&) = delete;
    ControlServer& operator=(const ControlServer&) = delete;

    bool start(std::string* error);
    const std::filesystem::path& path() const { return m_path; }

private:
    void run();
    void serve(int client);

    World& m_world;
    std::filesystem::path m_path;
    int m_listen = -1;
    int m_stopPipe[2] = {-1, -1};
    std::thread m_thread;
};

} // namespace airsim
