// libMirodel through its C functions: finding and opening adapters, scanning, and the
// answers of every request code with and without a link.
#include "Harness.h"

#include <gmock/gmock.h>

#include <cstring>
#include <map>

namespace mirodeltest {
namespace {

using ::testing::ElementsAre;
using ::testing::UnorderedElementsAre;

constexpr std::uint32_t kNotFound = 1168;
constexpr std::uint32_t kDeviceGone = 1167;
constexpr std::uint32_t kInvalidHandle = 6;
constexpr std::uint32_t kInvalidParameter = 87;
constexpr std::uint32_t kNotReady = 21;

std::string Ssid(const MirodelBssEntry& e)
{
    return std::string(e.ssid, strnlen(e.ssid, sizeof e.ssid));
}

void ExpectWellFormed(const MirodelList* list, const std::vector<MirodelBssEntry>& copied)
{
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->count, copied.size());
    for (const MirodelBssEntry& e : copied)
        EXPECT_LT(strnlen(e.ssid, sizeof e.ssid), sizeof e.ssid) << "SSID not terminated in its field";
}

std::map<std::string, MirodelBssEntry> ByBssid(const std::vector<MirodelBssEntry>& entries)
{
    std::map<std::string, MirodelBssEntry> out;
    for (const MirodelBssEntry& e : entries) {
        char text[18];
        std::snprintf(text, sizeof text, "%02X:%02X:%02X:%02X:%02X:%02X", e.bssid[0], e.bssid[1], e.bssid[2],
                      e.bssid[3], e.bssid[4], e.bssid[5]);
        out[text] = e;
    }
    return out;
}

class MirodelAdapterTest : public LibraryTest
{
};

TEST_F(MirodelAdapterTest, FindListsPresentAdaptersWithTerminatedNames)
{
    AdapterList list;
    std::memset(&list, 0xAB, sizeof list);
    ASSERT_EQ(api.FindAdapters(&list, nullptr), 0u);
    ASSERT_EQ(list.count, 2u); // the third is not plugged in
    EXPECT_STREQ(list.names[0], "Test Adapter A");
    EXPECT_STREQ(list.names[1], "Test Adapter B");
    EXPECT_EQ(list.names[2][0], '\0');
    EXPECT_EQ(list.names[99][259], '\0');

    ASSERT_EQ(api.FindAdapters(&list, "test adapter b"), 0u);
    ASSERT_EQ(list.count, 1u);
    EXPECT_STREQ(list.names[0], "Test Adapter B");

    EXPECT_EQ(api.FindAdapters(&list, "Test Adapter C"), kNotFound);
    EXPECT_EQ(list.count, 0u);
    EXPECT_EQ(api.FindAdapters(&list, "No Such Card"), kNotFound);
    EXPECT_EQ(api.FindAdapters(nullptr, nullptr), kInvalidParameter);
}

TEST_F(MirodelAdapterTest, OpensByNameAndReopens)
{
    std::vector<std::uint8_t> mac;
    EXPECT_EQ(query(1, mac, 6), kInvalidHandle) << "nothing open yet";
    EXPECT_EQ(api.OpenAdapter("", MIRODEL_OPEN_REOPEN), kNotFound) << "nothing to re-open";
    EXPECT_EQ(open("No Such Card"), kNotFound);
    EXPECT_EQ(open("Test Adapter C"), kDeviceGone);
    EXPECT_EQ(open(""), kInvalidParameter);
    EXPECT_EQ(api.OpenAdapter("Test Adapter A", 7), kInvalidParameter);

    ASSERT_EQ(open("Test Adapter B"), 0u);
    ASSERT_EQ(query(1, mac, 6), 0u);
    EXPECT_THAT(mac, ElementsAre(0x00, 0x1F, 0x3C, 0x00, 0x00, 0x0B));
    api.CloseAdapter();
    EXPECT_EQ(query(1, mac, 6), kInvalidHandle);
    ASSERT_EQ(api.OpenAdapter("", MIRODEL_OPEN_REOPEN), 0u);
    ASSERT_EQ(query(1, mac, 6), 0u);
    EXPECT_EQ(mac[5], 0x0B);
    ASSERT_EQ(api.OpenAdapter(nullptr, MIRODEL_OPEN_REOPEN), 0u);
}

TEST_F(MirodelAdapterTest, AsyncScanDeliversOnALibraryThreadAfterTheScanTime)
{
    ASSERT_EQ(open(), 0u);
    const std::uint64_t start = m_clock.now();
    ASSERT_EQ(api.GetScanList(RecordScan, MIRODEL_SCAN_ASYNC, 0), 0u);
    EXPECT_EQ(Recorded().scanCount(), 0u);
    advance(1499);
    advance(1);
    ASSERT_TRUE(waitForScans(1));
    const Seen::Scan scan = Recorded().scan(0);
    EXPECT_GE(scan.time, start + 1500);
    EXPECT_NE(scan.thread, std::this_thread::get_id());
    ExpectWellFormed(scan.list, scan.entries);

    auto entries = ByBssid(scan.entries);
    EXPECT_EQ(entries.size(), 12u) << "every network but the one below the threshold";
    EXPECT_EQ(entries.count("00:90:4C:7D:18:F2"), 0u);
    const MirodelBssEntry& home = entries.at("00:1A:2B:3C:4D:01");
    EXPECT_EQ(Ssid(home), "Home");
    EXPECT_EQ(home.authMode, 3);
    EXPECT_EQ(home.cipher, 3);
    EXPECT_EQ(home.rssi, -45);
    EXPECT_EQ(home.channel, 6);
    EXPECT_EQ(home.frequencyKhz, 2437000u);
    EXPECT_EQ(home.networkType, 0);
    EXPECT_NE(home.wpsCapable, 0u);
    EXPECT_EQ(home.capabilities, 0x0040u | 0x2000u | 0x4000u | 0x8000u);
    const MirodelBssEntry& mixed = entries.at("00:24:01:9A:11:7C");
    EXPECT_EQ(mixed.capabilities, 0x0066u | 0x2000u | 0x4000u);
    EXPECT_EQ(entries.at("00:09:5B:21:33:E8").authMode, 1);
    EXPECT_EQ(entries.at("00:09:5B:21:33:E8").cipher, 1);
    EXPECT_EQ(entries.at("00:17:DF:80:01:36").capabilities & 0x00FFu, 0x0010u);
    EXPECT_EQ(entries.at("00:17:DF:80:01:36").frequencyKhz, 5180000u);
    EXPECT_EQ(Ssid(entries.at("00:26:5A:70:2C:9B")), "") << "the hidden network sends no name";
    EXPECT_EQ(entries.at("02:1C:BF:66:05:EA").networkType, 1);
    EXPECT_EQ(entries.at("00:44:44:44:44:44").authMode, 11);
    EXPECT_EQ(entries.at("00:0E:8F:42:00:10").wpsCapable, 0u);
}

TEST_F(MirodelAdapterTest, SyncScanHasDeliveredBeforeItReturns)
{
    ASSERT_EQ(open(), 0u);
    ASSERT_EQ(api.GetScanList(RecordScan, MIRODEL_SCAN_SYNC, 0), 0u);
    ASSERT_EQ(Recorded().scanCount(), 1u);
    const Seen::Scan scan = Recorded().scan(0);
    EXPECT_EQ(scan.thread, std::this_thread::get_id());
    ExpectWellFormed(scan.list, scan.entries);
    EXPECT_EQ(scan.entries.size(), 12u);
}

TEST_F(MirodelAdapterTest, ListsStayValidUntilTheNextListOfTheSameKind)
{
    ASSERT_EQ(open(), 0u);
    ASSERT_EQ(api.GetScanList(RecordScan, MIRODEL_SCAN_ASYNC, 0), 0u);
    advance(1500);
    ASSERT_TRUE(waitForScans(1));
    MirodelList* async = Recorded().scan(0).list;
    ASSERT_EQ(api.GetScanList(RecordScan, MIRODEL_SCAN_SYNC, 0), 0u);
    ASSERT_EQ(api.GetScanList(RecordScan, MIRODEL_SCAN_SYNC, 0), 0u);
    // The asynchronous list is untouched by the synchronous ones.
    ASSERT_EQ(async->count, 12u);
    for (std::uint32_t i = 0; i < async->count; ++i)
        EXPECT_EQ(std::memcmp(async->elements[i], &Recorded().scan(0).entries[i], sizeof(MirodelBssEntry)), 0);
}

TEST_F(MirodelAdapterTest, ScanRefusesWithoutAdapterOrWithBadArguments)
{
    EXPECT_EQ(api.GetScanList(RecordScan, MIRODEL_SCAN_SYNC, 0), kInvalidHandle);
    ASSERT_EQ(open(), 0u);
    EXPECT_EQ(api.GetScanList(nullptr, MIRODEL_SCAN_SYNC, 0), kInvalidParameter);
    EXPECT_EQ(api.GetScanList(RecordScan, 3, 0), kInvalidParameter);
    EXPECT_EQ(Recorded().scanCount(), 0u);
}

TEST_F(MirodelAdapterTest, ClosingDropsAPendingScan)
{
    ASSERT_EQ(open(), 0u);
    ASSERT_EQ(api.GetScanList(RecordScan, MIRODEL_SCAN_ASYNC, 0), 0u);
    api.CloseAdapter();
    ASSERT_EQ(open(), 0u);
    ASSERT_EQ(api.GetScanList(RecordScan, MIRODEL_SCAN_SYNC, 0), 0u); // a marker: one list so far
    advance(5000);
    const std::uint64_t asked = m_clock.now();
    ASSERT_EQ(api.GetScanList(RecordScan, MIRODEL_SCAN_ASYNC, 0), 0u);
    advance(1500);
    ASSERT_TRUE(waitForScans(2));
    EXPECT_GE(Recorded().scan(1).time, asked + 1500) << "the scan asked for before the close was delivered";
}

TEST_F(MirodelAdapterTest, TheBandSettingChoosesWhatIsHeard)
{
    ASSERT_EQ(open(), 0u);
    std::uint32_t band = 9;
    ASSERT_EQ(vendorQuery(501, band), 0u);
    EXPECT_EQ(band, 2u) << "2.4 GHz and 5 GHz";
    ASSERT_EQ(vendorSet(601, 0), 0u);
    ASSERT_EQ(vendorQuery(501, band), 0u);
    EXPECT_EQ(band, 0u);
    ASSERT_EQ(api.GetScanList(RecordScan, MIRODEL_SCAN_SYNC, 0), 0u);
    for (const MirodelBssEntry& e : Recorded().scan(0).entries)
        EXPECT_LE(e.channel, 14) << Ssid(e);
    EXPECT_EQ(Recorded().scan(0).entries.size(), 10u);
    ASSERT_EQ(vendorSet(601, 1), 0u);
    ASSERT_EQ(api.GetScanList(RecordScan, MIRODEL_SCAN_SYNC, 0), 0u);
    EXPECT_EQ(Recorded().scan(1).entries.size(), 2u);
    EXPECT_EQ(vendorSet(601, 3), kInvalidParameter);
}

class MirodelFastWorldTest : public LibraryTest
{
    std::string timeScale() const override { return "2"; }
};

TEST_F(MirodelFastWorldTest, TheTimeScaleSpeedsTheWorldUp)
{
    ASSERT_EQ(open(), 0u);
    ASSERT_EQ(api.RegisterEvents(EVENT_MASK_ALL, RecordEvent), 0u);
    const std::uint64_t start = m_clock.now();
    ASSERT_EQ(api.GetScanList(RecordScan, MIRODEL_SCAN_ASYNC, 0), 0u);
    ProfileRecord p = MakeProfile("c", "Cafe", 0, 0);
    ASSERT_EQ(api.Connect(&p), 0u);
    advance(599);
    advance(1);
    ASSERT_TRUE(waitForEvents(1)) << "1200 ms of association at twice the speed";
    EXPECT_EQ(Recorded().events[0].time, start + 600);
    advance(150);
    ASSERT_TRUE(waitForScans(1));
    EXPECT_EQ(Recorded().scan(0).time, start + 750);
}

class MirodelOtherBackendTest : public LibraryTest
{
    std::string backend() const override { return "wpa"; }
};

TEST_F(MirodelOtherBackendTest, AnUnavailableBackendAnswersNotSupported)
{
    AdapterList list;
    EXPECT_EQ(api.FindAdapters(&list, nullptr), 50u);
    EXPECT_EQ(list.count, 0u);
    EXPECT_EQ(open(), 50u);
    EXPECT_EQ(api.RegisterEvents(EVENT_MASK_ALL, RecordEvent), 50u);
    std::vector<std::uint8_t> out;
    EXPECT_EQ(query(1, out, 6), 50u);
    MirodelList* profiles = nullptr;
    EXPECT_EQ(api.GetProfiles(&profiles, MIRODEL_STORE_USER), 0u) << "the stored profiles do not need a radio";
}

// Requests --------------------------------------------------------------------------------

struct RequestCase
{
    std::uint32_t code;
    std::uint32_t length;
    std::uint32_t unlinked; ///< status with the adapter open and no link
    std::uint32_t linked;   ///< status while linked to Home
    std::vector<std::uint8_t> linkedBytes; ///< the answer's first bytes while linked, if fixed
};

std::vector<std::uint8_t> Word(std::uint32_t v)
{
    return {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v >> 16),
            static_cast<std::uint8_t>(v >> 24)};
}

