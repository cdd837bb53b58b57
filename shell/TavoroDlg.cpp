#include "shell/TavoroDlg.h"

#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/PrivateProfile.h"
#include "platform/SingleCopy.h"
#include "platform/System.h"
#include "platform/Trace.h"
#include "shell/DlgAbout.h"
#include "shell/MainTemplates.h"
#include "shell/Messages.h"
#include "shell/ProgramResources.h"
#include "shell/WindowPlacement.h"
#include "shell/WpsLibrary.h"
#include "ui/BmpBtn.h"
#include "ui/ResourceLibrary.h"
#include "ui/Skin.h"
#include "ui/Text.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QTreeWidget>
#include <QWindow>

#include <cstdio>
#include <cstdlib>
#include <cstring>

std::atomic<HWND> g_hMainWnd{0};

namespace {

constexpr const char* kTraySection = "System Tray";
constexpr const char* kMainSection = "Main Dialog";
constexpr UINT IDM_ABOUTBOX = 0x10;
constexpr int kTabIds[] = {1003, 1006, 1007, 1008, 1009, 1010};

// Request codes used here.
constexpr std::uint32_t REQ_MAC_ADDRESS = 1;
constexpr std::uint32_t REQ_ZERO_CONFIG = 11;
constexpr std::uint32_t REQ_DRIVER_VERSION = 14;
constexpr std::uint32_t VREQ_RADIO_STATE = 506;
constexpr std::uint32_t VREQ_RADIO_OFF = 607;

std::string FormatMac(const std::uint8_t* mac)
{
    char text[18];
    std::snprintf(text, sizeof text, "%02X:%02X:%02X:%02X:%02X:%02X", mac[0], mac[1], mac[2],
                  mac[3], mac[4], mac[5]);
    return text;
}

} // namespace

CTavoroDlg::CTavoroDlg(const ui::ResourceModule* resources, CAdapter& adapter, bool bFoundCard,
                       AdapterList* adapterList)
    : CNewPage(shell::MainTemplate()), m_hResource(resources), m_Adapter(adapter),
      m_bFoundCard(bFoundCard ? 1 : 0), m_pAdapterList(adapterList)
{
    m_hIcon = shell::LoadProgramIcon(shell::IDR_MAINFRAME);
    m_strOemPath = platform::GetProgramDirectory() + "OEM/";
    m_strOemRec = platform::GetProgramDirectory() + "OEM.rec";
    m_bmpBackground = ui::LoadMainBackground(m_hResource);
    m_nBmpWidth = m_bmpBackground.width();
    m_nBmpHeight = m_bmpBackground.height();
    m_hWnd = platform::CreateWindow(this, "");
}

CTavoroDlg::~CTavoroDlg()
{
    HWND expected = m_hWnd;
    g_hMainWnd.compare_exchange_strong(expected, 0);
    platform::DestroyWindow(m_hWnd);
}

bool CTavoroDlg::CreateMain()
{
    return Create(nullptr);
}

CBmpBtn* CTavoroDlg::Button(int nId) const
{
    return GetDlgItemAs<CBmpBtn>(nId);
}

