#pragma once
/// CTavoroDlg: the utility's main window. A caption-less skinned window the size of its
/// background with the tab buttons, the adapter tree, the page area and the notification-area
/// icon. It is created hidden and brought up from the icon or by a second start.
#include "adapter/Adapter.h"
#include "adapter/Mirodel.h"
#include "platform/Window.h"
#include "shell/SystemTray.h"
#include "ui/NewPage.h"

#include <QIcon>
#include <QImage>

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class CBmpBtn;
class QCheckBox;
class QTreeWidget;
namespace ui {
struct ResourceModule;
}

// Timers of the main window.
constexpr UINT TIMER_POLL = 1001;
constexpr UINT TIMER_HW_PBC = 1002;
constexpr UINT TIMER_TREE = 1003;
constexpr UINT TIMER_RADIO = 1004;

// Link states.
constexpr int LINK_CONNECTED = 4;
constexpr int LINK_DISCONNECTED = 8;

/// The link snapshot the pages draw from.
struct LinkStatus
{
    int nLinkState = 0;
    int nAuthMode = 0;
    std::uint32_t nTxRate = 0;
    std::uint32_t nRxRate = 0;
    int nNetworkType = 0;
    int nEncryption = 0;
    int nChannel = 0;
    std::string strSsid;
    int nSignalPercent = 0;
    std::string strBssid;
    std::string strIpAddress;
    std::string strSubnetMask;
    std::string strGateway;
    std::string strMacAddress;
    std::string strDriverVersion;
    std::uint32_t nTxOk = 0;
    std::uint32_t nRxOk = 0;
    std::uint32_t nTxError = 0;
    std::uint32_t nRxComplement = 0;
    std::uint32_t nRxIcvError = 0;
    int bConnected = 0;
    int bSelfAssigned = 0;
    int nPollCount = 0;
};

class CTavoroDlg final : public CNewPage, public platform::MessageTarget
{
public:
    /// `adapter` and `adapterList` are borrowed and must outlive the window.
    CTavoroDlg(const ui::ResourceModule* resources, CAdapter& adapter, bool bFoundCard,
               AdapterList* adapterList);
    ~CTavoroDlg() override;

    /// Creates the window without parent and initialises it.
    bool CreateMain();
    bool OnInitDialog() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    /// What a page brings to the page area: its widget, and what its tab does before and
    /// after showing it (refresh the list, fetch a PIN, ...).
    struct PageEntry
    {
        int nTabId = 0;
        QWidget* pPage = nullptr;
        std::function<void()> beforeShow;
        std::function<void()> afterShow;
    };
    /// Adds a page to the page area, hidden, at the area's origin and size. Pages register
    /// in CreatePages, in the order the window creates them.
    void RegisterPage(PageEntry entry);
    /// Shows the page of a tab, hides the others and pins the look of its tab button.
    void ShowPage(int nTabId);
    /// The tab whose page (or, without a page, whose look) is current; 0 before the first.
    int CurrentPage() const { return m_nPage; }
    QWidget* PageArea() const { return m_pPageArea; }

    /// Operations of the pages that the window and its events call; each page fills in its
    /// own when it registers. Unset ones do nothing.
    struct PageOperations
    {
        std::function<void()> RefreshProfileList;
        std::function<void(int)> ConnectDefaultProfile;
        std::function<void()> RefreshScan;
        std::function<void()> MarkConnectedRows;
        std::function<void(bool)> ShowAddProfileButton;
        std::function<void(bool)> RefreshStatusDetails; ///< true: show the adapter details
    };
    PageOperations m_PageOps;

    void OnCommand(UINT nId);
    void OnAdapterEvent(LPARAM lEvent);
    void OnBringUp();
    void OnTimer(UINT nId);
    /// Brings the window state up to date after an adapter came or went.
    void FoundCard();
    void DoLayout();
    void CheckAdapterTree();
    void Exit();

    /// The adapter event callback given to the library.
    static void EventCallback(std::uint32_t event);

    const ui::ResourceModule* m_hResource;
    QIcon m_hIcon;
    QImage m_bmpBackground;
    int m_nBmpWidth = 0;
    int m_nBmpHeight = 0;
    CSystemTray m_TrayIcon;
    bool m_bTrayCreated = false;
    std::array<QIcon, 5> m_hStatusIcons;
    std::string m_strExcellent, m_strGood, m_strAverage, m_strPoor, m_strDisconnect, m_strTitle;

    CAdapter& m_Adapter;
    std::atomic<int> m_bFoundCard{0};
    AdapterList* m_pAdapterList;
    std::string m_strOemPath;
    std::string m_strOemRec;
    LinkStatus m_LinkStatus;
    int m_bIsFirstInsert = 1;

    int m_bDomainLogon = 0;
    int m_bHwPbc = 0;
    std::uint8_t m_nVendor = 0;

    int m_bWpsRunning = 0;
    int m_bWpsClosedWithoutSuccess = 0;
    std::uint8_t m_MacAddress[6] = {};
    std::uint8_t m_bLastZeroConfig = 0;
    int m_nRadioTimerCount = 0;

    QTreeWidget* m_pTree = nullptr;
    std::vector<QIcon> m_ImageList;
    std::uint32_t m_nLastAdapterCount = 0;
    /// The system-menu items the window adds (the About item, command 0x10).
    std::vector<std::pair<UINT, std::string>> m_SystemMenu;
    bool m_bRoundCorners = false;

    HWND m_hWnd = 0;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void CreatePages();
    void SetUpSkin();
    void ReadSettings();
    void ReadAdapterDetails();
    void HideWindow();
    CBmpBtn* Button(int nId) const;

    QWidget* m_pPageArea = nullptr;
    std::vector<PageEntry> m_Pages;
    int m_nPage = 0;
    bool m_bExited = false;
};

/// The main window's handle for the event callback; 0 while there is none.
extern std::atomic<HWND> g_hMainWnd;
