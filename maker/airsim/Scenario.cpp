#include "maker/airsim/Scenario.h"

#include "platform/PrivateProfile.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <set>

namespace airsim {
namespace {

std::string Lower(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

/// Collects the first error; every reader below goes through one of these.
class Reader
{
public:
    Reader(std::string where, std::string* error) : m_where(std::move(where)), m_error(error) {}

    bool ok() const { return m_ok; }

    bool fail(const Setting& s, std::string_view what)
    {
        if (m_ok && m_error) {
            *m_error = m_where;
            if (s.line)
                *m_error += ":" + std::to_string(s.line);
            *m_error += ": " + m_section + " " + s.key + ": " + std::string(what);
        }
        m_ok = false;
        return false;
    }
    void failSection(std::string_view what)
    {
        if (m_ok && m_error)
            *m_error = m_where + ": " + m_section + ": " + std::string(what);
        m_ok = false;
    }
    void setSection(std::string section) { m_section = "[" + std::move(section) + "]"; }

    bool integer(const Setting& s, long long low, long long high, long long& out)
    {
        const auto v = ParseInteger(s.value);
        if (!v || *v < low || *v > high)
            return fail(s, "expected a number from " + std::to_string(low) + " to " +
                               std::to_string(high) + ", found \"" + s.value + "\"");
        out = *v;
        return true;
    }
    template <typename T> bool number(const Setting& s, long long low, long long high, T& out)
    {
        long long v = 0;
        if (!integer(s, low, high, v))
            return false;
        out = static_cast<T>(v);
        return true;
    }
    bool boolean(const Setting& s, bool& out)
    {
        const auto v = ParseBool(s.value);
        if (!v)
            return fail(s, "expected 1 or 0 (yes/no, true/false, on/off), found \"" + s.value + "\"");
        out = *v;
        return true;
    }
    bool mac(const Setting& s, MacAddress& out)
    {
        const auto v = ParseMac(s.value);
        if (!v)
            return fail(s, "expected six hex bytes like 00:1A:2B:3C:4D:5E, found \"" + s.value + "\"");
        out = *v;
        return true;
    }
    bool ip(const Setting& s, std::uint32_t& out)
    {
        const auto v = ParseIp(s.value);
        if (!v)
            return fail(s, "expected a dotted IPv4 address, found \"" + s.value + "\"");
        out = *v;
        return true;
    }
    bool text(const Setting& s, std::size_t maxBytes, std::string& out)
    {
        if (s.value.size() > maxBytes)
            return fail(s, "at most " + std::to_string(maxBytes) + " bytes");
        out = s.value;
        return true;
    }

private:
    std::string m_where;
    std::string* m_error;
    std::string m_section;
    bool m_ok = true;
};

std::vector<Setting> ReadSection(const std::string& section, const std::filesystem::path& file)
{
    std::vector<Setting> out;
    for (auto& e : platform::GetPrivateProfileEntries(section, file))
        out.push_back({std::move(e.key), std::move(e.value), e.line});
    return out;
}

void ReadWorld(Reader& r, const std::vector<Setting>& settings, WorldSpec& w)
{
    for (const Setting& s : settings) {
        const std::string key = Lower(s.key);
        if (key == "seed")
            r.number(s, 0, 0x7FFFFFFFFFFFFFFFll, w.seed);
        else if (key == "scantime")
            r.number(s, 0, 600000, w.scanTime);
        else if (key == "associatetime")
            r.number(s, 0, 600000, w.associateTime);
        else if (key == "dhcptime")
            r.number(s, 0, 600000, w.dhcpTime);
        else if (key == "autoiptime")
            r.number(s, 0, 600000, w.autoIpTime);
        else if (key == "driftdb")
            r.number(s, 0, 30, w.driftDb);
        else if (key == "driftperiod")
            r.number(s, 100, 3600000, w.driftPeriod);
        else if (key == "linkthreshold")
            r.number(s, -120, 0, w.linkThreshold);
        else if (key == "scanthreshold")
            r.number(s, -120, 0, w.scanThreshold);
        else
            r.fail(s, "unknown key");
    }
}

void ReadAdapter(Reader& r, const std::string& id, const std::vector<Setting>& settings,
                 AdapterSpec& a)
{
    a.id = id;
    bool haveName = false;
    bool haveMac = false;
    for (const Setting& s : settings) {
        const std::string key = Lower(s.key);
        if (key == "name") {
            haveName = r.text(s, 259, a.name) && !a.name.empty();
            if (a.name.empty())
                r.fail(s, "must not be empty");
        } else if (key == "mac") {
            haveMac = r.mac(s, a.mac);
        } else if (key == "driverversion") {
            r.text(s, 32, a.driverVersion);
        } else if (key == "region") {
            const std::string v = Lower(s.value);
            if (v == "fcc")
                a.region = 0;
            else if (v == "etsi")
                a.region = 2;
            else if (v == "mkk")
                a.region = 5;
            else
                r.number(s, 0, 255, a.region);
        } else if (key == "present") {
            r.boolean(s, a.present);
        } else if (key == "radio") {
            const std::string v = Lower(s.value);
            if (v == "on")
                a.radioOff = false;
            else if (v == "off")
                a.radioOff = true;
            else
                r.fail(s, "expected On or Off");
        } else if (key == "zeroconfig") {
            r.number(s, 0, 255, a.zeroConfig);
        } else if (key == "band") {
            const std::string v = Lower(s.value);
            if (v == "2.4g")
                a.band = kBand24;
            else if (v == "5g")
                a.band = kBand5;
            else if (v == "auto")
                a.band = kBandAuto;
            else
                r.fail(s, "expected 2.4G, 5G or Auto");
        } else {
            r.fail(s, "unknown key");
        }
    }
    if (r.ok() && !haveName)
        r.failSection("the key Name is missing");
    if (r.ok() && !haveMac)
        r.failSection("the key Mac is missing");
}

bool ValidId(std::string_view id)
{
    return !id.empty() && std::all_of(id.begin(), id.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' || c == '.';
    });
}

} // namespace

std::optional<long long> ParseInteger(std::string_view text)
{
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty() || text.size() > 18)
        return std::nullopt;
    long long v = 0;
    for (char c : text) {
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            return std::nullopt;
        v = v * base + d;
    }
    return negative ? -v : v;
}

