#include "FakeMirodel.h"

#include <algorithm>
#include <chrono>
#include <cstring>

namespace fakes {

FakeMirodel& FakeMirodel::instance()
{
    static FakeMirodel fake;
    return fake;
}

FakeMirodel::FakeMirodel() : m_thread([this] { threadMain(); }) {}

FakeMirodel::~FakeMirodel()
{
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

void FakeMirodel::threadMain()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_stop || !m_tasks.empty(); });
        if (m_stop)
            return;
        auto task = std::move(m_tasks.front());
        m_tasks.pop_front();
        m_busy = true;
        lock.unlock();
        task();
        lock.lock();
        m_busy = false;
        m_changed.notify_all();
    }
}

void FakeMirodel::post(std::function<void()> task)
{
    {
        std::lock_guard lock(m_mutex);
        m_tasks.push_back(std::move(task));
    }
    m_changed.notify_all();
}

void FakeMirodel::drain()
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_tasks.empty() && !m_busy; });
}

bool FakeMirodel::idle() const
{
    std::lock_guard lock(m_mutex);
    return m_tasks.empty() && !m_busy;
}

void FakeMirodel::reset()
{
    drain();
    std::lock_guard lock(m_mutex);
    m_calls.clear();
    m_status.clear();
    m_requestStatus.clear();
    m_queryData.clear();
    m_adapters.clear();
    m_scan.clear();
    m_profiles.clear();
    m_default.reset();
    m_autoDeliver = true;
    m_hooks.clear();
    m_scanCallback = nullptr;
    m_eventCallback = nullptr;
}

void FakeMirodel::setStatus(const std::string& function, std::uint32_t status)
{
    std::lock_guard lock(m_mutex);
    m_status[function] = status;
}

void FakeMirodel::setRequestStatus(std::uint32_t code, std::uint32_t status)
{
    std::lock_guard lock(m_mutex);
    m_requestStatus[code] = status;
}

void FakeMirodel::setQueryData(std::uint32_t code, std::vector<std::uint8_t> bytes)
{
    std::lock_guard lock(m_mutex);
    m_queryData[code] = std::move(bytes);
}

void FakeMirodel::setQueryValue(std::uint32_t code, std::uint32_t value)
{
    std::vector<std::uint8_t> bytes(4);
    std::memcpy(bytes.data(), &value, 4);
    setQueryData(code, std::move(bytes));
}

void FakeMirodel::setAdapters(std::vector<std::string> names)
{
    std::lock_guard lock(m_mutex);
    m_adapters = std::move(names);
}

void FakeMirodel::setScanList(std::vector<MirodelBssEntry> entries)
{
    std::lock_guard lock(m_mutex);
    m_scan = std::move(entries);
}

void FakeMirodel::setProfiles(std::uint32_t store, std::vector<ProfileRecord> profiles)
{
    std::lock_guard lock(m_mutex);
    m_profiles[store] = std::move(profiles);
}

void FakeMirodel::setDefaultProfile(std::optional<ProfileRecord> profile)
{
    std::lock_guard lock(m_mutex);
    m_default = profile;
}

void FakeMirodel::setAutoDeliverScan(bool on)
{
    std::lock_guard lock(m_mutex);
    m_autoDeliver = on;
}

void FakeMirodel::setCallHook(const std::string& function, std::function<void()> hook)
{
    std::lock_guard lock(m_mutex);
    m_hooks[function] = std::move(hook);
}

void FakeMirodel::fireEvent(std::uint32_t event)
{
    post([this, event] {
        MirodelEventCallback callback;
        {
            std::lock_guard lock(m_mutex);
            callback = m_eventCallback;
        }
        if (callback)
            callback(event);
    });
}

void FakeMirodel::deliverScan()
{
    post([this] {
        MirodelScanCallback callback;
        {
            std::lock_guard lock(m_mutex);
            callback = m_scanCallback;
        }
        if (callback)
            callback(scanList());
    });
}

std::vector<MirodelCall> FakeMirodel::calls() const
{
    std::lock_guard lock(m_mutex);
    return m_calls;
}

std::vector<MirodelCall> FakeMirodel::calls(const std::string& function) const
{
    std::lock_guard lock(m_mutex);
    std::vector<MirodelCall> out;
    std::copy_if(m_calls.begin(), m_calls.end(), std::back_inserter(out),
                 [&](const MirodelCall& c) { return c.function == function; });
    return out;
}

