#include "maker/mirodel/ProfileStore.h"

#include "maker/airsim/Status.h"
#include "platform/Trace.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mirodel {

using namespace airsim;

namespace {

constexpr char kMagic[] = "QUELMAR-MIRODEL-PROFILES\n";
constexpr std::uint32_t kVersion = 1;
constexpr std::uint32_t kStoreCodes[2] = {MIRODEL_STORE_USER, MIRODEL_STORE_DOMAIN_LOGON};
constexpr std::size_t kMaxFile = 512u * 1024u * 1024u;
const char* const kTempPrefix = "Profiles.dat.tmp-";

std::uint32_t Crc32(const std::string& data)
{
    static const auto table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t c = i;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    std::uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char b : data)
        crc = table[(crc ^ b) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

template <std::size_t N> void CopyText(char (&to)[N], const char (&from)[N])
{
    const std::size_t n = strnlen(from, N - 1);
    std::memset(to, 0, N);
    std::memcpy(to, from, n);
}

bool SameName(const ProfileRecord& a, const ProfileRecord& b)
{
    return std::strcmp(a.profileName, b.profileName) == 0;
}

/// The stored profile named like `p`, or end().
std::vector<ProfileRecord>::iterator FindByName(std::vector<ProfileRecord>& profiles,
                                                const ProfileRecord& p)
{
    return std::find_if(profiles.begin(), profiles.end(),
                        [&](const ProfileRecord& r) { return SameName(r, p); });
}

class Writer
{
public:
    std::string bytes;
    void u8(std::uint8_t v) { bytes.push_back(static_cast<char>(v)); }
    void u32(std::uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            bytes.push_back(static_cast<char>(v >> (8 * i)));
    }
    template <std::size_t N> void text(const char (&field)[N])
    {
        const std::size_t n = strnlen(field, N - 1);
        u32(static_cast<std::uint32_t>(n));
        bytes.append(field, n);
    }
    void record(const ProfileRecord& r)
    {
        text(r.profileName);
        text(r.ssid);
        text(r.reservedText);
        text(r.passphrase);
        for (const auto& key : r.wepKeys)
            text(key);
        for (std::uint32_t v : {r.reserved1, r.logonFlag, r.eapOption, r.reserved2, r.wepKeyLength[0],
                                r.wepKeyLength[1], r.wepKeyLength[2], r.wepKeyLength[3], r.keyIndex,
                                r.reserved3, r.certHashLength})
            u32(v);
        for (std::uint8_t v : {r.adHoc, r.channel, r.authMode, r.encryption, r.keyFormat})
            u8(v);
        bytes.append(reinterpret_cast<const char*>(r.certHash), std::min<std::uint32_t>(r.certHashLength, 128));
    }
};

class Reader
{
public:
    explicit Reader(const std::string& bytes, std::size_t end) : m_bytes(bytes), m_end(end) {}
    bool ok() const { return m_ok; }
    bool atEnd() const { return m_pos == m_end; }
    std::uint8_t u8()
    {
        if (!need(1))
            return 0;
        return static_cast<std::uint8_t>(m_bytes[m_pos++]);
    }
    std::uint32_t u32()
    {
        if (!need(4))
            return 0;
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i)
            v |= static_cast<std::uint32_t>(static_cast<unsigned char>(m_bytes[m_pos++])) << (8 * i);
        return v;
    }
    template <std::size_t N> void text(char (&field)[N])
    {
        std::memset(field, 0, N);
        const std::uint32_t n = u32();
        if (n >= N || !need(n)) {
            m_ok = false;
            return;
        }
        std::memcpy(field, m_bytes.data() + m_pos, n);
        if (strnlen(field, N) != n)
            m_ok = false; // a NUL inside a text
        m_pos += n;
    }
    bool record(ProfileRecord& r)
    {
        std::memset(&r, 0, sizeof r);
        text(r.profileName);
        text(r.ssid);
        text(r.reservedText);
        text(r.passphrase);
        for (auto& key : r.wepKeys)
            text(key);
        for (std::uint32_t* v : {&r.reserved1, &r.logonFlag, &r.eapOption, &r.reserved2, &r.wepKeyLength[0],
                                 &r.wepKeyLength[1], &r.wepKeyLength[2], &r.wepKeyLength[3], &r.keyIndex,
                                 &r.reserved3, &r.certHashLength})
            *v = u32();
        for (std::uint8_t* v : {&r.adHoc, &r.channel, &r.authMode, &r.encryption, &r.keyFormat})
            *v = u8();
        if (r.certHashLength > 128 || !need(r.certHashLength)) {
            m_ok = false;
            return false;
        }
        std::memcpy(r.certHash, m_bytes.data() + m_pos, r.certHashLength);
        m_pos += r.certHashLength;
        return m_ok;
    }
    bool skip(std::size_t n)
    {
        if (!need(n))
            return false;
        m_pos += n;
        return true;
    }

private:
    bool need(std::size_t n)
    {
        if (!m_ok || m_end - m_pos < n)
            m_ok = false;
        return m_ok;
    }
    const std::string& m_bytes;
    std::size_t m_end;
    std::size_t m_pos = 0;
    bool m_ok = true;
};

bool SyncFolder(const std::filesystem::path& folder)
{
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = fsync(fd) == 0;
    close(fd);
    return ok;
}

std::optional<std::string> ReadWhole(const std::filesystem::path& file, int* err)
{
    const int fd = open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) {
        *err = errno;
        return std::nullopt;
    }
    std::string data;
    char chunk[64 * 1024];
    for (;;) {
        const ssize_t n = read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            *err = errno;
            close(fd);
            return std::nullopt;
        }
        if (n == 0)
            break;
        data.append(chunk, static_cast<std::size_t>(n));
        if (data.size() > kMaxFile) {
            *err = EFBIG;
            close(fd);
            return std::nullopt;
        }
    }
    close(fd);
    return data;
}

} // namespace

