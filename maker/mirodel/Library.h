#pragma once
/// The state behind the eleven exports of libMirodel: the configuration, the open adapter,
/// the lists handed out, the stored profiles, and the thread that delivers events and scan
/// lists. One per process; it stops its thread when the library is unloaded.

#include "adapter/Mirodel.h"
#include "maker/airsim/World.h"
#include "maker/mirodel/Config.h"
#include "maker/mirodel/ProfileStore.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace mirodel {

class Library final : public airsim::WorldListener
{
public:
    Library() = default;
    ~Library() override;
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;

    std::uint32_t findAdapters(AdapterList* list, const char* name);
    std::uint32_t openAdapter(const char* name, std::uint32_t mode);
    void closeAdapter();
    std::uint32_t connect(ProfileRecord* profile);
    std::uint32_t getScanList(MirodelScanCallback callback, std::uint32_t mode, std::uint32_t reserved);
    std::uint32_t query(AdapterRequest* request);
    std::uint32_t set(AdapterRequest* request);
    std::uint32_t getProfiles(MirodelList** list, std::uint32_t store);
    std::uint32_t profileOp(ProfileRecord* profile, std::uint32_t op, std::uint32_t store, const char* path);
    std::uint32_t registerEvents(std::uint32_t mask, MirodelEventCallback callback);
    void unregisterEvents();

    void adapterEvent(std::size_t adapter, std::uint32_t event) override;
    void scanFinished(std::size_t adapter, const std::vector<MirodelBssEntry>* entries) override;

private:
    /// A list handed out with the records its pointers point at.
    template <typename Element> struct OwnedList
    {
        MirodelList list{};
        std::vector<Element> elements;
        std::vector<void*> pointers;
        explicit OwnedList(std::vector<Element> items);
    };
    using ScanList = OwnedList<MirodelBssEntry>;
    using ProfileList = OwnedList<ProfileRecord>;

    struct Job
    {
        bool scan = false;
        std::uint32_t event = 0;
        std::vector<MirodelScanCallback> callbacks;
        std::vector<MirodelBssEntry> entries;
    };

    void startLocked();
    std::optional<std::uint32_t> faultLocked(const char* exportName, std::uint32_t code = 0);
    std::uint32_t handleLocked() const;
    void deliver();
    /// Keeps the latest lists of a kind alive: the one just handed out and the one before.
    template <typename List> static void keep(std::deque<std::unique_ptr<List>>& ring, std::unique_ptr<List> list);

    std::mutex m_mutex; // everything up to the event block below
    bool m_started = false;
    std::uint32_t m_backendStatus = 0;
    Config m_config;
    std::shared_ptr<airsim::World> m_world;
    std::unique_ptr<ProfileStore> m_store;
    std::optional<std::size_t> m_open;
    std::uint32_t m_openGeneration = 0;
    std::optional<std::size_t> m_last; ///< the adapter opened last, for re-opening
    std::deque<std::unique_ptr<ScanList>> m_syncLists;
    std::deque<std::unique_ptr<ProfileList>> m_profileLists[2];

    // Taken by the world's thread while it holds the world's lock: nothing that holds this
    // mutex may call into the world or take m_mutex.
    std::mutex m_eventMutex;
    std::condition_variable m_eventCv;
    MirodelEventCallback m_eventCallback = nullptr;
    std::uint32_t m_eventMask = 0;
    std::optional<std::size_t> m_bound;      ///< whose insertion and removal are reported
    std::optional<std::size_t> m_openEvents; ///< whose link events are reported
    std::vector<MirodelScanCallback> m_pendingScans;
    std::deque<Job> m_jobs;
    std::deque<std::unique_ptr<ScanList>> m_asyncLists;
    bool m_stopping = false;
    std::thread m_delivery;
};

Library& TheLibrary();

} // namespace mirodel
