#include "adapter/Adapter.h"

#include "FakeMirodel.h"
#include "FakeServiceControl.h"
#include "VirtualClock.h"
#include "Wait.h"
#include "adapter/ProfileRecord.h"
#include "platform/System.h"
#include "platform/Trace.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <future>

namespace {

using fakes::FakeMirodel;
using ::testing::ElementsAre;

ProfileRecord Profile(const char* name, const char* ssid, std::uint8_t adHoc = 0)
{
    ProfileRecord r;
    InitProfileRecord(&r);
    std::strcpy(r.profileName, name);
    std::strcpy(r.ssid, ssid);
    r.adHoc = adHoc;
    return r;
}

class AdapterTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        FakeMirodel::instance().reset();
        platform::OsGeneration = 2;
    }
    void TearDown() override
    {
        adapter.WaitForConnect();
        FakeMirodel::instance().reset();
        g_hScanListWnd = 0;
        platform::OsGeneration = 5;
    }

    fakes::FakeMirodel& fake = FakeMirodel::instance();
    fakes::VirtualClock clock;
    CAdapter adapter;
};

TEST_F(AdapterTest, theCommandWindowIsRegisteredUnderItsTitle)
{
    EXPECT_NE(adapter.m_hWnd, 0u);
    EXPECT_EQ(g_hCommandWnd.load(), adapter.m_hWnd);
    EXPECT_EQ(platform::FindWindow("_ADAPTER_COMMAND_WND_~!@#$%^_"), adapter.m_hWnd);
}

struct ConnectCase
{
    int osGeneration;
    std::uint8_t adHoc;
    std::vector<std::uint32_t> setCodes; // MirodelSet calls before MirodelConnect
    friend void PrintTo(const ConnectCase& c, std::ostream* os)
    {
        *os << "generation " << c.osGeneration << (c.adHoc ? ", ad hoc" : "");
    }
};

class ConnectPath : public AdapterTest, public ::testing::WithParamInterface<ConnectCase>
{
};

TEST_P(ConnectPath, disconnectsPausesReleasesAndConnects)
{
    const ConnectCase& c = GetParam();
    platform::OsGeneration = c.osGeneration;
    std::string trace;
    platform::SetTraceSink([&](std::string_view line) { trace += line; });

    const ProfileRecord profile = Profile("Home", "HomeNet", c.adHoc);
    ASSERT_EQ(adapter.Connect(profile), 0u);
    adapter.WaitForConnect();
    platform::SetTraceSink({});

    ASSERT_TRUE(fake.waitForCalls("MirodelSet", c.setCodes.size()));
    EXPECT_EQ(fake.setCodes(), c.setCodes);
    const auto connects = fake.calls("MirodelConnect");
    ASSERT_EQ(connects.size(), 1u);
    EXPECT_STREQ(connects[0].profile->ssid, "HomeNet");
    EXPECT_NE(connects[0].thread, std::this_thread::get_id());
    EXPECT_EQ(trace, "CAdapter::DoConnect()\n");

    // One pause of 2000 ms, on the worker, before the release and the connect.
    const auto pauses = clock.pauses();
    ASSERT_EQ(pauses.size(), 1u);
    EXPECT_EQ(pauses[0].ms, 2000u);
    EXPECT_EQ(pauses[0].thread, connects[0].thread);

    for (const auto& set : fake.calls("MirodelSet")) {
        if (set.code == request::ReleaseIp) {
            EXPECT_EQ(set.length, 1u);
            EXPECT_EQ(set.data, std::vector<std::uint8_t>{1});
        } else {
            EXPECT_EQ(set.length, 0u);
            EXPECT_TRUE(set.data.empty());
        }
    }
    EXPECT_FALSE(adapter.IsConnectBusy());
    EXPECT_STREQ(adapter.GetCurrentProfile().profileName, "Home");
}

INSTANTIATE_TEST_SUITE_P(
    ByOsGeneration, ConnectPath,
    ::testing::Values(ConnectCase{1, 0, {request::Disconnect, request::ReleaseIp}},
                      ConnectCase{2, 0, {request::Disconnect, request::ReleaseIp}},
                      ConnectCase{4, 1, {request::DisconnectAdHoc, request::ReleaseIp}},
                      ConnectCase{2, 1, {request::DisconnectAdHoc, request::ReleaseIp}},
                      ConnectCase{3, 1, {request::Disconnect}},
                      ConnectCase{5, 0, {request::Disconnect}}));

