#pragma once
/// The Win32-style statuses that the simulated world and the adapter library answer with.

#include <cstdint>

namespace airsim {

constexpr std::uint32_t kSuccess = 0;
constexpr std::uint32_t kErrorInvalidFunction = 1;   ///< a known request used the wrong way
constexpr std::uint32_t kErrorFileNotFound = 2;
constexpr std::uint32_t kErrorAccessDenied = 5;
constexpr std::uint32_t kErrorInvalidHandle = 6;     ///< no adapter open, or the handle went stale
constexpr std::uint32_t kErrorInvalidData = 13;
constexpr std::uint32_t kErrorNotReady = 21;         ///< no link, or the radio is off
constexpr std::uint32_t kErrorWriteFault = 29;
constexpr std::uint32_t kErrorReadFault = 30;
constexpr std::uint32_t kErrorNotSupported = 50;     ///< unknown request code or back end
constexpr std::uint32_t kErrorInvalidParameter = 87;
constexpr std::uint32_t kErrorInsufficientBuffer = 122;
constexpr std::uint32_t kErrorAlreadyExists = 183;
constexpr std::uint32_t kErrorDeviceNotConnected = 1167; ///< the adapter is unplugged
constexpr std::uint32_t kErrorNotFound = 1168;
constexpr std::uint32_t kErrorConnectionRefused = 1225; ///< the network does not offer that security

} // namespace airsim
