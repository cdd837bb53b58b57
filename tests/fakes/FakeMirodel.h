#pragma once
// A scripted adapter library: the same C functions as libMirodel, recording every call with
// its arguments, returning programmed statuses and data, and firing scan and event callbacks
// from a thread of its own.

#include "adapter/Mirodel.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace fakes {

struct MirodelCall
{
    std::string function;      ///< "MirodelQuery", ...
    std::uint32_t code = 0;    ///< request code, op, scan mode or event mask
    std::uint32_t length = 0;  ///< request length
    std::vector<std::uint8_t> data; ///< request buffer as the library saw it on entry
    std::uint32_t store = 0;
    std::string text;          ///< adapter name or import path
    std::optional<ProfileRecord> profile;
    std::thread::id thread;
};

class FakeMirodel
{
public:
    static FakeMirodel& instance();

    /// Forgets calls, programming and callbacks; waits for the fake's thread to be idle.
    void reset();

    // Programming.
    void setStatus(const std::string& function, std::uint32_t status);
    void setRequestStatus(std::uint32_t code, std::uint32_t status);
    /// Bytes a query of `code` copies into the caller's buffer (at most its length).
    void setQueryData(std::uint32_t code, std::vector<std::uint8_t> bytes);
    void setQueryValue(std::uint32_t code, std::uint32_t value); ///< 4 little-endian bytes
    void setAdapters(std::vector<std::string> names);
    void setScanList(std::vector<MirodelBssEntry> entries);
    void setProfiles(std::uint32_t store, std::vector<ProfileRecord> profiles);
    void setDefaultProfile(std::optional<ProfileRecord> profile);
    /// Mode 4 scans deliver the list from the fake's thread (on by default).
    void setAutoDeliverScan(bool on);
    /// Runs inside every call of `function` before it returns (blocking, counting, ...).
    void setCallHook(const std::string& function, std::function<void()> hook);

    // Callbacks, fired from the fake's own thread in order.
    void fireEvent(std::uint32_t event);
    void deliverScan();
    /// Blocks until everything queued for the fake's thread has run. Not from the interface
    /// thread while a callback may send to it: wait with fakes::WaitUntil on idle() there.
    void drain();
    bool idle() const;

    // Inspection.
    std::vector<MirodelCall> calls() const;
    std::vector<MirodelCall> calls(const std::string& function) const;
    std::size_t count(const std::string& function) const;
    /// Codes of the MirodelSet calls, in order.
    std::vector<std::uint32_t> setCodes() const;
    /// Waits (bounded) until `function` has been called `times` times in all.
    bool waitForCalls(const std::string& function, std::size_t times, int boundMs = 10000) const;
    MirodelEventCallback eventCallback() const;
    MirodelScanCallback scanCallback() const;

    // Used by the C functions.
    std::uint32_t record(MirodelCall call);
    std::uint32_t statusOf(const std::string& function, std::optional<std::uint32_t> code = {}) const;
    void fillQuery(AdapterRequest& request) const;
    void fillAdapters(AdapterList& list, const char* name) const;
    MirodelList* scanList();
    MirodelList* profileList(std::uint32_t store);
    bool readDefault(ProfileRecord& record) const;
    void setCallbacks(std::optional<MirodelScanCallback> scan, std::optional<MirodelEventCallback> event);
    bool autoDeliverScan() const;
    void runHook(const std::string& function) const;

private:
    FakeMirodel();
    ~FakeMirodel();
    void post(std::function<void()> task);
    void threadMain();

    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    std::vector<MirodelCall> m_calls;
    std::map<std::string, std::uint32_t> m_status;
    std::map<std::uint32_t, std::uint32_t> m_requestStatus;
    std::map<std::uint32_t, std::vector<std::uint8_t>> m_queryData;
    std::vector<std::string> m_adapters;
    std::vector<MirodelBssEntry> m_scan;
    std::vector<void*> m_scanPointers;
    MirodelList m_scanList{};
    std::map<std::uint32_t, std::vector<ProfileRecord>> m_profiles;
    std::map<std::uint32_t, std::vector<void*>> m_profilePointers;
    std::map<std::uint32_t, MirodelList> m_profileLists;
    std::optional<ProfileRecord> m_default;
    bool m_autoDeliver = true;
    std::map<std::string, std::function<void()>> m_hooks;
    MirodelScanCallback m_scanCallback = nullptr;
    MirodelEventCallback m_eventCallback = nullptr;

    std::deque<std::function<void()>> m_tasks;
    bool m_busy = false;
    bool m_stop = false;
    std::thread m_thread;
};

} // namespace fakes