std::optional<bool> ParseBool(std::string_view text)
{
    const std::string v = Lower(text);
    if (v == "1" || v == "yes" || v == "true" || v == "on")
        return true;
    if (v == "0" || v == "no" || v == "false" || v == "off")
        return false;
    return std::nullopt;
}

std::string FormatMac(const MacAddress& mac)
{
    char text[18];
    std::snprintf(text, sizeof text, "%02X:%02X:%02X:%02X:%02X:%02X", mac[0], mac[1], mac[2],
                  mac[3], mac[4], mac[5]);
    return text;
}

std::optional<MacAddress> ParseMac(std::string_view text)
{
    MacAddress mac{};
    std::string digits;
    std::size_t groups = 0;
    std::size_t pos = 0;
    while (groups < 6) {
        if (pos + 2 > text.size())
            return std::nullopt;
        const auto byte = DecodeHex(text.substr(pos, 2));
        if (!byte)
            return std::nullopt;
        mac[groups++] = (*byte)[0];
        pos += 2;
        if (groups < 6) {
            if (pos >= text.size() || (text[pos] != ':' && text[pos] != '-'))
                return std::nullopt;
            ++pos;
        }
    }
    if (pos != text.size())
        return std::nullopt;
    return mac;
}

std::string FormatIp(std::uint32_t a)
{
    char text[16];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", (a >> 24) & 255u, (a >> 16) & 255u,
                  (a >> 8) & 255u, a & 255u);
    return text;
}

