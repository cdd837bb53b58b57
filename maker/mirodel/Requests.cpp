#include "maker/mirodel/Requests.h"

#include "adapter/Requests.h"
#include "maker/airsim/Status.h"
#include "maker/airsim/World.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace mirodel {
namespace {

using namespace airsim;

bool IsQueryCode(std::uint32_t code)
{
    static const std::uint32_t codes[] = {1, 2, 4, 5, 6, 7, 8, 11, 12, 14, 15, 16, 20, 26, 28,
                                          29, 30, 31, 32, 501, 502, 503, 504, 506, 507};
    return std::find(std::begin(codes), std::end(codes), code) != std::end(codes);
}

bool IsSetCode(std::uint32_t code)
{
    static const std::uint32_t codes[] = {11, 101, 104, 105, 110, 601, 602, 607};
    return std::find(std::begin(codes), std::end(codes), code) != std::end(codes);
}

class Answer
{
public:
    explicit Answer(const AdapterRequest& r) : m_buffer(static_cast<std::uint8_t*>(r.buffer)), m_length(r.length) {}

    std::uint32_t bytes(const void* data, std::size_t size)
    {
        if (m_length < size)
            return kErrorInsufficientBuffer;
        std::memcpy(m_buffer, data, size);
        return kSuccess;
    }
    std::uint32_t byte(std::uint8_t v) { return bytes(&v, 1); }
    std::uint32_t word(std::uint32_t v) { return bytes(&v, 4); }
    std::uint32_t text(const std::string& s)
    {
        if (m_length < s.size() + 1)
            return kErrorInsufficientBuffer;
        std::memcpy(m_buffer, s.c_str(), s.size() + 1);
        return kSuccess;
    }
    /// Vendor requests carry their data at bytes 16 to 19 of a 20-byte (21-byte) buffer.
    std::uint32_t vendor(std::uint32_t v, std::size_t size = VendorRequest::kSize)
    {
        if (m_length < size)
            return kErrorInsufficientBuffer;
        std::memcpy(m_buffer + VendorRequest::kDataOffset, &v, 4);
        return kSuccess;
    }

private:
    std::uint8_t* m_buffer;
    std::uint32_t m_length;
};

std::uint32_t VendorData(const AdapterRequest& r, std::uint32_t& out)
{
    if (r.length < VendorRequest::kSize)
        return kErrorInsufficientBuffer;
    std::memcpy(&out, static_cast<const std::uint8_t*>(r.buffer) + VendorRequest::kDataOffset, 4);
    return kSuccess;
}

std::uint8_t VendorByte(const AdapterRequest& r)
{
    return static_cast<const std::uint8_t*>(r.buffer)[VendorRequest::kDataOffset];
}

} // namespace

std::uint32_t AnswerQuery(World& world, std::size_t index, const AdapterRequest& r)
{
    if (!IsQueryCode(r.code))
        return IsSetCode(r.code) ? kErrorInvalidFunction : kErrorNotSupported;
    Answer out(r);
    const auto adapter = world.adapter(index);
    if (!adapter)
        return kErrorInvalidHandle;
    switch (r.code) {
    case request::MacAddress: return out.bytes(adapter->mac.data(), 6);
    case request::ZeroConfig: return out.byte(adapter->zeroConfig);
    case request::DriverVersion: return out.text(adapter->driverVersion);
    case request::RadioBand: return out.vendor(adapter->band);
    case request::PushButton: return out.vendor(adapter->button ? 1 : 0);
    case request::Region: return out.vendor(adapter->region, VendorRequest::kRegionSize);
    case request::RadioOffState: return out.vendor(adapter->radioOff ? 1 : 0);
    default: break;
    }
    switch (r.code) {
    case request::IpAddress: return out.text(FormatIp(world.address(index).address));
    case request::SubnetMask: return out.text(FormatIp(world.address(index).mask));
    case request::Gateway: {
        const std::uint32_t gateway = world.address(index).gateway;
        return out.text(gateway ? FormatIp(gateway) : std::string());
    }
    case request::TxFrames: return out.word(world.counters(index).txFrames);
    case request::RxFrames: return out.word(world.counters(index).rxFrames);
    case request::TxErrors: return out.word(world.counters(index).txErrors);
    case request::RxFramesExtra: return out.word(world.counters(index).rxExtra);
    case request::RxIcvErrors: return out.word(world.counters(index).rxIcvErrors);
    default: break;
    }
    // The rest describe the link and fail without one.
    const LinkView link = world.link(index);
    if (!link.linked)
        return kErrorNotReady;
    switch (r.code) {
    case request::Ssid: return out.text(link.ssid);
    case request::NetworkType: return out.byte(link.adHoc ? 1 : 0);
    case request::AuthMode: return out.byte(link.authMode);
    case request::TxRate: return out.word(link.txRate);
    case request::Channel: return out.word(link.channel);
    case request::Rssi: return out.word(static_cast<std::uint32_t>(link.rssi));
    case request::Bssid: return out.bytes(link.bssid.data(), 6);
    case request::Encryption: return out.byte(link.encryption);
    case request::RxRateProbe: return out.vendor(link.txRate);
    case request::VendorChannel: return out.vendor(link.channel);
    default: return kErrorNotSupported;
    }
}

std::uint32_t ApplySet(World& world, std::size_t index, const AdapterRequest& r)
{
    if (!IsSetCode(r.code))
        return IsQueryCode(r.code) ? kErrorInvalidFunction : kErrorNotSupported;
    const auto* buffer = static_cast<const std::uint8_t*>(r.buffer);
    std::uint32_t value = 0;
    switch (r.code) {
    case request::ZeroConfig:
        if (r.length < 1)
            return kErrorInsufficientBuffer;
        world.setZeroConfig(index, buffer[0]);
        return kSuccess;
    case request::Disconnect:
    case request::DisconnectAdHoc:
        world.disconnect(index);
        return kSuccess;
    case request::RenewIp:
    case request::ReleaseIp:
        if (r.length < 1)
            return kErrorInsufficientBuffer;
        if (buffer[0] != 1)
            return kErrorInvalidParameter;
        if (r.code == request::RenewIp)
            return world.renewAddress(index);
        world.releaseAddress(index);
        return kSuccess;
    case request::SetRadioBand:
        if (const std::uint32_t status = VendorData(r, value))
            return status;
        return world.setBand(index, VendorByte(r));
    case request::SetPushButton:
        if (const std::uint32_t status = VendorData(r, value))
            return status;
        if (VendorByte(r) > 1)
            return kErrorInvalidParameter;
        world.setButton(index, VendorByte(r) == 1);
        return kSuccess;
    case request::SetRadioOff:
        if (const std::uint32_t status = VendorData(r, value))
            return status;
        if (value > 1)
            return kErrorInvalidParameter;
        world.setRadioOff(index, value == 1);
        return kSuccess;
    default:
        return kErrorNotSupported;
    }
}

} // namespace mirodel
