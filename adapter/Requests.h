#pragma once
/// The request vocabulary shared by everything that talks to the adapter.

#include <array>
#include <cstdint>
#include <cstring>

namespace request {
constexpr std::uint32_t MacAddress = 1;       ///< query, 6 bytes
constexpr std::uint32_t Ssid = 2;             ///< query, 33 bytes
constexpr std::uint32_t NetworkType = 4;      ///< query, 1 byte signed: 0 infrastructure
constexpr std::uint32_t AuthMode = 5;         ///< query, 1 byte signed
constexpr std::uint32_t TxRate = 6;           ///< query, 4 bytes, units of 100 bit/s
constexpr std::uint32_t Channel = 7;          ///< query, 4 bytes
constexpr std::uint32_t Rssi = 8;             ///< query, 4 bytes signed dBm
constexpr std::uint32_t ZeroConfig = 11;      ///< query 1 byte; set 1 byte value 0
constexpr std::uint32_t Bssid = 12;           ///< query, 6 bytes
constexpr std::uint32_t DriverVersion = 14;   ///< query, 33 bytes
constexpr std::uint32_t IpAddress = 15;       ///< query, 16 or 33 bytes dotted text
constexpr std::uint32_t Encryption = 16;      ///< query, 1 byte signed
constexpr std::uint32_t Gateway = 20;         ///< query, 33 bytes
constexpr std::uint32_t SubnetMask = 26;      ///< query, 33 bytes
constexpr std::uint32_t TxFrames = 28;        ///< query, 4 bytes
constexpr std::uint32_t RxFrames = 29;        ///< query, 4 bytes
constexpr std::uint32_t TxErrors = 30;        ///< query, 4 bytes
constexpr std::uint32_t RxFramesExtra = 31;   ///< query, 4 bytes, added to RxFrames
constexpr std::uint32_t RxIcvErrors = 32;     ///< query, 4 bytes
constexpr std::uint32_t Disconnect = 101;     ///< set, 0 bytes
constexpr std::uint32_t RenewIp = 104;        ///< set, 1 byte value 1
constexpr std::uint32_t ReleaseIp = 105;      ///< set, 1 byte value 1
constexpr std::uint32_t DisconnectAdHoc = 110;///< set, 0 bytes
constexpr std::uint32_t RadioBand = 501;      ///< vendor query
constexpr std::uint32_t PushButton = 502;     ///< vendor query, 1 when pressed
constexpr std::uint32_t Region = 503;         ///< vendor query, 21 bytes: 2 ETSI, 5 MKK, other FCC
constexpr std::uint32_t RxRateProbe = 504;    ///< vendor query: success means a receive rate exists
constexpr std::uint32_t RadioOffState = 506;  ///< vendor query
constexpr std::uint32_t VendorChannel = 507;  ///< vendor query
constexpr std::uint32_t SetRadioBand = 601;   ///< vendor set, one byte
constexpr std::uint32_t SetPushButton = 602;  ///< vendor set, one byte
constexpr std::uint32_t SetRadioOff = 607;    ///< vendor set, 32 bits: 1 off, 0 on
} // namespace request

/// The buffer of the vendor-extension requests 501 to 607: 20 bytes (21 for the region
/// query). Byte 0 vendor id, bytes 12 to 15 the data length, bytes 16 to 19 the data.
struct VendorRequest
{
    static constexpr std::size_t kSize = 20;
    static constexpr std::size_t kRegionSize = 21;
    static constexpr std::size_t kVendorOffset = 0;
    static constexpr std::size_t kDataLengthOffset = 12;
    static constexpr std::size_t kDataOffset = 16;

    std::array<std::uint8_t, kRegionSize> bytes{};

    VendorRequest(std::uint8_t vendorId, std::uint32_t dataLength)
    {
        bytes[kVendorOffset] = vendorId;
        std::memcpy(&bytes[kDataLengthOffset], &dataLength, 4);
    }
    std::uint8_t* data() { return bytes.data(); }
    std::uint8_t dataByte() const { return bytes[kDataOffset]; }
    void setDataByte(std::uint8_t value) { bytes[kDataOffset] = value; }
    std::uint32_t dataWord() const
    {
        std::uint32_t v;
        std::memcpy(&v, &bytes[kDataOffset], 4);
        return v;
    }
    void setDataWord(std::uint32_t value) { std::memcpy(&bytes[kDataOffset], &value, 4); }
    std::uint32_t dataLength() const
    {
        std::uint32_t v;
        std::memcpy(&v, &bytes[kDataLengthOffset], 4);
        return v;
    }
};
