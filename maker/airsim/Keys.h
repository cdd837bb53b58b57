#pragma once
/// Credentials as a station and an access point compare them: WEP keys, WPA pre-shared keys,
/// client-certificate thumbprints and WPS PINs, decoded from the text forms people write.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace airsim {

using Bytes = std::vector<std::uint8_t>;
using Psk = std::array<std::uint8_t, 32>;
using Thumbprint = std::array<std::uint8_t, 20>;

/// Hexadecimal digits to bytes; nullopt for an odd count or a non-hex character.
std::optional<Bytes> DecodeHex(std::string_view text);
std::string EncodeHex(const std::uint8_t* data, std::size_t size);

/// A WEP key given by its text, the form of that text (1 ASCII, 0 hex) and the key size in
/// bytes (5 or 13). nullopt when the text does not have that size in that form.
std::optional<Bytes> DecodeWepKey(std::string_view text, std::uint8_t keyFormat, std::uint32_t size);

/// A WEP key written without its form: 5 or 13 characters, or 10 or 26 hex digits.
std::optional<Bytes> ParseWepKeyText(std::string_view text);

/// The pre-shared key of a passphrase (8 to 63 printable characters) on a network.
std::optional<Psk> DerivePsk(std::string_view passphrase, std::string_view ssid);

/// A WPA key as a profile holds it: the passphrase (keyFormat 1) or 64 hex digits (0).
std::optional<Psk> DecodeWpaKey(std::string_view text, std::uint8_t keyFormat, std::string_view ssid);

/// A SHA-1 thumbprint: 40 hex digits, optionally grouped by blanks or colons.
std::optional<Thumbprint> ParseThumbprint(std::string_view text);

/// A WPS PIN: four digits, or eight digits whose last is the checksum of the first seven.
bool IsValidWpsPin(std::string_view pin);

} // namespace airsim