std::optional<StoreId> StoreFromCode(std::uint32_t code)
{
    if (code == MIRODEL_STORE_USER)
        return StoreId::User;
    if (code == MIRODEL_STORE_DOMAIN_LOGON)
        return StoreId::Logon;
    return std::nullopt;
}

ProfileRecord NormalisedProfile(const ProfileRecord& r)
{
    ProfileRecord out;
    std::memset(&out, 0, sizeof out);
    CopyText(out.profileName, r.profileName);
    CopyText(out.ssid, r.ssid);
    CopyText(out.reservedText, r.reservedText);
    CopyText(out.passphrase, r.passphrase);
    for (int i = 0; i < 4; ++i)
        CopyText(out.wepKeys[i], r.wepKeys[i]);
    out.reserved1 = r.reserved1;
    out.logonFlag = r.logonFlag;
    out.adHoc = r.adHoc;
    out.channel = r.channel;
    out.authMode = r.authMode;
    out.eapOption = r.eapOption;
    out.encryption = r.encryption;
    out.reserved2 = r.reserved2;
    out.keyFormat = r.keyFormat;
    std::memcpy(out.wepKeyLength, r.wepKeyLength, sizeof out.wepKeyLength);
    out.keyIndex = r.keyIndex;
    out.reserved3 = r.reserved3;
    out.certHashLength = r.certHashLength;
    std::memcpy(out.certHash, r.certHash, std::min<std::uint32_t>(r.certHashLength, 128));
    return out;
}

ProfileRecord DefaultProfile()
{
    ProfileRecord r;
    std::memset(&r, 0, sizeof r);
    for (auto& length : r.wepKeyLength)
        length = 5;
    r.channel = 1;
    r.eapOption = 0x80000000u;
    r.reserved3 = 1;
    return r;
}

