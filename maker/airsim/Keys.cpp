#include "maker/airsim/Keys.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QMessageAuthenticationCode>

#include <algorithm>

namespace airsim {
namespace {

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

std::optional<Bytes> DecodeHex(std::string_view text)
{
    if (text.size() % 2 != 0)
        return std::nullopt;
    Bytes out;
    out.reserve(text.size() / 2);
    for (std::size_t i = 0; i < text.size(); i += 2) {
        const int hi = HexValue(text[i]);
        const int lo = HexValue(text[i + 1]);
        if (hi < 0 || lo < 0)
            return std::nullopt;
        out.push_back(static_cast<std::uint8_t>(hi * 16 + lo));
    }
    return out;
}

std::string EncodeHex(const std::uint8_t* data, std::size_t size)
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    out.reserve(size * 2);
    for (std::size_t i = 0; i < size; ++i) {
        out.push_back(digits[data[i] >> 4]);
        out.push_back(digits[data[i] & 15]);
    }
    return out;
}

std::optional<Bytes> DecodeWepKey(std::string_view text, std::uint8_t keyFormat, std::uint32_t size)
{
    if (size != 5 && size != 13)
        return std::nullopt;
    if (keyFormat == 1) {
        if (text.size() != size)
            return std::nullopt;
        return Bytes(text.begin(), text.end());
    }
    if (keyFormat == 0 && text.size() == 2 * size)
        return DecodeHex(text);
    return std::nullopt;
}

std::optional<Bytes> ParseWepKeyText(std::string_view text)
{
    if (text.size() == 5 || text.size() == 13)
        return Bytes(text.begin(), text.end());
    if (text.size() == 10 || text.size() == 26)
        return DecodeHex(text);
    return std::nullopt;
}

std::optional<Psk> DerivePsk(std::string_view passphrase, std::string_view ssid)
{
    if (passphrase.size() < 8 || passphrase.size() > 63 || ssid.size() > 32)
        return std::nullopt;
    if (!std::all_of(passphrase.begin(), passphrase.end(),
                     [](char c) { return c >= 0x20 && c <= 0x7e; }))
        return std::nullopt;
    // PBKDF2-HMAC-SHA1, 4096 rounds, two blocks of 20 bytes cut to 32.
    const QByteArray key(passphrase.data(), static_cast<qsizetype>(passphrase.size()));
    const QByteArray salt(ssid.data(), static_cast<qsizetype>(ssid.size()));
    QMessageAuthenticationCode mac(QCryptographicHash::Sha1, key);
    Psk psk{};
    std::size_t filled = 0;
    for (std::uint32_t block = 1; filled < psk.size(); ++block) {
        QByteArray counter(4, '\0');
        counter[0] = static_cast<char>(block >> 24);
        counter[1] = static_cast<char>(block >> 16);
        counter[2] = static_cast<char>(block >> 8);
        counter[3] = static_cast<char>(block);
        mac.reset();
        mac.addData(salt);
        mac.addData(counter);
        QByteArray u = mac.result();
        QByteArray t = u;
        for (int round = 1; round < 4096; ++round) {
            mac.reset();
            mac.addData(u);
            u = mac.result();
            for (qsizetype i = 0; i < t.size(); ++i)
                t[i] = static_cast<char>(t[i] ^ u[i]);
        }
        for (qsizetype i = 0; i < t.size() && filled < psk.size(); ++i)
            psk[filled++] = static_cast<std::uint8_t>(t[i]);
    }
    return psk;
}

std::optional<Psk> DecodeWpaKey(std::string_view text, std::uint8_t keyFormat, std::string_view ssid)
{
    if (keyFormat == 1)
        return DerivePsk(text, ssid);
    if (keyFormat != 0 || text.size() != 64)
        return std::nullopt;
    const auto bytes = DecodeHex(text);
    if (!bytes)
        return std::nullopt;
    Psk psk{};
    std::copy(bytes->begin(), bytes->end(), psk.begin());
    return psk;
}

std::optional<Thumbprint> ParseThumbprint(std::string_view text)
{
    std::string digits;
    for (char c : text) {
        if (c == ' ' || c == ':' || c == '\t')
            continue;
        digits.push_back(c);
    }
    if (digits.size() != 40)
        return std::nullopt;
    const auto bytes = DecodeHex(digits);
    if (!bytes)
        return std::nullopt;
    Thumbprint out{};
    std::copy(bytes->begin(), bytes->end(), out.begin());
    return out;
}

bool IsValidWpsPin(std::string_view pin)
{
    if (!std::all_of(pin.begin(), pin.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    if (pin.size() == 4)
        return true;
    if (pin.size() != 8)
        return false;
    unsigned sum = 0;
    for (std::size_t i = 0; i < 7; ++i)
        sum += static_cast<unsigned>(pin[i] - '0') * (i % 2 == 0 ? 3u : 1u);
    return (10 - sum % 10) % 10 == static_cast<unsigned>(pin[7] - '0');
}

} // namespace airsim
