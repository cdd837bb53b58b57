#pragma once
// A service manager with one programmable service, recording each step.

#include "platform/ServiceControl.h"

#include <string>
#include <vector>

namespace fakes {

class FakeServiceControl final : public platform::ServiceControl
{
public:
    /// Installs itself; the destructor restores the real implementation.
    FakeServiceControl();
    ~FakeServiceControl() override;

    // Programming: the error of each step (0 succeeds) and the service's start type.
    DWORD openManagerError = 0;
    DWORD openServiceError = 0;
    DWORD queryStatusError = 0;
    DWORD queryConfigError = 0;
    DWORD startType = platform::SERVICE_DEMAND_START;

    /// "openManager", "openService WZCSVC 0x37", "queryStatus", "queryConfig 4096",
    /// "changeStartType 2", "close manager", "close service".
    std::vector<std::string> steps;

    DWORD openManager(DWORD access, platform::ServiceHandle& manager) override;
    DWORD openService(platform::ServiceHandle manager, std::string_view name, DWORD access,
                      platform::ServiceHandle& service) override;
    DWORD queryStatus(platform::ServiceHandle service, platform::ServiceStatus& status) override;
    DWORD queryConfig(platform::ServiceHandle service, std::size_t bufferSize,
                      platform::ServiceConfig& config) override;
    DWORD changeStartType(platform::ServiceHandle service, DWORD startType) override;
    void closeHandle(platform::ServiceHandle handle) override;
};

} // namespace fakes