std::vector<std::uint8_t> Text(const std::string& s)
{
    std::vector<std::uint8_t> out(s.begin(), s.end());
    out.push_back(0);
    return out;
}

class MirodelRequestTest : public LibraryTest
{
protected:
    void SetUp() override
    {
        LibraryTest::SetUp();
        ASSERT_EQ(open(), 0u);
        ASSERT_EQ(api.RegisterEvents(EVENT_MASK_ALL, RecordEvent), 0u);
    }
    void linkHome()
    {
        ProfileRecord p = MakeProfile("home", "Home", 3, 3);
        SetPassphrase(p, "correct-horse-7", KEY_ASCII);
        connectAndWait(p);
    }
};

TEST_F(MirodelRequestTest, EveryCodeAnswersWithAndWithoutALink)
{
    const std::vector<RequestCase> cases = {
        {1, 6, 0, 0, {0x00, 0x1F, 0x3C, 0x00, 0x00, 0x0A}},
        {2, 33, kNotReady, 0, Text("Home")},
        {4, 1, kNotReady, 0, {0}},
        {5, 1, kNotReady, 0, {3}},
        {6, 4, kNotReady, 0, Word(3000000)}, // 300 Mbit/s in units of 100 bit/s
        {7, 4, kNotReady, 0, Word(6)},
        {8, 4, kNotReady, 0, Word(static_cast<std::uint32_t>(-45))},
        {11, 1, 0, 0, {0}},
        {12, 6, kNotReady, 0, {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x01}},
        {14, 33, 0, 0, Text("5.1.2.0")},
        {15, 16, 0, 0, Text("192.168.1.23")},
        {15, 33, 0, 0, Text("192.168.1.23")},
        {16, 1, kNotReady, 0, {3}},
        {20, 33, 0, 0, Text("192.168.1.1")},
        {26, 33, 0, 0, Text("255.255.255.0")},
        {28, 4, 0, 0, {}},
        {29, 4, 0, 0, {}},
        {30, 4, 0, 0, {}},
        {31, 4, 0, 0, {}},
        {32, 4, 0, 0, {}},
    };
    std::map<std::uint32_t, std::vector<std::uint8_t>> unlinkedAnswers;
    for (const RequestCase& c : cases) {
        std::vector<std::uint8_t> out;
        EXPECT_EQ(query(c.code, out, c.length), c.unlinked) << "request " << c.code << " without a link";
        unlinkedAnswers[c.code] = out;
    }
    EXPECT_EQ(std::string(reinterpret_cast<char*>(unlinkedAnswers[15].data())), "0.0.0.0");
    EXPECT_EQ(std::string(reinterpret_cast<char*>(unlinkedAnswers[26].data())), "0.0.0.0");
    EXPECT_EQ(std::string(reinterpret_cast<char*>(unlinkedAnswers[20].data())), "");

    linkHome();
    for (const RequestCase& c : cases) {
        std::vector<std::uint8_t> out;
        ASSERT_EQ(query(c.code, out, c.length), c.linked) << "request " << c.code << " while linked";
        if (!c.linkedBytes.empty()) {
            out.resize(c.linkedBytes.size());
            EXPECT_EQ(out, c.linkedBytes) << "request " << c.code;
        }
    }
}

