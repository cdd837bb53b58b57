// The simulated world's own pieces: the scenario reader, the bundled scenario, credentials,
// the control line encoding, and the signal drift.
#include "maker/airsim/Control.h"
#include "maker/airsim/Keys.h"
#include "maker/airsim/Scenario.h"
#include "maker/airsim/World.h"

#include "TempDir.h"
#include "VirtualClock.h"

#include <gmock/gmock.h>

namespace {

using namespace airsim;
using ::testing::HasSubstr;

TEST(AirsimScenarioTest, TheBundledScenarioIsTheDocumentedNeighbourhood)
{
    std::string error;
    const auto s = LoadScenario(AIR_INI, &error);
    ASSERT_TRUE(s) << error;
    ASSERT_EQ(s->networks.size(), 12u);
    std::size_t present = 0;
    for (const AdapterSpec& a : s->adapters)
        present += a.present ? 1 : 0;
    EXPECT_EQ(present, 1u);
    auto net = [&](const char* id) {
        for (const NetworkSpec& n : s->networks)
            if (n.id == id)
                return n;
        ADD_FAILURE() << "no network " << id;
        return NetworkSpec{};
    };
    // The credentials that maker/airsim/README.md gives.
    EXPECT_EQ(net("home").passphrase, "correct-horse-7");
    EXPECT_EQ(net("home").wpsPin, "40137650");
    EXPECT_EQ(net("home5").passphrase, "correct-horse-7");
    EXPECT_EQ(net("nordby").passphrase, "nordby-family");
    EXPECT_EQ(net("attic").passphrase, "hidden-attic-99");
    EXPECT_TRUE(net("attic").hidden);
    EXPECT_EQ(net("legacy").security, Security::Shared);
    EXPECT_EQ(EncodeHex(net("legacy").wepKeys[0].data(), 5), "1a2b3c4d5e");
    EXPECT_EQ(EncodeHex(net("bakery").psk->data(), 32),
              "3f6a1c9e0b7d4f2a8c5e1b9d7a3f6c0e2b4d8f1a5c7e9b3d6f0a2c4e8b1d5f7a");
    EXPECT_EQ(EncodeHex(net("office").clientCerts.at(0).data(), 20), "5d3f1a9c7b2e4f6081d3a5c7e9b1f30246813579");
    EXPECT_EQ(net("office").ssid, net("office24").ssid);
    EXPECT_TRUE(net("lanparty").adHoc);
    EXPECT_FALSE(net("tram").dhcp);
    EXPECT_TRUE(Is5GHz(net("home5").channel));
}

TEST(AirsimScenarioTest, BadEntriesNameTheFileTheLineTheSectionAndTheKey)
{
    struct Case
    {
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {"[World]\nScanTime=soon\n", ":2: [World] ScanTime: expected a number from 0 to 600000"},
        {"[World]\nColour=red\n", ":2: [World] Colour: unknown key"},
        {"[Planet]\n", ": [Planet]: unknown section"},
        {"[Adapter a]\nMac=00:11:22:33:44:55\n", ": [Adapter a]: the key Name is missing"},
        {"[Adapter a]\nName=A\nMac=00:11:22:33:44\n", ":3: [Adapter a] Mac: expected six hex bytes"},
        {"[Adapter a]\nName=A\nMac=00:11:22:33:44:55\n[Adapter b]\nName=a\nMac=00:11:22:33:44:56\n",
         ": [Adapter b]: another adapter has the name"},
        {"[Network n]\nSsid=" "123456789012345678901234567890123" "\nBssid=00:11:22:33:44:55\n",
         ":2: [Network n] Ssid: at most 32 bytes"},
        {"[Network n]\nSsid=X\nBssid=00:11:22:33:44:55\nChannel=15\n", ":4: [Network n] Channel: no such channel"},
        {"[Network n]\nSsid=X\nBssid=00:11:22:33:44:55\nAuth=WPA2-PSK\n",
         ": [Network n]: a WPA-PSK network needs the key Passphrase or Psk"},
        {"[Network n]\nSsid=X\nBssid=00:11:22:33:44:55\nAuth=WPA2-PSK\nPassphrase=short\n",
         ":5: [Network n] Passphrase: expected 8 to 63"},
        {"[Network n]\nSsid=X\nBssid=00:11:22:33:44:55\nAuth=WPA2-PSK\nCipher=WEP\nPsk=00\n",
         ":5: [Network n] Cipher: does not go with Auth=WPA2-PSK"},
        {"[Network n]\nSsid=X\nBssid=00:11:22:33:44:55\nAuth=Shared\n", ": [Network n]: a WEP network needs the key WepKey1"},
        {"[Network n]\nSsid=X\nBssid=00:11:22:33:44:55\nWepKey1=abcdef\n", ":4: [Network n] WepKey1: expected 5 or 13"},
        {"[Network n]\nSsid=X\nBssid=00:11:22:33:44:55\nType=AdHoc\nAuth=WPA2-PSK\nPassphrase=long-enough\n",
         ": [Network n]: an ad hoc network is Open or Shared"},
        {"[Network n]\nSsid=X\nBssid=00:11:22:33:44:55\nAuth=WPA2-EAP\n", ": [Network n]: an EAP network needs the key ClientCert"},
        {"[Network n]\nSsid=X\nBssid=00:11:22:33:44:55\nWps=1\nWpsPin=12345678\n", ":5: [Network n] WpsPin: expected 8 digits"},
        {"[Network n]\nSsid=X\nBssid=00:11:22:33:44:55\n[Network m]\nSsid=Y\nBssid=00-11-22-33-44-55\n",
         ": [Network m]: another network has the BSSID 00:11:22:33:44:55"},
    };
    fakes::TempDir dir;
    for (const Case& c : cases) {
        const auto file = dir.write("Air.ini", c.text);
        std::string error;
        EXPECT_FALSE(LoadScenario(file, &error)) << c.text;
        EXPECT_THAT(error, HasSubstr(file.string() + c.message)) << c.text;
    }
    std::string error;
    EXPECT_FALSE(LoadScenario(dir / "Missing.ini", &error));
    EXPECT_THAT(error, HasSubstr("Missing.ini: cannot be read"));
}

TEST(AirsimScenarioTest, TheScanCodesFollowTheSecurity)
{
    fakes::TempDir dir;
    const auto file = dir.write("Air.ini", "[Network a]\nSsid=A\nBssid=00:00:00:00:00:01\nAuth=WPA/WPA2-PSK\n"
                                           "Cipher=TKIP/AES\nPhy=BG\nPassphrase=long-enough\n"
                                           "[Network b]\nSsid=B\nBssid=00:00:00:00:00:02\nChannel=40\n"
                                           "Auth=WPA-EAP\nClientCert=" + std::string(40, '0') + "\n"
                                           "[Network c]\nSsid=C\nBssid=00:00:00:00:00:03\nWepKey1=abcde\n");
    std::string error;
    const auto s = LoadScenario(file, &error);
    ASSERT_TRUE(s) << error;
    const NetworkSpec& a = s->networks[0];
    EXPECT_EQ(EntryAuthMode(a), 3);
    EXPECT_EQ(EntryCipher(a), 3);
    EXPECT_EQ(EntryCapabilities(a), 0x0066u | 0x2000u | 0x4000u);
    const NetworkSpec& b = s->networks[1];
    EXPECT_EQ(EntryAuthMode(b), 4);
    EXPECT_EQ(EntryCipher(b), 2) << "WPA defaults to TKIP";
    EXPECT_EQ(EntryCapabilities(b), 0x0001u | 0x8000u) << "5 GHz defaults to A and N";
    const NetworkSpec& c = s->networks[2];
    EXPECT_EQ(EntryAuthMode(c), 1) << "open-system WEP shows as WEP";
    EXPECT_EQ(EntryCipher(c), 1);
    EXPECT_EQ(ChannelFrequencyKhz(1), 2412000u);
    EXPECT_EQ(ChannelFrequencyKhz(14), 2484000u);
    EXPECT_EQ(ChannelFrequencyKhz(165), 5825000u);
    EXPECT_EQ(ChannelFrequencyKhz(38), 0u);
}

TEST(AirsimKeysTest, CredentialsInTheirTextForms)
{
    const auto psk = DerivePsk("password", "IEEE");
    ASSERT_TRUE(psk);
    EXPECT_EQ(EncodeHex(psk->data(), 32), "f42c6fc52df0ebef9ebb4b90b38a5f902e83fe1b135a70e23aed762e9710a12e");
    EXPECT_EQ(DecodeWpaKey("f42c6fc52df0ebef9ebb4b90b38a5f902e83fe1b135a70e23aed762e9710a12e", 0, "IEEE"), psk);
    EXPECT_FALSE(DerivePsk("seven77", "x"));
    EXPECT_FALSE(DerivePsk(std::string(64, 'a'), "x"));
    EXPECT_FALSE(DecodeWpaKey("password", 0, "IEEE")) << "the hex form needs 64 digits";

    EXPECT_EQ(DecodeWepKey("abcde", 1, 5), (Bytes{'a', 'b', 'c', 'd', 'e'}));
    EXPECT_EQ(DecodeWepKey("0102030405", 0, 5), (Bytes{1, 2, 3, 4, 5}));
    EXPECT_FALSE(DecodeWepKey("abcde", 0, 5));
    EXPECT_FALSE(DecodeWepKey("0102030405", 1, 5));
    EXPECT_FALSE(DecodeWepKey("abcde", 1, 13));
    EXPECT_FALSE(DecodeWepKey("abcde", 1, 7));

    EXPECT_TRUE(ParseThumbprint("5D:3F:1A:9C:7B:2E:4F:60:81:D3:A5:C7:E9:B1:F3:02:46:81:35:79"));
    EXPECT_FALSE(ParseThumbprint("5D3F"));
    EXPECT_TRUE(IsValidWpsPin("12345670"));
    EXPECT_TRUE(IsValidWpsPin("40137650"));
    EXPECT_FALSE(IsValidWpsPin("12345678"));
    EXPECT_TRUE(IsValidWpsPin("1234"));
    EXPECT_FALSE(IsValidWpsPin("1234567a"));
}

TEST(AirsimControlTest, ArgumentsSurviveTheLine)
{
    const std::vector<std::vector<std::string>> cases = {
        {"state"},
        {"network", "add", "n", "Ssid=Two  blanks", "Bssid=00:11:22:33:44:55"},
        {"a\"quote'd", "100%", "tab\there", "new\nline", ""},
        {"Ssid=\xC3\xA5\xC3\xA4\xC3\xB6 caf\xE9", std::string(32, '\x7F')},
        {"Ssid=" + std::string("12345678901234567890123456789012")},
    };
    for (const auto& args : cases) {
        const std::string line = EncodeCommand(args);
        ASSERT_EQ(line.find('\n'), line.size() - 1) << "one line";
        EXPECT_EQ(DecodeCommand(line), args);
    }
    EXPECT_FALSE(DecodeCommand("state %4"));
    EXPECT_FALSE(DecodeCommand("state %zz"));
    EXPECT_FALSE(DecodeCommand("a  b"));
}

TEST(AirsimControlTest, BadCommandsChangeNothing)
{
    fakes::VirtualClock clock;
    Scenario s;
    NetworkSpec n;
    n.id = "cafe";
    n.ssid = "Cafe";
    n.bssid = {0, 1, 2, 3, 4, 5};
    s.networks.push_back(n);
    World world(s);
    const std::string before = world.describe();
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {}, {"network"}, {"network", "add", "bad id!", "Ssid=x"}, {"network", "add", "n2", "Ssid"},
             {"network", "add", "n2", "Ssid=X"}, {"network", "signal", "cafe", "5"}, {"fail", "MirodelQuery", "1"},
             {"adapter", "plug", "none"}, {"state", "extra"}}) {
        const CommandResult r = ExecuteCommand(world, args);
        EXPECT_FALSE(r.ok) << (args.empty() ? "" : args[0]);
        EXPECT_FALSE(r.text.empty());
    }
    EXPECT_EQ(world.describe(), before);
    EXPECT_TRUE(ExecuteCommand(world, {"network", "signal", "cafe", "-70"}).ok);
    EXPECT_THAT(world.describe(), HasSubstr("-70 dBm"));
}