bool CTavoroDlg::OnInitDialog()
{
    // 1. Page base.
    CNewPage::OnInitDialog();
    if (QWidget* title = GetDlgItem(9))
        title->setAutoFillBackground(false); // the drag area shows the background

    // 2. The About item of the system menu (its command does nothing).
    const std::string about = shell::LoadProgramString(shell::IDS_ABOUTBOX);
    if (!about.empty()) {
        m_SystemMenu.emplace_back(0, "");
        m_SystemMenu.emplace_back(IDM_ABOUTBOX, about);
    }

    // 3. Icons; the target of adapter events.
    setWindowIcon(m_hIcon);
    g_hMainWnd.store(m_hWnd);

    // 4. Texts and title.
    m_strExcellent = m_MultiLanguage.Translate(kTraySection, "Signal Strength : Excellent");
    m_strGood = m_MultiLanguage.Translate(kTraySection, "Signal Strength : Good");
    m_strAverage = m_MultiLanguage.Translate(kTraySection, "Signal Strength : Average");
    m_strPoor = m_MultiLanguage.Translate(kTraySection, "Signal Strength : Poor");
    m_strDisconnect = m_MultiLanguage.Translate(kTraySection, "Disconnect");
    m_strTitle =
        m_MultiLanguage.Translate(kMainSection, "Wireless Configuration Utility").substr(0, 255);
    setWindowTitle(ui::FromAnsi(m_strTitle));
    platform::SetWindowText(m_hWnd, m_strTitle);

    // 5. The single-copy channel admits 0x468 and nothing else, which is what the message
    // filter of newer systems is for; nothing to do here.

    // 6. Window shape: the top corners rounded when string 1901 says so.
    m_bRoundCorners = std::atoi(ui::LoadResourceString(m_hResource, 1901, 256).c_str()) != 0;
    if (m_nBmpWidth > 0 && m_nBmpHeight > 0) {
        if (m_bRoundCorners) {
            QPainterPath path;
            path.addRoundedRect(QRectF(0, 0, m_nBmpWidth + 1, m_nBmpHeight + 1 + 15), 7.5, 7.5);
            setMask(QRegion(path.toFillPolygon().toPolygon()));
        } else {
            setMask(QRegion(0, 0, m_nBmpWidth + 1, m_nBmpHeight + 1));
        }
        setFixedSize(m_nBmpWidth + 1, m_nBmpHeight);
    }

    // 7. The adapter's MAC address, for the wizard.
    {
        AdapterRequest request{REQ_MAC_ADDRESS, sizeof m_MacAddress, m_MacAddress};
        if (MirodelQuery(&request) != 0)
            std::memset(m_MacAddress, 0, sizeof m_MacAddress);
    }

    // 8. Settings and adapter details.
    ReadSettings();
    ReadAdapterDetails();

    // 9. Pages.
    m_pPageArea = new QWidget(this);
    m_pPageArea->setGeometry(180, 160, 550, 420);
    m_pPageArea->show();
    CreatePages();

    // 10. Skin.
    SetUpSkin();

    for (int id : kTabIds)
        if (CBmpBtn* b = Button(id))
            QObject::connect(b, &QPushButton::clicked, this,
                             [this, id] { OnCommand(static_cast<UINT>(id)); });
    for (int id : {1087, 1088, 1103, 1104})
        if (CBmpBtn* b = Button(id))
            QObject::connect(b, &QPushButton::clicked, this,
                             [this, id] { OnCommand(static_cast<UINT>(id)); });
    for (int id : {1089, 1090})
        if (auto* box = GetDlgItemAs<QCheckBox>(id))
            QObject::connect(box, &QCheckBox::clicked, this,
                             [this, id] { OnCommand(static_cast<UINT>(id)); });

    // 11. The notification-area icon.
    m_TrayIcon.SetMainWindow(this, m_hWnd);
    m_bTrayCreated = m_TrayIcon.Create(m_MultiLanguage.Translate(kTraySection, "WLAN"),
                                       m_hStatusIcons[0], shell::IDR_TRAY_MENU) != 0;
    if (!m_bTrayCreated) {
        platform::Trace("CTavoroDlg: no notification area\n");
        return true;
    }

    // 12. Adapter state and layout.
    FoundCard();
    DoLayout();

    // 13. Adapter events.
    MirodelRegisterEvents(EVENT_MASK_ALL, &CTavoroDlg::EventCallback);

    // 14. Timers.
    platform::SetTimer(m_hWnd, TIMER_POLL, 1000);
    if (m_bHwPbc)
        platform::SetTimer(m_hWnd, TIMER_HW_PBC, 1200);

    // 15.
    if (auto* box = GetDlgItemAs<QCheckBox>(1089))
        box->setChecked(true);

    // 16. The tree's images: the computer, the program, a card, a wireless adapter.
    m_pTree = GetDlgItemAs<QTreeWidget>(1107);
    m_ImageList = {shell::LoadProgramIcon(143), shell::LoadProgramIcon(128),
                   shell::LoadProgramIcon(144), shell::LoadProgramIcon(145)};

    // 17.
    m_nLastAdapterCount = 0;
    platform::SetTimer(m_hWnd, TIMER_TREE, 3000);

    // 18. Minimised and centred, not shown; start-up hides the window right after.
    setWindowState(Qt::WindowMinimized);
    shell::CenterWindow(this);
    setWindowFlag(Qt::WindowMinimizeButtonHint, true);
    return true;
}

void CTavoroDlg::CreatePages()
{
    // Pages are created here in the order Available networks, profile list, General, Status,
    // Statistics, WPS; each registers itself with RegisterPage.
}

