#include "maker/airsim/World.h"

#include "maker/airsim/Control.h"
#include "maker/airsim/Status.h"
#include "platform/Clock.h"
#include "platform/Trace.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <limits>

namespace airsim {
namespace {

constexpr std::uint64_t kNone = std::numeric_limits<std::uint64_t>::max();
constexpr std::uint32_t kLinkCheckPeriod = 1000;

const char* const kFaultPoints[] = {
    "MirodelFindAdapters", "MirodelOpenAdapter", "MirodelConnect",
    "MirodelGetScanList",  "MirodelQuery",       "MirodelSet",
    "MirodelGetProfiles",  "MirodelProfileOp",   "MirodelRegisterEvents",
};

std::uint64_t Mix(std::uint64_t x)
{
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

bool SameId(std::string_view a, std::string_view b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

bool BandAllows(std::uint8_t band, unsigned channel)
{
    if (band == kBand24)
        return !Is5GHz(channel);
    if (band == kBand5)
        return Is5GHz(channel);
    return true;
}

/// The security the station asked for, with the library-only codes folded onto 2 to 5.
std::optional<std::uint8_t> NormalisedAuth(std::uint8_t auth)
{
    switch (auth) {
    case 0: case 1: case 2: case 3: case 4: case 5: return auth;
    case 9: case 11: return 3;
    case 10: return 2;
    case 12: return 4;
    case 13: return 5;
    default: return std::nullopt; // including the "either" codes 23, 45 and 100
    }
}

bool Accepts(const NetworkSpec& n, std::uint8_t auth, std::uint8_t enc)
{
    const bool cipherOk = (enc == 2 && (n.ciphers & kCipherTkip)) || (enc == 3 && (n.ciphers & kCipherAes));
    switch (n.security) {
    case Security::Open: return auth == 0 && enc == ((n.ciphers & kCipherWep) ? 1 : 0);
    case Security::Shared: return auth == 1 && enc == 1;
    case Security::WpaPsk: return auth == 2 && cipherOk;
    case Security::Wpa2Psk: return auth == 3 && cipherOk;
    case Security::WpaWpa2Psk: return (auth == 2 || auth == 3) && cipherOk;
    case Security::WpaEap: return auth == 4 && cipherOk;
    case Security::Wpa2Eap: return auth == 5 && cipherOk;
    case Security::WpaWpa2Eap: return (auth == 4 || auth == 5) && cipherOk;
    }
    return false;
}

std::string Text(const char* field, std::size_t size)
{
    return std::string(field, strnlen(field, size));
}

} // namespace

struct World::Network
{
    NetworkSpec spec;
    std::uint64_t serial = 0;
    std::uint64_t pushButtonUntil = 0;
    std::vector<std::string> enrolleePins;
};

struct World::Adapter
{
    enum class Link { Idle, Associating, Linked };
    enum class Pending { None, Dhcp, AutoIp };

    AdapterSpec spec;
    bool present = true;
    bool radioOff = false;
    std::uint8_t band = kBandAuto;
    bool button = false;
    std::uint8_t zeroConfig = 0;
    std::uint32_t generation = 1;

    Link link = Link::Idle;
    std::uint64_t net = 0; ///< serial of the network associated with
    std::uint8_t authMode = 0;
    std::uint8_t encryption = 0;
    bool credentialOk = false;
    bool trafficOk = false;
    std::uint64_t linkedSince = 0;
    std::uint32_t txErrorPeriod = 60000;
    CounterView base;

    AddressView addr;
    Pending pending = Pending::None;
    bool dhcpFailNext = false;

    std::uint64_t scanDue = kNone;
    std::uint64_t assocDue = kNone;
    std::uint64_t addrDue = kNone;
    std::uint64_t checkDue = kNone;
};

std::shared_ptr<World> World::Acquire(const WorldOptions& options)
{
    static std::mutex mutex;
    static std::weak_ptr<World> current;
    std::lock_guard lock(mutex);
    if (auto world = current.lock())
        return world;
    Scenario scenario;
    std::string error;
    if (!options.scenario.empty()) {
        if (auto loaded = LoadScenario(options.scenario, &error))
            scenario = std::move(*loaded);
        else
            platform::Trace("airsim: scenario not loaded: %s\n", error.c_str());
    }
    auto world = std::make_shared<World>(std::move(scenario), options.timeScale, error);
    if (options.control)
        world->startControl();
    current = world;
    return world;
}

World::World(Scenario scenario, double timeScale, std::string scenarioError)
    : m_scale(timeScale > 0 ? timeScale : 1.0), m_clockStart(platform::CurrentClock().now()),
      m_scenarioError(std::move(scenarioError)), m_spec(scenario.world)
{
    for (AdapterSpec& spec : scenario.adapters) {
        Adapter a;
        a.present = spec.present;
        a.radioOff = spec.radioOff;
        a.band = spec.band;
        a.zeroConfig = spec.zeroConfig;
        a.spec = std::move(spec);
        m_adapters.push_back(std::move(a));
    }
    for (NetworkSpec& spec : scenario.networks) {
        Network n;
        n.spec = std::move(spec);
        n.serial = m_nextSerial++;
        m_networks.push_back(std::move(n));
    }
    m_thread = std::thread([this] { run(); });
}

World::~World()
{
    m_control.reset();
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
        m_listeners.clear();
    }
    m_wake.notify_all();
    m_thread.join();
}

bool World::startControl()
{
    auto server = std::make_unique<ControlServer>(*this);
    std::string error;
    if (!server->start(&error)) {
        platform::Trace("airsim: no control socket: %s\n", error.c_str());
        return false;
    }
    std::lock_guard lock(m_mutex);
    m_control = std::move(server);
    return true;
}

std::string World::controlPath() const
{
    std::lock_guard lock(m_mutex);
    return m_control ? m_control->path().string() : std::string();
}

void World::addListener(WorldListener* listener)
{
    std::lock_guard lock(m_mutex);
    m_listeners.push_back(listener);
}

void World::removeListener(WorldListener* listener)
{
    std::lock_guard lock(m_mutex);
    std::erase(m_listeners, listener);
}

// Time ---------------------------------------------------------------------------------------

std::uint64_t World::simNow() const
{
    const std::uint64_t t = platform::CurrentClock().now();
    if (t <= m_clockStart)
        return 0;
    return static_cast<std::uint64_t>(static_cast<double>(t - m_clockStart) * m_scale);
}

std::uint64_t World::toClock(std::uint64_t sim) const
{
    return m_clockStart + static_cast<std::uint64_t>(std::ceil(static_cast<double>(sim) / m_scale));
}

std::uint64_t World::now() const { return simNow(); }

void World::wake() { m_wake.notify_all(); }

void World::catchUp()
{
    // What is due happens before anything is read or changed, whichever thread comes
    // first: the world's thread or a caller after the clock moved on.
    processDue();
    wake();
}

void World::run()
{
    std::unique_lock lock(m_mutex);
    while (!m_stopping) {
        processDue();
        const std::uint64_t next = nextDeadline();
        if (m_stopping)
            break;
        if (next == kNone)
            m_wake.wait(lock);
        else
            platform::CurrentClock().waitUntil(lock, m_wake, toClock(next));
    }
}

std::uint64_t World::nextDeadline() const
{
    std::uint64_t next = kNone;
    for (const Adapter& a : m_adapters)
        next = std::min({next, a.scanDue, a.assocDue, a.addrDue, a.checkDue});
    return next;
}

void World::processDue()
{
    // One at a time, earliest first, so that a long step of the clock keeps the order.
    for (;;) {
        const std::uint64_t t = simNow();
        std::size_t which = 0;
        int kind = -1;
        std::uint64_t due = kNone;
        for (std::size_t i = 0; i < m_adapters.size(); ++i) {
            const Adapter& a = m_adapters[i];
            const std::uint64_t dues[] = {a.scanDue, a.assocDue, a.addrDue, a.checkDue};
            for (int k = 0; k < 4; ++k) {
                if (dues[k] <= t && dues[k] < due) {
                    due = dues[k];
                    which = i;
                    kind = k;
                }
            }
        }
        if (kind < 0)
            return;
        Adapter& a = m_adapters[which];
        switch (kind) {
        case 0: {
            a.scanDue = kNone;
            const auto list = heard(a, due);
            for (WorldListener* l : m_listeners)
                l->scanFinished(which, &list);
            break;
        }
        case 1:
            a.assocDue = kNone;
            associated(which, due);
            break;
        case 2:
            a.addrDue = kNone;
            addressDue(which, due);
            break;
        case 3:
            a.checkDue = kNone;
            checkLink(which, due);
            break;
        }
    }
}

void World::emit(std::size_t adapter, std::uint32_t event)
{
    for (WorldListener* l : m_listeners)
        l->adapterEvent(adapter, event);
}

// Radio --------------------------------------------------------------------------------------

int World::rssiAt(const Network& n, std::uint64_t at) const
{
    int level = n.spec.signal;
    const int d = m_spec.driftDb;
    if (d > 0) {
        std::uint64_t key = m_spec.seed;
        for (std::uint8_t b : n.spec.bssid)
            key = key * 131 + b;
        const std::uint64_t period = m_spec.driftPeriod;
        const std::uint64_t k = at / period;
        const double f = static_cast<double>(at % period) / static_cast<double>(period);
        auto knot = [&](std::uint64_t j) {
            return static_cast<int>(Mix(key ^ Mix(j)) % static_cast<std::uint64_t>(2 * d + 1)) - d;
        };
        level += static_cast<int>(std::lround(knot(k) * (1.0 - f) + knot(k + 1) * f));
    }
    return std::clamp(level, -120, 0);
}

bool World::audible(const Adapter& a, const Network& n, std::uint64_t at) const
{
    return a.present && !a.radioOff && BandAllows(a.band, n.spec.channel) &&
           rssiAt(n, at) >= m_spec.scanThreshold;
}

MirodelBssEntry World::entryFor(const Network& n, std::uint64_t at) const
{
    MirodelBssEntry e;
    std::memset(&e, 0, sizeof e);
    if (!n.spec.hidden)
        std::memcpy(e.ssid, n.spec.ssid.data(), std::min<std::size_t>(n.spec.ssid.size(), 32));
    e.authMode = EntryAuthMode(n.spec);
    e.cipher = EntryCipher(n.spec);
    e.rssi = rssiAt(n, at);
    e.channel = static_cast<std::uint8_t>(n.spec.channel);
    std::memcpy(e.bssid, n.spec.bssid.data(), 6);
    e.networkType = n.spec.adHoc ? 1 : 0;
    e.frequencyKhz = ChannelFrequencyKhz(n.spec.channel);
    e.wpsCapable = n.spec.wps ? 1 : 0;
    e.capabilities = EntryCapabilities(n.spec);
    return e;
}

std::vector<MirodelBssEntry> World::heard(const Adapter& a, std::uint64_t at) const
{
    std::vector<MirodelBssEntry> out;
    for (const Network& n : m_networks) {
        if (audible(a, n, at))
            out.push_back(entryFor(n, at));
    }
    return out;
}

World::Network* World::findNetwork(std::string_view id)
{
    for (Network& n : m_networks)
        if (SameId(n.spec.id, id))
            return &n;
    return nullptr;
}

const World::Network* World::findNetwork(std::string_view id) const
{
    return const_cast<World*>(this)->findNetwork(id);
}

World::Network* World::networkOrError(std::string_view id, std::string* error, bool needWps)
{
    Network* n = findNetwork(id);
    if (!n) {
        *error = "no network " + std::string(id);
        return nullptr;
    }
    if (needWps && !n->spec.wps) {
        *error = "network " + std::string(id) + " has no WPS";
        return nullptr;
    }
    return n;
}

World::Network* World::networkBySerial(std::uint64_t serial)
{
    for (Network& n : m_networks)
        if (n.serial == serial)
            return &n;
    return nullptr;
}

const World::Network* World::networkBySerial(std::uint64_t serial) const
{
    return const_cast<World*>(this)->networkBySerial(serial);
}

// Adapters -----------------------------------------------------------------------------------

std::vector<AdapterView> World::adapters() const
{
    std::vector<AdapterView> out;
    for (std::size_t i = 0; i < m_adapters.size(); ++i)
        out.push_back(*adapter(i));
    return out;
}

std::optional<AdapterView> World::adapter(std::size_t index) const
{
    std::lock_guard lock(m_mutex);
    if (index >= m_adapters.size())
        return std::nullopt;
    const Adapter& a = m_adapters[index];
    AdapterView v;
    v.id = a.spec.id;
    v.name = a.spec.name;
    v.mac = a.spec.mac;
    v.driverVersion = a.spec.driverVersion;
    v.region = a.spec.region;
    v.present = a.present;
    v.radioOff = a.radioOff;
    v.band = a.band;
    v.button = a.button;
    v.zeroConfig = a.zeroConfig;
    v.generation = a.generation;
    return v;
}

std::optional<std::size_t> World::findAdapter(std::string_view nameOrId) const
{
    std::lock_guard lock(m_mutex);
    for (std::size_t i = 0; i < m_adapters.size(); ++i)
        if (SameId(m_adapters[i].spec.name, nameOrId))
            return i;
    for (std::size_t i = 0; i < m_adapters.size(); ++i)
        if (SameId(m_adapters[i].spec.id, nameOrId))
            return i;
    return std::nullopt;
}

std::uint32_t World::checkHandle(std::size_t index, std::uint32_t generation)
{
    std::lock_guard lock(m_mutex);
    catchUp();
    if (index >= m_adapters.size())
        return kErrorInvalidHandle;
    const Adapter& a = m_adapters[index];
    if (!a.present)
        return kErrorDeviceNotConnected;
    return a.generation == generation ? kSuccess : kErrorInvalidHandle;
}

// The station --------------------------------------------------------------------------------

std::uint32_t World::startScan(std::size_t index)
{
    std::lock_guard lock(m_mutex);
    catchUp();
    if (index >= m_adapters.size())
        return kErrorInvalidHandle;
    Adapter& a = m_adapters[index];
    if (!a.present)
        return kErrorDeviceNotConnected;
    if (a.scanDue == kNone) {
        a.scanDue = simNow() + m_spec.scanTime;
        wake();
    }
    return kSuccess;
}

std::vector<MirodelBssEntry> World::bssList(std::size_t index)
{
    std::lock_guard lock(m_mutex);
    catchUp();
    if (index >= m_adapters.size())
        return {};
    return heard(m_adapters[index], simNow());
}

std::uint32_t World::connect(std::size_t index, const ProfileRecord& p)
{
    const std::size_t ssidLength = strnlen(p.ssid, sizeof p.ssid);
    if (ssidLength > 32)
        return kErrorInvalidParameter;
    const std::string ssid(p.ssid, ssidLength);
    const auto auth = NormalisedAuth(p.authMode);
    const std::uint8_t enc = p.encryption;
    if (!auth || enc > 3)
        return kErrorInvalidParameter;
    const bool wepOrNone = enc == 0 || enc == 1;
    if ((*auth == 0 && !wepOrNone) || (*auth == 1 && enc != 1) || (*auth >= 2 && wepOrNone))
        return kErrorInvalidParameter;
    if (p.adHoc > 1 || (p.adHoc == 1 && *auth >= 2))
        return kErrorInvalidParameter;

    // The key in use, decoded before the lock: deriving a pre-shared key takes a while.
    std::optional<Bytes> wepKey;
    std::optional<Psk> psk;
    if (enc == 1) {
        if (p.keyIndex > 3)
            return kErrorInvalidParameter;
        wepKey = DecodeWepKey(Text(p.wepKeys[p.keyIndex], sizeof p.wepKeys[0]), p.keyFormat,
                              p.wepKeyLength[p.keyIndex]);
        if (!wepKey)
            return kErrorInvalidParameter;
    } else if (*auth == 2 || *auth == 3) {
        psk = DecodeWpaKey(Text(p.passphrase, sizeof p.passphrase), p.keyFormat, ssid);
        if (!psk)
            return kErrorInvalidParameter;
    }

    std::lock_guard lock(m_mutex);
    catchUp();
    if (index >= m_adapters.size())
        return kErrorInvalidHandle;
    Adapter& a = m_adapters[index];
    if (!a.present)
        return kErrorDeviceNotConnected;
    if (a.radioOff)
        return kErrorNotReady;

    dropLink(index, "a new connect");
    const std::uint64_t t = simNow();
    const Network* best = nullptr;
    int bestRssi = -1000;
    for (const Network& n : m_networks) {
        if (n.spec.ssid != ssid || n.spec.adHoc != (p.adHoc == 1) || !audible(a, n, t))
            continue;
        const int r = rssiAt(n, t);
        if (r > bestRssi) {
            best = &n;
            bestRssi = r;
        }
    }
    if (!best) {
        platform::Trace("airsim: %s: no network \"%s\" in range\n", a.spec.id.c_str(), ssid.c_str());
        return kErrorNotFound;
    }
    const NetworkSpec& n = best->spec;
    if (!Accepts(n, *auth, enc)) {
        platform::Trace("airsim: %s: \"%s\" does not offer authMode %u with encryption %u\n",
                        a.spec.id.c_str(), ssid.c_str(), *auth, enc);
        return kErrorConnectionRefused;
    }
    bool credentialOk = true;
    if (enc == 1)
        credentialOk = *wepKey == n.wepKeys[p.keyIndex];
    else if (*auth == 2 || *auth == 3)
        credentialOk = n.psk && *psk == *n.psk;
    else if (*auth == 4 || *auth == 5) {
        credentialOk = false;
        if (p.certHashLength == 20) {
            for (const Thumbprint& cert : n.clientCerts)
                credentialOk = credentialOk || std::memcmp(cert.data(), p.certHash, 20) == 0;
        }
    }
    a.link = Adapter::Link::Associating;
    a.net = best->serial;
    a.authMode = *auth;
    a.encryption = enc;
    a.credentialOk = credentialOk;
    a.assocDue = t + m_spec.associateTime;
    platform::Trace("airsim: %s: associating with %s (%s)\n", a.spec.id.c_str(), n.id.c_str(),
                    FormatMac(n.bssid).c_str());
    wake();
    return kSuccess;
}

void World::associated(std::size_t index, std::uint64_t at)
{
    Adapter& a = m_adapters[index];
    const Network* n = networkBySerial(a.net);
    if (a.link != Adapter::Link::Associating || !n || !audible(a, *n, at)) {
        a.link = Adapter::Link::Idle;
        return;
    }
    // Open-system WEP associates with any key; the frames then fail their checks and no
    // DHCP answer ever arrives. Every other method fails before the link comes up.
    const bool openWep = n->spec.security == Security::Open && a.encryption == 1;
    if (!a.credentialOk && !openWep) {
        platform::Trace("airsim: %s: authentication with %s failed\n", a.spec.id.c_str(),
                        n->spec.id.c_str());
        a.link = Adapter::Link::Idle;
        return;
    }
    a.link = Adapter::Link::Linked;
    a.trafficOk = a.credentialOk;
    a.linkedSince = at;
    a.txErrorPeriod = n->spec.signal >= -70 ? 60000 : 6000;
    a.checkDue = at + kLinkCheckPeriod;
    a.addr = {};
    emit(index, EVENT_DEVICE_CONNECT);
    startAddress(a, *n, at);
}

void World::startAddress(Adapter& a, const Network& n, std::uint64_t at)
{
    const bool answer = a.trafficOk && n.spec.dhcp;
    if (answer && !a.dhcpFailNext) {
        a.pending = Adapter::Pending::Dhcp;
        a.addrDue = at + m_spec.dhcpTime;
    } else {
        if (answer)
            a.dhcpFailNext = false;
        a.pending = Adapter::Pending::AutoIp;
        a.addrDue = at + m_spec.autoIpTime;
    }
}

void World::addressDue(std::size_t index, std::uint64_t)
{
    Adapter& a = m_adapters[index];
    const Network* n = networkBySerial(a.net);
    if (a.link != Adapter::Link::Linked || !n)
        return;
    const MacAddress& mac = a.spec.mac;
    if (a.pending == Adapter::Pending::Dhcp) {
        const std::uint32_t subnet = 0xC0A80000u | static_cast<std::uint32_t>((n->serial % 250) + 1) << 8;
        a.addr.address = n->spec.address ? n->spec.address : subnet | (100u + mac[5] % 100u);
        a.addr.mask = n->spec.address ? n->spec.mask : 0xFFFFFF00u;
        a.addr.gateway = n->spec.gateway ? n->spec.gateway : (a.addr.address & a.addr.mask) | 1u;
    } else if (a.pending == Adapter::Pending::AutoIp) {
        a.addr.address = 0xA9FE0000u | static_cast<std::uint32_t>(1 + mac[4] % 254) << 8 |
                         static_cast<std::uint32_t>(1 + mac[5] % 254);
        a.addr.mask = 0xFFFF0000u;
        a.addr.gateway = 0;
    } else {
        return;
    }
    a.pending = Adapter::Pending::None;
    emit(index, EVENT_DEVICE_ADDRCHG);
}

void World::checkLink(std::size_t index, std::uint64_t at)
{
    Adapter& a = m_adapters[index];
    const Network* n = networkBySerial(a.net);
    if (a.link != Adapter::Link::Linked)
        return;
    if (!n || rssiAt(*n, at) < m_spec.linkThreshold) {
        dropLink(index, "the signal is lost");
        return;
    }
    a.checkDue = at + kLinkCheckPeriod;
}

CounterView World::countersAt(const Adapter& a, std::uint64_t at) const
{
    CounterView c = a.base;
    if (a.link != Adapter::Link::Linked || at < a.linkedSince)
        return c;
    const std::uint64_t ms = at - a.linkedSince;
    c.txFrames += static_cast<std::uint32_t>(ms * 14 / 1000);
    c.rxExtra += static_cast<std::uint32_t>(ms * 4 / 1000);
    c.txErrors += static_cast<std::uint32_t>(ms / a.txErrorPeriod);
    if (a.trafficOk) {
        c.rxFrames += static_cast<std::uint32_t>(ms * 31 / 1000);
        c.rxIcvErrors += static_cast<std::uint32_t>(ms / 45000);
    } else {
        c.rxIcvErrors += static_cast<std::uint32_t>(ms * 31 / 1000);
    }
    return c;
}

void World::dropLink(std::size_t index, const char* reason)
{
    Adapter& a = m_adapters[index];
    const bool wasLinked = a.link == Adapter::Link::Linked;
    if (wasLinked)
        a.base = countersAt(a, simNow());
    if (a.link != Adapter::Link::Idle)
        platform::Trace("airsim: %s: link dropped: %s\n", a.spec.id.c_str(), reason);
    a.link = Adapter::Link::Idle;
    a.assocDue = a.addrDue = a.checkDue = kNone;
    a.pending = Adapter::Pending::None;
    a.addr = {};
    if (wasLinked)
        emit(index, EVENT_DEVICE_DISCONNECT);
}

void World::dropLinksTo(std::uint64_t serial, const char* reason)
{
    for (std::size_t i = 0; i < m_adapters.size(); ++i)
        if (m_adapters[i].link != Adapter::Link::Idle && m_adapters[i].net == serial)
            dropLink(i, reason);
}

void World::abandonScan(std::size_t index)
{
    Adapter& a = m_adapters[index];
    if (a.scanDue == kNone)
        return;
    a.scanDue = kNone;
    for (WorldListener* l : m_listeners)
        l->scanFinished(index, nullptr);
}

void World::disconnect(std::size_t index)
{
    std::lock_guard lock(m_mutex);
    catchUp();
    if (index < m_adapters.size())
        dropLink(index, "disconnect request");
}

LinkView World::link(std::size_t index)
{
    std::lock_guard lock(m_mutex);
    catchUp();
    LinkView v;
    if (index >= m_adapters.size())
        return v;
    const Adapter& a = m_adapters[index];
    const Network* n = networkBySerial(a.net);
    if (a.link != Adapter::Link::Linked || !n)
        return v;
    v.linked = true;
    v.ssid = n->spec.ssid;
    v.bssid = n->spec.bssid;
    v.adHoc = n->spec.adHoc;
    v.authMode = a.authMode;
    v.encryption = a.encryption;
    v.channel = n->spec.channel;
    v.rssi = rssiAt(*n, simNow());
    const std::uint8_t phy = n->spec.phy;
    // Mbit/s by PHY at full, good, fair and poor signal.
    static const std::uint32_t rates[3][4] = {{3000, 1300, 650, 130}, {540, 360, 240, 60}, {110, 110, 55, 10}};
    const int row = (phy & kPhyN) ? 0 : (phy & (kPhyG | kPhyA)) ? 1 : 2;
    const int col = v.rssi >= -60 ? 0 : v.rssi >= -70 ? 1 : v.rssi >= -80 ? 2 : 3;
    v.txRate = rates[row][col] * 1000; // tenths of Mbit/s to units of 100 bit/s
    return v;
}

AddressView World::address(std::size_t index)
{
    std::lock_guard lock(m_mutex);
    catchUp();
    return index < m_adapters.size() ? m_adapters[index].addr : AddressView{};
}

CounterView World::counters(std::size_t index)
{
    std::lock_guard lock(m_mutex);
    catchUp();
    return index < m_adapters.size() ? countersAt(m_adapters[index], simNow()) : CounterView{};
}

std::uint32_t World::renewAddress(std::size_t index)
{
    std::lock_guard lock(m_mutex);
    catchUp();
    if (index >= m_adapters.size())
        return kErrorInvalidHandle;
    Adapter& a = m_adapters[index];
    const Network* n = networkBySerial(a.net);
    if (a.link != Adapter::Link::Linked || !n)
        return kErrorNotReady;
    startAddress(a, *n, simNow());
    wake();
    return kSuccess;
}

void World::releaseAddress(std::size_t index)
{
    std::lock_guard lock(m_mutex);
    catchUp();
    if (index >= m_adapters.size())
        return;
    Adapter& a = m_adapters[index];
    a.pending = Adapter::Pending::None;
    a.addrDue = kNone;
    if (a.addr.address != 0) {
        a.addr = {};
        emit(index, EVENT_DEVICE_ADDRCHG);
    }
}

void World::setRadioOff(std::size_t index, bool off)
{
    std::lock_guard lock(m_mutex);
    catchUp();
    if (index >= m_adapters.size())
        return;
    m_adapters[index].radioOff = off;
    if (off)
        dropLink(index, "the radio is off");
}

std::uint32_t World::setBand(std::size_t index, std::uint8_t band)
{
    std::lock_guard lock(m_mutex);
    catchUp();
    if (index >= m_adapters.size())
        return kErrorInvalidHandle;
    if (band > kBandAuto)
        return kErrorInvalidParameter;
    Adapter& a = m_adapters[index];
    a.band = band;
    const Network* n = networkBySerial(a.net);
    if (a.link != Adapter::Link::Idle && (!n || !BandAllows(band, n->spec.channel)))
        dropLink(index, "the band setting excludes the network");
    return kSuccess;
}

void World::setButton(std::size_t index, bool pressed)
{
    std::lock_guard lock(m_mutex);
    if (index < m_adapters.size())
        m_adapters[index].button = pressed;
}

void World::setZeroConfig(std::size_t index, std::uint8_t value)
{
    std::lock_guard lock(m_mutex);
    if (index < m_adapters.size())
        m_adapters[index].zeroConfig = value;
}

// Control ------------------------------------------------------------------------------------

bool World::plug(std::size_t index, bool present, std::string* error)
{
    std::lock_guard lock(m_mutex);
    catchUp();
    if (index >= m_adapters.size()) {
        *error = "no such adapter";
        return false;
    }
    Adapter& a = m_adapters[index];
    if (a.present == present) {
        *error = present ? "the adapter is already plugged in" : "the adapter is already unplugged";
        return false;
    }
    if (present) {
        a.present = true;
        ++a.generation;
        emit(index, EVENT_DEVICE_INSERT);
    } else {
        abandonScan(index);
        dropLink(index, "the adapter was unplugged");
        a.present = false;
        a.button = false;
        emit(index, EVENT_DEVICE_LEAVE);
    }
    return true;
}

void World::failNextDhcp(std::size_t index)
{
    std::lock_guard lock(m_mutex);
    if (index < m_adapters.size())
        m_adapters[index].dhcpFailNext = true;
}

bool World::addNetwork(NetworkSpec spec, std::string* error)
{
    std::lock_guard lock(m_mutex);
    if (findNetwork(spec.id)) {
        *error = "a network " + spec.id + " exists already";
        return false;
    }
    for (const Network& n : m_networks) {
        if (n.spec.bssid == spec.bssid) {
            *error = "network " + n.spec.id + " has the BSSID " + FormatMac(spec.bssid) + " already";
            return false;
        }
    }
    Network n;
    n.spec = std::move(spec);
    n.serial = m_nextSerial++;
    m_networks.push_back(std::move(n));
    return true;
}

bool World::removeNetwork(std::string_view id, std::string* error)
{
    std::lock_guard lock(m_mutex);
    catchUp();
    Network* n = networkOrError(id, error);
    if (!n)
        return false;
    dropLinksTo(n->serial, "the network went out of range");
    const std::uint64_t serial = n->serial;
    std::erase_if(m_networks, [serial](const Network& x) { return x.serial == serial; });
    return true;
}

bool World::moveNetwork(std::string_view id, unsigned channel, std::string* error)
{
    std::lock_guard lock(m_mutex);
    catchUp();
    Network* n = networkOrError(id, error);
    if (!n)
        return false;
    if (!IsValidChannel(channel)) {
        *error = "no channel " + std::to_string(channel) + " (1 to 14, or a 5 GHz channel from 36 to 165)";
        return false;
    }
    n->spec.channel = channel;
    dropLinksTo(n->serial, "the access point changed its channel");
    return true;
}

bool World::setSignal(std::string_view id, int dbm, std::string* error)
{
    std::lock_guard lock(m_mutex);
    catchUp();
    Network* n = networkOrError(id, error);
    if (!n)
        return false;
    if (dbm < -120 || dbm > 0) {
        *error = "a signal is from -120 to 0 dBm";
        return false;
    }
    n->spec.signal = dbm;
    const std::uint64_t t = simNow();
    for (std::size_t i = 0; i < m_adapters.size(); ++i) {
        const Adapter& a = m_adapters[i];
        if (a.link != Adapter::Link::Idle && a.net == n->serial && rssiAt(*n, t) < m_spec.linkThreshold)
            dropLink(i, "the signal is lost");
    }
    return true;
}

bool World::openPushButton(std::string_view id, std::string* error)
{
    std::lock_guard lock(m_mutex);
    Network* n = networkOrError(id, error, true);
    if (!n)
        return false;
    n->pushButtonUntil = simNow() + kPushButtonWindow;
    return true;
}

bool World::addEnrolleePin(std::string_view id, const std::string& pin, std::string* error)
{
    std::lock_guard lock(m_mutex);
    Network* n = networkOrError(id, error, true);
    if (!n)
        return false;
    if (!IsValidWpsPin(pin)) {
        *error = "a PIN is 4 digits, or 8 digits whose last is the checksum of the first seven";
        return false;
    }
    n->enrolleePins.push_back(pin);
    return true;
}

std::optional<WpsView> World::wps(std::string_view id) const
{
    std::lock_guard lock(m_mutex);
    const Network* n = findNetwork(id);
    if (!n)
        return std::nullopt;
    WpsView v;
    v.capable = n->spec.wps;
    v.apPin = n->spec.wpsPin;
    v.pushButtonOpen = n->pushButtonUntil > simNow();
    v.enrolleePins = n->enrolleePins;
    v.settings = n->spec;
    return v;
}

bool World::setFault(std::string_view exportName, std::uint32_t count, std::uint32_t status,
                     std::optional<std::uint32_t> code, std::string* error)
{
    const auto known = std::find_if(std::begin(kFaultPoints), std::end(kFaultPoints),
                                    [&](const char* p) { return exportName == p; });
    if (known == std::end(kFaultPoints)) {
        *error = "no export " + std::string(exportName) + " answers a status; one of";
        for (const char* p : kFaultPoints)
            *error += std::string(" ") + p;
        return false;
    }
    if (count == 0 || status == 0) {
        *error = "the count and the status must not be 0";
        return false;
    }
    if (code && exportName != "MirodelQuery" && exportName != "MirodelSet") {
        *error = "only MirodelQuery and MirodelSet take a request code";
        return false;
    }
    std::lock_guard lock(m_mutex);
    m_faults.push_back({std::string(exportName), count, status, code});
    return true;
}

void World::clearFaults()
{
    std::lock_guard lock(m_mutex);
    m_faults.clear();
}

std::optional<std::uint32_t> World::takeFault(std::string_view exportName, std::uint32_t code)
{
    std::lock_guard lock(m_mutex);
    for (auto it = m_faults.begin(); it != m_faults.end(); ++it) {
        if (it->exportName != exportName || (it->code && *it->code != code))
            continue;
        const std::uint32_t status = it->status;
        if (--it->count == 0)
            m_faults.erase(it);
        return status;
    }
    return std::nullopt;
}

std::string World::describe()
{
    std::lock_guard lock(m_mutex);
    catchUp();
    const std::uint64_t t = simNow();
    std::string out;
    char line[512];
    std::snprintf(line, sizeof line, "time %.1f s, scale %g\n", static_cast<double>(t) / 1000.0, m_scale);
    out += line;
    if (!m_scenarioError.empty())
        out += "scenario error: " + m_scenarioError + "\n";
    static const char* bands[] = {"2.4G", "5G", "auto"};
    for (const Adapter& a : m_adapters) {
        std::snprintf(line, sizeof line,
                      "adapter %s \"%s\" %s %s, radio %s, band %s, zeroconfig %u, button %u\n",
                      a.spec.id.c_str(), a.spec.name.c_str(), FormatMac(a.spec.mac).c_str(),
                      a.present ? "present" : "unplugged", a.radioOff ? "off" : "on",
                      bands[a.band], a.zeroConfig, a.button ? 1u : 0u);
        out += line;
        const Network* n = networkBySerial(a.net);
        if (a.link == Adapter::Link::Idle || !n) {
            out += "  link: none\n";
            continue;
        }
        const bool linked = a.link == Adapter::Link::Linked;
        std::snprintf(line, sizeof line, "  link: %s %s (%s), authMode %u, encryption %u%s\n",
                      linked ? "linked to" : "associating with", n->spec.id.c_str(),
                      FormatMac(n->spec.bssid).c_str(), a.authMode, a.encryption,
                      linked && !a.trafficOk ? ", frames fail their checks" : "");
        out += line;
        if (linked) {
            const CounterView c = countersAt(a, t);
            std::snprintf(line, sizeof line,
                          "  address %s mask %s gateway %s%s; frames tx %u rx %u+%u, errors tx %u icv %u\n",
                          FormatIp(a.addr.address).c_str(), FormatIp(a.addr.mask).c_str(),
                          FormatIp(a.addr.gateway).c_str(),
                          a.pending == Adapter::Pending::None ? "" : " (waiting)", c.txFrames,
                          c.rxFrames, c.rxExtra, c.txErrors, c.rxIcvErrors);
            out += line;
        }
    }
    for (const Network& n : m_networks) {
        std::snprintf(line, sizeof line,
                      "network %s \"%s\"%s %s channel %u, %s, %s %s, %s, %d dBm (now %d)%s%s\n",
                      n.spec.id.c_str(), n.spec.ssid.c_str(), n.spec.hidden ? " hidden" : "",
                      FormatMac(n.spec.bssid).c_str(), n.spec.channel,
                      n.spec.adHoc ? "ad hoc" : "infrastructure",
                      std::string(SecurityName(n.spec.security)).c_str(), CipherNames(n.spec.ciphers).c_str(),
                      PhyLetters(n.spec.phy).c_str(), n.spec.signal, rssiAt(n, t),
                      n.spec.wps ? ", WPS" : "",
                      n.pushButtonUntil > t ? ", push-button window open" : "");
        out += line;
        if (!n.enrolleePins.empty()) {
            out += "  enrollee PINs:";
            for (const std::string& pin : n.enrolleePins)
                out += " " + pin;
            out += "\n";
        }
    }
    for (const Fault& f : m_faults) {
        std::snprintf(line, sizeof line, "fault %s x%u status %u%s\n", f.exportName.c_str(), f.count,
                      f.status, f.code ? (" code " + std::to_string(*f.code)).c_str() : "");
        out += line;
    }
    return out;
}

} // namespace airsim
