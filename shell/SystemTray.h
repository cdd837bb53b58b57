#pragma once
/// CSystemTray: the program's icon in the notification area. A hidden window of its own takes
/// the icon's mouse messages: a double-click brings the main window up, a right-click opens
/// the two-item menu whose command goes to the main window.
#include "platform/Types.h"
#include "platform/Window.h"
#include "shell/NotifyIcon.h"
#include "ui/MultiLanguage.h"

#include <QIcon>

#include <string>

class QWidget;

constexpr UINT WM_ICON_NOTIFY = 0x46F;
constexpr UINT ID_TRAY_OPEN = 32771;
constexpr UINT ID_TRAY_EXIT = 32772;

class CSystemTray final : public platform::MessageTarget
{
public:
    CSystemTray();
    ~CSystemTray() override;
    CSystemTray(const CSystemTray&) = delete;
    CSystemTray& operator=(const CSystemTray&) = delete;

    /// The window that the icon stands for and that gets the menu's commands.
    void SetMainWindow(QWidget* window, HWND hWnd);

    /// Creates the hidden window and adds the icon; non-zero on success.
    int Create(const std::string& tip, const QIcon& icon, UINT id);
    /// Sets icon and tooltip; non-zero on success (zero when the icon is not there).
    int Modify(const QIcon& icon, const std::string& tip);
    /// Adds the icon again with the tooltip "WLAN Scanning" (translated).
    int AddAgain(const QIcon& icon);
    int Remove();

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    HWND m_hWnd = 0;
    const shell::NotifyIconData& Data() const { return m_nid; }

private:
    LRESULT OnTrayNotification(WPARAM wParam, LPARAM lParam);
    void Fill(const QIcon& icon, UINT id, const std::string& tip);

    shell::NotifyIconData m_nid;
    CMultiLanguage m_MultiLanguage;
    QWidget* m_pMainWnd = nullptr;
    HWND m_hMainWnd = 0;
};