TEST(AirsimDriftTest, TheSignalWandersWithinItsBoundsAndTheSeedRepeatsIt)
{
    auto levels = [](std::uint64_t seed) {
        fakes::VirtualClock clock;
        Scenario s;
        s.world.seed = seed;
        s.world.driftDb = 3;
        s.world.driftPeriod = 1000;
        AdapterSpec a;
        a.id = "a";
        a.name = "A";
        s.adapters.push_back(a);
        NetworkSpec n;
        n.id = "n";
        n.ssid = "N";
        n.bssid = {0, 1, 2, 3, 4, 5};
        n.signal = -60;
        s.networks.push_back(n);
        World world(s);
        std::vector<int> out;
        for (int i = 0; i < 200; ++i) {
            out.push_back(world.bssList(0).at(0).rssi);
            clock.advance(250);
        }
        return out;
    };
    const auto first = levels(11);
    EXPECT_EQ(levels(11), first);
    EXPECT_NE(levels(12), first);
    for (int level : first) {
        EXPECT_GE(level, -63);
        EXPECT_LE(level, -57);
    }
    EXPECT_GT(*std::max_element(first.begin(), first.end()), *std::min_element(first.begin(), first.end()));
    for (std::size_t i = 1; i < first.size(); ++i)
        EXPECT_LE(std::abs(first[i] - first[i - 1]), 2) << "slow drift, no jumps";
}

} // namespace