void CTavoroDlg::RegisterPage(PageEntry entry)
{
    if (entry.pPage) {
        entry.pPage->setParent(m_pPageArea);
        entry.pPage->setGeometry(0, 0, 550, 420);
        entry.pPage->hide();
    }
    m_Pages.push_back(std::move(entry));
}

void CTavoroDlg::ShowPage(int nTabId)
{
    for (const PageEntry& entry : m_Pages)
        if (entry.pPage && entry.nTabId != nTabId)
            entry.pPage->hide();
    for (const PageEntry& entry : m_Pages)
        if (entry.pPage && entry.nTabId == nTabId)
            entry.pPage->show();
    m_nPage = nTabId;
    for (int id : kTabIds) {
        CBmpBtn* b = Button(id);
        if (!b)
            continue;
        if (id == nTabId && !b->IsPinned())
            b->SetPinned(b->Pair(CBmpBtn::Down));
        else if (id != nTabId && b->IsPinned())
            b->ClearPinned();
    }
}

void CTavoroDlg::SetUpSkin()
{
    for (int id : {1003, 1006, 1007, 1008, 1009, 1010, 1087, 1103, 1104})
        if (CBmpBtn* b = Button(id))
            b->hide();

    const ui::CaptionColours tab{0xFFFFFF, 0xFFFFFF, 0x5A5A5A, 0xFFFFFF};
    const ui::CaptionColours aboutColours{0xFFFFFF, 0xC3C3C3, 0xFFFFFF, 0xFFFFFF};
    const struct
    {
        int id;
        const char* family;
        const char* caption; // nullptr: no caption
        const ui::CaptionColours* colours;
    } skins[] = {
        {1003, "LinkInfo", "General", &tab},
        {1006, "Config", "Profile", &tab},
        {1007, "Survey", "Available Networks", &tab},
        {1008, "Profile", "Status", &tab},
        {1009, "About", "Statistics", &tab},
        {1010, "Wps", "Wi-Fi Protected Setup", &tab},
        {1087, "X", nullptr, &tab},
        {1103, "_", nullptr, &tab},
        {1104, "About2", "About", &aboutColours},
        {1088, "btn_save", "Close", &tab},
    };
    for (const auto& skin : skins) {
        CBmpBtn* b = Button(skin.id);
        if (!b)
            continue;
        const QString caption =
            skin.caption ? ui::FromAnsi(m_MultiLanguage.Translate(kMainSection, skin.caption))
                         : QString();
        // The General tab's library bitmaps are keyed by their top-left pixel.
        const COLORREF key = skin.id == 1003 ? 0 : ui::kKeyRed;
        ui::SkinButton(*b, skin.family, m_hResource, caption, *skin.colours, key);
    }
    if (auto* box = GetDlgItemAs<QCheckBox>(1089))
        box->setText(ui::FromAnsi(m_MultiLanguage.Translate(kMainSection, " Show Tray Icon")));
    m_hStatusIcons = ui::LoadStatusIcons(m_hResource);
}

void CTavoroDlg::ReadSettings()
{
    auto read = [this](const char* section, const char* key, const char* def) {
        return platform::GetPrivateProfileString(section, key, def, 10, m_strOemRec);
    };
    m_bDomainLogon =
        platform::OsGeneration == 3 && read("DomainLogon", "Enable", "FALSE") == "TRUE";
    m_bHwPbc = read("WPSMode", "SupportHWPbc", "FALSE") == "TRUE";
    m_nVendor = static_cast<std::uint8_t>(std::atoi(read("Advanced", "Vendor", "0").c_str()));
}

void CTavoroDlg::ReadAdapterDetails()
{
    m_LinkStatus.strDriverVersion.clear();
    if (m_Adapter.IsAdapterOpen()) {
        char version[33] = {};
        AdapterRequest request{REQ_DRIVER_VERSION, sizeof version - 1, version};
        if (m_Adapter.SendQuery(request) == 0)
            m_LinkStatus.strDriverVersion.assign(version, strnlen(version, sizeof version - 1));
    }
    m_LinkStatus.strMacAddress = "00:00:00:00:00:00";
    if (m_Adapter.IsAdapterOpen()) {
        std::uint8_t mac[6] = {};
        AdapterRequest request{REQ_MAC_ADDRESS, sizeof mac, mac};
        if (m_Adapter.SendQuery(request) == 0)
            m_LinkStatus.strMacAddress = FormatMac(mac);
    }
}

