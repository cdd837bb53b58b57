#pragma once
// Test harness of libMirodel: the library loaded with dlopen (so that a test can unload and
// reload it) over a temporary program directory, virtual time, and recorders for the plain
// C callbacks.

#include "adapter/Mirodel.h"
#include "TempDir.h"
#include "VirtualClock.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace mirodeltest {

/// The eleven exports, looked up in a loaded libMirodel.
struct Api
{
    void* handle = nullptr;
    decltype(&MirodelFindAdapters) FindAdapters = nullptr;
    decltype(&MirodelOpenAdapter) OpenAdapter = nullptr;
    decltype(&MirodelCloseAdapter) CloseAdapter = nullptr;
    decltype(&MirodelConnect) Connect = nullptr;
    decltype(&MirodelGetScanList) GetScanList = nullptr;
    decltype(&MirodelQuery) Query = nullptr;
    decltype(&MirodelSet) Set = nullptr;
    decltype(&MirodelGetProfiles) GetProfiles = nullptr;
    decltype(&MirodelProfileOp) ProfileOp = nullptr;
    decltype(&MirodelRegisterEvents) RegisterEvents = nullptr;
    decltype(&MirodelUnregisterEvents) UnregisterEvents = nullptr;

    bool load();
    void unload();
    /// True while some part of the process still holds the library.
    static bool resident();
};

/// What the callbacks have seen.
struct Seen
{
    struct Event
    {
        std::uint32_t code;
        std::uint64_t time;
        std::thread::id thread;
    };
    struct Scan
    {
        MirodelList* list;
        std::vector<MirodelBssEntry> entries; ///< copied inside the callback
        std::uint64_t time;
        std::thread::id thread;
    };
    mutable std::mutex mutex;
    std::vector<Event> events;
    std::vector<Scan> scans;

    void clear();
    std::vector<std::uint32_t> eventCodes() const;
    std::size_t scanCount() const;
    Scan scan(std::size_t i) const;
};
Seen& Recorded();
void RecordEvent(std::uint32_t event);
void RecordScan(MirodelList* list);

/// A record from zero bytes, as the editor builds one.
ProfileRecord MakeProfile(const char* name, const char* ssid, std::uint8_t authMode, std::uint8_t encryption);
void SetPassphrase(ProfileRecord& p, const char* text, std::uint8_t keyFormat);
void SetWepKey(ProfileRecord& p, std::uint32_t slot, const char* text, std::uint32_t size, std::uint8_t keyFormat);

struct CtlResult
{
    int exitCode = -1;
    std::string out;
    std::string err;
};

class LibraryTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    /// Keys of Mirodel.ini that a test may choose.
    virtual std::string backend() const { return "sim"; }
    virtual std::string timeScale() const { return "1"; }
    void reload();

    std::filesystem::path storeFolder() const { return m_dir / "store"; }
    std::uint32_t open(const char* name = "Test Adapter A");
    void advance(std::uint64_t ms) { m_clock.advance(ms); }
    bool waitForEvents(std::size_t count);
    bool waitForScans(std::size_t count);

    std::uint32_t query(std::uint32_t code, std::vector<std::uint8_t>& out, std::uint32_t length);
    std::uint32_t queryText(std::uint32_t code, std::string& out, std::uint32_t length = 33);
    std::uint32_t queryWord(std::uint32_t code, std::uint32_t& out);
    std::uint32_t vendorQuery(std::uint32_t code, std::uint32_t& out);
    std::uint32_t vendorSet(std::uint32_t code, std::uint32_t value);
    std::uint32_t setByte(std::uint32_t code, std::uint8_t value);
    std::uint32_t setEmpty(std::uint32_t code);

    /// Connects and waits until the address has come.
    void connectAndWait(ProfileRecord profile);
    CtlResult ctl(const std::vector<std::string>& args);

    fakes::VirtualClock m_clock;
    fakes::TempDir m_dir;
    Api api;
    std::string m_oldRuntime;
    bool m_hadRuntime = false;
};

} // namespace mirodeltest
