#include "Harness.h"

#include "Wait.h"
#include "platform/Clock.h"
#include "platform/System.h"

#include <QProcess>

#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <sys/stat.h>

namespace mirodeltest {

bool Api::load()
{
    handle = dlopen(MIRODEL_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        ADD_FAILURE() << dlerror();
        return false;
    }
    auto bind = [this](auto& fn, const char* name) {
        fn = reinterpret_cast<std::remove_reference_t<decltype(fn)>>(dlsym(handle, name));
        if (!fn)
            ADD_FAILURE() << "no export " << name;
    };
    bind(FindAdapters, "MirodelFindAdapters");
    bind(OpenAdapter, "MirodelOpenAdapter");
    bind(CloseAdapter, "MirodelCloseAdapter");
    bind(Connect, "MirodelConnect");
    bind(GetScanList, "MirodelGetScanList");
    bind(Query, "MirodelQuery");
    bind(Set, "MirodelSet");
    bind(GetProfiles, "MirodelGetProfiles");
    bind(ProfileOp, "MirodelProfileOp");
    bind(RegisterEvents, "MirodelRegisterEvents");
    bind(UnregisterEvents, "MirodelUnregisterEvents");
    return true;
}

void Api::unload()
{
    if (handle)
        dlclose(handle);
    *this = Api{};
}

bool Api::resident()
{
    void* h = dlopen(MIRODEL_LIBRARY, RTLD_NOW | RTLD_NOLOAD);
    if (h)
        dlclose(h);
    return h != nullptr;
}

void Seen::clear()
{
    std::lock_guard lock(mutex);
    events.clear();
    scans.clear();
}

std::vector<std::uint32_t> Seen::eventCodes() const
{
    std::lock_guard lock(mutex);
    std::vector<std::uint32_t> out;
    for (const Event& e : events)
        out.push_back(e.code);
    return out;
}

std::size_t Seen::scanCount() const
{
    std::lock_guard lock(mutex);
    return scans.size();
}

Seen::Scan Seen::scan(std::size_t i) const
{
    std::lock_guard lock(mutex);
    return scans.at(i);
}

Seen& Recorded()
{
    static Seen seen;
    return seen;
}

void RecordEvent(std::uint32_t event)
{
    Seen& s = Recorded();
    std::lock_guard lock(s.mutex);
    s.events.push_back({event, platform::GetTickCount64(), std::this_thread::get_id()});
}

void RecordScan(MirodelList* list)
{
    Seen::Scan scan{list, {}, platform::GetTickCount64(), std::this_thread::get_id()};
    for (std::uint32_t i = 0; list && i < list->count; ++i)
        scan.entries.push_back(*static_cast<MirodelBssEntry*>(list->elements[i]));
    Seen& s = Recorded();
    std::lock_guard lock(s.mutex);
    s.scans.push_back(std::move(scan));
}

ProfileRecord MakeProfile(const char* name, const char* ssid, std::uint8_t authMode, std::uint8_t encryption)
{
    ProfileRecord p;
    std::memset(&p, 0, sizeof p);
    std::strncpy(p.profileName, name, sizeof p.profileName - 1);
    std::strncpy(p.ssid, ssid, sizeof p.ssid - 1);
    p.authMode = authMode;
    p.encryption = encryption;
    p.channel = 1;
    for (auto& n : p.wepKeyLength)
        n = 5;
    return p;
}

void SetPassphrase(ProfileRecord& p, const char* text, std::uint8_t keyFormat)
{
    std::strncpy(p.passphrase, text, sizeof p.passphrase - 1);
    p.keyFormat = keyFormat;
}

void SetWepKey(ProfileRecord& p, std::uint32_t slot, const char* text, std::uint32_t size, std::uint8_t keyFormat)
{
    std::strncpy(p.wepKeys[slot], text, sizeof p.wepKeys[slot] - 1);
    p.wepKeyLength[slot] = size;
    p.keyIndex = slot;
    p.keyFormat = keyFormat;
}

void LibraryTest::SetUp()
{
    Recorded().clear();
    const char* old = std::getenv("XDG_RUNTIME_DIR");
    m_hadRuntime = old != nullptr;
    m_oldRuntime = old ? old : "";
    const auto runtime = m_dir / "run";
    std::filesystem::create_directories(runtime);
    chmod(runtime.c_str(), 0700);
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    m_dir.write("Mirodel.ini", "[Mirodel]\nBackend=" + backend() +
                                   "\nScenario=" QUELMAR_TEST_DATA "/mirodel/World.ini\nTimeScale=" + timeScale() +
                                   "\nStoreFolder=" + storeFolder().string() + "\n");
    platform::SetProgramDirectory(m_dir.path());
    ASSERT_TRUE(api.load());
}

void LibraryTest::TearDown()
{
    api.unload();
    platform::SetProgramDirectory({});
    if (m_hadRuntime)
        setenv("XDG_RUNTIME_DIR", m_oldRuntime.c_str(), 1);
    else
        unsetenv("XDG_RUNTIME_DIR");
}

void LibraryTest::reload()
{
    api.unload();
    ASSERT_FALSE(Api::resident());
    ASSERT_TRUE(api.load());
}

std::uint32_t LibraryTest::open(const char* name) { return api.OpenAdapter(name, MIRODEL_OPEN_BY_NAME); }

bool LibraryTest::waitForEvents(std::size_t count)
{
    return fakes::WaitUntil([&] { return Recorded().eventCodes().size() >= count; });
}

bool LibraryTest::waitForScans(std::size_t count)
{
    return fakes::WaitUntil([&] { return Recorded().scanCount() >= count; });
}

std::uint32_t LibraryTest::query(std::uint32_t code, std::vector<std::uint8_t>& out, std::uint32_t length)
{
    out.assign(length, 0);
    AdapterRequest r{code, length, out.data()};
    return api.Query(&r);
}

std::uint32_t LibraryTest::queryText(std::uint32_t code, std::string& out, std::uint32_t length)
{
    std::vector<std::uint8_t> bytes;
    const std::uint32_t status = query(code, bytes, length);
    const auto nul = std::find(bytes.begin(), bytes.end(), 0);
    EXPECT_NE(nul, bytes.end()) << "text of request " << code << " not terminated inside its buffer";
    out.assign(bytes.begin(), nul);
    return status;
}

std::uint32_t LibraryTest::queryWord(std::uint32_t code, std::uint32_t& out)
{
    AdapterRequest r{code, 4, &out};
    out = 0;
    return api.Query(&r);
}

std::uint32_t LibraryTest::vendorQuery(std::uint32_t code, std::uint32_t& out)
{
    std::uint8_t buffer[21] = {};
    buffer[12] = code == 503 ? 1 : 4;
    AdapterRequest r{code, code == 503 ? 21u : 20u, buffer};
    const std::uint32_t status = api.Query(&r);
    std::memcpy(&out, buffer + 16, 4);
    return status;
}

std::uint32_t LibraryTest::vendorSet(std::uint32_t code, std::uint32_t value)
{
    std::uint8_t buffer[20] = {};
    buffer[12] = 4;
    std::memcpy(buffer + 16, &value, 4);
    AdapterRequest r{code, 20, buffer};
    return api.Set(&r);
}

std::uint32_t LibraryTest::setByte(std::uint32_t code, std::uint8_t value)
{
    AdapterRequest r{code, 1, &value};
    return api.Set(&r);
}

std::uint32_t LibraryTest::setEmpty(std::uint32_t code)
{
    AdapterRequest r{code, 0, nullptr};
    return api.Set(&r);
}

void LibraryTest::connectAndWait(ProfileRecord profile)
{
    const std::size_t before = Recorded().eventCodes().size();
    ASSERT_EQ(api.Connect(&profile), 0u);
    advance(1200);
    advance(800);
    ASSERT_TRUE(waitForEvents(before + 2)) << "no connect and address events";
}

CtlResult LibraryTest::ctl(const std::vector<std::string>& args)
{
    QProcess process;
    QStringList list;
    for (const std::string& a : args)
        list << QString::fromStdString(a);
    process.start(MIRODELCTL, list);
    CtlResult result;
    if (!process.waitForFinished(30000)) {
        ADD_FAILURE() << "mirodelctl did not finish";
        return result;
    }
    result.exitCode = process.exitCode();
    result.out = process.readAllStandardOutput().toStdString();
    result.err = process.readAllStandardError().toStdString();
    return result;
}

} // namespace mirodeltest
