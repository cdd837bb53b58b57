#include "shell/NotifyIcon.h"

#include "platform/Window.h"
#include "ui/Text.h"

#include <QAction>
#include <QMenu>
#include <QSystemTrayIcon>

#include <map>
#include <memory>
#include <utility>

namespace shell {

namespace {

class QtNotifyIconService final : public NotifyIconService
{
public:
    bool Add(const NotifyIconData& data) override
    {
        const auto key = std::make_pair(data.hWnd, data.uID);
        if (!QSystemTrayIcon::isSystemTrayAvailable() || m_icons.count(key))
            return false;
        auto icon = std::make_unique<QSystemTrayIcon>();
        Apply(*icon, data);
        const HWND owner = data.hWnd;
        const UINT id = data.uID;
        const UINT message = (data.uFlags & NIF_MESSAGE) ? data.uCallbackMessage : 0;
        QObject::connect(icon.get(), &QSystemTrayIcon::activated,
                         [owner, id, message](QSystemTrayIcon::ActivationReason reason) {
                             if (!message)
                                 return;
                             UINT mouse = 0;
                             switch (reason) {
                             case QSystemTrayIcon::DoubleClick:
                                 mouse = WM_LBUTTONDBLCLK;
                                 break;
                             case QSystemTrayIcon::Context:
                                 mouse = WM_RBUTTONUP;
                                 break;
                             case QSystemTrayIcon::Trigger:
                                 mouse = WM_LBUTTONUP;
                                 break;
                             default:
                                 return;
                             }
                             // Posted: the handler may run a menu, which must not nest in
                             // the tray's own signal.
                             platform::PostMessage(owner, message, id, static_cast<LPARAM>(mouse));
                         });
        icon->show();
        m_icons.emplace(key, std::move(icon));
        return true;
    }

    bool Modify(const NotifyIconData& data) override
    {
        const auto it = m_icons.find(std::make_pair(data.hWnd, data.uID));
        if (it == m_icons.end())
            return false;
        Apply(*it->second, data);
        return true;
    }

    bool Delete(const NotifyIconData& data) override
    {
        return m_icons.erase(std::make_pair(data.hWnd, data.uID)) != 0;
    }

    UINT TrackPopupMenu(const std::vector<PopupItem>& items, QPoint position,
                        QWidget* owner) override
    {
        QMenu menu(owner);
        for (const PopupItem& item : items)
            menu.addAction(item.text)->setData(item.command);
        const QAction* chosen = menu.exec(position);
        return chosen ? chosen->data().toUInt() : 0;
    }

private:
    static void Apply(QSystemTrayIcon& icon, const NotifyIconData& data)
    {
        if (data.uFlags & NIF_ICON)
            icon.setIcon(data.hIcon);
        if (data.uFlags & NIF_TIP)
            icon.setToolTip(ui::FromAnsi(data.szTip.substr(0, kMaxTipLength)));
    }

    std::map<std::pair<HWND, UINT>, std::unique_ptr<QSystemTrayIcon>> m_icons;
};

NotifyIconService* g_service = nullptr;

} // namespace

NotifyIconService& CurrentNotifyIconService()
{
    if (g_service)
        return *g_service;
    static QtNotifyIconService qtService;
    return qtService;
}

void SetNotifyIconService(NotifyIconService* service)
{
    g_service = service;
}

} // namespace shell