std::optional<std::uint32_t> ParseIp(std::string_view text)
{
    std::uint32_t out = 0;
    for (int part = 0; part < 4; ++part) {
        std::size_t n = 0;
        unsigned v = 0;
        while (n < text.size() && n < 4 && text[n] >= '0' && text[n] <= '9')
            v = v * 10 + static_cast<unsigned>(text[n++] - '0');
        if (n == 0 || n > 3 || v > 255)
            return std::nullopt;
        out = out << 8 | v;
        text.remove_prefix(n);
        if (part < 3) {
            if (text.empty() || text.front() != '.')
                return std::nullopt;
            text.remove_prefix(1);
        }
    }
    if (!text.empty())
        return std::nullopt;
    return out;
}

std::string_view SecurityName(Security security)
{
    switch (security) {
    case Security::Open: return "Open";
    case Security::Shared: return "Shared";
    case Security::WpaPsk: return "WPA-PSK";
    case Security::Wpa2Psk: return "WPA2-PSK";
    case Security::WpaWpa2Psk: return "WPA/WPA2-PSK";
    case Security::WpaEap: return "WPA-EAP";
    case Security::Wpa2Eap: return "WPA2-EAP";
    case Security::WpaWpa2Eap: return "WPA/WPA2-EAP";
    }
    return "?";
}

std::string CipherNames(std::uint8_t ciphers)
{
    std::string out;
    auto add = [&out](const char* name) {
        if (!out.empty())
            out += "/";
        out += name;
    };
    if (ciphers & kCipherWep)
        add("WEP");
    if (ciphers & kCipherTkip)
        add("TKIP");
    if (ciphers & kCipherAes)
        add("AES");
    return out.empty() ? "None" : out;
}

std::string PhyLetters(std::uint8_t phy)
{
    std::string out;
    if (phy & kPhyA)
        out += "A";
    if (phy & kPhyB)
        out += "B";
    if (phy & kPhyG)
        out += "G";
    if (phy & kPhyN)
        out += "N";
    return out;
}

bool IsValidChannel(unsigned channel) { return ChannelFrequencyKhz(channel) != 0; }

bool Is5GHz(unsigned channel) { return channel > 14; }

std::uint32_t ChannelFrequencyKhz(unsigned ch)
{
    if (ch >= 1 && ch <= 13)
        return (2407 + 5 * ch) * 1000;
    if (ch == 14)
        return 2484000;
    const bool low = ch >= 36 && ch <= 64 && ch % 4 == 0;
    const bool mid = ch >= 100 && ch <= 144 && ch % 4 == 0;
    const bool high = ch >= 149 && ch <= 165 && (ch - 149) % 4 == 0;
    if (low || mid || high)
        return (5000 + 5 * ch) * 1000;
    return 0;
}

std::uint8_t EntryAuthMode(const NetworkSpec& n)
{
    if (n.entryAuthMode)
        return *n.entryAuthMode;
    switch (n.security) {
    case Security::Open: return (n.ciphers & kCipherWep) ? 1 : 0;
    case Security::Shared: return 1;
    case Security::WpaPsk: return 2;
    case Security::Wpa2Psk:
    case Security::WpaWpa2Psk: return 3;
    case Security::WpaEap: return 4;
    case Security::Wpa2Eap:
    case Security::WpaWpa2Eap: return 5;
    }
    return 0;
}

std::uint8_t EntryCipher(const NetworkSpec& n)
{
    if (n.ciphers & kCipherAes)
        return 3;
    if (n.ciphers & kCipherTkip)
        return 2;
    if (n.ciphers & kCipherWep)
        return 1;
    return 0;
}