void CTavoroDlg::DoLayout()
{
    std::uint8_t zeroConfig = 0;
    if ((platform::OsGeneration == 2 || platform::OsGeneration == 4) && m_Adapter.IsAdapterOpen())
        if (m_Adapter.QueryZeroConfig(zeroConfig) != 0)
            zeroConfig = 0;

    const struct
    {
        int id;
        UINT first;
    } places[] = {{1003, 1906}, {1006, 1910}, {1007, 1914}, {1008, 1918},
                  {1009, 1922}, {1010, 1930}, {1087, 1926}};
    for (const auto& place : places) {
        CBmpBtn* b = Button(place.id);
        if (!b)
            continue;
        int v[4];
        for (int i = 0; i < 4; ++i)
            v[i] = std::atoi(
                ui::LoadResourceString(m_hResource, place.first + static_cast<UINT>(i), 10)
                    .c_str());
        const int left = v[0], right = v[1], top = v[2], bottom = v[3];
        // A library without the placement keeps the template's place.
        if (right > left && bottom > top)
            b->setGeometry(left, top, right - left, bottom - top);
    }
    for (int id : {1003, 1006, 1007, 1008, 1009, 1010, 1087, 1103, 1104})
        if (CBmpBtn* b = Button(id))
            b->show();
    for (int id : {1006, 1010, 1007, 1008, 1009})
        if (CBmpBtn* b = Button(id))
            b->setEnabled(zeroConfig == 0);
    if (m_PageOps.ShowAddProfileButton)
        m_PageOps.ShowAddProfileButton(zeroConfig == 0);
    ShowPage(1003);
}

void CTavoroDlg::FoundCard()
{
    if (!m_bFoundCard.load()) {
        if (m_PageOps.RefreshStatusDetails)
            m_PageOps.RefreshStatusDetails(false);
        m_TrayIcon.Remove();
        return;
    }
    platform::Trace("if(m_bFoundCard)\n");
    if (m_bIsFirstInsert) {
        platform::Trace("if(m_bIsFirstInsert)\n");
        if (platform::OsGeneration == 2 || platform::OsGeneration == 4) {
            std::uint8_t status = 0;
            if (m_Adapter.QueryZeroConfig(status) != 0)
                status = 0;
            for (int pass = 0; status != 0 && pass < 2; ++pass) {
                platform::Trace("while(btStatus)\n");
                if (EnableZeroConfigService() == 0) {
                    std::uint8_t off = 0;
                    AdapterRequest request{REQ_ZERO_CONFIG, 1, &off};
                    MirodelSet(&request);
                }
                platform::Sleep(1000);
                if (pass == 0 && m_Adapter.IsAdapterOpen() &&
                    m_Adapter.QueryZeroConfig(status) != 0)
                    status = 0;
            }
            m_bIsFirstInsert = 0;
        }
    }
    platform::Sleep(1500);
    if (m_PageOps.ConnectDefaultProfile)
        m_PageOps.ConnectDefaultProfile(0);
    if (m_PageOps.RefreshProfileList)
        m_PageOps.RefreshProfileList();
    if (m_PageOps.RefreshScan)
        m_PageOps.RefreshScan();
    if (m_PageOps.RefreshStatusDetails)
        m_PageOps.RefreshStatusDetails(true);
    if (!m_TrayIcon.Modify(m_hStatusIcons[1], m_MultiLanguage.Translate(kTraySection, "WLAN")))
        m_TrayIcon.AddAgain(m_hStatusIcons[0]);
    std::uint32_t radio = 0;
    if (const DWORD status = CAdapter::VendorQuery(m_nVendor, VREQ_RADIO_STATE, radio);
        status != 0) {
        platform::Trace("GetRadioOff failed %d\n", static_cast<int>(status));
        radio = 0;
    }
    if (auto* box = GetDlgItemAs<QCheckBox>(1090))
        box->setChecked(radio != 0);
}

