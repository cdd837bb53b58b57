#include "maker/mirodel/ProfileImport.h"

#include "maker/airsim/Keys.h"
#include "maker/airsim/Scenario.h"
#include "maker/airsim/Status.h"
#include "maker/mirodel/ProfileStore.h"
#include "platform/PrivateProfile.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <optional>
#include <set>

namespace mirodel {
namespace {

using airsim::kErrorFileNotFound;
using airsim::kErrorInvalidData;
using airsim::kSuccess;

std::string Lower(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

template <std::size_t N> void SetText(char (&field)[N], const std::string& value)
{
    std::memset(field, 0, N);
    std::memcpy(field, value.data(), std::min(value.size(), N - 1));
}

struct Named
{
    const char* name;
    std::uint8_t code;
};

const Named kAuthModes[] = {
    {"open", 0},         {"shared", 1},       {"wpa-psk", 2},        {"wpa2-psk", 3},
    {"wpa-eap-tls", 4},  {"wpa2-eap-tls", 5}, {"wpa-psk/wpa2-psk", 23}, {"wpa/wpa2-psk", 23},
    {"wpa-eap-tls/wpa2-eap-tls", 45}, {"wpa/wpa2-eap-tls", 45}, {"open/shared", 100},
};
const std::uint8_t kAuthCodes[] = {0, 1, 2, 3, 4, 5, 23, 45, 100};
const Named kEncryptions[] = {{"none", 0}, {"wep", 1}, {"tkip", 2}, {"aes", 3}, {"tkip/aes", 23}};
const std::uint8_t kEncryptionCodes[] = {0, 1, 2, 3, 23};

template <std::size_t N, std::size_t M>
std::optional<std::uint8_t> Code(const std::string& value, const Named (&names)[N],
                                 const std::uint8_t (&codes)[M])
{
    const std::string v = Lower(value);
    for (const Named& n : names)
        if (v == n.name)
            return n.code;
    const auto number = airsim::ParseInteger(value);
    if (number && std::find(std::begin(codes), std::end(codes), *number) != std::end(codes))
        return static_cast<std::uint8_t>(*number);
    return std::nullopt;
}

/// Reads one section; the first fault ends it with a message.
class SectionReader
{
public:
    SectionReader(const std::filesystem::path& file, const std::string& section, std::string* error)
        : m_file(file.string()), m_section(section), m_error(error)
    {
    }

    bool fail(const platform::ProfileEntry& e, const std::string& what)
    {
        *m_error = m_file + ":" + std::to_string(e.line) + ": [" + m_section + "] " + e.key + ": " + what;
        return false;
    }
    bool failSection(const std::string& what)
    {
        *m_error = m_file + ": [" + m_section + "]: " + what;
        return false;
    }

    bool read(ProfileRecord& r, bool& isDefault)
    {
        r = DefaultProfile();
        const auto entries = platform::GetPrivateProfileEntries(m_section, m_file);
        std::string name = m_section;
        const platform::ProfileEntry* ssid = nullptr;
        const platform::ProfileEntry* auth = nullptr;
        const platform::ProfileEntry* enc = nullptr;
        const platform::ProfileEntry* keyFormat = nullptr;
        const platform::ProfileEntry* keyIndex = nullptr;
        const platform::ProfileEntry* passphrase = nullptr;
        const platform::ProfileEntry* certHash = nullptr;
        const platform::ProfileEntry* wepKeys[4] = {};
        for (const auto& e : entries) {
            const std::string key = Lower(e.key);
            if (key == "profilename") {
                if (e.value.size() > 80)
                    return fail(e, "at most 80 characters");
                name = e.value;
            } else if (key == "ssid") {
                if (e.value.empty() || e.value.size() > 32)
                    return fail(e, "expected 1 to 32 characters");
                ssid = &e;
            } else if (key == "adhoc") {
                const auto v = airsim::ParseBool(e.value);
                if (!v)
                    return fail(e, "expected 1 or 0 (yes/no)");
                r.adHoc = *v ? 1 : 0;
            } else if (key == "channel") {
                const auto v = airsim::ParseInteger(e.value);
                if (!v || *v < 1 || *v > 196 || !airsim::IsValidChannel(static_cast<unsigned>(*v)))
                    return fail(e, "expected a channel: 1 to 14, or a 5 GHz channel from 36 to 165");
                r.channel = static_cast<std::uint8_t>(*v);
            } else if (key == "authmode") {
                const auto v = Code(e.value, kAuthModes, kAuthCodes);
                if (!v)
                    return fail(e, "expected Open, Shared, WPA-PSK, WPA2-PSK, WPA-EAP-TLS, WPA2-EAP-TLS, "
                                   "WPA/WPA2-PSK, WPA/WPA2-EAP-TLS, Open/Shared or one of the codes "
                                   "0 to 5, 23, 45, 100");
                r.authMode = *v;
                auth = &e;
            } else if (key == "encryption") {
                const auto v = Code(e.value, kEncryptions, kEncryptionCodes);
                if (!v)
                    return fail(e, "expected None, WEP, TKIP, AES, TKIP/AES or one of the codes 0 to 3, 23");
                r.encryption = *v;
                enc = &e;
            } else if (key == "keyformat") {
                const std::string v = Lower(e.value);
                if (v == "ascii" || v == "1")
                    r.keyFormat = KEY_ASCII;
                else if (v == "hex" || v == "0")
                    r.keyFormat = KEY_HEX;
                else
                    return fail(e, "expected ASCII or Hex");
                keyFormat = &e;
            } else if (key == "keyindex") {
                const auto v = airsim::ParseInteger(e.value);
                if (!v || *v < 1 || *v > 4)
                    return fail(e, "expected the WEP key in use, 1 to 4");
                r.keyIndex = static_cast<std::uint32_t>(*v - 1);
                keyIndex = &e;
            } else if (key.size() == 7 && key.compare(0, 6, "wepkey") == 0 && key[6] >= '1' && key[6] <= '4') {
                const std::size_t slot = static_cast<std::size_t>(key[6] - '1');
                const auto bytes = airsim::ParseWepKeyText(e.value);
                if (!bytes)
                    return fail(e, "expected 5 or 13 characters, or 10 or 26 hexadecimal digits");
                SetText(r.wepKeys[slot], e.value);
                r.wepKeyLength[slot] = static_cast<std::uint32_t>(bytes->size());
                wepKeys[slot] = &e;
            } else if (key == "passphrase") {
                passphrase = &e;
            } else if (key == "certhash") {
                const auto t = airsim::ParseThumbprint(e.value);
                if (!t)
                    return fail(e, "expected the SHA-1 thumbprint of the client certificate, 40 hexadecimal digits");
                r.certHashLength = 20;
                std::memcpy(r.certHash, t->data(), 20);
                certHash = &e;
            } else if (key == "eapoption") {
                const auto v = airsim::ParseInteger(e.value);
                if (!v || *v < 0 || *v > 0xFFFFFFFFll)
                    return fail(e, "expected a 32-bit number");
                r.eapOption = static_cast<std::uint32_t>(*v);
            } else if (key == "default") {
                const auto v = airsim::ParseBool(e.value);
                if (!v)
                    return fail(e, "expected 1 or 0 (yes/no)");
                isDefault = *v;
            } else {
                return fail(e, "unknown key");
            }
        }
        if (!ssid)
            return failSection("the key ssid is missing");
        SetText(r.profileName, name);
        SetText(r.ssid, ssid->value);

        const std::uint8_t a = r.authMode, c = r.encryption;
        const bool wepFamily = a == 0 || a == 1 || a == 100;
        const bool eap = a == 4 || a == 5 || a == 45;
        if (wepFamily ? !(c == 1 || (a == 0 && c == 0)) : !(c == 2 || c == 3 || c == 23)) {
            const auto* at = enc ? enc : auth;
            const std::string what = "authMode " + std::to_string(a) + " does not go with encryption " +
                                     std::to_string(c);
            return at ? fail(*at, what) : failSection(what);
        }
        if (r.adHoc && !wepFamily)
            return fail(*auth, "an ad hoc profile is Open or Shared");

        if (c == 1) {
            const platform::ProfileEntry* inUse = wepKeys[r.keyIndex];
            if (!inUse)
                return keyIndex ? fail(*keyIndex, "names a WEP key that is not given")
                                : failSection("the key wepKey1 (the WEP key in use) is missing");
            const std::uint8_t form = inUse->value.size() == 5 || inUse->value.size() == 13 ? KEY_ASCII : KEY_HEX;
            if (keyFormat && r.keyFormat != form)
                return fail(*keyFormat, "does not match the form of the WEP key in use");
            r.keyFormat = form;
            for (const auto* k : wepKeys) {
                const bool ascii = k && (k->value.size() == 5 || k->value.size() == 13);
                if (k && ascii != (form == KEY_ASCII))
                    return fail(*k, "every WEP key must have the form of the key in use");
            }
        } else {
            for (const auto* k : wepKeys)
                if (k)
                    return fail(*k, "a WEP key needs encryption WEP");
            if (keyIndex)
                return fail(*keyIndex, "a WEP key index needs encryption WEP");
        }

        if (a == 2 || a == 3 || a == 23) {
            if (!passphrase)
                return failSection("the key passphrase is missing");
            const std::string& text = passphrase->value;
            const bool hex = text.size() == 64 && airsim::DecodeHex(text).has_value();
            const std::uint8_t form = hex ? KEY_HEX : KEY_ASCII;
            if (keyFormat && r.keyFormat != form)
                return fail(*keyFormat, "does not match the form of the passphrase");
            if (!hex && (text.size() < 8 || text.size() > 63 ||
                         !std::all_of(text.begin(), text.end(), [](char ch) { return ch >= 0x20 && ch <= 0x7e; })))
                return fail(*passphrase, "expected 8 to 63 printable characters or 64 hexadecimal digits");
            r.keyFormat = form;
            SetText(r.passphrase, text);
        } else if (passphrase) {
            return fail(*passphrase, "a passphrase needs authMode WPA-PSK or WPA2-PSK");
        } else if (keyFormat && c != 1) {
            return fail(*keyFormat, "there is no key for it to describe");
        }

        if (eap && !certHash)
            return failSection("the key certHash (the client certificate) is missing");
        if (!eap && certHash)
            return fail(*certHash, "a certificate needs authMode WPA-EAP-TLS or WPA2-EAP-TLS");
        return true;
    }

private:
    std::string m_file;
    std::string m_section;
    std::string* m_error;
};

} // namespace

std::uint32_t ReadProfileFile(const std::filesystem::path& file, ProfileFile& out, std::string* error)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) {
        *error = file.string() + ": no such file";
        return kErrorFileNotFound;
    }
    out = {};
    std::set<std::string> names;
    bool haveDefault = false;
    for (const std::string& section : platform::GetPrivateProfileSectionNames(file)) {
        SectionReader reader(file, section, error);
        ProfileRecord r;
        bool isDefault = false;
        if (!reader.read(r, isDefault))
            return kErrorInvalidData;
        if (!names.insert(r.profileName).second) {
            reader.failSection(std::string("another section has the profile name \"") + r.profileName + "\"");
            return kErrorInvalidData;
        }
        if (isDefault) {
            if (haveDefault) {
                reader.failSection("a second profile marked default");
                return kErrorInvalidData;
            }
            haveDefault = true;
            out.defaultIndex = out.profiles.size();
        }
        out.profiles.push_back(r);
    }
    if (out.profiles.empty()) {
        *error = file.string() + ": holds no profile";
        return kErrorInvalidData;
    }
    return kSuccess;
}

} // namespace mirodel
