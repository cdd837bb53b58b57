// The notification-area icon: its menu, the double-click, the tooltip limit, and a desktop
// without a notification area.
#include "ShellTestSupport.h"

#include "platform/Window.h"
#include "shell/Messages.h"
#include "shell/SystemTray.h"

#include <QCheckBox>

using namespace shelltest;
using fakes::FakeMirodel;

namespace {

class SystemTrayTest : public ShellTest
{
protected:
    void rightClick(CTavoroDlg* dlg) const
    {
        platform::SendMessage(dlg->m_TrayIcon.m_hWnd, WM_ICON_NOTIFY, 139, shell::WM_RBUTTONUP);
    }
};

TEST_F(SystemTrayTest, MenuOpenShowsGeneralAndExitEnds)
{
    CTavoroDlg* dlg = startToMainWindow();
    dlg->OnCommand(1009);
    tray.menuAnswer = ID_TRAY_OPEN;
    rightClick(dlg);
    ASSERT_EQ(tray.lastMenu.size(), 2u);
    EXPECT_EQ(tray.lastMenu[0].text, "Open");
    EXPECT_EQ(tray.lastMenu[0].command, ID_TRAY_OPEN);
    EXPECT_EQ(tray.lastMenu[1].text, "Exit");
    EXPECT_EQ(tray.lastMenu[1].command, ID_TRAY_EXIT);
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_EQ(dlg->CurrentPage(), 1003);

    tray.menuAnswer = ID_TRAY_EXIT;
    rightClick(dlg);
    EXPECT_EQ(FakeMirodel::instance().count("MirodelUnregisterEvents"), 1u);
    const platform::LoopEnd end = platform::RunMessageLoop();
    EXPECT_TRUE(end.closed);
    EXPECT_EQ(end.window, dlg->m_hWnd);
}

TEST_F(SystemTrayTest, MenuLeftWithoutChoiceDoesNothing)
{
    CTavoroDlg* dlg = startToMainWindow();
    tray.menuAnswer = 0;
    rightClick(dlg);
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(FakeMirodel::instance().count("MirodelUnregisterEvents"), 0u);
}

TEST_F(SystemTrayTest, DoubleClickRestoresWithoutChangingThePage)
{
    CTavoroDlg* dlg = startToMainWindow();
    dlg->OnCommand(1008);
    dlg->OnCommand(ID_TRAY_OPEN);
    dlg->OnCommand(1008);
    dlg->showMinimized();
    EXPECT_EQ(
        platform::SendMessage(dlg->m_TrayIcon.m_hWnd, WM_ICON_NOTIFY, 139, shell::WM_LBUTTONDBLCLK),
        1);
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_FALSE(dlg->isMinimized());
    EXPECT_EQ(dlg->CurrentPage(), 1008);
}

TEST_F(SystemTrayTest, MessagesForAnotherIconAreNotHandled)
{
    CTavoroDlg* dlg = startToMainWindow();
    EXPECT_EQ(
        platform::SendMessage(dlg->m_TrayIcon.m_hWnd, WM_ICON_NOTIFY, 140, shell::WM_LBUTTONDBLCLK),
        0);
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(
        platform::SendMessage(dlg->m_TrayIcon.m_hWnd, WM_ICON_NOTIFY, 139, shell::WM_LBUTTONUP), 1);
}

TEST_F(SystemTrayTest, ShowTrayIconBoxRemovesAndAddsTheIcon)
{
    CTavoroDlg* dlg = startToMainWindow();
    auto* box = dlg->GetDlgItemAs<QCheckBox>(1089);
    box->setChecked(false);
    dlg->OnCommand(1089);
    EXPECT_FALSE(tray.icon.has_value());
    box->setChecked(true);
    dlg->OnCommand(1089);
    ASSERT_TRUE(tray.icon.has_value());
    EXPECT_EQ(tray.icon->szTip, "WLAN Scanning");
}

TEST_F(SystemTrayTest, TooltipIsCutTo127Bytes)
{
    CSystemTray icon;
    ASSERT_EQ(icon.Create(std::string(300, 'x'), QIcon(), 139), 1);
    EXPECT_EQ(tray.icon->szTip.size(), 127u);
    EXPECT_EQ(icon.Modify(QIcon(), std::string(200, 'y')), 1);
    EXPECT_EQ(tray.icon->szTip, std::string(127, 'y'));
}

TEST_F(SystemTrayTest, DesktopWithoutNotificationAreaShowsTheWindowAndCloseEnds)
{
    tray.available = false;
    CTavoroDlg* dlg = startToMainWindow();
    EXPECT_FALSE(dlg->m_bTrayCreated);
    // Initialisation stopped at the icon: no events, no timers.
    EXPECT_EQ(FakeMirodel::instance().count("MirodelRegisterEvents"), 0u);
    EXPECT_FALSE(platform::TimerInterval(dlg->m_hWnd, TIMER_POLL).has_value());
    EXPECT_FALSE(platform::TimerInterval(dlg->m_hWnd, TIMER_TREE).has_value());
    // The user still sees the program, and closing its window ends it.
    EXPECT_TRUE(dlg->isVisible());
    dlg->OnCommand(1087);
    EXPECT_EQ(FakeMirodel::instance().count("MirodelCloseAdapter"), 1u);
    const platform::LoopEnd end = platform::RunMessageLoop();
    EXPECT_TRUE(end.closed);
    EXPECT_EQ(end.window, dlg->m_hWnd);
}

} // namespace