std::string EncodeStore(const ProfileStore::Contents& contents)
{
    Writer w;
    w.bytes.append(kMagic, sizeof kMagic - 1);
    w.u32(kVersion);
    for (int s = 0; s < 2; ++s) {
        const ProfileStore::Shelf& shelf = contents.shelves[s];
        w.u32(kStoreCodes[s]);
        w.u32(static_cast<std::uint32_t>(shelf.profiles.size()));
        w.u8(shelf.defaultProfile ? 1 : 0);
        if (shelf.defaultProfile)
            w.record(*shelf.defaultProfile);
        for (const ProfileRecord& r : shelf.profiles)
            w.record(r);
    }
    w.u32(Crc32(w.bytes));
    return std::move(w.bytes);
}

std::optional<ProfileStore::Contents> DecodeStore(const std::string& bytes, std::string* why)
{
    const std::size_t magic = sizeof kMagic - 1;
    if (bytes.size() < magic + 8 || bytes.compare(0, magic, kMagic) != 0) {
        *why = "not a profile store";
        return std::nullopt;
    }
    const std::size_t body = bytes.size() - 4;
    Reader crc(bytes, bytes.size());
    crc.skip(body);
    if (crc.u32() != Crc32(bytes.substr(0, body))) {
        *why = "truncated or damaged (checksum)";
        return std::nullopt;
    }
    Reader r(bytes, body);
    r.skip(magic);
    if (r.u32() != kVersion) {
        *why = "written by another version";
        return std::nullopt;
    }
    ProfileStore::Contents contents;
    for (int s = 0; s < 2 && r.ok(); ++s) {
        ProfileStore::Shelf& shelf = contents.shelves[s];
        if (r.u32() != kStoreCodes[s]) {
            *why = "stores out of order";
            return std::nullopt;
        }
        const std::uint32_t count = r.u32();
        const std::uint8_t hasDefault = r.u8();
        if (hasDefault > 1 || count > body) {
            *why = "damaged";
            return std::nullopt;
        }
        if (hasDefault) {
            ProfileRecord d;
            if (r.record(d))
                shelf.defaultProfile = d;
        }
        for (std::uint32_t i = 0; i < count && r.ok(); ++i) {
            ProfileRecord p;
            if (r.record(p))
                shelf.profiles.push_back(p);
        }
    }
    if (!r.ok() || !r.atEnd()) {
        *why = "damaged";
        return std::nullopt;
    }
    return contents;
}

/// An exclusive lock on the store's lock file, held for one read-modify-write.
class ProfileStore::Lock
{
public:
    explicit Lock(const std::filesystem::path& file)
    {
        m_fd = open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (m_fd >= 0)
            while (flock(m_fd, LOCK_EX) != 0 && errno == EINTR) {
            }
    }
    ~Lock()
    {
        if (m_fd >= 0)
            close(m_fd); // releases the lock
    }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

private:
    int m_fd = -1;
};

ProfileStore::ProfileStore(std::filesystem::path folder)
    : m_folder(std::move(folder)), m_file(m_folder / "Profiles.dat"),
      m_lockFile(m_folder / "Profiles.lock")
{
}

bool ProfileStore::ensureFolder()
{
    std::filesystem::path path;
    for (const auto& part : m_folder) {
        path /= part;
        if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) {
            platform::Trace("Mirodel: cannot make the profile folder %s: %s\n", path.c_str(),
                            std::strerror(errno));
            return false;
        }
    }
    struct stat st;
    if (stat(m_folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return false;
    if ((st.st_mode & 077) != 0 && st.st_uid == geteuid())
        chmod(m_folder.c_str(), 0700);
    return true;
}

void ProfileStore::removeStaleTemporaries()
{
    DIR* d = opendir(m_folder.c_str());
    if (!d)
        return;
    const std::string prefix = kTempPrefix;
    while (const dirent* e = readdir(d)) {
        const std::string name = e->d_name;
        if (name.compare(0, prefix.size(), prefix) != 0)
            continue;
        const long pid = std::strtol(name.c_str() + prefix.size(), nullptr, 10);
        if (pid > 0 && pid != getpid() && kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)
            unlink((m_folder / name).c_str());
    }
    closedir(d);
}

void ProfileStore::moveAside(const std::string& why)
{
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &tm);
    std::filesystem::path target;
    for (int n = 0;; ++n) {
        std::string name = "Profiles.dat.corrupt-" + std::string(stamp);
        if (n)
            name += "-" + std::to_string(n);
        target = m_folder / name;
        struct stat st;
        if (lstat(target.c_str(), &st) != 0)
            break;
    }
    if (rename(m_file.c_str(), target.c_str()) == 0) {
        SyncFolder(m_folder);
        platform::Trace("Mirodel: the profile store %s cannot be read back (%s); moved aside to %s\n",
                        m_file.c_str(), why.c_str(), target.c_str());
    } else {
        platform::Trace("Mirodel: the profile store %s cannot be read back (%s) nor moved aside: %s\n",
                        m_file.c_str(), why.c_str(), std::strerror(errno));
    }
}

