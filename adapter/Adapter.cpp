#include "adapter/Adapter.h"

#include "adapter/ProfileRecord.h"
#include "platform/Clock.h"
#include "platform/ServiceControl.h"
#include "platform/System.h"
#include "platform/Trace.h"

#include <cstring>
#include <new>
#include <system_error>

std::atomic<HWND> g_hCommandWnd{0};
std::atomic<HWND> g_hScanListWnd{0};

ProfileRecord* (*CAdapter::s_pfnAllocProfile)() = [] {
    return new (std::nothrow) ProfileRecord;
};

namespace {

bool ReleasesIpBeforeConnect()
{
    const int gen = platform::OsGeneration;
    return gen == 1 || gen == 2 || gen == 4;
}

DWORD SetRequest(std::uint32_t code, std::uint32_t length, void* buffer)
{
    AdapterRequest request{code, length, buffer};
    return MirodelSet(&request);
}

} // namespace

CAdapter::CAdapter()
{
    InitProfileRecord(&m_currentProfile);
    m_hWnd = platform::CreateWindow(this, kCommandWindowTitle);
    g_hCommandWnd.store(m_hWnd);
}

CAdapter::~CAdapter()
{
    WaitForConnect();
    if (g_hCommandWnd.load() == m_hWnd)
        g_hCommandWnd.store(0);
    platform::DestroyWindow(m_hWnd);
}

LRESULT CAdapter::WindowProc(UINT message, WPARAM, LPARAM lParam)
{
    switch (message) {
    case WM_ADAPTER_QUERY: {
        auto* request = reinterpret_cast<AdapterRequest*>(lParam);
        if (request->buffer && request->length)
            std::memset(request->buffer, 0, request->length);
        return MirodelQuery(request);
    }
    case WM_SCAN_LIST_READY:
        platform::SendMessage(g_hScanListWnd.load(), WM_SURVEY_RESULT, 0, lParam);
        return 0;
    default:
        return 0;
    }
}

void CAdapter::ScanCallback(MirodelList* list)
{
    if (const HWND window = g_hCommandWnd.load())
        platform::SendMessage(window, WM_SCAN_LIST_READY, 0, reinterpret_cast<LPARAM>(list));
}

DWORD CAdapter::SendQuery(AdapterRequest& request) const
{
    return static_cast<DWORD>(
        platform::SendMessage(m_hWnd, WM_ADAPTER_QUERY, 0, reinterpret_cast<LPARAM>(&request)));
}

DWORD CAdapter::QueryChannel(std::uint32_t& channel) const
{
    if (!m_bAdapterOpen)
        return STATUS_NO_ADAPTER;
    AdapterRequest request{request::Channel, 4, &channel};
    return SendQuery(request);
}

DWORD CAdapter::QueryZeroConfig(std::uint8_t& flag) const
{
    if (!m_bAdapterOpen)
        return STATUS_NO_ADAPTER;
    AdapterRequest request{request::ZeroConfig, 1, &flag};
    return SendQuery(request);
}

DWORD CAdapter::QueryIpAddress(char* buffer, std::uint32_t length) const
{
    if (!m_bAdapterOpen)
        return STATUS_NO_ADAPTER;
    AdapterRequest request{request::IpAddress, length, buffer};
    return SendQuery(request);
}

DWORD CAdapter::VendorQuery(std::uint8_t vendorId, std::uint32_t code, std::uint32_t& value)
{
    VendorRequest vendor(vendorId, 4);
    AdapterRequest request{code, VendorRequest::kSize, vendor.data()};
    const DWORD status = MirodelQuery(&request);
    value = vendor.dataByte();
    return status;
}

DWORD CAdapter::VendorProbe(std::uint8_t vendorId)
{
    VendorRequest vendor(vendorId, 4);
    AdapterRequest request{request::RxRateProbe, VendorRequest::kSize, vendor.data()};
    return MirodelQuery(&request);
}

std::uint32_t CAdapter::QueryRegion(std::uint8_t vendorId)
{
    VendorRequest vendor(vendorId, 1);
    AdapterRequest request{request::Region, VendorRequest::kRegionSize, vendor.data()};
    if (MirodelQuery(&request) != 0)
        return 0;
    return vendor.dataWord();
}