TEST_F(MirodelRequestTest, VendorRequestsWithAndWithoutALink)
{
    std::uint32_t v = 99;
    EXPECT_EQ(vendorQuery(502, v), 0u);
    EXPECT_EQ(v, 0u);
    EXPECT_EQ(vendorQuery(503, v), 0u);
    EXPECT_EQ(v, 2u) << "ETSI";
    EXPECT_EQ(vendorQuery(506, v), 0u);
    EXPECT_EQ(v, 0u);
    EXPECT_EQ(vendorQuery(504, v), kNotReady) << "no receive rate without a link";
    EXPECT_EQ(vendorQuery(507, v), kNotReady);
    linkHome();
    EXPECT_EQ(vendorQuery(504, v), 0u);
    EXPECT_EQ(vendorQuery(507, v), 0u);
    EXPECT_EQ(v, 6u);

    std::uint8_t shortBuffer[20] = {};
    AdapterRequest region{503, 20, shortBuffer};
    EXPECT_EQ(api.Query(&region), 122u) << "the region answer needs 21 bytes";
    AdapterRequest band{501, 19, shortBuffer};
    EXPECT_EQ(api.Query(&band), 122u);
}

TEST_F(MirodelRequestTest, BadRequestsAnswerAnErrorStatus)
{
    std::vector<std::uint8_t> out;
    EXPECT_EQ(query(9999, out, 4), 50u) << "unknown code";
    EXPECT_EQ(setEmpty(9999), 50u);
    EXPECT_EQ(query(101, out, 4), 1u) << "a set code queried";
    EXPECT_EQ(setByte(1, 0), 1u) << "a query code set";
    EXPECT_EQ(query(1, out, 5), 122u) << "the MAC address needs 6 bytes";
    EXPECT_EQ(query(14, out, 4), 122u) << "the driver version does not fit";
    AdapterRequest noBuffer{1, 6, nullptr};
    EXPECT_EQ(api.Query(&noBuffer), kInvalidParameter);
    EXPECT_EQ(api.Query(nullptr), kInvalidParameter);
    EXPECT_EQ(api.Set(nullptr), kInvalidParameter);
    EXPECT_EQ(vendorSet(607, 2), kInvalidParameter);
    EXPECT_EQ(vendorSet(602, 5), kInvalidParameter);
    EXPECT_EQ(setByte(104, 1), kNotReady) << "nothing to renew without a link";
    EXPECT_EQ(setByte(104, 0), kInvalidParameter);
    EXPECT_EQ(setByte(105, 1), 0u) << "releasing nothing is fine";
    EXPECT_EQ(setEmpty(104), 122u);
}