TEST_F(AdapterTest, onVistaTheDisconnectComesFromAThreadOfItsOwn)
{
    platform::OsGeneration = 3;
    adapter.Disconnect();
    ASSERT_TRUE(fake.waitForCalls("MirodelSet", 1));
    const auto sets = fake.calls("MirodelSet");
    EXPECT_EQ(sets[0].code, request::Disconnect);
    EXPECT_NE(sets[0].thread, std::this_thread::get_id());
}

TEST_F(AdapterTest, aSecondConnectWhileTheFirstRunsIsRefused)
{
    std::promise<void> release;
    auto released = release.get_future().share();
    fake.setCallHook("MirodelConnect", [released] { released.wait(); });

    ASSERT_EQ(adapter.Connect(Profile("One", "A")), 0u);
    ASSERT_TRUE(fake.waitForCalls("MirodelConnect", 1));
    EXPECT_TRUE(adapter.IsConnectBusy());
    EXPECT_EQ(adapter.Connect(Profile("Two", "B")), STATUS_CONNECT_BUSY);

    release.set_value();
    adapter.WaitForConnect();
    EXPECT_EQ(fake.count("MirodelConnect"), 1u);
    EXPECT_STREQ(adapter.GetCurrentProfile().profileName, "One");

    // Once the worker has ended a new connect goes through.
    fake.setCallHook("MirodelConnect", {});
    EXPECT_EQ(adapter.Connect(Profile("Two", "B")), 0u);
    adapter.WaitForConnect();
    EXPECT_STREQ(adapter.GetCurrentProfile().profileName, "Two");
}

TEST_F(AdapterTest, aDisconnectDuringAConnectLooksAtThePendingProfile)
{
    std::promise<void> release;
    auto released = release.get_future().share();
    fake.setCallHook("MirodelConnect", [released] { released.wait(); });
    ASSERT_EQ(adapter.Connect(Profile("Cell", "Cell", 1)), 0u);
    ASSERT_TRUE(fake.waitForCalls("MirodelConnect", 1));
    adapter.Disconnect();
    release.set_value();
    adapter.WaitForConnect();
    EXPECT_EQ(fake.setCodes().back(), request::DisconnectAdHoc);

    // Afterwards the current profile (ad hoc) decides.
    adapter.Disconnect();
    EXPECT_EQ(fake.setCodes().back(), request::DisconnectAdHoc);
}

TEST_F(AdapterTest, theConnectStatusEndsTheWorkerAndIsKept)
{
    fake.setStatus("MirodelConnect", 1167);
    ASSERT_EQ(adapter.Connect(Profile("x", "y")), 0u);
    adapter.WaitForConnect();
    EXPECT_EQ(adapter.LastConnectStatus(), 1167u);
    EXPECT_FALSE(adapter.IsConnectBusy());
}

TEST_F(AdapterTest, aFailedAllocationGives13AndLeavesTheChannelUsable)
{
    auto* const realAlloc = CAdapter::s_pfnAllocProfile;
    CAdapter::s_pfnAllocProfile = []() -> ProfileRecord* { return nullptr; };
    EXPECT_EQ(adapter.Connect(Profile("x", "y")), STATUS_NO_MEMORY);
    CAdapter::s_pfnAllocProfile = realAlloc;
    EXPECT_FALSE(adapter.IsConnectBusy());
    EXPECT_EQ(fake.count("MirodelSet"), 0u);
    EXPECT_EQ(adapter.Connect(Profile("x", "y")), 0u);
}

TEST_F(AdapterTest, guardedQueriesRefuseWhileNoAdapterIsOpen)
{
    std::uint32_t channel = 0xABABABAB;
    std::uint8_t flag = 0xAB;
    char ip[16];
    std::memset(ip, 0xAB, sizeof ip);
    EXPECT_EQ(adapter.QueryChannel(channel), STATUS_NO_ADAPTER);
    EXPECT_EQ(adapter.QueryZeroConfig(flag), STATUS_NO_ADAPTER);
    EXPECT_EQ(adapter.QueryIpAddress(ip, sizeof ip), STATUS_NO_ADAPTER);
    EXPECT_EQ(channel, 0xABABABABu);
    EXPECT_EQ(flag, 0xAB);
    EXPECT_EQ(static_cast<unsigned char>(ip[15]), 0xAB);
    EXPECT_EQ(fake.count("MirodelQuery"), 0u);
}