std::size_t FakeMirodel::count(const std::string& function) const { return calls(function).size(); }

std::vector<std::uint32_t> FakeMirodel::setCodes() const
{
    std::vector<std::uint32_t> codes;
    for (const auto& c : calls("MirodelSet"))
        codes.push_back(c.code);
    return codes;
}

bool FakeMirodel::waitForCalls(const std::string& function, std::size_t times, int boundMs) const
{
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, std::chrono::milliseconds(boundMs), [&] {
        return static_cast<std::size_t>(std::count_if(
                   m_calls.begin(), m_calls.end(),
                   [&](const MirodelCall& c) { return c.function == function; })) >= times;
    });
}

MirodelEventCallback FakeMirodel::eventCallback() const
{
    std::lock_guard lock(m_mutex);
    return m_eventCallback;
}

MirodelScanCallback FakeMirodel::scanCallback() const
{
    std::lock_guard lock(m_mutex);
    return m_scanCallback;
}

std::uint32_t FakeMirodel::record(MirodelCall call)
{
    call.thread = std::this_thread::get_id();
    const std::string function = call.function;
    const std::uint32_t code = call.code;
    {
        std::lock_guard lock(m_mutex);
        m_calls.push_back(std::move(call));
    }
    m_changed.notify_all();
    runHook(function);
    const bool byCode = function == "MirodelQuery" || function == "MirodelSet";
    return statusOf(function, byCode ? std::optional(code) : std::nullopt);
}

std::uint32_t FakeMirodel::statusOf(const std::string& function,
                                    std::optional<std::uint32_t> code) const
{
    std::lock_guard lock(m_mutex);
    if (code) {
        const auto it = m_requestStatus.find(*code);
        if (it != m_requestStatus.end())
            return it->second;
    }
    const auto it = m_status.find(function);
    return it == m_status.end() ? 0 : it->second;
}

void FakeMirodel::fillQuery(AdapterRequest& request) const
{
    std::lock_guard lock(m_mutex);
    const auto it = m_queryData.find(request.code);
    if (it == m_queryData.end() || !request.buffer)
        return;
    std::memcpy(request.buffer, it->second.data(), std::min<std::size_t>(request.length, it->second.size()));
}

void FakeMirodel::fillAdapters(AdapterList& list, const char* name) const
{
    std::lock_guard lock(m_mutex);
    std::memset(&list, 0, sizeof list);
    for (const auto& adapter : m_adapters) {
        if (list.count == MIRODEL_MAX_ADAPTERS)
            break;
        if (name && adapter != name)
            continue;
        std::strncpy(list.names[list.count], adapter.c_str(), MIRODEL_ADAPTER_NAME_SIZE - 1);
        ++list.count;
    }
}

MirodelList* FakeMirodel::scanList()
{
    std::lock_guard lock(m_mutex);
    m_scanPointers.clear();
    for (auto& entry : m_scan)
        m_scanPointers.push_back(&entry);
    m_scanList = MirodelList{0, m_scanPointers.data(), static_cast<std::uint32_t>(m_scanPointers.size())};
    return &m_scanList;
}

MirodelList* FakeMirodel::profileList(std::uint32_t store)
{
    std::lock_guard lock(m_mutex);
    auto& pointers = m_profilePointers[store];
    pointers.clear();
    for (auto& profile : m_profiles[store])
        pointers.push_back(&profile);
    auto& list = m_profileLists[store];
    list = MirodelList{0, pointers.data(), static_cast<std::uint32_t>(pointers.size())};
    return &list;
}

bool FakeMirodel::readDefault(ProfileRecord& record) const
{
    std::lock_guard lock(m_mutex);
    if (!m_default)
        return false;
    record = *m_default;
    return true;
}

void FakeMirodel::setCallbacks(std::optional<MirodelScanCallback> scan,
                               std::optional<MirodelEventCallback> event)
{
    std::lock_guard lock(m_mutex);
    if (scan)
        m_scanCallback = *scan;
    if (event)
        m_eventCallback = *event;
}

bool FakeMirodel::autoDeliverScan() const
{
    std::lock_guard lock(m_mutex);
    return m_autoDeliver;
}