void CTavoroDlg::OnAdapterEvent(LPARAM lEvent)
{
    switch (static_cast<std::uint32_t>(lEvent)) {
    case EVENT_DEVICE_INSERT:
        platform::Trace("EVENT_DEVICE_INSERT\n");
        m_bFoundCard.store(1);
        platform::Sleep(2000);
        m_Adapter.SetAdapterOpen(MirodelOpenAdapter("", MIRODEL_OPEN_REOPEN) == 0);
        FoundCard();
        platform::SetTimer(m_hWnd, TIMER_HW_PBC, 1200);
        break;
    case EVENT_DEVICE_LEAVE:
        platform::Trace("EVENT_DEVICE_LEAVE\n");
        m_LinkStatus.nLinkState = LINK_DISCONNECTED;
        m_bFoundCard.store(0);
        m_bWpsRunning = 0;
        shell::CloseWpsDialog();
        platform::KillTimer(m_hWnd, TIMER_HW_PBC);
        platform::KillTimer(m_hWnd, TIMER_RADIO);
        m_Adapter.SetAdapterOpen(false);
        MirodelCloseAdapter();
        hide();
        FoundCard();
        break;
    case EVENT_DEVICE_CONNECT:
        platform::Trace("EVENT_DEVICE_CONNECT\n");
        m_LinkStatus.nLinkState = LINK_CONNECTED;
        m_LinkStatus.bConnected = 1;
        if (m_PageOps.MarkConnectedRows)
            m_PageOps.MarkConnectedRows();
        break;
    case EVENT_DEVICE_DISCONNECT:
        platform::Trace("EVENT_DEVICE_DISCONNECT\n");
        m_LinkStatus.nLinkState = LINK_DISCONNECTED;
        if (m_PageOps.MarkConnectedRows)
            m_PageOps.MarkConnectedRows();
        m_LinkStatus.bConnected = 0;
        m_TrayIcon.Modify(m_hStatusIcons[0], m_strDisconnect);
        break;
    case EVENT_DEVICE_ADDRCHG:
        platform::Trace("EVENT_DEVICE_ADDRCHG\n");
        break;
    default:
        break;
    }
}

void CTavoroDlg::OnBringUp()
{
    if (!m_bFoundCard.load())
        return;
    platform::Sleep(500);
    if (CBmpBtn* general = Button(1003))
        general->setFocus();
    ShowPage(1003);
    shell::ShowInFront(this);
    shell::CenterWindow(this);
    platform::Trace("CTavoroDlg::OnBringUp() page %d\n", m_nPage);
}

void CTavoroDlg::HideWindow()
{
    // Without a notification area a hidden window could not be brought back from the
    // desktop: closing it ends the program instead.
    if (!m_bTrayCreated) {
        Exit();
        return;
    }
    hide();
    m_bWpsRunning = 0;
    shell::CloseWpsDialog();
}

void CTavoroDlg::OnCommand(UINT nId)
{
    auto showTab = [this](int tab) {
        const PageEntry* page = nullptr;
        for (const PageEntry& entry : m_Pages)
            if (entry.nTabId == tab)
                page = &entry;
        if (page && page->beforeShow)
            page->beforeShow();
        ShowPage(tab);
        if (page && page->afterShow)
            page->afterShow();
    };
    switch (nId) {
    case 1003:
    case 1006:
    case 1007:
    case 1008:
    case 1009:
    case 1010:
        showTab(static_cast<int>(nId));
        break;
    case 1087:
    case 1088:
    case platform::IDCANCEL:
        HideWindow();
        break;
    case platform::IDOK:
        break;
    case 1103:
        showMinimized();
        break;
    case 1104: {
        CDlgAbout about(this);
        platform::RunModal(about);
        break;
    }
    case 1089:
        if (auto* box = GetDlgItemAs<QCheckBox>(1089)) {
            if (box->isChecked())
                m_TrayIcon.AddAgain(m_hStatusIcons[0]);
            else
                m_TrayIcon.Remove();
        }
        break;
    case 1090:
        if (auto* box = GetDlgItemAs<QCheckBox>(1090)) {
            CAdapter::VendorSetWord(m_nVendor, VREQ_RADIO_OFF, box->isChecked() ? 1 : 0);
            if (m_PageOps.RefreshScan)
                m_PageOps.RefreshScan();
            m_nRadioTimerCount = 0;
            platform::SetTimer(m_hWnd, TIMER_RADIO, 3000);
        }
        break;
    case ID_TRAY_OPEN:
        ShowPage(1003);
        shell::ShowInFront(this);
        shell::CenterWindow(this);
        break;
    case ID_TRAY_EXIT:
        Exit();
        break;
    default:
        break;
    }
}