DWORD CAdapter::VendorSetByte(std::uint8_t vendorId, std::uint32_t code, std::uint8_t value)
{
    VendorRequest vendor(vendorId, 4);
    vendor.setDataByte(value);
    AdapterRequest request{code, VendorRequest::kSize, vendor.data()};
    return MirodelSet(&request);
}

DWORD CAdapter::VendorSetWord(std::uint8_t vendorId, std::uint32_t code, std::uint32_t value)
{
    VendorRequest vendor(vendorId, 4);
    vendor.setDataWord(value);
    AdapterRequest request{code, VendorRequest::kSize, vendor.data()};
    return MirodelSet(&request);
}

DWORD CAdapter::Connect(const ProfileRecord& profile)
{
    if (m_bConnectBusy.exchange(true))
        return STATUS_CONNECT_BUSY;
    ProfileRecord* pending = s_pfnAllocProfile();
    if (!pending) {
        m_bConnectBusy.store(false);
        return STATUS_NO_MEMORY;
    }
    std::memcpy(pending, &profile, sizeof *pending);
    {
        std::lock_guard lock(m_profileMutex);
        m_pPendingProfile = pending;
    }
    // The previous worker has cleared the busy flag; it is at most returning now.
    if (m_connectWorker.joinable())
        m_connectWorker.join();
    try {
        m_connectWorker = std::thread([this] { m_dwLastConnectStatus.store(DoConnect()); });
    } catch (const std::system_error&) {
        {
            std::lock_guard lock(m_profileMutex);
            m_pPendingProfile = nullptr;
        }
        delete pending;
        m_bConnectBusy.store(false);
        return STATUS_NO_MEMORY;
    }
    return 0;
}

DWORD CAdapter::DoConnect()
{
    platform::Trace("CAdapter::DoConnect()\n");
    Disconnect();
    platform::Sleep(2000);
    if (ReleasesIpBeforeConnect()) {
        std::uint8_t release = 1;
        SetRequest(request::ReleaseIp, 1, &release);
    }
    ProfileRecord* pending;
    {
        std::lock_guard lock(m_profileMutex);
        pending = m_pPendingProfile;
    }
    const DWORD status = MirodelConnect(pending);
    {
        std::lock_guard lock(m_profileMutex);
        CopyProfileRecord(pending, &m_currentProfile);
        m_pPendingProfile = nullptr;
    }
    delete pending;
    m_bConnectBusy.store(false);
    return status;
}

std::uint32_t CAdapter::DisconnectCode() const
{
    std::lock_guard lock(m_profileMutex);
    const ProfileRecord& profile = m_pPendingProfile ? *m_pPendingProfile : m_currentProfile;
    return profile.adHoc == 1 ? request::DisconnectAdHoc : request::Disconnect;
}

void CAdapter::Disconnect()
{
    if (platform::OsGeneration == 3) {
        try {
            std::thread([] { SetRequest(request::Disconnect, 0, nullptr); }).detach();
        } catch (const std::system_error&) {
            SetRequest(request::Disconnect, 0, nullptr);
        }
        return;
    }
    SetRequest(DisconnectCode(), 0, nullptr);
}

ProfileRecord CAdapter::GetCurrentProfile() const
{
    std::lock_guard lock(m_profileMutex);
    return m_currentProfile;
}

void CAdapter::WaitForConnect()
{
    if (m_connectWorker.joinable() && m_connectWorker.get_id() != std::this_thread::get_id())
        m_connectWorker.join();
}

DWORD EnableZeroConfigService()
{
    using namespace platform;
    ServiceControl& control = CurrentServiceControl();
    ServiceHandle manager = 0;
    if (const DWORD error = control.openManager(SC_MANAGER_CONNECT, manager))
        return error;
    ServiceHandle service = 0;
    const DWORD access = SERVICE_QUERY_CONFIG | SERVICE_CHANGE_CONFIG | SERVICE_QUERY_STATUS |
                         SERVICE_START | SERVICE_STOP;
    if (const DWORD error = control.openService(manager, "WZCSVC", access, service)) {
        control.closeHandle(manager);
        return error;
    }
    ServiceStatus status;
    if (const DWORD error = control.queryStatus(service, status)) {
        control.closeHandle(service);
        control.closeHandle(manager);
        return error;
    }
    ServiceConfig config;
    if (control.queryConfig(service, 4096, config) == 0 && config.startType == SERVICE_DISABLED)
        control.changeStartType(service, SERVICE_AUTO_START);
    control.closeHandle(service);
    control.closeHandle(manager);
    return 0;
}