std::uint32_t ProfileStore::refresh()
{
    struct stat st;
    if (stat(m_file.c_str(), &st) != 0) {
        if (errno != ENOENT)
            return kErrorReadFault;
        m_contents = {};
        m_seen.reset();
        m_loaded = true;
        return kSuccess;
    }
    const FileId id{static_cast<unsigned long long>(st.st_dev), static_cast<unsigned long long>(st.st_ino),
                    static_cast<unsigned long long>(st.st_size), st.st_mtim.tv_sec, st.st_mtim.tv_nsec};
    if (m_loaded && m_seen && *m_seen == id)
        return kSuccess;
    removeStaleTemporaries(); // a writer that died mid-write left its file
    int err = 0;
    std::string why;
    std::optional<Contents> contents;
    if (!S_ISREG(st.st_mode)) {
        why = "not a file";
    } else if (const auto bytes = ReadWhole(m_file, &err)) {
        contents = DecodeStore(*bytes, &why);
    } else {
        why = std::strerror(err);
    }
    if (!contents) {
        moveAside(why);
        struct stat again;
        if (lstat(m_file.c_str(), &again) == 0)
            return kErrorReadFault; // still there: never write over it
        m_contents = {};
        m_seen.reset();
        m_loaded = true;
        return kSuccess;
    }
    m_contents = std::move(*contents);
    m_seen = id;
    m_loaded = true;
    return kSuccess;
}

std::uint32_t ProfileStore::save(const Contents& contents)
{
    if (!ensureFolder())
        return kErrorWriteFault;
    const std::string bytes = EncodeStore(contents);
    const std::filesystem::path temp = m_folder / (kTempPrefix + std::to_string(getpid()));
    unlink(temp.c_str());
    const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        platform::Trace("Mirodel: cannot write %s: %s\n", temp.c_str(), std::strerror(errno));
        return kErrorWriteFault;
    }
    bool ok = fchmod(fd, 0600) == 0;
    std::size_t done = 0;
    while (ok && done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        ok = n > 0;
        if (ok)
            done += static_cast<std::size_t>(n);
    }
    ok = ok && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    ok = ok && rename(temp.c_str(), m_file.c_str()) == 0;
    if (!ok) {
        platform::Trace("Mirodel: cannot write the profile store %s: %s\n", m_file.c_str(),
                        std::strerror(errno));
        unlink(temp.c_str());
        return kErrorWriteFault;
    }
    SyncFolder(m_folder);
    struct stat st;
    if (stat(m_file.c_str(), &st) == 0)
        m_seen = FileId{static_cast<unsigned long long>(st.st_dev), static_cast<unsigned long long>(st.st_ino),
                        static_cast<unsigned long long>(st.st_size), st.st_mtim.tv_sec, st.st_mtim.tv_nsec};
    else
        m_seen.reset();
    return kSuccess;
}

template <typename Change> std::uint32_t ProfileStore::change(Change&& apply)
{
    if (!ensureFolder())
        return kErrorWriteFault;
    Lock lock(m_lockFile);
    if (const std::uint32_t status = refresh())
        return status;
    // A change that fails leaves the contents as they were; one that cannot be written is
    // undone by reading the file again.
    if (const std::uint32_t status = apply(m_contents))
        return status;
    if (const std::uint32_t status = save(m_contents)) {
        m_contents = {};
        m_seen.reset();
        m_loaded = false;
        return status;
    }
    return kSuccess;
}

