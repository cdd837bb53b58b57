#pragma once
/// The library's stored profiles: the user's store and the domain-logon store, each with its
/// default profile, kept in one file. Every change is written atomically (a new file beside
/// the old one, flushed, renamed over it, the folder flushed), the folder is the user's only
/// (0700) and the file too (0600). Other processes may change the file: it is read again
/// whenever it changed, under a lock, so that no process writes over another's change. A
/// file that cannot be read back is moved aside under a dated name, never written over.

#include "adapter/Mirodel.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace mirodel {

enum class StoreId { User = 0, Logon = 1 };
std::optional<StoreId> StoreFromCode(std::uint32_t code);

/// A record as the store keeps it: texts cut inside their fields and cleared after their
/// terminator, padding and unused thumbprint bytes zero.
ProfileRecord NormalisedProfile(const ProfileRecord& record);
/// The defaults of a fresh record (texts empty, every key size 5, channel 1, EAP option
/// 0x80000000, reserved3 1).
ProfileRecord DefaultProfile();

class ProfileStore
{
public:
    explicit ProfileStore(std::filesystem::path folder);

    const std::filesystem::path& file() const { return m_file; }

    std::uint32_t list(StoreId store, std::vector<ProfileRecord>& out);
    std::uint32_t add(StoreId store, const ProfileRecord& profile);
    std::uint32_t replace(StoreId store, const ProfileRecord& profile);
    std::uint32_t remove(StoreId store, const ProfileRecord& profile);
    /// Hands the profile to the domain-logon store (added, or replacing its namesake).
    std::uint32_t prepareLogon(const ProfileRecord& profile);
    std::uint32_t readDefault(StoreId store, ProfileRecord& out);
    std::uint32_t setDefault(StoreId store, const ProfileRecord& profile);
    /// Adds every profile (replacing namesakes) and makes profiles[defaultIndex] the
    /// default, in one write: all or nothing.
    std::uint32_t import(StoreId store, const std::vector<ProfileRecord>& profiles,
                         std::size_t defaultIndex);

    struct Shelf
    {
        std::vector<ProfileRecord> profiles;
        std::optional<ProfileRecord> defaultProfile;
    };
    struct Contents
    {
        Shelf shelves[2];
        Shelf& shelf(StoreId id) { return shelves[static_cast<int>(id)]; }
    };

private:
    struct FileId
    {
        unsigned long long device = 0, inode = 0, size = 0;
        long long seconds = 0, nanoseconds = 0;
        bool operator==(const FileId&) const = default;
    };
    class Lock;

    /// Brings the contents up to date with the file. Non-zero: the file cannot be used.
    std::uint32_t refresh();
    /// refresh() under the lock.
    std::uint32_t sync();
    template <typename Change> std::uint32_t change(Change&& apply);
    std::uint32_t save(const Contents& contents);
    bool ensureFolder();
    void moveAside(const std::string& why);
    void removeStaleTemporaries();

    std::filesystem::path m_folder;
    std::filesystem::path m_file;
    std::filesystem::path m_lockFile;
    Contents m_contents;
    std::optional<FileId> m_seen;
    bool m_loaded = false;
};

/// The bytes of a store file, and the contents of such bytes (nullopt and a reason when
/// they are not a whole store file).
std::string EncodeStore(const ProfileStore::Contents& contents);
std::optional<ProfileStore::Contents> DecodeStore(const std::string& bytes, std::string* why);

} // namespace mirodel