std::uint32_t EntryCapabilities(const NetworkSpec& n)
{
    if (n.entryCapabilities)
        return *n.entryCapabilities;
    std::uint32_t caps = 0;
    const bool tkip = n.ciphers & kCipherTkip;
    const bool aes = n.ciphers & kCipherAes;
    const bool wpa = n.security == Security::WpaPsk || n.security == Security::WpaWpa2Psk;
    const bool wpa2 = n.security == Security::Wpa2Psk || n.security == Security::WpaWpa2Psk;
    if (wpa)
        caps |= (tkip ? 0x02u : 0u) | (aes ? 0x04u : 0u);
    if (wpa2)
        caps |= (tkip ? 0x20u : 0u) | (aes ? 0x40u : 0u);
    if (n.security == Security::WpaEap || n.security == Security::WpaWpa2Eap)
        caps |= 0x01u;
    if (n.security == Security::Wpa2Eap || n.security == Security::WpaWpa2Eap)
        caps |= 0x10u;
    if (n.phy & kPhyB)
        caps |= 0x2000u;
    if (n.phy & kPhyG)
        caps |= 0x4000u;
    if (n.phy & kPhyN)
        caps |= 0x8000u;
    return caps;
}

std::optional<NetworkSpec> ParseNetwork(const std::string& id, const std::vector<Setting>& settings,
                                        const std::string& where, std::string* error)
{
    Reader r(where, error);
    r.setSection("Network " + id);
    NetworkSpec n;
    n.id = id;
    bool haveSsid = false, haveBssid = false, haveCipher = false, havePhy = false, haveDhcp = false;
    const Setting* passphrase = nullptr;
    const Setting* psk = nullptr;
    const Setting* cipherSetting = nullptr;
    bool haveWep = false;
    for (const Setting& s : settings) {
        const std::string key = Lower(s.key);
        if (key == "ssid") {
            haveSsid = r.text(s, 32, n.ssid);
        } else if (key == "hidden") {
            r.boolean(s, n.hidden);
        } else if (key == "bssid") {
            haveBssid = r.mac(s, n.bssid);
        } else if (key == "channel") {
            long long ch = 0;
            if (r.integer(s, 1, 196, ch)) {
                if (!IsValidChannel(static_cast<unsigned>(ch)))
                    r.fail(s, "no such channel (1 to 14, or a 5 GHz channel from 36 to 165)");
                n.channel = static_cast<unsigned>(ch);
            }
        } else if (key == "type") {
            const std::string v = Lower(s.value);
            if (v == "infrastructure")
                n.adHoc = false;
            else if (v == "adhoc" || v == "ad-hoc")
                n.adHoc = true;
            else
                r.fail(s, "expected Infrastructure or AdHoc");
        } else if (key == "auth") {
            static const std::pair<const char*, Security> names[] = {
                {"open", Security::Open},          {"shared", Security::Shared},
                {"wpa-psk", Security::WpaPsk},     {"wpa2-psk", Security::Wpa2Psk},
                {"wpa/wpa2-psk", Security::WpaWpa2Psk}, {"wpa-eap", Security::WpaEap},
                {"wpa2-eap", Security::Wpa2Eap},   {"wpa/wpa2-eap", Security::WpaWpa2Eap}};
            const std::string v = Lower(s.value);
            const auto it = std::find_if(std::begin(names), std::end(names),
                                         [&](const auto& p) { return v == p.first; });
            if (it == std::end(names))
                r.fail(s, "expected Open, Shared, WPA-PSK, WPA2-PSK, WPA/WPA2-PSK, WPA-EAP, "
                          "WPA2-EAP or WPA/WPA2-EAP");
            else
                n.security = it->second;
        } else if (key == "cipher") {
            const std::string v = Lower(s.value);
            haveCipher = true;
            cipherSetting = &s;
            if (v == "none")
                n.ciphers = 0;
            else if (v == "wep")
                n.ciphers = kCipherWep;
            else if (v == "tkip")
                n.ciphers = kCipherTkip;
            else if (v == "aes")
                n.ciphers = kCipherAes;
            else if (v == "tkip/aes" || v == "aes/tkip")
                n.ciphers = kCipherTkip | kCipherAes;
            else
                r.fail(s, "expected None, WEP, TKIP, AES or TKIP/AES");
        } else if (key == "phy") {
            havePhy = true;
            n.phy = 0;
            for (char c : Lower(s.value)) {
                if (c == 'a')
                    n.phy |= kPhyA;
                else if (c == 'b')
                    n.phy |= kPhyB;
                else if (c == 'g')
                    n.phy |= kPhyG;
                else if (c == 'n')
                    n.phy |= kPhyN;
                else {
                    r.fail(s, "expected letters among A, B, G and N");
                    break;
                }
            }
            if (n.phy == 0)
                r.fail(s, "expected letters among A, B, G and N");
        } else if (key == "entryauthmode") {
            std::uint8_t v = 0;
            if (r.number(s, 0, 255, v))
                n.entryAuthMode = v;
        } else if (key == "capabilities") {
            std::uint32_t v = 0;
            if (r.number(s, 0, 0xFFFFFFFFll, v))
                n.entryCapabilities = v;
        } else if (key.size() == 7 && key.compare(0, 6, "wepkey") == 0 && key[6] >= '1' &&
                   key[6] <= '4') {
            const auto bytes = ParseWepKeyText(s.value);
            if (!bytes)
                r.fail(s, "expected 5 or 13 characters, or 10 or 26 hex digits");
            else
                n.wepKeys[static_cast<std::size_t>(key[6] - '1')] = *bytes;
            haveWep = true;
        } else if (key == "wepkeyindex") {
            unsigned v = 1;
            if (r.number(s, 1, 4, v))
                n.wepKeyIndex = v - 1;
        } else if (key == "passphrase") {
            passphrase = &s;
        } else if (key == "psk") {
            psk = &s;
        } else if (key == "clientcert") {
            std::string list = s.value;
            std::size_t start = 0;
            while (start <= list.size()) {
                const auto comma = list.find(',', start);
                const std::string item =
                    list.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
                const auto t = ParseThumbprint(item);
                if (!t) {
                    r.fail(s, "expected SHA-1 thumbprints of 40 hex digits, separated by commas");
                    break;
                }
                n.clientCerts.push_back(*t);
                if (comma == std::string::npos)
                    break;
                start = comma + 1;
            }
        } else if (key == "signal") {
            r.number(s, -120, 0, n.signal);
        } else if (key == "wps") {
            r.boolean(s, n.wps);
        } else if (key == "wpspin") {
            if (s.value.size() != 8 || !IsValidWpsPin(s.value))
                r.fail(s, "expected 8 digits whose last is the checksum of the first seven");
            else
                n.wpsPin = s.value;
        } else if (key == "dhcp") {
            haveDhcp = r.boolean(s, n.dhcp);
        } else if (key == "address") {
            r.ip(s, n.address);
        } else if (key == "mask") {
            r.ip(s, n.mask);
        } else if (key == "gateway") {
            r.ip(s, n.gateway);
        } else {
            r.fail(s, "unknown key");
        }
    }
    if (!r.ok())
        return std::nullopt;
    if (!haveSsid) {
        r.failSection("the key Ssid is missing");
        return std::nullopt;
    }
    if (!haveBssid) {
        r.failSection("the key Bssid is missing");
        return std::nullopt;
    }
    if (!havePhy)
        n.phy = Is5GHz(n.channel) ? (kPhyA | kPhyN) : (kPhyB | kPhyG | kPhyN);
    if (!haveDhcp)
        n.dhcp = !n.adHoc;

    const bool wpaFamily = n.security != Security::Open && n.security != Security::Shared;
    const bool eap = n.security == Security::WpaEap || n.security == Security::Wpa2Eap ||
                     n.security == Security::WpaWpa2Eap;
    if (!haveCipher) {
        if (n.security == Security::Shared)
            n.ciphers = kCipherWep;
        else if (n.security == Security::WpaPsk || n.security == Security::WpaEap)
            n.ciphers = kCipherTkip;
        else if (wpaFamily)
            n.ciphers = kCipherAes;
        else
            n.ciphers = haveWep ? kCipherWep : 0;
    } else if (wpaFamily ? (n.ciphers & kCipherWep) || n.ciphers == 0
                         : (n.ciphers & (kCipherTkip | kCipherAes)) ||
                               (n.security == Security::Shared && n.ciphers != kCipherWep)) {
        r.fail(*cipherSetting, "does not go with Auth=" + std::string(SecurityName(n.security)));
        return std::nullopt;
    }
    if (n.adHoc && wpaFamily) {
        r.failSection("an ad hoc network is Open or Shared");
        return std::nullopt;
    }
    if ((n.ciphers & kCipherWep) && n.wepKeys[n.wepKeyIndex].empty()) {
        r.failSection("a WEP network needs the key WepKey" + std::to_string(n.wepKeyIndex + 1));
        return std::nullopt;
    }
    if (wpaFamily && !eap) {
        if (passphrase && psk) {
            r.fail(*psk, "give Passphrase or Psk, not both");
            return std::nullopt;
        }
        if (passphrase) {
            n.psk = DerivePsk(passphrase->value, n.ssid);
            if (!n.psk) {
                r.fail(*passphrase, "expected 8 to 63 printable characters");
                return std::nullopt;
            }
            n.passphrase = passphrase->value;
        } else if (psk) {
            n.psk = DecodeWpaKey(psk->value, 0, n.ssid);
            if (!n.psk) {
                r.fail(*psk, "expected 64 hex digits");
                return std::nullopt;
            }
        } else {
            r.failSection("a WPA-PSK network needs the key Passphrase or Psk");
            return std::nullopt;
        }
    } else if (passphrase || psk) {
        r.fail(passphrase ? *passphrase : *psk, "only a WPA-PSK network has a pre-shared key");
        return std::nullopt;
    }
    if (eap && n.clientCerts.empty()) {
        r.failSection("an EAP network needs the key ClientCert");
        return std::nullopt;
    }
    if (!n.wpsPin.empty() && !n.wps) {
        r.failSection("WpsPin needs Wps=1");
        return std::nullopt;
    }
    if (n.wps && n.wpsPin.empty())
        n.wpsPin = "12345670";
    return n;
}

