#include "shell/SystemTray.h"

#include "platform/Trace.h"
#include "shell/Messages.h"
#include "shell/ProgramResources.h"
#include "shell/WindowPlacement.h"
#include "ui/Text.h"

#include <QCursor>
#include <QWidget>

namespace {
constexpr const char* kDummyTitle = "CSystemTray Dummy Window";
constexpr const char* kSection = "System Tray";
} // namespace

CSystemTray::CSystemTray() = default;

CSystemTray::~CSystemTray()
{
    if (m_hWnd) {
        Remove();
        platform::DestroyWindow(m_hWnd);
    }
}

void CSystemTray::SetMainWindow(QWidget* window, HWND hWnd)
{
    m_pMainWnd = window;
    m_hMainWnd = hWnd;
}

void CSystemTray::Fill(const QIcon& icon, UINT id, const std::string& tip)
{
    m_nid.hWnd = m_hWnd;
    m_nid.uID = id;
    m_nid.uFlags = shell::NIF_MESSAGE | shell::NIF_ICON | shell::NIF_TIP;
    m_nid.uCallbackMessage = WM_ICON_NOTIFY;
    m_nid.hIcon = icon;
    m_nid.szTip = tip.substr(0, shell::kMaxTipLength);
}

int CSystemTray::Create(const std::string& tip, const QIcon& icon, UINT id)
{
    if (!m_hWnd)
        m_hWnd = platform::CreateWindow(this, kDummyTitle);
    if (!m_hWnd)
        return 0;
    Fill(icon, id, tip);
    return shell::CurrentNotifyIconService().Add(m_nid) ? 1 : 0;
}

int CSystemTray::Modify(const QIcon& icon, const std::string& tip)
{
    m_nid.uFlags = shell::NIF_ICON | shell::NIF_TIP;
    m_nid.hIcon = icon;
    m_nid.szTip = tip.substr(0, shell::kMaxTipLength);
    return shell::CurrentNotifyIconService().Modify(m_nid) ? 1 : 0;
}

int CSystemTray::AddAgain(const QIcon& icon)
{
    const std::string tip = m_MultiLanguage.Translate(kSection, "WLAN") + " " +
                            m_MultiLanguage.Translate(kSection, "Scanning");
    Fill(icon, shell::IDR_TRAY_MENU, tip);
    return shell::CurrentNotifyIconService().Add(m_nid) ? 1 : 0;
}

int CSystemTray::Remove()
{
    m_nid.uFlags = 0;
    return shell::CurrentNotifyIconService().Delete(m_nid) ? 1 : 0;
}

LRESULT CSystemTray::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_ICON_NOTIFY)
        return OnTrayNotification(wParam, lParam);
    return 0;
}

LRESULT CSystemTray::OnTrayNotification(WPARAM wParam, LPARAM lParam)
{
    if (wParam != m_nid.uID)
        return 0;
    const auto mouse = static_cast<UINT>(lParam);
    if (mouse == shell::WM_LBUTTONDBLCLK) {
        if (m_pMainWnd) {
            shell::ShowInFront(m_pMainWnd);
            shell::CenterWindow(m_pMainWnd);
        }
    } else if (mouse == shell::WM_RBUTTONUP) {
        std::vector<shell::MenuItem> menu = shell::LoadProgramMenu(shell::IDR_TRAY_MENU);
        if (menu.size() < 2)
            return 1;
        // The menu's own texts give way to their translations.
        std::vector<shell::NotifyIconService::PopupItem> items = {
            {ID_TRAY_OPEN, ui::FromAnsi(m_MultiLanguage.Translate(kSection, "Open"))},
            {ID_TRAY_EXIT, ui::FromAnsi(m_MultiLanguage.Translate(kSection, "Exit"))},
        };
        const QPoint position = QCursor::pos();
        if (m_pMainWnd) {
            m_pMainWnd->raise();
            m_pMainWnd->activateWindow();
        }
        const UINT command =
            shell::CurrentNotifyIconService().TrackPopupMenu(items, position, m_pMainWnd);
        if (command)
            platform::SendMessage(m_hMainWnd, WM_COMMAND, command, 0);
    }
    return 1;
}