std::uint32_t ProfileStore::sync()
{
    std::error_code ec;
    if (!std::filesystem::is_directory(m_folder, ec))
        return refresh();
    Lock lock(m_lockFile);
    return refresh();
}

std::uint32_t ProfileStore::list(StoreId store, std::vector<ProfileRecord>& out)
{
    if (const std::uint32_t status = sync())
        return status;
    out = m_contents.shelf(store).profiles;
    return kSuccess;
}

std::uint32_t ProfileStore::readDefault(StoreId store, ProfileRecord& out)
{
    if (const std::uint32_t status = sync())
        return status;
    const auto& def = m_contents.shelf(store).defaultProfile;
    if (!def)
        return kErrorNotFound;
    out = *def;
    return kSuccess;
}

std::uint32_t ProfileStore::add(StoreId store, const ProfileRecord& profile)
{
    const ProfileRecord p = NormalisedProfile(profile);
    return change([&](Contents& c) {
        auto& profiles = c.shelf(store).profiles;
        if (FindByName(profiles, p) != profiles.end())
            return kErrorAlreadyExists;
        profiles.push_back(p);
        return kSuccess;
    });
}

std::uint32_t ProfileStore::replace(StoreId store, const ProfileRecord& profile)
{
    const ProfileRecord p = NormalisedProfile(profile);
    return change([&](Contents& c) {
        Shelf& shelf = c.shelf(store);
        const auto it = FindByName(shelf.profiles, p);
        if (it == shelf.profiles.end())
            return kErrorNotFound;
        *it = p;
        if (shelf.defaultProfile && SameName(*shelf.defaultProfile, p))
            shelf.defaultProfile = p;
        return kSuccess;
    });
}

std::uint32_t ProfileStore::remove(StoreId store, const ProfileRecord& profile)
{
    const ProfileRecord p = NormalisedProfile(profile);
    return change([&](Contents& c) {
        Shelf& shelf = c.shelf(store);
        const auto it = FindByName(shelf.profiles, p);
        if (it == shelf.profiles.end())
            return kErrorNotFound;
        shelf.profiles.erase(it);
        // The default goes with its profile; the first one left takes its place.
        if (shelf.defaultProfile && SameName(*shelf.defaultProfile, p)) {
            if (shelf.profiles.empty())
                shelf.defaultProfile.reset();
            else
                shelf.defaultProfile = shelf.profiles.front();
        }
        return kSuccess;
    });
}

std::uint32_t ProfileStore::prepareLogon(const ProfileRecord& profile)
{
    const ProfileRecord p = NormalisedProfile(profile);
    return change([&](Contents& c) {
        Shelf& shelf = c.shelf(StoreId::Logon);
        const auto it = FindByName(shelf.profiles, p);
        if (it == shelf.profiles.end())
            shelf.profiles.push_back(p);
        else
            *it = p;
        if (shelf.defaultProfile && SameName(*shelf.defaultProfile, p))
            shelf.defaultProfile = p;
        return kSuccess;
    });
}

std::uint32_t ProfileStore::setDefault(StoreId store, const ProfileRecord& profile)
{
    const ProfileRecord p = NormalisedProfile(profile);
    return change([&](Contents& c) {
        c.shelf(store).defaultProfile = p;
        return kSuccess;
    });
}

std::uint32_t ProfileStore::import(StoreId store, const std::vector<ProfileRecord>& profiles,
                                   std::size_t defaultIndex)
{
    return change([&](Contents& c) {
        Shelf& shelf = c.shelf(store);
        for (const ProfileRecord& raw : profiles) {
            const ProfileRecord p = NormalisedProfile(raw);
            const auto it = FindByName(shelf.profiles, p);
            if (it == shelf.profiles.end())
                shelf.profiles.push_back(p);
            else
                *it = p;
        }
        if (defaultIndex < profiles.size())
            shelf.defaultProfile = NormalisedProfile(profiles[defaultIndex]);
        return kSuccess;
    });
}

} // namespace mirodel