std::optional<Scenario> LoadScenario(const std::filesystem::path& file, std::string* error)
{
    const std::string where = file.string();
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) {
        if (error)
            *error = where + ": cannot be read";
        return std::nullopt;
    }
    Scenario scenario;
    Reader r(where, error);
    std::set<std::string> names, macs, bssids;
    for (const std::string& section : platform::GetPrivateProfileSectionNames(file)) {
        r.setSection(section);
        const std::vector<Setting> settings = ReadSection(section, file);
        const auto blank = section.find(' ');
        const std::string kind = Lower(section.substr(0, blank));
        std::string id = blank == std::string::npos ? std::string() : section.substr(blank + 1);
        while (!id.empty() && id.front() == ' ')
            id.erase(0, 1);
        if (kind == "world" && blank == std::string::npos) {
            ReadWorld(r, settings, scenario.world);
        } else if (kind == "adapter" && ValidId(id)) {
            AdapterSpec a;
            ReadAdapter(r, id, settings, a);
            if (r.ok() && !names.insert(Lower(a.name)).second)
                r.failSection("another adapter has the name \"" + a.name + "\"");
            if (r.ok() && !macs.insert(FormatMac(a.mac)).second)
                r.failSection("another adapter has the address " + FormatMac(a.mac));
            scenario.adapters.push_back(std::move(a));
        } else if (kind == "network" && ValidId(id)) {
            auto n = ParseNetwork(id, settings, where, r.ok() ? error : nullptr);
            if (!n)
                return std::nullopt; // ParseNetwork has written the message
            if (!bssids.insert(FormatMac(n->bssid)).second)
                r.failSection("another network has the BSSID " + FormatMac(n->bssid));
            scenario.networks.push_back(std::move(*n));
        } else {
            r.failSection("unknown section; expected [World], [Adapter id] or [Network id] "
                          "(ids of letters, digits, '-', '_' and '.')");
        }
        if (!r.ok())
            return std::nullopt;
    }
    return scenario;
}

} // namespace airsim
