#include "FakeServiceControl.h"

#include <cstdio>

namespace fakes {
namespace {
constexpr platform::ServiceHandle kManager = 1;
constexpr platform::ServiceHandle kService = 2;

std::string Hex(DWORD v)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%x", v);
    return text;
}
} // namespace

FakeServiceControl::FakeServiceControl() { platform::SetServiceControl(this); }

FakeServiceControl::~FakeServiceControl() { platform::SetServiceControl(nullptr); }

DWORD FakeServiceControl::openManager(DWORD access, platform::ServiceHandle& manager)
{
    steps.push_back("openManager " + Hex(access));
    manager = openManagerError ? 0 : kManager;
    return openManagerError;
}

DWORD FakeServiceControl::openService(platform::ServiceHandle, std::string_view name, DWORD access,
                                      platform::ServiceHandle& service)
{
    steps.push_back("openService " + std::string(name) + " " + Hex(access));
    service = openServiceError ? 0 : kService;
    return openServiceError;
}

DWORD FakeServiceControl::queryStatus(platform::ServiceHandle, platform::ServiceStatus&)
{
    steps.push_back("queryStatus");
    return queryStatusError;
}

DWORD FakeServiceControl::queryConfig(platform::ServiceHandle, std::size_t bufferSize,
                                      platform::ServiceConfig& config)
{
    steps.push_back("queryConfig " + std::to_string(bufferSize));
    config.startType = startType;
    return queryConfigError;
}

DWORD FakeServiceControl::changeStartType(platform::ServiceHandle, DWORD type)
{
    steps.push_back("changeStartType " + std::to_string(type));
    startType = type;
    return 0;
}

void FakeServiceControl::closeHandle(platform::ServiceHandle handle)
{
    steps.push_back(handle == kManager ? "close manager" : "close service");
}

} // namespace fakes
