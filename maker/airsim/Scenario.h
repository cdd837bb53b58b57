#pragma once
/// The description of a simulated radio world: its timing, its adapters and the networks in
/// the air, read from a scenario file in INI form (see maker/airsim/README.md).

#include "maker/airsim/Keys.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace airsim {

using MacAddress = std::array<std::uint8_t, 6>;

enum class Security { Open, Shared, WpaPsk, Wpa2Psk, WpaWpa2Psk, WpaEap, Wpa2Eap, WpaWpa2Eap };

/// Bits of NetworkSpec::ciphers.
constexpr std::uint8_t kCipherWep = 1;
constexpr std::uint8_t kCipherTkip = 2;
constexpr std::uint8_t kCipherAes = 4;

/// Bits of NetworkSpec::phy.
constexpr std::uint8_t kPhyA = 1;
constexpr std::uint8_t kPhyB = 2;
constexpr std::uint8_t kPhyG = 4;
constexpr std::uint8_t kPhyN = 8;

/// Radio band setting of an adapter (vendor request 501/601).
constexpr std::uint8_t kBand24 = 0;
constexpr std::uint8_t kBand5 = 1;
constexpr std::uint8_t kBandAuto = 2;

struct WorldSpec
{
    std::uint64_t seed = 1;
    std::uint32_t scanTime = 1500;      ///< ms from a scan request to its list
    std::uint32_t associateTime = 1200; ///< ms from a connect to the link
    std::uint32_t dhcpTime = 800;       ///< ms from the link to a DHCP lease
    std::uint32_t autoIpTime = 8000;    ///< ms from the link to a 169.254 address without DHCP
    int driftDb = 3;                    ///< the signal wanders this many dB around its level
    std::uint32_t driftPeriod = 10000;  ///< ms between two points of the drift
    int linkThreshold = -90;            ///< a link is lost below this signal (dBm)
    int scanThreshold = -95;            ///< a network is not heard below this signal (dBm)
};

struct AdapterSpec
{
    std::string id;
    std::string name;
    MacAddress mac{};
    std::string driverVersion = "1.0.0.0";
    std::uint32_t region = 0; ///< 2 ETSI, 5 MKK, other FCC
    bool present = true;
    bool radioOff = false;
    std::uint8_t zeroConfig = 0;
    std::uint8_t band = kBandAuto;
};

struct NetworkSpec
{
    std::string id;
    std::string ssid;
    bool hidden = false;
    MacAddress bssid{};
    unsigned channel = 1;
    bool adHoc = false;
    Security security = Security::Open;
    std::uint8_t ciphers = 0;
    std::uint8_t phy = kPhyB | kPhyG;
    std::optional<std::uint8_t> entryAuthMode;      ///< replaces the derived scan code
    std::optional<std::uint32_t> entryCapabilities; ///< replaces the derived capability bits

    std::array<Bytes, 4> wepKeys;
    unsigned wepKeyIndex = 0; ///< slot 0..3 the access point sends with
    std::string passphrase;   ///< empty when only the hex key is known
    std::optional<Psk> psk;
    std::vector<Thumbprint> clientCerts;

    int signal = -60; ///< dBm at the adapter, before the drift

    bool wps = false;
    std::string wpsPin;

    bool dhcp = true;
    std::uint32_t address = 0; ///< host order; 0 gives one from the network's pool
    std::uint32_t mask = 0xFFFFFF00u;
    std::uint32_t gateway = 0;
};

struct Scenario
{
    WorldSpec world;
    std::vector<AdapterSpec> adapters;
    std::vector<NetworkSpec> networks;
};

/// One key of a section and the line it came from (0 when it came from elsewhere).
struct Setting
{
    std::string key;
    std::string value;
    std::size_t line = 0;
};

/// Reads a scenario file. On a bad entry returns nullopt and, in `error`, a message naming
/// the file, the line, the section, the key and what was expected.
std::optional<Scenario> LoadScenario(const std::filesystem::path& file, std::string* error);

/// Builds a network from the keys of a [Network id] section. `where` starts error messages.
std::optional<NetworkSpec> ParseNetwork(const std::string& id, const std::vector<Setting>& settings,
                                        const std::string& where, std::string* error);

/// Centre frequency in kHz of a 2.4 GHz or 5 GHz channel; 0 for a channel that does not exist.
std::uint32_t ChannelFrequencyKhz(unsigned channel);
bool IsValidChannel(unsigned channel);
bool Is5GHz(unsigned channel);

/// The security of a network as a scan entry codes it.
std::uint8_t EntryAuthMode(const NetworkSpec& network);
std::uint8_t EntryCipher(const NetworkSpec& network);
std::uint32_t EntryCapabilities(const NetworkSpec& network);

/// Texts of the scenario file's forms, for messages and the control tool's listing.
std::string FormatMac(const MacAddress& mac);
std::optional<MacAddress> ParseMac(std::string_view text);
std::string FormatIp(std::uint32_t address);
std::optional<std::uint32_t> ParseIp(std::string_view text);
std::string_view SecurityName(Security security);
std::string CipherNames(std::uint8_t ciphers);
std::string PhyLetters(std::uint8_t phy);

/// Strict number readers for settings ("0x" for hexadecimal).
std::optional<long long> ParseInteger(std::string_view text);
std::optional<bool> ParseBool(std::string_view text);

} // namespace airsim
