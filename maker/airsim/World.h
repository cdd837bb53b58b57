#pragma once
/// The simulated radio world: adapters, each with a station that scans, associates and gets
/// an address, and the networks in the air with their security, signal and WPS state. Time
/// runs on the platform clock, scaled; one world thread carries out what is due.
///
/// One world per process (`World::Acquire`), shared by the libraries that stand in for the
/// maker's. Every member function is safe to call from any thread.

#include "adapter/Mirodel.h"
#include "maker/airsim/Scenario.h"

#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace airsim {

class ControlServer;

struct WorldOptions
{
    std::filesystem::path scenario; ///< empty: a world without adapters or networks
    double timeScale = 1.0;         ///< simulated milliseconds per clock millisecond
    bool control = true;            ///< listen on the per-user control socket
};

/// Told what happens in the world, in the order it happens, with the world's lock held:
/// it must return quickly and must not call back into the world.
class WorldListener
{
public:
    virtual ~WorldListener() = default;
    virtual void adapterEvent(std::size_t adapter, std::uint32_t event) = 0;
    /// A scan ended with what was heard, or was abandoned (`entries` null: the adapter left).
    virtual void scanFinished(std::size_t adapter, const std::vector<MirodelBssEntry>* entries) = 0;
};

struct AdapterView
{
    std::string id;
    std::string name;
    MacAddress mac{};
    std::string driverVersion;
    std::uint32_t region = 0;
    bool present = false;
    bool radioOff = false;
    std::uint8_t band = kBandAuto;
    bool button = false;
    std::uint8_t zeroConfig = 0;
    std::uint32_t generation = 0; ///< grows each time the adapter is plugged in
};

struct LinkView
{
    bool linked = false;
    std::string ssid;
    MacAddress bssid{};
    bool adHoc = false;
    std::uint8_t authMode = 0;
    std::uint8_t encryption = 0;
    unsigned channel = 0;
    int rssi = 0;
    std::uint32_t txRate = 0; ///< units of 100 bit/s
};

struct AddressView
{
    std::uint32_t address = 0;
    std::uint32_t mask = 0;
    std::uint32_t gateway = 0;
};

struct CounterView
{
    std::uint32_t txFrames = 0;
    std::uint32_t rxFrames = 0;
    std::uint32_t txErrors = 0;
    std::uint32_t rxExtra = 0;
    std::uint32_t rxIcvErrors = 0;
};

struct WpsView
{
    bool capable = false;
    std::string apPin;
    bool pushButtonOpen = false;
    std::vector<std::string> enrolleePins;
    NetworkSpec settings; ///< what the access point hands out
};

class World
{
public:
    /// The process's world: made by the first caller from its options, then shared.
    static std::shared_ptr<World> Acquire(const WorldOptions& options);

    explicit World(Scenario scenario, double timeScale = 1.0, std::string scenarioError = {});
    ~World();
    World(const World&) = delete;
    World& operator=(const World&) = delete;

    void addListener(WorldListener* listener);
    void removeListener(WorldListener* listener);

    /// Listens on the control socket; false (and a trace) when it cannot.
    bool startControl();
    std::string controlPath() const;
    const std::string& scenarioError() const { return m_scenarioError; }

    /// Simulated milliseconds since the world began.
    std::uint64_t now() const;

    // Adapters ---------------------------------------------------------------------------
    std::vector<AdapterView> adapters() const;
    std::optional<AdapterView> adapter(std::size_t index) const;
    /// By name (case-blind) or by scenario id.
    std::optional<std::size_t> findAdapter(std::string_view nameOrId) const;
    /// What a handle opened at `generation` may do: 0, 1167 unplugged, 6 stale.
    std::uint32_t checkHandle(std::size_t adapter, std::uint32_t generation);