TEST_F(AdapterTest, guardedQueriesRunOnTheInterfaceThreadWithAZeroedBuffer)
{
    adapter.SetAdapterOpen(true);
    fake.setQueryValue(request::Channel, 11);
    fake.setQueryData(request::IpAddress, {'1', '0', '.', '0', '.', '0', '.', '7', 0});
    std::uint32_t channel = 0xFFFFFFFF;
    std::atomic<DWORD> status{99};
    std::thread library([&] { status = adapter.QueryChannel(channel); });
    ASSERT_TRUE(fakes::WaitUntil([&] { return status.load() != 99; }));
    library.join();
    EXPECT_EQ(status.load(), 0u);
    EXPECT_EQ(channel, 11u);

    char ip[33];
    std::memset(ip, 'z', sizeof ip);
    EXPECT_EQ(adapter.QueryIpAddress(ip, sizeof ip), 0u);
    EXPECT_STREQ(ip, "10.0.0.7");

    const auto queries = fake.calls("MirodelQuery");
    ASSERT_EQ(queries.size(), 2u);
    for (const auto& q : queries) {
        EXPECT_EQ(q.thread, std::this_thread::get_id());
        EXPECT_EQ(q.data, std::vector<std::uint8_t>(q.length, 0)) << q.code;
    }
    EXPECT_EQ(queries[0].length, 4u);
    EXPECT_EQ(queries[1].length, 33u);

    fake.setRequestStatus(request::ZeroConfig, 6);
    std::uint8_t flag = 0;
    EXPECT_EQ(adapter.QueryZeroConfig(flag), 6u);
}

TEST_F(AdapterTest, vendorRequestsCarryTheVendorIdAndDataLength)
{
    fake.setQueryData(request::PushButton, std::vector<std::uint8_t>(20, 0));
    std::vector<std::uint8_t> button(20, 0);
    button[16] = 1;
    button[17] = 0x55; // only byte 16 is read
    fake.setQueryData(request::PushButton, button);
    std::uint32_t pressed = 0;
    EXPECT_EQ(CAdapter::VendorQuery(7, request::PushButton, pressed), 0u);
    EXPECT_EQ(pressed, 1u);

    std::vector<std::uint8_t> region(21, 0);
    region[16] = 2;
    fake.setQueryData(request::Region, region);
    EXPECT_EQ(CAdapter::QueryRegion(7), 2u);
    fake.setRequestStatus(request::Region, 31);
    EXPECT_EQ(CAdapter::QueryRegion(7), 0u);

    EXPECT_EQ(CAdapter::VendorSetWord(7, request::SetRadioOff, 1), 0u);
    EXPECT_EQ(CAdapter::VendorSetByte(7, request::SetPushButton, 0), 0u);
    fake.setRequestStatus(request::RxRateProbe, 50);
    EXPECT_EQ(CAdapter::VendorProbe(7), 50u);

    const auto queries = fake.calls("MirodelQuery");
    ASSERT_EQ(queries.size(), 4u);
    EXPECT_EQ(queries[0].length, 20u);
    EXPECT_EQ(queries[0].data[0], 7);
    EXPECT_EQ(queries[0].data[12], 4);
    EXPECT_EQ(queries[1].length, 21u);
    EXPECT_EQ(queries[1].data[12], 1);
    const auto sets = fake.calls("MirodelSet");
    ASSERT_EQ(sets.size(), 2u);
    EXPECT_EQ(sets[0].code, request::SetRadioOff);
    EXPECT_EQ(sets[0].length, 20u);
    EXPECT_EQ(sets[0].data[16], 1);
    EXPECT_EQ(sets[0].data[0], 7);
    EXPECT_EQ(sets[1].code, request::SetPushButton);
}

