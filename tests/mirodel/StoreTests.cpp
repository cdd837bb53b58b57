// libMirodel's stored profiles through its C functions: the operations, persistence,
// permissions, a damaged store, a second process, a writer killed mid-write, and importing.
#include "Harness.h"

#include "platform/Trace.h"

#include <gmock/gmock.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <set>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace mirodeltest {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

constexpr std::uint32_t kUser = MIRODEL_STORE_USER;
constexpr std::uint32_t kLogon = MIRODEL_STORE_DOMAIN_LOGON;
constexpr std::uint32_t kInvalidParameter = 87;
constexpr std::uint32_t kNotFound = 1168;
constexpr std::uint32_t kExists = 183;
constexpr std::uint32_t kInvalidData = 13;

std::string ReadFile(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

mode_t Mode(const std::filesystem::path& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? st.st_mode & 0777 : 0;
}

/// Collects the trace lines while it lives.
struct TraceCapture
{
    std::mutex mutex;
    std::string text;
    TraceCapture()
    {
        platform::SetTraceSink([this](std::string_view line) {
            std::lock_guard lock(mutex);
            text += line;
        });
    }
    ~TraceCapture() { platform::SetTraceSink({}); }
    std::string get()
    {
        std::lock_guard lock(mutex);
        return text;
    }
};

class MirodelStoreTest : public LibraryTest
{
protected:
    std::vector<std::string> names(std::uint32_t store = kUser)
    {
        MirodelList* list = nullptr;
        EXPECT_EQ(api.GetProfiles(&list, store), 0u);
        std::vector<std::string> out;
        for (std::uint32_t i = 0; list && i < list->count; ++i) {
            const auto* r = static_cast<const ProfileRecord*>(list->elements[i]);
            EXPECT_LT(strnlen(r->profileName, sizeof r->profileName), sizeof r->profileName);
            out.emplace_back(r->profileName);
        }
        return out;
    }
    std::uint32_t op(const ProfileRecord& p, std::uint32_t code, std::uint32_t store = kUser)
    {
        ProfileRecord copy = p;
        return api.ProfileOp(&copy, code, store, nullptr);
    }
    std::string defaultName(std::uint32_t store = kUser)
    {
        ProfileRecord r;
        std::memset(&r, 0x5A, sizeof r);
        const std::uint32_t status = api.ProfileOp(&r, MIRODEL_OP_READ_DEFAULT, store, nullptr);
        return status == 0 ? std::string(r.profileName) : "(none)";
    }
    std::vector<std::filesystem::path> filesInStore()
    {
        std::vector<std::filesystem::path> out;
        for (const auto& e : std::filesystem::directory_iterator(storeFolder()))
            out.push_back(e.path().filename());
        std::sort(out.begin(), out.end());
        return out;
    }
    std::uint32_t import(const std::filesystem::path& file)
    {
        return api.ProfileOp(nullptr, MIRODEL_OP_IMPORT, kUser, file.c_str());
    }
};

TEST_F(MirodelStoreTest, OperationsAndTheirStatuses)
{
    const ProfileRecord a = MakeProfile("A", "net-a", 0, 0);
    ProfileRecord b = MakeProfile("B", "net-b", 0, 0);
    EXPECT_THAT(names(), IsEmpty());
    EXPECT_EQ(defaultName(), "(none)");
    EXPECT_EQ(op(a, MIRODEL_OP_ADD), 0u);
    EXPECT_EQ(op(b, MIRODEL_OP_ADD), 0u);
    EXPECT_EQ(op(a, MIRODEL_OP_ADD), kExists);
    EXPECT_EQ(op(MakeProfile("a", "x", 0, 0), MIRODEL_OP_ADD), 0u) << "names are case-sensitive";
    EXPECT_THAT(names(), ElementsAre("A", "B", "a"));

    std::strcpy(b.ssid, "net-b2");
    EXPECT_EQ(op(b, MIRODEL_OP_REPLACE), 0u);
    EXPECT_EQ(op(MakeProfile("Z", "z", 0, 0), MIRODEL_OP_REPLACE), kNotFound);
    EXPECT_EQ(op(MakeProfile("Z", "z", 0, 0), MIRODEL_OP_DELETE), kNotFound);
    EXPECT_EQ(op(a, MIRODEL_OP_DELETE), 0u);
    EXPECT_THAT(names(), ElementsAre("B", "a"));

    EXPECT_EQ(op(b, MIRODEL_OP_SET_DEFAULT), 0u);
    ProfileRecord out;
    ASSERT_EQ(api.ProfileOp(&out, MIRODEL_OP_READ_DEFAULT, kUser, nullptr), 0u);
    EXPECT_STREQ(out.ssid, "net-b2");
    EXPECT_EQ(defaultName(kLogon), "(none)") << "each store has its own default";

    // A default that is no stored profile, as the utility hands over for "default".
    ProfileRecord fallback = MakeProfile("", "default", 0, 0);
    EXPECT_EQ(op(fallback, MIRODEL_OP_SET_DEFAULT), 0u);
    ASSERT_EQ(api.ProfileOp(&out, MIRODEL_OP_READ_DEFAULT, kUser, nullptr), 0u);
    EXPECT_STREQ(out.ssid, "default");

    ProfileRecord logon = MakeProfile("L", "net-l", 0, 0);
    logon.logonFlag = 1;
    EXPECT_EQ(op(logon, MIRODEL_OP_LOGON_PREPARE, kUser), kInvalidParameter) << "a step of the logon store only";
    EXPECT_EQ(op(logon, MIRODEL_OP_LOGON_PREPARE, kLogon), 0u);
    EXPECT_EQ(op(logon, MIRODEL_OP_LOGON_PREPARE, kLogon), 0u) << "handing it over again replaces it";
    EXPECT_EQ(op(logon, MIRODEL_OP_SET_DEFAULT, kLogon), 0u);
    EXPECT_THAT(names(kLogon), ElementsAre("L"));
    EXPECT_EQ(defaultName(kLogon), "L");

    ProfileRecord badHash = a;
    badHash.certHashLength = 129;
    EXPECT_EQ(op(badHash, MIRODEL_OP_ADD), kInvalidParameter);
    EXPECT_EQ(op(a, 9), kInvalidParameter);
    EXPECT_EQ(op(a, MIRODEL_OP_ADD, 0x1234), kInvalidParameter);
    EXPECT_EQ(api.ProfileOp(nullptr, MIRODEL_OP_ADD, kUser, nullptr), kInvalidParameter);
    MirodelList* list = nullptr;
    EXPECT_EQ(api.GetProfiles(&list, 0x1234), kInvalidParameter);
    EXPECT_EQ(api.GetProfiles(nullptr, kUser), kInvalidParameter);
}

TEST_F(MirodelStoreTest, RecordsAreKeptAsTheyWereHandedOver)
{
    ProfileRecord p = MakeProfile("Full", "every-field", 5, 3);
    p.reserved1 = 11;
    p.logonFlag = 1;
    p.adHoc = 0;
    p.channel = 44;
    p.eapOption = 0x80000000u;
    p.reserved2 = 22;
    p.keyFormat = KEY_HEX;
    p.keyIndex = 2;
    p.reserved3 = 1;
    std::strcpy(p.reservedText, "kept");
    std::strcpy(p.passphrase, "pass phrase");
    std::strcpy(p.wepKeys[3], "0123456789abcdef0123456789");
    p.wepKeyLength[3] = 13;
    p.certHashLength = 20;
    for (int i = 0; i < 20; ++i)
        p.certHash[i] = static_cast<std::uint8_t>(i + 1);
    p.certHash[50] = 0xEE; // beyond certHashLength: not kept
    std::memset(p.profileName + 5, 'X', 20); // after the terminator: not kept
    ASSERT_EQ(op(p, MIRODEL_OP_ADD), 0u);
    reload();
    MirodelList* list = nullptr;
    ASSERT_EQ(api.GetProfiles(&list, kUser), 0u);
    ASSERT_EQ(list->count, 1u);
    const auto& r = *static_cast<const ProfileRecord*>(list->elements[0]);
    EXPECT_STREQ(r.profileName, "Full");
    EXPECT_EQ(r.profileName[5], '\0');
    EXPECT_STREQ(r.ssid, "every-field");
    EXPECT_EQ(r.reserved1, 11u);
    EXPECT_EQ(r.logonFlag, 1u);
    EXPECT_EQ(r.channel, 44);
    EXPECT_EQ(r.authMode, 5);
    EXPECT_EQ(r.encryption, 3);
    EXPECT_EQ(r.eapOption, 0x80000000u);
    EXPECT_EQ(r.reserved2, 22u);
    EXPECT_EQ(r.keyFormat, KEY_HEX);
    EXPECT_EQ(r.keyIndex, 2u);
    EXPECT_STREQ(r.reservedText, "kept");
    EXPECT_STREQ(r.passphrase, "pass phrase");
    EXPECT_STREQ(r.wepKeys[3], "0123456789abcdef0123456789");
    EXPECT_EQ(r.wepKeyLength[3], 13u);
    EXPECT_EQ(r.certHashLength, 20u);
    EXPECT_EQ(r.certHash[19], 20);
    EXPECT_EQ(r.certHash[50], 0);

    // A text without a terminator is cut inside its field.
    ProfileRecord longName = MakeProfile("", "x", 0, 0);
    std::memset(longName.profileName, 'N', sizeof longName.profileName);
    ASSERT_EQ(op(longName, MIRODEL_OP_ADD), 0u);
    EXPECT_EQ(names().back(), std::string(80, 'N'));
}

TEST_F(MirodelStoreTest, ListElementsAreTheLibrarysCopies)
{
    ASSERT_EQ(op(MakeProfile("A", "net-a", 0, 0), MIRODEL_OP_ADD), 0u);
    MirodelList* list = nullptr;
    ASSERT_EQ(api.GetProfiles(&list, kUser), 0u);
    auto* element = static_cast<ProfileRecord*>(list->elements[0]);
    // The caller edits the element in place and hands it back, as the profile list does.
    std::strcpy(element->ssid, "net-a2");
    ASSERT_EQ(api.ProfileOp(element, MIRODEL_OP_REPLACE, kUser, nullptr), 0u);
    ASSERT_EQ(api.ProfileOp(element, MIRODEL_OP_SET_DEFAULT, kUser, nullptr), 0u);
    ASSERT_EQ(op(MakeProfile("B", "net-b", 0, 0), MIRODEL_OP_ADD), 0u);
    MirodelList* other = nullptr;
    ASSERT_EQ(api.GetProfiles(&other, kLogon), 0u);
    // Still the list as it was read: valid until the next list of the user's store.
    EXPECT_EQ(list->count, 1u);
    EXPECT_STREQ(static_cast<ProfileRecord*>(list->elements[0])->ssid, "net-a2");
    EXPECT_EQ(other->count, 0u);
    EXPECT_EQ(other->elements, nullptr);
    EXPECT_THAT(names(), ElementsAre("A", "B"));
}

TEST_F(MirodelStoreTest, BothStoresAndTheirDefaultsSurviveAReload)
{
    ASSERT_EQ(op(MakeProfile("A", "net-a", 0, 0), MIRODEL_OP_ADD), 0u);
    ASSERT_EQ(op(MakeProfile("B", "net-b", 0, 0), MIRODEL_OP_ADD), 0u);
    ASSERT_EQ(op(MakeProfile("B", "net-b", 0, 0), MIRODEL_OP_SET_DEFAULT), 0u);
    ASSERT_EQ(op(MakeProfile("L", "net-l", 0, 0), MIRODEL_OP_LOGON_PREPARE, kLogon), 0u);
    ASSERT_EQ(op(MakeProfile("L", "net-l", 0, 0), MIRODEL_OP_SET_DEFAULT, kLogon), 0u);
    reload();
    EXPECT_THAT(names(), ElementsAre("A", "B"));
    EXPECT_THAT(names(kLogon), ElementsAre("L"));
    EXPECT_EQ(defaultName(), "B");
    EXPECT_EQ(defaultName(kLogon), "L");
}

TEST_F(MirodelStoreTest, DeletingTheDefaultMakesTheFirstLeftTheDefault)
{
    for (const char* n : {"A", "B", "C"})
        ASSERT_EQ(op(MakeProfile(n, "net", 0, 0), MIRODEL_OP_ADD), 0u);
    ASSERT_EQ(op(MakeProfile("B", "net", 0, 0), MIRODEL_OP_SET_DEFAULT), 0u);
    ASSERT_EQ(op(MakeProfile("C", "net", 0, 0), MIRODEL_OP_DELETE), 0u);
    EXPECT_EQ(defaultName(), "B");
    ASSERT_EQ(op(MakeProfile("B", "net", 0, 0), MIRODEL_OP_DELETE), 0u);
    EXPECT_EQ(defaultName(), "A");
    ProfileRecord edited = MakeProfile("A", "edited", 0, 0);
    ASSERT_EQ(op(edited, MIRODEL_OP_REPLACE), 0u);
    ProfileRecord out;
    ASSERT_EQ(api.ProfileOp(&out, MIRODEL_OP_READ_DEFAULT, kUser, nullptr), 0u);
    EXPECT_STREQ(out.ssid, "edited") << "the default follows an edit of its profile";
    ASSERT_EQ(op(MakeProfile("A", "net", 0, 0), MIRODEL_OP_DELETE), 0u);
    EXPECT_EQ(defaultName(), "(none)");
}

TEST_F(MirodelStoreTest, FileAndFolderAreTheUsersOnly)
{
    const mode_t old = umask(0);
    const std::uint32_t status = op(MakeProfile("A", "net-a", 0, 0), MIRODEL_OP_ADD);
    umask(old);
    ASSERT_EQ(status, 0u);
    EXPECT_EQ(Mode(storeFolder()), 0700u);
    EXPECT_EQ(Mode(storeFolder() / "Profiles.dat"), 0600u);
    EXPECT_EQ(Mode(storeFolder() / "Profiles.lock"), 0600u);

    chmod(storeFolder().c_str(), 0755);
    ASSERT_EQ(op(MakeProfile("B", "net-b", 0, 0), MIRODEL_OP_ADD), 0u);
    EXPECT_EQ(Mode(storeFolder()), 0700u) << "a folder opened to others is closed again";
    EXPECT_EQ(Mode(storeFolder() / "Profiles.dat"), 0600u);
}

TEST_F(MirodelStoreTest, AStoreThatCannotBeReadBackIsMovedAside)
{
    ASSERT_EQ(op(MakeProfile("A", "net-a", 0, 0), MIRODEL_OP_ADD), 0u);
    const std::string good = ReadFile(storeFolder() / "Profiles.dat");
    struct Case
    {
        const char* what;
        std::string bytes;
    };
    const Case cases[] = {
        {"truncated", good.substr(0, good.size() - 7)},
        {"one byte changed", [&] {
             std::string s = good;
             s[s.size() / 2] ^= 0x20;
             return s;
         }()},
        {"a foreign file", "[Profiles]\nA=net-a\n"},
        {"empty", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove_all(storeFolder());
        std::filesystem::create_directories(storeFolder());
        { std::ofstream(storeFolder() / "Profiles.dat", std::ios::binary) << c.bytes; }
        reload();
        TraceCapture trace;
        EXPECT_THAT(names(), IsEmpty());
        const auto files = filesInStore();
        const auto aside = std::find_if(files.begin(), files.end(), [](const std::filesystem::path& f) {
            return f.string().rfind("Profiles.dat.corrupt-", 0) == 0;
        });
        ASSERT_NE(aside, files.end());
        EXPECT_EQ(aside->string().size(), std::string("Profiles.dat.corrupt-20240101-120000").size());
        EXPECT_EQ(ReadFile(storeFolder() / *aside), c.bytes) << "kept as it was";
        EXPECT_THAT(trace.get(), HasSubstr("moved aside to"));
        EXPECT_THAT(trace.get(), HasSubstr(aside->string()));
        ASSERT_EQ(op(MakeProfile("N", "net-n", 0, 0), MIRODEL_OP_ADD), 0u);
        reload();
        EXPECT_THAT(names(), ElementsAre("N"));
        EXPECT_EQ(ReadFile(storeFolder() / *aside), c.bytes);
    }
}

/// Runs the store child; returns its pid and the read end of its output.
pid_t SpawnChild(const std::filesystem::path& programDir, const std::string& prefix, int count, FILE** out)
{
    int fds[2];
    if (pipe(fds) != 0)
        return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    const std::string dir = programDir.string(), n = std::to_string(count);
    char* argv[] = {const_cast<char*>(STORE_CHILD), const_cast<char*>(dir.c_str()),
                    const_cast<char*>(prefix.c_str()), const_cast<char*>(n.c_str()), nullptr};
    pid_t pid = -1;
    if (posix_spawn(&pid, STORE_CHILD, &actions, nullptr, argv, environ) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    *out = fdopen(fds[0], "r");
    return pid;
}

TEST_F(MirodelStoreTest, AnotherProcesssChangesAreNeitherMissedNorOverwritten)
{
    ASSERT_EQ(op(MakeProfile("mine-1", "net", 0, 0), MIRODEL_OP_ADD), 0u);
    FILE* out = nullptr;
    const pid_t pid = SpawnChild(m_dir.path(), "theirs-", 3, &out);
    ASSERT_GT(pid, 0);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    std::fclose(out);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ASSERT_EQ(op(MakeProfile("mine-2", "net", 0, 0), MIRODEL_OP_ADD), 0u);
    EXPECT_THAT(names(), ElementsAre("mine-1", "theirs-0", "theirs-1", "theirs-2", "mine-2"));
}

TEST_F(MirodelStoreTest, AWriterKilledMidWriteLeavesTheOldOrTheNewStore)
{
    // Enough profiles that each write takes a while.
    std::string big;
    for (int i = 0; i < 1500; ++i)
        big += "[bulk" + std::to_string(i) + "]\nssid=bulk\npassphrase=bulk-passphrase-" + std::to_string(i) +
               "\nauthMode=WPA2-PSK\nencryption=AES\n";
    ASSERT_EQ(import(m_dir.write("Bulk.rec", big)), 0u);
    const int stops[] = {2, 11, 23, 5, 16};
    for (int round = 0; round < 5; ++round) {
        const std::string prefix = "r" + std::to_string(round) + "-";
        FILE* out = nullptr;
        const pid_t pid = SpawnChild(m_dir.path(), prefix, 100000, &out);
        ASSERT_GT(pid, 0);
        int stored = 0;
        char line[64];
        while (stored < stops[round] && std::fgets(line, sizeof line, out))
            ++stored;
        kill(pid, SIGKILL);
        int status = 0;
        waitpid(pid, &status, 0);
        std::fclose(out);
        ASSERT_EQ(stored, stops[round]) << "the child stopped early";

        const auto all = names();
        std::map<std::string, std::set<int>> rounds;
        for (const std::string& n : all)
            if (n[0] == 'r')
                rounds[n.substr(0, n.find('-') + 1)].insert(std::stoi(n.substr(n.find('-') + 1)));
        ASSERT_EQ(all.size() - 1500, [&] {
            std::size_t total = 0;
            for (const auto& [p, set] : rounds)
                total += set.size();
            return total;
        }());
        const std::set<int>& mine = rounds[prefix];
        ASSERT_GE(static_cast<int>(mine.size()), stored) << "a write it had reported is lost";
        EXPECT_EQ(*mine.rbegin(), static_cast<int>(mine.size()) - 1) << "not a whole number of writes";
        for (const auto& f : filesInStore()) {
            EXPECT_EQ(f.string().find("corrupt"), std::string::npos) << "a torn store";
            EXPECT_EQ(f.string().find(".tmp-"), std::string::npos) << "a dead writer's file was left";
        }
    }
}

// Import ----------------------------------------------------------------------------------

TEST_F(MirodelStoreTest, AGoodProfileFileImportsEveryProfile)
{
    ASSERT_EQ(op(MakeProfile("Cafe", "old-cafe", 0, 0), MIRODEL_OP_ADD), 0u);
    ASSERT_EQ(import(QUELMAR_TEST_DATA "/mirodel/Profile.rec"), 0u);
    EXPECT_THAT(names(), ElementsAre("Cafe", "Home", "Office", "Nordby (WPA or WPA2)", "Legacy", "Bakery", "Party"));
    EXPECT_EQ(defaultName(), "Home");
    MirodelList* list = nullptr;
    ASSERT_EQ(api.GetProfiles(&list, kUser), 0u);
    std::map<std::string, ProfileRecord> byName;
    for (std::uint32_t i = 0; i < list->count; ++i) {
        const auto* r = static_cast<const ProfileRecord*>(list->elements[i]);
        byName[r->profileName] = *r;
    }
    EXPECT_STREQ(byName["Cafe"].ssid, "Cafe Aurora") << "an imported profile replaces its namesake";
    const ProfileRecord& home = byName["Home"];
    EXPECT_STREQ(home.ssid, "Lindqvist");
    EXPECT_EQ(home.authMode, 3);
    EXPECT_EQ(home.encryption, 3);
    EXPECT_EQ(home.keyFormat, KEY_ASCII);
    EXPECT_STREQ(home.passphrase, "correct-horse-7");
    EXPECT_EQ(home.eapOption, 0x80000000u);
    EXPECT_EQ(home.reserved3, 1u);
    EXPECT_EQ(home.channel, 1);
    const ProfileRecord& office = byName["Office"];
    EXPECT_EQ(office.authMode, 45);
    EXPECT_EQ(office.encryption, 23);
    EXPECT_EQ(office.certHashLength, 20u);
    EXPECT_EQ(office.certHash[0], 0x5D);
    EXPECT_EQ(office.certHash[19], 0x79);
    EXPECT_EQ(byName["Nordby (WPA or WPA2)"].authMode, 23);
    const ProfileRecord& legacy = byName["Legacy"];
    EXPECT_EQ(legacy.authMode, 100);
    EXPECT_EQ(legacy.encryption, 1);
    EXPECT_EQ(legacy.keyIndex, 0u);
    EXPECT_EQ(legacy.keyFormat, KEY_HEX);
    EXPECT_EQ(legacy.wepKeyLength[0], 5u);
    EXPECT_STREQ(legacy.wepKeys[0], "1A2B3C4D5E");
    EXPECT_EQ(byName["Bakery"].keyFormat, KEY_HEX);
    EXPECT_EQ(byName["Bakery"].authMode, 2);
    EXPECT_EQ(byName["Party"].adHoc, 1);
    EXPECT_EQ(byName["Party"].channel, 10);
}

TEST_F(MirodelStoreTest, AnInvalidProfileFileImportsNothing)
{
    ASSERT_EQ(op(MakeProfile("Kept", "net", 0, 0), MIRODEL_OP_ADD), 0u);
    ASSERT_EQ(op(MakeProfile("Kept", "net", 0, 0), MIRODEL_OP_SET_DEFAULT), 0u);
    const std::string before = ReadFile(storeFolder() / "Profiles.dat");
    struct Case
    {
        const char* what;
        std::string text;
        std::string trace; ///< what the trace line must name
    };
    const std::vector<Case> cases = {
        {"an unknown key", "[Home]\nssid=X\ncolour=blue\n", ":3: [Home] colour: unknown key"},
        {"a short passphrase", "[A]\nssid=X\nauthMode=WPA2-PSK\nencryption=AES\npassphrase=short\n",
         ":5: [A] passphrase: expected 8 to 63"},
        {"no SSID", "[A]\nauthMode=Open\n", ": [A]: the key ssid is missing"},
        {"a 33-byte SSID", "[A]\nssid=" + std::string(33, 's') + "\n", ":2: [A] ssid: expected 1 to 32"},
        {"an unknown method", "[A]\nssid=X\nauthMode=WPA3\n", ":3: [A] authMode: expected"},
        {"a library-only code", "[A]\nssid=X\nauthMode=11\nencryption=AES\npassphrase=long-enough\n",
         ":3: [A] authMode: expected"},
        {"WPA2 with WEP", "[A]\nssid=X\nauthMode=WPA2-PSK\nencryption=WEP\n",
         ":4: [A] encryption: authMode 3 does not go with encryption 1"},
        {"the WEP key in use missing", "[A]\nssid=X\nauthMode=Shared\nencryption=WEP\nkeyIndex=2\nwepKey1=abcde\n",
         ":5: [A] keyIndex: names a WEP key that is not given"},
        {"WEP keys of two forms", "[A]\nssid=X\nencryption=WEP\nwepKey1=abcde\nwepKey2=0011223344\n",
         ":5: [A] wepKey2: every WEP key must have the form"},
        {"a WEP key of 7 characters", "[A]\nssid=X\nencryption=WEP\nwepKey1=abcdefg\n", ":4: [A] wepKey1: expected 5 or 13"},
        {"a keyFormat against the key", "[A]\nssid=X\nauthMode=WPA-PSK\nencryption=TKIP\npassphrase=long-enough\nkeyFormat=Hex\n",
         ":6: [A] keyFormat: does not match"},
        {"a certificate on a PSK profile",
         "[A]\nssid=X\nauthMode=WPA-PSK\nencryption=TKIP\npassphrase=long-enough\ncertHash=5D3F1A9C7B2E4F6081D3A5C7E9B1F30246813579\n",
         ":6: [A] certHash: a certificate needs"},
        {"EAP-TLS without a certificate", "[A]\nssid=X\nauthMode=WPA2-EAP-TLS\nencryption=AES\n",
         ": [A]: the key certHash"},
        {"a WPA ad hoc profile", "[A]\nssid=X\nadHoc=1\nauthMode=WPA2-PSK\nencryption=AES\npassphrase=long-enough\n",
         ":4: [A] authMode: an ad hoc profile"},
        {"channel 15", "[A]\nssid=X\nchannel=15\n", ":3: [A] channel: expected a channel"},
        {"two defaults", "[A]\nssid=X\ndefault=1\n[B]\nssid=Y\ndefault=yes\n", ": [B]: a second profile marked default"},
        {"one name twice", "[A]\nssid=X\nprofileName=Same\n[B]\nssid=Y\nprofileName=Same\n",
         ": [B]: another section has the profile name \"Same\""},
        {"no profile at all", "; nothing here\n", ": holds no profile"},
        {"a good profile before a bad one", ReadFile(QUELMAR_TEST_DATA "/mirodel/Profile-bad.rec"),
         ":11: [Broken] passphrase"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto file = m_dir.write("Profile.rec", c.text);
        TraceCapture trace;
        EXPECT_EQ(import(file), kInvalidData);
        EXPECT_THAT(trace.get(), HasSubstr(file.string() + c.trace));
        EXPECT_THAT(names(), ElementsAre("Kept"));
        EXPECT_EQ(defaultName(), "Kept");
        EXPECT_EQ(ReadFile(storeFolder() / "Profiles.dat"), before) << "the store was written";
    }
    TraceCapture trace;
    EXPECT_EQ(import(m_dir / "Missing.rec"), 2u);
    EXPECT_THAT(trace.get(), HasSubstr("Missing.rec: no such file"));
    EXPECT_EQ(api.ProfileOp(nullptr, MIRODEL_OP_IMPORT, kUser, nullptr), kInvalidParameter);
}

} // namespace
} // namespace mirodeltest
