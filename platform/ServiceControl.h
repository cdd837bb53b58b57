#pragma once
/// Service control in the terms of the Windows service control manager. Linux has no such
/// services: the real implementation opens the manager and finds no service of any name.

#include "platform/Types.h"

#include <cstdint>
#include <string_view>

namespace platform {

using ServiceHandle = std::uintptr_t; ///< 0 is none

constexpr DWORD SC_MANAGER_CONNECT = 0x0001;
constexpr DWORD SERVICE_QUERY_CONFIG = 0x0001;
constexpr DWORD SERVICE_CHANGE_CONFIG = 0x0002;
constexpr DWORD SERVICE_QUERY_STATUS = 0x0004;
constexpr DWORD SERVICE_START = 0x0010;
constexpr DWORD SERVICE_STOP = 0x0020;
constexpr DWORD SERVICE_NO_CHANGE = 0xFFFFFFFF;

constexpr DWORD SERVICE_AUTO_START = 2;
constexpr DWORD SERVICE_DEMAND_START = 3;
constexpr DWORD SERVICE_DISABLED = 4;

struct ServiceStatus
{
    DWORD currentState = 0;
};

struct ServiceConfig
{
    DWORD serviceType = 0;
    DWORD startType = 0;
    DWORD errorControl = 0;
};

/// Every call returns 0 or a Windows error code.
class ServiceControl
{
public:
    virtual ~ServiceControl() = default;
    virtual DWORD openManager(DWORD access, ServiceHandle& manager) = 0;
    virtual DWORD openService(ServiceHandle manager, std::string_view name, DWORD access,
                              ServiceHandle& service) = 0;
    virtual DWORD queryStatus(ServiceHandle service, ServiceStatus& status) = 0;
    /// Reads the configuration into a buffer of `bufferSize` bytes.
    virtual DWORD queryConfig(ServiceHandle service, std::size_t bufferSize,
                              ServiceConfig& config) = 0;
    /// Changes the start type; every other setting stays (SERVICE_NO_CHANGE).
    virtual DWORD changeStartType(ServiceHandle service, DWORD startType) = 0;
    virtual void closeHandle(ServiceHandle handle) = 0;
};

ServiceControl& CurrentServiceControl();
/// Tests install a double; nullptr restores the Linux implementation.
void SetServiceControl(ServiceControl* control);

} // namespace platform