class ScanListWindow final : public platform::MessageTarget
{
public:
    ScanListWindow() : handle(platform::CreateWindow(this, "survey")) {}
    ~ScanListWindow() override { platform::DestroyWindow(handle); }
    LRESULT WindowProc(UINT message, WPARAM, LPARAM lParam) override
    {
        if (message == WM_SURVEY_RESULT) {
            lists.push_back(reinterpret_cast<MirodelList*>(lParam));
            thread = std::this_thread::get_id();
        }
        return 1;
    }
    HWND handle;
    std::vector<MirodelList*> lists;
    std::thread::id thread;
};

TEST_F(AdapterTest, scanListsAreRelayedToTheScanListWindowOnTheInterfaceThread)
{
    MirodelBssEntry entry{};
    std::strcpy(entry.ssid, "Cafe");
    fake.setScanList({entry, entry});

    ScanListWindow page;
    g_hScanListWnd = page.handle;
    ASSERT_EQ(MirodelGetScanList(&CAdapter::ScanCallback, MIRODEL_SCAN_ASYNC, 0), 0u);
    ASSERT_TRUE(fakes::WaitUntil([&] { return !page.lists.empty(); }));
    EXPECT_EQ(page.thread, std::this_thread::get_id());
    EXPECT_EQ(page.lists[0]->count, 2u);
    EXPECT_STREQ(static_cast<MirodelBssEntry*>(page.lists[0]->elements[1])->ssid, "Cafe");
}

TEST_F(AdapterTest, aScanListWithNoScanListWindowIsDropped)
{
    g_hScanListWnd = 0;
    fake.setAutoDeliverScan(false);
    ASSERT_EQ(MirodelGetScanList(&CAdapter::ScanCallback, MIRODEL_SCAN_ASYNC, 0), 0u);
    fake.deliverScan();
    ASSERT_TRUE(fakes::WaitUntil([&] { return fake.idle(); }));
    EXPECT_EQ(platform::SendMessage(adapter.m_hWnd, WM_SCAN_LIST_READY, 0, 0), 0);
}

struct ZeroConfigCase
{
    const char* name;
    DWORD openManagerError, openServiceError, queryStatusError;
    DWORD startType;
    DWORD expected;
    std::vector<std::string> steps;
    friend void PrintTo(const ZeroConfigCase& c, std::ostream* os) { *os << c.name; }
};

class ZeroConfigService : public ::testing::TestWithParam<ZeroConfigCase>
{
};

TEST_P(ZeroConfigService, followsItsSteps)
{
    const ZeroConfigCase& c = GetParam();
    fakes::FakeServiceControl control;
    control.openManagerError = c.openManagerError;
    control.openServiceError = c.openServiceError;
    control.queryStatusError = c.queryStatusError;
    control.startType = c.startType;
    EXPECT_EQ(EnableZeroConfigService(), c.expected);
    EXPECT_EQ(control.steps, c.steps);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, ZeroConfigService,
    ::testing::Values(
        ZeroConfigCase{"disabledBecomesAutomatic", 0, 0, 0, 4, 0,
                       {"openManager 0x1", "openService WZCSVC 0x37", "queryStatus",
                        "queryConfig 4096", "changeStartType 2", "close service", "close manager"}},
        ZeroConfigCase{"manualIsLeftAlone", 0, 0, 0, 3, 0,
                       {"openManager 0x1", "openService WZCSVC 0x37", "queryStatus",
                        "queryConfig 4096", "close service", "close manager"}},
        ZeroConfigCase{"noManager", 5, 0, 0, 4, 5, {"openManager 0x1"}},
        ZeroConfigCase{"noService", 0, 1060, 0, 4, 1060,
                       {"openManager 0x1", "openService WZCSVC 0x37", "close manager"}},
        ZeroConfigCase{"statusFails", 0, 0, 6, 4, 6,
                       {"openManager 0x1", "openService WZCSVC 0x37", "queryStatus",
                        "close service", "close manager"}}),
    [](const auto& info) { return info.param.name; });

TEST(ZeroConfigServiceOnLinux, findsNoSuchService)
{
    EXPECT_EQ(EnableZeroConfigService(), platform::ERROR_SERVICE_DOES_NOT_EXIST);
}

} // namespace
