// libMirodel through its C functions: connecting, the events and their order, the radio,
// unplugging, callbacks racing the unregistering, unloading, and mirodelctl.
#include "Harness.h"

#include "Wait.h"

#include <gmock/gmock.h>

#include <atomic>
#include <condition_variable>
#include <cstring>
#include <future>
#include <sys/stat.h>

namespace mirodeltest {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

constexpr std::uint32_t kInvalidParameter = 87;
constexpr std::uint32_t kNotReady = 21;
constexpr std::uint32_t kNotFound = 1168;
constexpr std::uint32_t kRefused = 1225;
constexpr std::uint32_t kDeviceGone = 1167;
constexpr std::uint32_t kInvalidHandle = 6;

class MirodelConnectTest : public LibraryTest
{
protected:
    void SetUp() override
    {
        LibraryTest::SetUp();
        ASSERT_EQ(open(), 0u);
        ASSERT_EQ(api.RegisterEvents(EVENT_MASK_ALL, RecordEvent), 0u);
    }
    static ProfileRecord home(const char* passphrase = "correct-horse-7")
    {
        ProfileRecord p = MakeProfile("home", "Home", 3, 3);
        SetPassphrase(p, passphrase, KEY_ASCII);
        return p;
    }
    std::string ip()
    {
        std::string text;
        EXPECT_EQ(queryText(15, text, 16), 0u);
        return text;
    }
    std::string ssid()
    {
        std::string text;
        return queryText(2, text) == 0 ? text : "(no link)";
    }
};

TEST_F(MirodelConnectTest, RightKeyLinksThenGetsAnAddress)
{
    const std::uint64_t start = m_clock.now();
    ProfileRecord p = home();
    ASSERT_EQ(api.Connect(&p), 0u);
    EXPECT_EQ(ssid(), "(no link)") << "associating takes time";
    advance(1199);
    advance(1);
    ASSERT_TRUE(waitForEvents(1));
    EXPECT_EQ(ssid(), "Home");
    EXPECT_EQ(ip(), "0.0.0.0") << "no lease before the DHCP answer";
    advance(800);
    ASSERT_TRUE(waitForEvents(2));
    const auto events = Recorded().events;
    EXPECT_THAT(Recorded().eventCodes(), ElementsAre(EVENT_DEVICE_CONNECT, EVENT_DEVICE_ADDRCHG));
    EXPECT_GE(events[0].time, start + 1200);
    EXPECT_GE(events[1].time, start + 2000);
    EXPECT_NE(events[0].thread, std::this_thread::get_id());
    EXPECT_EQ(events[0].thread, events[1].thread);
    EXPECT_EQ(ip(), "192.168.1.23");
}

TEST_F(MirodelConnectTest, KeysInEveryFormThatFits)
{
    struct Case
    {
        const char* what;
        ProfileRecord profile;
        const char* address; ///< expected once linked: a lease or a self-assigned address
    };
    ProfileRecord hex = MakeProfile("hex", "Home", 3, 3);
    SetPassphrase(hex, "eb61228921ea5b89cd2c3ff739f5de4bcb733dbb7b570349c50509ee9544f6fd", KEY_HEX);
    ProfileRecord wpaOnMixed = MakeProfile("m", "Mixed", 2, 2);
    SetPassphrase(wpaOnMixed, "mixed-pass-1", KEY_ASCII);
    ProfileRecord wpa2OnMixed = MakeProfile("m", "Mixed", 3, 3);
    SetPassphrase(wpa2OnMixed, "mixed-pass-1", KEY_ASCII);
    ProfileRecord libraryCode = MakeProfile("m", "Mixed", 11, 3);
    SetPassphrase(libraryCode, "mixed-pass-1", KEY_ASCII);
    ProfileRecord sharedWep = MakeProfile("w", "OldWEP", 1, 1);
    SetWepKey(sharedWep, 0, "1A2B3C4D5E", 5, KEY_HEX);
    ProfileRecord openWep = MakeProfile("w", "OpenWEP", 0, 1);
    SetWepKey(openWep, 1, "abcde", 5, KEY_ASCII);
    ProfileRecord tls = MakeProfile("t", "Office", 5, 3);
    tls.certHashLength = 20;
    const std::uint8_t thumb[20] = {0x5D, 0x3F, 0x1A, 0x9C, 0x7B, 0x2E, 0x4F, 0x60, 0x81, 0xD3,
                                    0xA5, 0xC7, 0xE9, 0xB1, 0xF3, 0x02, 0x46, 0x81, 0x35, 0x79};
    std::memcpy(tls.certHash, thumb, 20);
    ProfileRecord hidden = MakeProfile("h", "Attic", 3, 3);
    SetPassphrase(hidden, "hidden-attic-99", KEY_ASCII);
    ProfileRecord adHoc = MakeProfile("a", "Party", 0, 0);
    adHoc.adHoc = 1;
    const Case cases[] = {
        {"64 hex digits of the derived key", hex, "192.168.1.23"},
        {"WPA on a WPA/WPA2 network", wpaOnMixed, nullptr},
        {"WPA2 on a WPA/WPA2 network", wpa2OnMixed, nullptr},
        {"a library-only code", libraryCode, nullptr},
        {"shared-key WEP in hex", sharedWep, nullptr},
        {"open-system WEP in ASCII, slot 2", openWep, nullptr},
        {"EAP-TLS with the accepted certificate", tls, nullptr},
        {"a hidden network by name", hidden, nullptr},
        {"an ad hoc cell gets a self-assigned address", adHoc, "169.254."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Recorded().clear();
        ProfileRecord p = c.profile;
        ASSERT_EQ(api.Connect(&p), 0u);
        advance(1200);
        ASSERT_TRUE(waitForEvents(1));
        EXPECT_EQ(ssid(), std::string(c.profile.ssid));
        advance(8000);
        ASSERT_TRUE(waitForEvents(2));
        if (c.address)
            EXPECT_EQ(ip().rfind(c.address, 0), 0u) << ip();
        else
            EXPECT_NE(ip(), "0.0.0.0");
        ASSERT_EQ(setEmpty(101), 0u);
        ASSERT_TRUE(waitForEvents(3));
    }
}

TEST_F(MirodelConnectTest, RefusedConnectsStartNothing)
{
    struct Case
    {
        const char* what;
        ProfileRecord profile;
        std::uint32_t status;
    };
    auto withPass = [](ProfileRecord p, const char* pass, std::uint8_t format) {
        SetPassphrase(p, pass, format);
        return p;
    };
    ProfileRecord badIndex = MakeProfile("w", "OldWEP", 1, 1);
    SetWepKey(badIndex, 0, "1A2B3C4D5E", 5, KEY_HEX);
    badIndex.keyIndex = 7;
    ProfileRecord wrongSize = MakeProfile("w", "OldWEP", 1, 1);
    SetWepKey(wrongSize, 0, "1A2B3C4D5E", 13, KEY_HEX);
    ProfileRecord unterminated = MakeProfile("x", "Home", 3, 3);
    std::memset(unterminated.ssid, 'A', sizeof unterminated.ssid);
    ProfileRecord infraToCell = MakeProfile("a", "Party", 0, 0);
    const Case cases[] = {
        {"either WPA or WPA2", withPass(MakeProfile("e", "Home", 23, 3), "correct-horse-7", 1), kInvalidParameter},
        {"either cipher", withPass(MakeProfile("e", "Home", 3, 23), "correct-horse-7", 1), kInvalidParameter},
        {"either EAP method", MakeProfile("e", "Office", 45, 3), kInvalidParameter},
        {"either open or shared", MakeProfile("e", "OldWEP", 100, 1), kInvalidParameter},
        {"WPA2 with WEP", MakeProfile("x", "Home", 3, 1), kInvalidParameter},
        {"a passphrase too short", withPass(MakeProfile("x", "Home", 3, 3), "short", 1), kInvalidParameter},
        {"63 hex digits", withPass(MakeProfile("x", "Home", 3, 3), std::string(63, 'a').c_str(), 0), kInvalidParameter},
        {"WEP slot 8", badIndex, kInvalidParameter},
        {"a WEP key of another size", wrongSize, kInvalidParameter},
        {"an SSID filling its field", unterminated, kInvalidParameter},
        {"a network not in range", MakeProfile("x", "Nowhere", 0, 0), kNotFound},
        {"below the threshold", MakeProfile("x", "Far", 0, 0), kNotFound},
        {"an ad hoc cell as infrastructure", infraToCell, kNotFound},
        {"WPA on a WPA2 network", withPass(MakeProfile("x", "Home", 2, 3), "correct-horse-7", 1), kRefused},
        {"TKIP on an AES network", withPass(MakeProfile("x", "Home", 3, 2), "correct-horse-7", 1), kRefused},
        {"open system on a shared-key network", MakeProfile("x", "OldWEP", 0, 0), kRefused},
    };
    for (const Case& c : cases) {
        ProfileRecord p = c.profile;
        EXPECT_EQ(api.Connect(&p), c.status) << c.what;
    }
    EXPECT_EQ(api.Connect(nullptr), kInvalidParameter);
    advance(10000);
    EXPECT_EQ(ssid(), "(no link)");
    EXPECT_THAT(Recorded().eventCodes(), IsEmpty());
}

TEST_F(MirodelConnectTest, AWrongKeyNeverLinks)
{
    ProfileRecord p = home("wrong-horse-7");
    ASSERT_EQ(api.Connect(&p), 0u) << "the key is found wrong only when associating";
    ProfileRecord wep = MakeProfile("w", "OldWEP", 1, 1);
    advance(5000);
    EXPECT_EQ(ssid(), "(no link)");
    SetWepKey(wep, 0, "FFFFFFFFFF", 5, KEY_HEX);
    ASSERT_EQ(api.Connect(&wep), 0u);
    advance(5000);
    EXPECT_EQ(ssid(), "(no link)");
    // A marker: the first event after the failed attempts is this connect's.
    ProfileRecord cafe = MakeProfile("c", "Cafe", 0, 0);
    ASSERT_EQ(api.Connect(&cafe), 0u);
    advance(1200);
    ASSERT_TRUE(waitForEvents(1));
    EXPECT_THAT(Recorded().eventCodes(), ElementsAre(EVENT_DEVICE_CONNECT));
}

TEST_F(MirodelConnectTest, AWrongOpenSystemWepKeyLinksButGetsNoLease)
{
    ProfileRecord p = MakeProfile("w", "OpenWEP", 0, 1);
    SetWepKey(p, 1, "zzzzz", 5, KEY_ASCII);
    ASSERT_EQ(api.Connect(&p), 0u);
    advance(1200);
    ASSERT_TRUE(waitForEvents(1));
    advance(8000);
    ASSERT_TRUE(waitForEvents(2));
    EXPECT_EQ(ip().rfind("169.254.", 0), 0u);
    std::uint32_t icv = 0;
    ASSERT_EQ(queryWord(32, icv), 0u);
    EXPECT_GT(icv, 100u) << "every frame fails its check";
}

TEST_F(MirodelConnectTest, NoDhcpAnswerLeavesASelfAssignedAddress)
{
    ProfileRecord p = MakeProfile("n", "NoDhcp", 0, 0);
    ASSERT_EQ(api.Connect(&p), 0u);
    advance(1200);
    ASSERT_TRUE(waitForEvents(1));
    advance(7999);
    EXPECT_EQ(ip(), "0.0.0.0");
    advance(1);
    ASSERT_TRUE(waitForEvents(2));
    EXPECT_EQ(ip(), "169.254.1.11");
    std::string mask, gateway;
    ASSERT_EQ(queryText(26, mask), 0u);
    ASSERT_EQ(queryText(20, gateway), 0u);
    EXPECT_EQ(mask, "255.255.0.0");
    EXPECT_EQ(gateway, "");

    // The control tool makes the next answer of a DHCP server fail too.
    ASSERT_EQ(ctl({"adapter", "dhcp-fail", "wlan0"}).exitCode, 0);
    connectAndWait(home());
    EXPECT_EQ(ip(), "0.0.0.0");
    advance(8000);
    ASSERT_TRUE(waitForEvents(5));
    EXPECT_EQ(ip(), "169.254.1.11");
    ASSERT_EQ(setByte(104, 1), 0u);
    advance(800);
    ASSERT_TRUE(waitForEvents(6));
    EXPECT_EQ(ip(), "192.168.1.23") << "only the next answer failed";
}

TEST_F(MirodelConnectTest, OfTwoAccessPointsTheStrongerIsJoined)
{
    ProfileRecord p = MakeProfile("t", "Twin", 0, 0);
    connectAndWait(p);
    std::vector<std::uint8_t> bssid;
    ASSERT_EQ(query(12, bssid, 6), 0u);
    EXPECT_EQ(bssid[5], 0x02);
    std::uint32_t channel = 0;
    ASSERT_EQ(queryWord(7, channel), 0u);
    EXPECT_EQ(channel, 11u);
}

TEST_F(MirodelConnectTest, ConnectingWhileLinkedDisconnectsFirst)
{
    connectAndWait(home());
    ProfileRecord cafe = MakeProfile("c", "Cafe", 0, 0);
    ASSERT_EQ(api.Connect(&cafe), 0u);
    advance(1200);
    advance(800);
    ASSERT_TRUE(waitForEvents(5));
    EXPECT_THAT(Recorded().eventCodes(), ElementsAre(EVENT_DEVICE_CONNECT, EVENT_DEVICE_ADDRCHG, EVENT_DEVICE_DISCONNECT,
                                                     EVENT_DEVICE_CONNECT, EVENT_DEVICE_ADDRCHG));
    EXPECT_EQ(ssid(), "Cafe");
}

TEST_F(MirodelConnectTest, TheMaskChoosesTheEvents)
{
    ASSERT_EQ(api.RegisterEvents(EVENT_DEVICE_DISCONNECT, RecordEvent), 0u);
    ProfileRecord p = home();
    ASSERT_EQ(api.Connect(&p), 0u);
    advance(2000);
    ASSERT_TRUE(fakes::WaitUntil([&] { return ssid() == "Home"; }));
    ASSERT_EQ(setEmpty(101), 0u);
    ASSERT_TRUE(waitForEvents(1));
    EXPECT_THAT(Recorded().eventCodes(), ElementsAre(EVENT_DEVICE_DISCONNECT));
    EXPECT_EQ(api.RegisterEvents(0, RecordEvent), kInvalidParameter);
    EXPECT_EQ(api.RegisterEvents(64, RecordEvent), kInvalidParameter);
    EXPECT_EQ(api.RegisterEvents(EVENT_MASK_ALL, nullptr), kInvalidParameter);
}

TEST_F(MirodelConnectTest, RadioOffDropsTheLinkAndSilencesTheRadio)
{
    connectAndWait(home());
    ASSERT_EQ(vendorSet(607, 1), 0u);
    ASSERT_TRUE(waitForEvents(3));
    EXPECT_EQ(Recorded().eventCodes().back(), EVENT_DEVICE_DISCONNECT);
    std::uint32_t off = 0;
    ASSERT_EQ(vendorQuery(506, off), 0u);
    EXPECT_EQ(off, 1u);
    ASSERT_EQ(api.GetScanList(RecordScan, MIRODEL_SCAN_SYNC, 0), 0u);
    EXPECT_EQ(Recorded().scan(0).list->count, 0u);
    ProfileRecord p = home();
    EXPECT_EQ(api.Connect(&p), kNotReady);

    ASSERT_EQ(vendorSet(607, 0), 0u);
    ASSERT_EQ(vendorQuery(506, off), 0u);
    EXPECT_EQ(off, 0u);
    ASSERT_EQ(api.GetScanList(RecordScan, MIRODEL_SCAN_SYNC, 0), 0u);
    EXPECT_EQ(Recorded().scan(1).list->count, 12u);
    EXPECT_EQ(api.Connect(&p), 0u);
}

TEST_F(MirodelConnectTest, UnplugDuringAConnectAndPlugBack)
{
    ProfileRecord p = home();
    ASSERT_EQ(api.Connect(&p), 0u);
    advance(600);
    ASSERT_EQ(ctl({"adapter", "unplug", "wlan0"}).exitCode, 0);
    ASSERT_TRUE(waitForEvents(1));
    advance(10000);
    std::vector<std::uint8_t> mac;
    EXPECT_EQ(query(1, mac, 6), kDeviceGone);
    EXPECT_EQ(api.Connect(&p), kDeviceGone);
    AdapterList list;
    ASSERT_EQ(api.FindAdapters(&list, nullptr), 0u);
    EXPECT_EQ(list.count, 1u);

    ASSERT_EQ(ctl({"adapter", "plug", "wlan0"}).exitCode, 0);
    ASSERT_TRUE(waitForEvents(2));
    EXPECT_THAT(Recorded().eventCodes(), ElementsAre(EVENT_DEVICE_LEAVE, EVENT_DEVICE_INSERT))
        << "the connect that was under way never completes";
    EXPECT_EQ(query(1, mac, 6), kInvalidHandle) << "the old handle went stale";
    ASSERT_EQ(api.OpenAdapter("", MIRODEL_OPEN_REOPEN), 0u);
    EXPECT_EQ(query(1, mac, 6), 0u);
}

TEST_F(MirodelConnectTest, UnplugWhileLinkedDisconnectsThenLeaves)
{
    connectAndWait(home());
    ASSERT_EQ(ctl({"adapter", "unplug", "wlan0"}).exitCode, 0);
    ASSERT_TRUE(waitForEvents(4));
    EXPECT_THAT(Recorded().eventCodes(), ElementsAre(EVENT_DEVICE_CONNECT, EVENT_DEVICE_ADDRCHG,
                                                     EVENT_DEVICE_DISCONNECT, EVENT_DEVICE_LEAVE));
    // Another adapter going is none of this handle's business.
    ASSERT_EQ(ctl({"adapter", "unplug", "wlan1"}).exitCode, 0);
    ASSERT_EQ(ctl({"adapter", "plug", "wlan0"}).exitCode, 0);
    ASSERT_TRUE(waitForEvents(5));
    EXPECT_EQ(Recorded().eventCodes().back(), EVENT_DEVICE_INSERT);
    EXPECT_EQ(Recorded().eventCodes().size(), 5u);
}

TEST_F(MirodelConnectTest, AWeakeningSignalAndAMovingNetworkDropTheLink)
{
    connectAndWait(home());
    ASSERT_EQ(ctl({"network", "signal", "home", "-89"}).exitCode, 0);
    advance(5000);
    std::uint32_t rssi = 0;
    ASSERT_EQ(queryWord(8, rssi), 0u);
    EXPECT_EQ(static_cast<std::int32_t>(rssi), -89) << "still above the threshold";
    ASSERT_EQ(ctl({"network", "signal", "home", "-91"}).exitCode, 0);
    ASSERT_TRUE(waitForEvents(3));
    EXPECT_EQ(Recorded().eventCodes().back(), EVENT_DEVICE_DISCONNECT);

    ASSERT_EQ(ctl({"network", "signal", "home", "-40"}).exitCode, 0);
    connectAndWait(home());
    ASSERT_EQ(ctl({"network", "move", "home", "11"}).exitCode, 0);
    ASSERT_TRUE(waitForEvents(6));
    EXPECT_EQ(Recorded().eventCodes().back(), EVENT_DEVICE_DISCONNECT);
    connectAndWait(home());
    std::uint32_t channel = 0;
    ASSERT_EQ(queryWord(7, channel), 0u);
    EXPECT_EQ(channel, 11u);
    ASSERT_EQ(ctl({"network", "remove", "home"}).exitCode, 0);
    ASSERT_TRUE(waitForEvents(9));
    EXPECT_EQ(Recorded().eventCodes().back(), EVENT_DEVICE_DISCONNECT);
}

// Callbacks racing the caller ----------------------------------------------------------------

/// An event callback that holds the library's thread until the test lets it go.
struct Gate
{
    std::mutex mutex;
    std::condition_variable cv;
    bool open = false;
    int entered = 0;
    std::vector<std::uint32_t> seen;
};
Gate* g_gate = nullptr;

void GatedEvent(std::uint32_t event)
{
    std::unique_lock lock(g_gate->mutex);
    ++g_gate->entered;
    g_gate->seen.push_back(event);
    g_gate->cv.notify_all();
    g_gate->cv.wait(lock, [] { return g_gate->open; });
}

TEST_F(MirodelConnectTest, UnregisterAndCloseDoNotWaitForACallbackInFlight)
{
    Gate gate;
    g_gate = &gate;
    ASSERT_EQ(api.RegisterEvents(EVENT_MASK_ALL, GatedEvent), 0u);
    ProfileRecord p = home();
    ASSERT_EQ(api.Connect(&p), 0u);
    advance(1200);
    {
        std::unique_lock lock(gate.mutex);
        ASSERT_TRUE(gate.cv.wait_for(lock, std::chrono::seconds(10), [&] { return gate.entered == 1; }));
    }
    // The address comes while the connect event's callback is held: its event is queued.
    advance(800);
    ASSERT_TRUE(fakes::WaitUntil([&] { return ip() != "0.0.0.0"; }));
    // The callback is held inside the library's thread. Both calls must come back anyway.
    auto unregister = std::async(std::launch::async, [&] { api.UnregisterEvents(); });
    ASSERT_EQ(unregister.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    auto close = std::async(std::launch::async, [&] { api.CloseAdapter(); });
    ASSERT_EQ(close.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    {
        std::lock_guard lock(gate.mutex);
        gate.open = true;
    }
    gate.cv.notify_all();

    ASSERT_EQ(open(), 0u);
    ASSERT_EQ(api.RegisterEvents(EVENT_MASK_ALL, RecordEvent), 0u);
    ASSERT_EQ(setEmpty(101), 0u);
    ASSERT_TRUE(waitForEvents(1));
    EXPECT_THAT(Recorded().eventCodes(), ElementsAre(EVENT_DEVICE_DISCONNECT))
        << "nothing queued before the unregistering is delivered after it";
    std::lock_guard lock(gate.mutex);
    EXPECT_THAT(gate.seen, ElementsAre(EVENT_DEVICE_CONNECT));
    g_gate = nullptr;
}

std::atomic<int> g_stressed{0};
void CountEvent(std::uint32_t) { ++g_stressed; }

TEST_F(MirodelConnectTest, EventsRacingRegistrationNeitherCrashNorLeak)
{
    g_stressed = 0;
    std::atomic<bool> stop{false};
    std::thread flipper([&] {
        while (!stop) {
            api.RegisterEvents(EVENT_MASK_ALL, CountEvent);
            api.UnregisterEvents();
        }
    });
    ProfileRecord cafe = MakeProfile("c", "Cafe", 0, 0);
    for (int i = 0; i < 50; ++i) {
        ASSERT_EQ(api.Connect(&cafe), 0u);
        advance(2000);
        ASSERT_EQ(setEmpty(101), 0u);
    }
    stop = true;
    flipper.join();
    api.UnregisterEvents();
    SUCCEED() << g_stressed.load() << " events got through";
}

TEST_F(MirodelConnectTest, NothingIsDeliveredAfterUnloading)
{
    Gate gate;
    gate.open = true;
    g_gate = &gate;
    ASSERT_EQ(api.RegisterEvents(EVENT_MASK_ALL, GatedEvent), 0u);
    ProfileRecord p = home();
    ASSERT_EQ(api.Connect(&p), 0u);
    ASSERT_EQ(api.GetScanList(RecordScan, MIRODEL_SCAN_ASYNC, 0), 0u);
    api.unload();
    EXPECT_FALSE(Api::resident()) << "the library and its threads are gone";
    advance(20000);
    {
        std::lock_guard lock(gate.mutex);
        EXPECT_THAT(gate.seen, IsEmpty());
    }
    EXPECT_EQ(Recorded().scanCount(), 0u);
    g_gate = nullptr;
    ASSERT_TRUE(api.load()); // for TearDown
}

// The control tool ------------------------------------------------------------------------

TEST_F(MirodelConnectTest, MirodelctlDrivesTheRunningWorld)
{
    const CtlResult state = ctl({"state"});
    ASSERT_EQ(state.exitCode, 0) << state.err;
    EXPECT_THAT(state.out, HasSubstr("adapter wlan0 \"Test Adapter A\""));
    EXPECT_THAT(state.out, HasSubstr("network home \"Home\""));

    const CtlResult added = ctl({"network", "add", "new", "Ssid=Brand New Net", "Bssid=00:55:55:55:55:55",
                                 "Channel=9", "Auth=WPA2-PSK", "Passphrase=new-pass-123", "Signal=-50"});
    ASSERT_EQ(added.exitCode, 0) << added.err;
    ASSERT_EQ(api.GetScanList(RecordScan, MIRODEL_SCAN_SYNC, 0), 0u);
    EXPECT_EQ(Recorded().scan(0).entries.size(), 13u);
    ProfileRecord p = MakeProfile("n", "Brand New Net", 3, 3);
    SetPassphrase(p, "new-pass-123", KEY_ASCII);
    connectAndWait(p);

    struct Bad
    {
        std::vector<std::string> args;
        const char* message;
    };
    const Bad bad[] = {
        {{"bogus"}, "unknown command"},
        {{"network", "signal", "nosuch", "-30"}, "no network nosuch"},
        {{"network", "signal", "home", "loud"}, "is not a number"},
        {{"network", "add", "new", "Ssid=Again", "Bssid=00:66:66:66:66:66"}, "exists already"},
        {{"network", "add", "x", "Ssid=X", "Bssid=00:1A:2B:3C:4D:01"}, "has the BSSID"},
        {{"network", "add", "y", "Ssid=Y", "Bssid=00:67:67:67:67:67", "Auth=WPA2-PSK"}, "Passphrase or Psk"},
        {{"network", "move", "cafe", "15"}, "no channel 15"},
        {{"adapter", "plug", "wlan0"}, "already plugged in"},
        {{"adapter", "unplug", "nosuch"}, "no adapter"},
        {{"wps", "pin", "home", "12345678"}, "checksum"},
        {{"wps", "pbc", "cafe"}, "has no WPS"},
        {{"fail", "MirodelCloseAdapter", "1", "5"}, "answers a status"},
        {{"fail", "MirodelQuery", "0", "5"}, "the count"},
    };
    for (const Bad& b : bad) {
        const CtlResult r = ctl(b.args);
        EXPECT_EQ(r.exitCode, 1) << b.args[0];
        EXPECT_THAT(r.err, HasSubstr(b.message));
    }
    const CtlResult after = ctl({"state"});
    auto withoutTime = [](std::string s) { return s.substr(s.find('\n')); };
    EXPECT_EQ(withoutTime(after.out), withoutTime(ctl({"state"}).out));
    EXPECT_THAT(after.out, HasSubstr("linked to new"));
    EXPECT_THAT(after.out, Not(HasSubstr("network x ")));

    EXPECT_EQ(ctl({"wps", "pbc", "home"}).exitCode, 0);
    EXPECT_EQ(ctl({"wps", "pin", "home", "12345670"}).exitCode, 0);
    EXPECT_THAT(ctl({"state"}).out, HasSubstr("enrollee PINs: 12345670"));

    EXPECT_EQ(ctl({"--pid", "1", "state"}).exitCode, 2) << "no world in that process";
    EXPECT_EQ(ctl({}).exitCode, 2);

    struct stat st;
    const auto dir = m_dir / "run" / "Quelmar";
    ASSERT_EQ(stat(dir.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    ASSERT_EQ(stat((dir / ("airsim-" + std::to_string(getpid()) + ".sock")).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 077, 0u);
}

} // namespace
} // namespace mirodeltest