TEST_F(MirodelRequestTest, CountersGrowWhileLinked)
{
    std::uint32_t before = 0, after = 0;
    ASSERT_EQ(queryWord(28, before), 0u);
    linkHome();
    advance(10000);
    std::uint32_t tx = 0, rx = 0, extra = 0;
    ASSERT_EQ(queryWord(28, tx), 0u);
    ASSERT_EQ(queryWord(29, rx), 0u);
    ASSERT_EQ(queryWord(31, extra), 0u);
    EXPECT_GT(tx, before);
    EXPECT_GT(rx, tx);
    EXPECT_GT(extra, 0u);
    advance(120000);
    std::uint32_t errors = 0;
    ASSERT_EQ(queryWord(28, after), 0u);
    ASSERT_EQ(queryWord(30, errors), 0u);
    EXPECT_GT(after, tx);
    EXPECT_GT(errors, 0u);
    ASSERT_EQ(setEmpty(101), 0u);
    ASSERT_TRUE(waitForEvents(3));
    std::uint32_t kept = 0;
    ASSERT_EQ(queryWord(28, kept), 0u);
    advance(10000);
    std::uint32_t still = 0;
    ASSERT_EQ(queryWord(28, still), 0u);
    EXPECT_EQ(still, kept) << "counters stand still without a link and keep their count";
    EXPECT_GE(kept, after);
}