void FakeMirodel::runHook(const std::string& function) const
{
    std::function<void()> hook;
    {
        std::lock_guard lock(m_mutex);
        const auto it = m_hooks.find(function);
        if (it != m_hooks.end())
            hook = it->second;
    }
    if (hook)
        hook();
}

} // namespace fakes

using fakes::FakeMirodel;
using fakes::MirodelCall;

namespace {

MirodelCall Call(const char* function) { return MirodelCall{function, 0, 0, {}, 0, {}, {}, {}}; }

std::vector<std::uint8_t> Bytes(const AdapterRequest* request)
{
    if (!request || !request->buffer)
        return {};
    const auto* p = static_cast<const std::uint8_t*>(request->buffer);
    return {p, p + request->length};
}

} // namespace

extern "C" {

uint32_t MirodelFindAdapters(AdapterList* list, const char* name)
{
    auto& fake = FakeMirodel::instance();
    MirodelCall call = Call("MirodelFindAdapters");
    call.text = name ? name : "";
    const uint32_t status = fake.record(std::move(call));
    if (list && status == 0)
        fake.fillAdapters(*list, name);
    return status;
}

uint32_t MirodelOpenAdapter(const char* name, uint32_t mode)
{
    MirodelCall call = Call("MirodelOpenAdapter");
    call.text = name ? name : "";
    call.code = mode;
    return FakeMirodel::instance().record(std::move(call));
}

void MirodelCloseAdapter(void) { FakeMirodel::instance().record(Call("MirodelCloseAdapter")); }

uint32_t MirodelConnect(ProfileRecord* profile)
{
    MirodelCall call = Call("MirodelConnect");
    if (profile)
        call.profile = *profile;
    return FakeMirodel::instance().record(std::move(call));
}

uint32_t MirodelGetScanList(MirodelScanCallback callback, uint32_t mode, uint32_t reserved)
{
    auto& fake = FakeMirodel::instance();
    MirodelCall call = Call("MirodelGetScanList");
    call.code = mode;
    call.store = reserved;
    fake.setCallbacks(callback, std::nullopt);
    const uint32_t status = fake.record(std::move(call));
    if (status != 0 || !callback)
        return status;
    if (mode == MIRODEL_SCAN_SYNC)
        callback(fake.scanList());
    else if (fake.autoDeliverScan())
        fake.deliverScan();
    return status;
}

uint32_t MirodelQuery(AdapterRequest* request)
{
    auto& fake = FakeMirodel::instance();
    MirodelCall call = Call("MirodelQuery");
    call.code = request->code;
    call.length = request->length;
    call.data = Bytes(request);
    const uint32_t status = fake.record(std::move(call));
    if (status == 0)
        fake.fillQuery(*request);
    return status;
}

uint32_t MirodelSet(AdapterRequest* request)
{
    MirodelCall call = Call("MirodelSet");
    call.code = request->code;
    call.length = request->length;
    call.data = Bytes(request);
    return FakeMirodel::instance().record(std::move(call));
}

uint32_t MirodelGetProfiles(MirodelList** list, uint32_t store)
{
    auto& fake = FakeMirodel::instance();
    MirodelCall call = Call("MirodelGetProfiles");
    call.store = store;
    const uint32_t status = fake.record(std::move(call));
    if (status == 0 && list)
        *list = fake.profileList(store);
    return status;
}

uint32_t MirodelProfileOp(ProfileRecord* profile, uint32_t op, uint32_t store, const char* path)
{
    auto& fake = FakeMirodel::instance();
    MirodelCall call = Call("MirodelProfileOp");
    call.code = op;
    call.store = store;
    call.text = path ? path : "";
    if (profile)
        call.profile = *profile;
    const uint32_t status = fake.record(std::move(call));
    if (status == 0 && op == MIRODEL_OP_READ_DEFAULT && profile)
        return fake.readDefault(*profile) ? 0 : 1;
    return status;
}

uint32_t MirodelRegisterEvents(uint32_t mask, MirodelEventCallback callback)
{
    auto& fake = FakeMirodel::instance();
    MirodelCall call = Call("MirodelRegisterEvents");
    call.code = mask;
    fake.setCallbacks(std::nullopt, callback);
    return fake.record(std::move(call));
}

void MirodelUnregisterEvents(void)
{
    auto& fake = FakeMirodel::instance();
    fake.setCallbacks(std::nullopt, MirodelEventCallback{nullptr});
    fake.record(Call("MirodelUnregisterEvents"));
}

} // extern "C"
