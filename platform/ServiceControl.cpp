#include "platform/ServiceControl.h"

#include <atomic>

namespace platform {
namespace {

/// Linux has no Windows services: the manager opens, no service is ever found.
class LinuxServiceControl final : public ServiceControl
{
public:
    DWORD openManager(DWORD, ServiceHandle& manager) override
    {
        manager = 1;
        return ERROR_SUCCESS;
    }
    DWORD openService(ServiceHandle, std::string_view, DWORD, ServiceHandle& service) override
    {
        service = 0;
        return ERROR_SERVICE_DOES_NOT_EXIST;
    }
    DWORD queryStatus(ServiceHandle, ServiceStatus&) override { return ERROR_INVALID_PARAMETER; }
    DWORD queryConfig(ServiceHandle, std::size_t, ServiceConfig&) override
    {
        return ERROR_INVALID_PARAMETER;
    }
    DWORD changeStartType(ServiceHandle, DWORD) override { return ERROR_INVALID_PARAMETER; }
    void closeHandle(ServiceHandle) override {}
};

std::atomic<ServiceControl*> g_control{nullptr};

} // namespace

ServiceControl& CurrentServiceControl()
{
    static LinuxServiceControl linuxControl;
    ServiceControl* c = g_control.load();
    return c ? *c : linuxControl;
}

void SetServiceControl(ServiceControl* control) { g_control.store(control); }

} // namespace platform
