#pragma once
/// The desktop's notification area: add, modify and delete an icon that reports mouse
/// messages to a window, and the pop-up menu tracked over it. The program installs nothing:
/// the default service is Qt's system tray; tests install a double.
#include "platform/Types.h"

#include <QIcon>
#include <QPoint>
#include <QString>

#include <string>
#include <vector>

class QWidget;

namespace shell {

// Which fields of the record an add or modify uses.
constexpr UINT NIF_MESSAGE = 0x1;
constexpr UINT NIF_ICON = 0x2;
constexpr UINT NIF_TIP = 0x4;

// Mouse messages the icon reports in lParam of its callback message.
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
constexpr UINT WM_RBUTTONUP = 0x0205;

/// Longest tooltip, in bytes.
constexpr std::size_t kMaxTipLength = 127;

struct NotifyIconData
{
    HWND hWnd = 0; ///< receives uCallbackMessage with wParam uID and lParam the mouse message
    UINT uID = 0;
    UINT uFlags = 0;
    UINT uCallbackMessage = 0;
    QIcon hIcon;
    std::string szTip;
};

class NotifyIconService
{
public:
    virtual ~NotifyIconService() = default;
    /// Adds the icon (hWnd, uID); false when the desktop has no notification area or the icon
    /// is already there.
    virtual bool Add(const NotifyIconData& data) = 0;
    /// Changes the fields named by uFlags; false when the icon is not there.
    virtual bool Modify(const NotifyIconData& data) = 0;
    virtual bool Delete(const NotifyIconData& data) = 0;

    struct PopupItem
    {
        UINT command = 0;
        QString text;
    };
    /// Shows the pop-up at `position` for `owner` until the user picks an item or leaves it;
    /// returns the command picked, 0 for none.
    virtual UINT TrackPopupMenu(const std::vector<PopupItem>& items, QPoint position,
                                QWidget* owner) = 0;
};

/// The service in use (the Qt system tray unless a test installed another).
NotifyIconService& CurrentNotifyIconService();
/// nullptr puts the Qt system tray back.
void SetNotifyIconService(NotifyIconService* service);

} // namespace shell
