#pragma once
/// CAdapter: the program's one channel to the adapter library. It owns the hidden command
/// window, through which queries run on the interface thread and finished scan lists are
/// relayed to the Available networks page, and the connect path, which hands a profile to
/// the library on a worker thread.

#include "adapter/Mirodel.h"
#include "adapter/Requests.h"
#include "platform/Types.h"
#include "platform/Window.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <thread>

/// Messages of the command window and of the scan-list window.
constexpr UINT WM_ADAPTER_QUERY = 0x721;   ///< lParam AdapterRequest*, result the status
constexpr UINT WM_SCAN_LIST_READY = 0x722; ///< lParam MirodelList* from the scan callback
constexpr UINT WM_SURVEY_RESULT = 0x723;   ///< relayed to the scan-list window

/// Statuses the program adds to the library's.
constexpr DWORD STATUS_NO_ADAPTER = 21;     ///< a guarded query while no adapter is open
constexpr DWORD STATUS_CONNECT_BUSY = 170;  ///< a connect is already running
constexpr DWORD STATUS_NO_MEMORY = 13;      ///< the profile copy cannot be allocated

constexpr const char* kCommandWindowTitle = "_ADAPTER_COMMAND_WND_~!@#$%^_";

/// The command window, set when CAdapter creates it.
extern std::atomic<HWND> g_hCommandWnd;
/// The window that receives relayed scan lists; the Available networks page puts itself here
/// before it asks for a scan.
extern std::atomic<HWND> g_hScanListWnd;

class CAdapter final : public platform::MessageTarget
{
public:
    CAdapter();
    ~CAdapter() override;
    CAdapter(const CAdapter&) = delete;
    CAdapter& operator=(const CAdapter&) = delete;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    /// Runs the query on the interface thread through the command window (not guarded).
    DWORD SendQuery(AdapterRequest& request) const;

    // Guarded queries: 21 without calling the library while no adapter is open.
    DWORD QueryChannel(std::uint32_t& channel) const;
    DWORD QueryZeroConfig(std::uint8_t& flag) const;
    DWORD QueryIpAddress(char* buffer, std::uint32_t length) const;

    // Vendor requests, straight to the library.
    static DWORD VendorQuery(std::uint8_t vendorId, std::uint32_t code, std::uint32_t& value);
    static DWORD VendorProbe(std::uint8_t vendorId);
    /// Data bytes 16 to 19 of the region query; 0 when the query fails.
    static std::uint32_t QueryRegion(std::uint8_t vendorId);
    static DWORD VendorSetByte(std::uint8_t vendorId, std::uint32_t code, std::uint8_t value);
    static DWORD VendorSetWord(std::uint8_t vendorId, std::uint32_t code, std::uint32_t value);

    /// 170 while a connect runs, 13 when the copy cannot be made, else 0 once the worker runs.
    DWORD Connect(const ProfileRecord& profile);
    /// Drops the link; reports nothing.
    void Disconnect();

    /// The profile last handed to the library (defaults until the first connect).
    ProfileRecord GetCurrentProfile() const;
    bool IsConnectBusy() const { return m_bConnectBusy.load(); }
    bool IsAdapterOpen() const { return m_bAdapterOpen.load(); }
    void SetAdapterOpen(bool open) { m_bAdapterOpen.store(open); }

    /// Status of the last finished connect worker.
    DWORD LastConnectStatus() const { return m_dwLastConnectStatus.load(); }
    /// Waits for the connect worker to end (exit, tests).
    void WaitForConnect();

    /// The scan callback handed to MirodelGetScanList in mode 4.
    static void ScanCallback(MirodelList* list);

    HWND m_hWnd = 0;

    /// Allocation of the pending profile; tests replace it to make it fail.
    static ProfileRecord* (*s_pfnAllocProfile)();

private:
    DWORD DoConnect();
    std::uint32_t DisconnectCode() const;

    mutable std::mutex m_profileMutex; // guards the two profile fields
    ProfileRecord m_currentProfile{};
    std::atomic<bool> m_bAdapterOpen{false};
    std::atomic<bool> m_bConnectBusy{false};
    ProfileRecord* m_pPendingProfile = nullptr;
    std::thread m_connectWorker;
    std::atomic<DWORD> m_dwLastConnectStatus{0};
};

/// Re-enables the Windows zero-configuration service when it is disabled. 0 or an error code.
DWORD EnableZeroConfigService();
