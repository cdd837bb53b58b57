#pragma once
/// One running copy per user. The first copy holds a lock file and answers on a local socket
/// that only the same user can reach; a later copy asks it whether a top-level window with
/// a given title exists and has it post that window message 0x468. The channel admits no
/// other message. A lock left by a crashed copy goes with its process; its stale socket is
/// replaced by the next first copy.

#include "platform/Types.h"

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace platform {

constexpr UINT WM_BRING_UP = 0x468;

class SingleCopyChannel
{
public:
    /// `name` names the lock and the socket; `directory` empty: the user's runtime folder
    /// ($XDG_RUNTIME_DIR, else /tmp/quelmar-<uid>, created private to the user).
    explicit SingleCopyChannel(std::string name, std::filesystem::path directory = {});
    ~SingleCopyChannel();
    SingleCopyChannel(const SingleCopyChannel&) = delete;
    SingleCopyChannel& operator=(const SingleCopyChannel&) = delete;

    /// True when this process is now the running copy and answers other copies; false when
    /// another copy runs (or the channel's folder cannot be used safely).
    bool claim();

    /// In a later copy: asks the running copy for a top-level window with this title. Waits
    /// a little for a copy that is still starting.
    bool remoteWindowExists(std::string_view title);
    /// In a later copy: has the running copy post `message` to its window of that title.
    /// Only 0x468 is admitted.
    bool postToRemote(std::string_view title, UINT message);

private:
    struct Impl;
    std::unique_ptr<Impl> m;
};

} // namespace platform
