#include "maker/mirodel/Library.h"

#include "maker/airsim/Status.h"
#include "maker/mirodel/ProfileImport.h"
#include "maker/mirodel/Requests.h"
#include "platform/System.h"
#include "platform/Trace.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace mirodel {

using namespace airsim;

namespace {

Library g_library;

bool SameName(const std::string& a, const char* b)
{
    const std::size_t n = std::strlen(b);
    return a.size() == n && std::equal(a.begin(), a.end(), b, [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

} // namespace

Library& TheLibrary() { return g_library; }

template <typename Element>
Library::OwnedList<Element>::OwnedList(std::vector<Element> items) : elements(std::move(items))
{
    pointers.reserve(elements.size());
    for (Element& e : elements)
        pointers.push_back(&e);
    list.reserved = 0;
    list.elements = pointers.empty() ? nullptr : pointers.data();
    list.count = static_cast<std::uint32_t>(pointers.size());
}

template <typename List>
void Library::keep(std::deque<std::unique_ptr<List>>& ring, std::unique_ptr<List> list)
{
    ring.push_back(std::move(list));
    while (ring.size() > 2)
        ring.pop_front();
}

Library::~Library()
{
    std::shared_ptr<World> world;
    {
        std::lock_guard lock(m_mutex);
        world = m_world;
    }
    if (world)
        world->removeListener(this); // no world thread is in a listener call after this
    {
        std::lock_guard lock(m_eventMutex);
        m_stopping = true;
        m_jobs.clear();
        m_eventCallback = nullptr;
    }
    m_eventCv.notify_all();
    // Waits for a callback in flight: after unloading nothing may run in this library.
    if (m_delivery.joinable())
        m_delivery.join();
}

void Library::startLocked()
{
    if (m_started)
        return;
    m_started = true;
    const std::filesystem::path dir = platform::GetProgramDirectory();
    m_config = ReadConfig(dir);
    m_store = std::make_unique<ProfileStore>(m_config.storeFolder);
    if (m_config.backend != "sim") {
        platform::Trace("Mirodel: back end \"%s\" is not available; only \"sim\" is\n", m_config.backend.c_str());
        m_backendStatus = kErrorNotSupported;
        return;
    }
    WorldOptions options;
    options.scenario = m_config.scenario;
    options.timeScale = m_config.timeScale;
    m_world = World::Acquire(options);
    m_world->addListener(this);
    m_delivery = std::thread([this] { deliver(); });
}

std::optional<std::uint32_t> Library::faultLocked(const char* exportName, std::uint32_t code)
{
    if (!m_world)
        return std::nullopt;
    return m_world->takeFault(exportName, code);
}

std::uint32_t Library::handleLocked() const
{
    if (m_backendStatus)
        return m_backendStatus;
    if (!m_open)
        return kErrorInvalidHandle;
    return m_world->checkHandle(*m_open, m_openGeneration);
}

// Adapters -----------------------------------------------------------------------------------

std::uint32_t Library::findAdapters(AdapterList* list, const char* name)
{
    std::lock_guard lock(m_mutex);
    startLocked();
    if (const auto status = faultLocked("MirodelFindAdapters"))
        return *status;
    if (!list)
        return kErrorInvalidParameter;
    std::memset(list, 0, sizeof *list);
    if (m_backendStatus)
        return m_backendStatus;
    for (const AdapterView& a : m_world->adapters()) {
        if (!a.present || (name && !SameName(a.name, name)))
            continue;
        if (list->count == MIRODEL_MAX_ADAPTERS)
            break;
        std::memcpy(list->names[list->count], a.name.data(),
                    std::min<std::size_t>(a.name.size(), MIRODEL_ADAPTER_NAME_SIZE - 1));
        ++list->count;
    }
    return list->count ? kSuccess : kErrorNotFound;
}

std::uint32_t Library::openAdapter(const char* name, std::uint32_t mode)
{
    std::lock_guard lock(m_mutex);
    startLocked();
    if (const auto status = faultLocked("MirodelOpenAdapter"))
        return *status;
    if (m_backendStatus)
        return m_backendStatus;
    std::optional<std::size_t> index;
    if (mode == MIRODEL_OPEN_BY_NAME) {
        if (!name || !*name)
            return kErrorInvalidParameter;
        for (std::size_t i = 0; const AdapterView& a : m_world->adapters()) {
            if (SameName(a.name, name))
                index = i;
            ++i;
        }
        if (!index)
            return kErrorNotFound;
    } else if (mode == MIRODEL_OPEN_REOPEN) {
        if (name && *name)
            return kErrorInvalidParameter;
        if (!m_last)
            return kErrorNotFound;
        index = m_last;
    } else {
        return kErrorInvalidParameter;
    }
    const auto adapter = m_world->adapter(*index);
    if (!adapter->present)
        return kErrorDeviceNotConnected;
    m_open = index;
    m_openGeneration = adapter->generation;
    m_last = index;
    std::lock_guard events(m_eventMutex);
    m_bound = index;
    if (m_openEvents != index)
        m_pendingScans.clear();
    m_openEvents = index;
    return kSuccess;
}

void Library::closeAdapter()
{
    std::lock_guard lock(m_mutex);
    m_open.reset();
    // Whatever is queued for the closed handle goes; a callback already running goes on.
    std::lock_guard events(m_eventMutex);
    m_openEvents.reset();
    m_pendingScans.clear();
    std::erase_if(m_jobs, [](const Job& j) { return j.scan; });
}

std::uint32_t Library::connect(ProfileRecord* profile)
{
    std::lock_guard lock(m_mutex);
    startLocked();
    if (const auto status = faultLocked("MirodelConnect"))
        return *status;
    if (!profile)
        return kErrorInvalidParameter;
    if (const std::uint32_t status = handleLocked())
        return status;
    const ProfileRecord copy = *profile;
    return m_world->connect(*m_open, copy);
}

std::uint32_t Library::getScanList(MirodelScanCallback callback, std::uint32_t mode, std::uint32_t)
{
    std::unique_lock lock(m_mutex);
    startLocked();
    if (const auto status = faultLocked("MirodelGetScanList"))
        return *status;
    if (!callback || (mode != MIRODEL_SCAN_SYNC && mode != MIRODEL_SCAN_ASYNC))
        return kErrorInvalidParameter;
    if (const std::uint32_t status = handleLocked())
        return status;
    const std::size_t index = *m_open;
    if (mode == MIRODEL_SCAN_ASYNC) {
        {
            std::lock_guard events(m_eventMutex);
            if (std::find(m_pendingScans.begin(), m_pendingScans.end(), callback) == m_pendingScans.end())
                m_pendingScans.push_back(callback);
        }
        const std::uint32_t status = m_world->startScan(index);
        if (status) {
            std::lock_guard events(m_eventMutex);
            std::erase(m_pendingScans, callback);
        }
        return status;
    }
    // The list as the adapter hears it now, handed over on the caller's thread: a caller on
    // the interface thread must not wait for a library thread that may be waiting for it.
    auto list = std::make_unique<ScanList>(m_world->bssList(index));
    MirodelList* handed = &list->list;
    keep(m_syncLists, std::move(list));
    lock.unlock();
    callback(handed);
    return kSuccess;
}

std::uint32_t Library::query(AdapterRequest* request)
{
    std::lock_guard lock(m_mutex);
    startLocked();
    if (const auto status = faultLocked("MirodelQuery", request ? request->code : 0))
        return *status;
    if (!request || (request->length && !request->buffer))
        return kErrorInvalidParameter;
    if (const std::uint32_t status = handleLocked())
        return status;
    return AnswerQuery(*m_world, *m_open, *request);
}

std::uint32_t Library::set(AdapterRequest* request)
{
    std::lock_guard lock(m_mutex);
    startLocked();
    if (const auto status = faultLocked("MirodelSet", request ? request->code : 0))
        return *status;
    if (!request || (request->length && !request->buffer))
        return kErrorInvalidParameter;
    if (const std::uint32_t status = handleLocked())
        return status;
    return ApplySet(*m_world, *m_open, *request);
}

// Profiles -----------------------------------------------------------------------------------

std::uint32_t Library::getProfiles(MirodelList** list, std::uint32_t storeCode)
{
    std::lock_guard lock(m_mutex);
    startLocked();
    if (const auto status = faultLocked("MirodelGetProfiles"))
        return *status;
    const auto store = StoreFromCode(storeCode);
    if (!list || !store)
        return kErrorInvalidParameter;
    std::vector<ProfileRecord> records;
    if (const std::uint32_t status = m_store->list(*store, records))
        return status;
    auto owned = std::make_unique<ProfileList>(std::move(records));
    *list = &owned->list;
    keep(m_profileLists[static_cast<int>(*store)], std::move(owned));
    return kSuccess;
}

std::uint32_t Library::profileOp(ProfileRecord* profile, std::uint32_t op, std::uint32_t storeCode,
                                 const char* path)
{
    std::lock_guard lock(m_mutex);
    startLocked();
    if (const auto status = faultLocked("MirodelProfileOp"))
        return *status;
    const auto store = StoreFromCode(storeCode);
    if (!store)
        return kErrorInvalidParameter;
    if (op == MIRODEL_OP_IMPORT) {
        if (!path || !*path)
            return kErrorInvalidParameter;
        ProfileFile file;
        std::string error;
        if (const std::uint32_t status = ReadProfileFile(path, file, &error)) {
            platform::Trace("Mirodel: nothing imported: %s\n", error.c_str());
            return status;
        }
        const std::uint32_t status = m_store->import(*store, file.profiles, file.defaultIndex);
        if (status == kSuccess)
            platform::Trace("Mirodel: imported %zu profiles from %s\n", file.profiles.size(), path);
        return status;
    }
    if (!profile)
        return kErrorInvalidParameter;
    // Every operation but reading the default reads the record.
    if (op != MIRODEL_OP_READ_DEFAULT && profile->certHashLength > 128)
        return kErrorInvalidParameter;
    const ProfileRecord record = *profile;
    switch (op) {
    case MIRODEL_OP_ADD: return m_store->add(*store, record);
    case MIRODEL_OP_REPLACE: return m_store->replace(*store, record);
    case MIRODEL_OP_DELETE: return m_store->remove(*store, record);
    case MIRODEL_OP_LOGON_PREPARE:
        if (*store != StoreId::Logon)
            return kErrorInvalidParameter;
        return m_store->prepareLogon(record);
    case MIRODEL_OP_READ_DEFAULT: {
        ProfileRecord out;
        const std::uint32_t status = m_store->readDefault(*store, out);
        if (status == kSuccess)
            *profile = out;
        return status;
    }
    case MIRODEL_OP_SET_DEFAULT: return m_store->setDefault(*store, record);
    default: return kErrorInvalidParameter;
    }
}

// Events -------------------------------------------------------------------------------------

std::uint32_t Library::registerEvents(std::uint32_t mask, MirodelEventCallback callback)
{
    std::lock_guard lock(m_mutex);
    startLocked();
    if (const auto status = faultLocked("MirodelRegisterEvents"))
        return *status;
    if (!callback || mask == 0 || (mask & ~EVENT_MASK_ALL))
        return kErrorInvalidParameter;
    if (m_backendStatus)
        return m_backendStatus;
    std::lock_guard events(m_eventMutex);
    m_eventCallback = callback;
    m_eventMask = mask;
    return kSuccess;
}

void Library::unregisterEvents()
{
    // Never waits for a callback that is running: its caller may be the one it waits for.
    std::lock_guard events(m_eventMutex);
    m_eventCallback = nullptr;
    m_eventMask = 0;
    std::erase_if(m_jobs, [](const Job& j) { return !j.scan; });
}

void Library::adapterEvent(std::size_t adapter, std::uint32_t event)
{
    std::lock_guard lock(m_eventMutex);
    if (!m_eventCallback || !(m_eventMask & event))
        return;
    const bool plugging = event == EVENT_DEVICE_INSERT || event == EVENT_DEVICE_LEAVE;
    const std::optional<std::size_t>& whose = plugging ? m_bound : m_openEvents;
    if (plugging ? (whose && *whose != adapter) : (!whose || *whose != adapter))
        return;
    Job job;
    job.event = event;
    m_jobs.push_back(std::move(job));
    m_eventCv.notify_one();
}

void Library::scanFinished(std::size_t adapter, const std::vector<MirodelBssEntry>* entries)
{
    std::lock_guard lock(m_eventMutex);
    if (!m_openEvents || *m_openEvents != adapter || m_pendingScans.empty())
        return;
    if (entries) {
        Job job;
        job.scan = true;
        job.callbacks = m_pendingScans;
        job.entries = *entries;
        m_jobs.push_back(std::move(job));
        m_eventCv.notify_one();
    }
    m_pendingScans.clear();
}

void Library::deliver()
{
    std::unique_lock lock(m_eventMutex);
    for (;;) {
        m_eventCv.wait(lock, [this] { return m_stopping || !m_jobs.empty(); });
        if (m_stopping)
            return;
        Job job = std::move(m_jobs.front());
        m_jobs.pop_front();
        if (!job.scan) {
            const MirodelEventCallback callback = m_eventCallback;
            if (!callback || !(m_eventMask & job.event))
                continue;
            lock.unlock();
            callback(job.event);
            lock.lock();
            continue;
        }
        auto list = std::make_unique<ScanList>(std::move(job.entries));
        MirodelList* handed = &list->list;
        keep(m_asyncLists, std::move(list));
        lock.unlock();
        for (MirodelScanCallback callback : job.callbacks)
            callback(handed);
        lock.lock();
    }
}

} // namespace mirodel