void CTavoroDlg::OnTimer(UINT nId)
{
    switch (nId) {
    case TIMER_POLL:
        // The link status poll, the zero-configuration watch and the Status page's clock
        // run here.
        break;
    case TIMER_TREE:
        CheckAdapterTree();
        break;
    case TIMER_RADIO:
        if (m_nRadioTimerCount > 5)
            break;
        if (auto* box = GetDlgItemAs<QCheckBox>(1090); box && !box->isChecked() &&
                                                       m_LinkStatus.nLinkState != LINK_CONNECTED &&
                                                       m_PageOps.ConnectDefaultProfile)
            m_PageOps.ConnectDefaultProfile(0);
        ++m_nRadioTimerCount;
        break;
    default:
        break;
    }
}

void CTavoroDlg::CheckAdapterTree()
{
    if (!m_pAdapterList || !m_pTree)
        return;
    const std::uint32_t count = m_pAdapterList->count;
    if (count == m_nLastAdapterCount)
        return;
    m_nLastAdapterCount = count;
    m_pTree->clear();
    auto* root = new QTreeWidgetItem(m_pTree);
    root->setText(0, QStringLiteral("My Computer"));
    root->setData(0, Qt::UserRole, -1);
    root->setIcon(0, m_ImageList[0]);
    const std::uint32_t shown = std::min<std::uint32_t>(count, MIRODEL_MAX_ADAPTERS);
    for (std::uint32_t i = 0; i < shown; ++i) {
        auto* item = new QTreeWidgetItem(root);
        const char* name = m_pAdapterList->names[i];
        item->setText(0, ui::FromAnsi(std::string(name, strnlen(name, MIRODEL_ADAPTER_NAME_SIZE))));
        item->setData(0, Qt::UserRole, static_cast<int>(i));
        item->setIcon(0, m_ImageList[3]);
    }
    root->setExpanded(true);
}

void CTavoroDlg::Exit()
{
    if (!m_bWpsRunning)
        shell::CloseWpsDialog();
    for (UINT id = TIMER_POLL; id <= TIMER_RADIO; ++id)
        platform::KillTimer(m_hWnd, id);
    shell::CloseWpsDialog();
    MirodelUnregisterEvents();
    MirodelCloseAdapter();
    m_bExited = true;
    platform::PostMessage(m_hWnd, platform::WM_CLOSE, 0, 0);
}

LRESULT CTavoroDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ADAPTER_EVENT:
        OnAdapterEvent(lParam);
        return 0;
    case platform::WM_BRING_UP:
        OnBringUp();
        return 0;
    case platform::WM_TIMER:
        OnTimer(static_cast<UINT>(wParam));
        return 0;
    case WM_COMMAND:
        OnCommand(static_cast<UINT>(wParam & 0xFFFF));
        return 0;
    case WM_SYSCOMMAND:
        return 0; // the About item does nothing
    default:
        return 0;
    }
}

void CTavoroDlg::EventCallback(std::uint32_t event)
{
    if (const HWND window = g_hMainWnd.load())
        platform::SendMessage(window, WM_ADAPTER_EVENT, 0, static_cast<LPARAM>(event));
}

void CTavoroDlg::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (isMinimized()) {
        const QRect area = rect();
        const QSize size(32, 32);
        m_hIcon.paint(&painter,
                      QRect(area.center() - QPoint(size.width() / 2, size.height() / 2), size));
        return;
    }
    painter.fillRect(rect(), Qt::black);
    if (!m_bmpBackground.isNull())
        painter.drawImage(rect(), m_bmpBackground);
}

void CTavoroDlg::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        if (QWidget* title = GetDlgItem(9);
            title && title->geometry().contains(event->position().toPoint())) {
            if (QWindow* window = windowHandle())
                window->startSystemMove();
        }
    }
    CNewPage::mousePressEvent(event);
}

void CTavoroDlg::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        OnCommand(platform::IDCANCEL);
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        return;
    CNewPage::keyPressEvent(event);
}

void CTavoroDlg::closeEvent(QCloseEvent* event)
{
    // A close from the desktop (window menu, Alt+F4) hides the window like its X box.
    event->ignore();
    if (!m_bExited)
        OnCommand(1087);
}