TEST_F(MirodelRequestTest, RenewAndReleaseReportAddressChanges)
{
    linkHome();
    ASSERT_EQ(setByte(105, 1), 0u);
    ASSERT_TRUE(waitForEvents(3));
    std::string ip;
    ASSERT_EQ(queryText(15, ip), 0u);
    EXPECT_EQ(ip, "0.0.0.0");
    ASSERT_EQ(setByte(104, 1), 0u);
    advance(800);
    ASSERT_TRUE(waitForEvents(4));
    EXPECT_THAT(Recorded().eventCodes(), ElementsAre(EVENT_DEVICE_CONNECT, EVENT_DEVICE_ADDRCHG,
                                                     EVENT_DEVICE_ADDRCHG, EVENT_DEVICE_ADDRCHG));
    ASSERT_EQ(queryText(15, ip), 0u);
    EXPECT_EQ(ip, "192.168.1.23");
}

TEST_F(MirodelRequestTest, ZeroConfigurationFlagAndPushButton)
{
    ASSERT_EQ(ctl({"adapter", "zeroconfig", "wlan0", "1"}).exitCode, 0);
    std::vector<std::uint8_t> flag;
    ASSERT_EQ(query(11, flag, 1), 0u);
    EXPECT_EQ(flag[0], 1);
    ASSERT_EQ(setByte(11, 0), 0u);
    ASSERT_EQ(query(11, flag, 1), 0u);
    EXPECT_EQ(flag[0], 0);

    ASSERT_EQ(ctl({"adapter", "button", "Test Adapter A"}).exitCode, 0);
    std::uint32_t pressed = 0;
    ASSERT_EQ(vendorQuery(502, pressed), 0u);
    EXPECT_EQ(pressed, 1u);
    ASSERT_EQ(vendorSet(602, 0), 0u);
    ASSERT_EQ(vendorQuery(502, pressed), 0u);
    EXPECT_EQ(pressed, 0u);
}

TEST_F(MirodelRequestTest, InjectedFaultsAnswerTheirStatusThenStop)
{
    ASSERT_EQ(ctl({"fail", "MirodelQuery", "2", "31", "11"}).exitCode, 0);
    std::vector<std::uint8_t> out;
    EXPECT_EQ(query(1, out, 6), 0u) << "another request code is not affected";
    EXPECT_EQ(query(11, out, 1), 31u);
    EXPECT_EQ(query(11, out, 1), 31u);
    EXPECT_EQ(query(11, out, 1), 0u);
    ASSERT_EQ(ctl({"fail", "MirodelGetScanList", "1", "6"}).exitCode, 0);
    EXPECT_EQ(api.GetScanList(RecordScan, MIRODEL_SCAN_SYNC, 0), 6u);
    EXPECT_EQ(Recorded().scanCount(), 0u);
    EXPECT_EQ(api.GetScanList(RecordScan, MIRODEL_SCAN_SYNC, 0), 0u);
}

} // namespace
} // namespace mirodeltest