    // The station ------------------------------------------------------------------------
    /// Starts a scan unless one runs; its end goes to the listeners.
    std::uint32_t startScan(std::size_t adapter);
    /// What the adapter hears now.
    std::vector<MirodelBssEntry> bssList(std::size_t adapter);
    /// Drops the link, checks the profile against the networks in range and starts to
    /// associate. Non-zero: refused, nothing started.
    std::uint32_t connect(std::size_t adapter, const ProfileRecord& profile);
    void disconnect(std::size_t adapter);
    LinkView link(std::size_t adapter);
    AddressView address(std::size_t adapter);
    CounterView counters(std::size_t adapter);
    std::uint32_t renewAddress(std::size_t adapter);
    void releaseAddress(std::size_t adapter);
    void setRadioOff(std::size_t adapter, bool off);
    std::uint32_t setBand(std::size_t adapter, std::uint8_t band);
    void setButton(std::size_t adapter, bool pressed);
    void setZeroConfig(std::size_t adapter, std::uint8_t value);

    // What the control tool does ---------------------------------------------------------
    bool plug(std::size_t adapter, bool present, std::string* error);
    void failNextDhcp(std::size_t adapter);
    bool addNetwork(NetworkSpec network, std::string* error);
    bool removeNetwork(std::string_view id, std::string* error);
    bool moveNetwork(std::string_view id, unsigned channel, std::string* error);
    bool setSignal(std::string_view id, int dbm, std::string* error);
    bool openPushButton(std::string_view id, std::string* error);
    bool addEnrolleePin(std::string_view id, const std::string& pin, std::string* error);
    std::optional<WpsView> wps(std::string_view networkId) const;

    /// The next `count` calls of an export (matching `code` for MirodelQuery/MirodelSet
    /// when given) answer `status`.
    bool setFault(std::string_view exportName, std::uint32_t count, std::uint32_t status,
                  std::optional<std::uint32_t> code, std::string* error);
    void clearFaults();
    /// Takes one pending fault of this export, if any.
    std::optional<std::uint32_t> takeFault(std::string_view exportName, std::uint32_t code = 0);

    /// The whole state as text, for the control tool.
    std::string describe();

    static constexpr std::uint32_t kPushButtonWindow = 120000;

private:
    struct Adapter;
    struct Network;
    struct Fault
    {
        std::string exportName;
        std::uint32_t count;
        std::uint32_t status;
        std::optional<std::uint32_t> code;
    };

    std::uint64_t simNow() const;
    std::uint64_t toClock(std::uint64_t sim) const;
    void run();
    void processDue();
    std::uint64_t nextDeadline() const;
    void emit(std::size_t adapter, std::uint32_t event);
    void wake();
    void catchUp();

    Network* findNetwork(std::string_view id);
    const Network* findNetwork(std::string_view id) const;
    /// The network of that id, else null with "no network <id>" in `error`; with `needWps`
    /// also null (and "network <id> has no WPS") when it offers no WPS.
    Network* networkOrError(std::string_view id, std::string* error, bool needWps = false);
    Network* networkBySerial(std::uint64_t serial);
    const Network* networkBySerial(std::uint64_t serial) const;
    int rssiAt(const Network& n, std::uint64_t at) const;
    bool audible(const Adapter& a, const Network& n, std::uint64_t at) const;
    MirodelBssEntry entryFor(const Network& n, std::uint64_t at) const;
    std::vector<MirodelBssEntry> heard(const Adapter& a, std::uint64_t at) const;
    CounterView countersAt(const Adapter& a, std::uint64_t at) const;
    void dropLink(std::size_t index, const char* reason);
    void abandonScan(std::size_t index);
    void associated(std::size_t index, std::uint64_t at);
    void startAddress(Adapter& a, const Network& n, std::uint64_t at);
    void addressDue(std::size_t index, std::uint64_t at);
    void checkLink(std::size_t index, std::uint64_t at);
    void dropLinksTo(std::uint64_t serial, const char* reason);

    const double m_scale;
    const std::uint64_t m_clockStart;
    const std::string m_scenarioError;
    WorldSpec m_spec;

    mutable std::mutex m_mutex;
    std::condition_variable_any m_wake;
    std::vector<Adapter> m_adapters;
    std::vector<Network> m_networks;
    std::uint64_t m_nextSerial = 1;
    std::vector<WorldListener*> m_listeners;
    std::vector<Fault> m_faults;
    bool m_stopping = false;
    std::thread m_thread;
    std::unique_ptr<ControlServer> m_control;
};

} // namespace airsim
