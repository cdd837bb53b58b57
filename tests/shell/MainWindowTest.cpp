// The main window: initialisation, background and shape, the adapter tree, the messages from
// a second copy and from the adapter events, and Exit.
#include "ShellTestSupport.h"

#include "platform/SingleCopy.h"
#include "platform/Window.h"
#include "shell/Messages.h"
#include "ui/BmpBtn.h"

#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QTreeWidget>

using namespace shelltest;
using fakes::FakeMirodel;

namespace {

class MainWindowTest : public ShellTest
{
};

TEST_F(MainWindowTest, StartsHiddenWithTrayIconTimersAndEvents)
{
    CTavoroDlg* dlg = startToMainWindow();
    ASSERT_NE(dlg, nullptr);
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_TRUE(dlg->m_bTrayCreated);
    ASSERT_TRUE(tray.icon.has_value());
    // Added with "WLAN", then the found-card procedure sets Status1 and "WLAN".
    EXPECT_EQ(tray.log, (std::vector<std::string>{"add WLAN", "modify WLAN"}));
    EXPECT_EQ(tray.icon->uID, 139u);
    EXPECT_EQ(tray.icon->uCallbackMessage, WM_ICON_NOTIFY);
    EXPECT_EQ(platform::TimerInterval(dlg->m_hWnd, TIMER_POLL), 1000u);
    EXPECT_EQ(platform::TimerInterval(dlg->m_hWnd, TIMER_TREE), 3000u);
    EXPECT_FALSE(platform::TimerInterval(dlg->m_hWnd, TIMER_HW_PBC).has_value());
    const auto registrations = FakeMirodel::instance().calls("MirodelRegisterEvents");
    ASSERT_EQ(registrations.size(), 1u);
    EXPECT_EQ(registrations[0].code, 31u);
    EXPECT_EQ(dlg->CurrentPage(), 1003);
    EXPECT_TRUE(dlg->GetDlgItemAs<CBmpBtn>(1003)->IsPinned());
    EXPECT_FALSE(dlg->GetDlgItemAs<CBmpBtn>(1006)->IsPinned());
    EXPECT_TRUE(dlg->GetDlgItemAs<QCheckBox>(1089)->isChecked());
    EXPECT_EQ(dlg->PageArea()->geometry(), QRect(180, 160, 550, 420));
    EXPECT_EQ(platform::FindWindow("Wireless Configuration Utility"), dlg->m_hWnd);
    // The found-card procedure's pause follows the selection's.
    EXPECT_EQ(clock.pauseLengths(), (std::vector<std::uint32_t>{1500, 3000, 1500}));
}

TEST_F(MainWindowTest, HardwareButtonFlagStartsItsTimer)
{
    dir.write("OEM.rec", "[NICInfo]\nNum=1\nName1=2101\n[WPSMode]\nSupportHWPbc=TRUE\n");
    FakeMirodel::instance().setAdapters({kUsbAdapter});
    app = std::make_unique<CTavoroApp>(dir.path());
    ASSERT_TRUE(app->StartUp() && app->RunSelection() && app->CreateMainWindow());
    EXPECT_EQ(platform::TimerInterval(app->MainWindow()->m_hWnd, TIMER_HW_PBC), 1200u);
}

TEST_F(MainWindowTest, TabsArePlacedFromTheLibraryStringsAndPinned)
{
    CTavoroDlg* dlg = startToMainWindow();
    // SkinLayout of the default library: General 20,120 88x38; WPS 549,120 181x38.
    EXPECT_EQ(dlg->GetDlgItem(1003)->geometry(), QRect(20, 120, 88, 38));
    EXPECT_EQ(dlg->GetDlgItem(1010)->geometry(), QRect(549, 120, 181, 38));
    dlg->OnCommand(1008);
    EXPECT_EQ(dlg->CurrentPage(), 1008);
    int pinned = 0;
    for (int id : {1003, 1006, 1007, 1008, 1009, 1010})
        pinned += dlg->GetDlgItemAs<CBmpBtn>(id)->IsPinned() ? 1 : 0;
    EXPECT_EQ(pinned, 1);
    EXPECT_TRUE(dlg->GetDlgItemAs<CBmpBtn>(1008)->IsPinned());
}

TEST_F(MainWindowTest, RegisteredPageIsShownByItsTab)
{
    CTavoroDlg* dlg = startToMainWindow();
    auto* status = new QWidget;
    auto* general = new QWidget;
    std::vector<std::string> steps;
    dlg->RegisterPage(
        {1008, status, [&] { steps.push_back("before"); }, [&] { steps.push_back("after"); }});
    dlg->RegisterPage({1003, general, {}, {}});
    EXPECT_EQ(status->parentWidget(), dlg->PageArea());
    EXPECT_EQ(status->geometry(), QRect(0, 0, 550, 420));
    dlg->show();
    dlg->OnCommand(1008);
    EXPECT_TRUE(status->isVisible());
    EXPECT_FALSE(general->isVisible());
    EXPECT_EQ(steps, (std::vector<std::string>{"before", "after"}));
    dlg->OnCommand(1003);
    EXPECT_FALSE(status->isVisible());
    EXPECT_TRUE(general->isVisible());
}

TEST_F(MainWindowTest, BackgroundFallbacksAndCorners)
{
    const struct
    {
        const char* name;
        bool mainBmp; // OEM/Main.bmp of 300 x 200
        const char* mainId;
        bool library; // the default Sorvik.dll is there
        QSize size;   // window size
        bool rounded;
    } cases[] = {
        {"Main.bmp wins", true, "1200", true, {301, 200}, true},
        {"invalid id falls back to 1200", false, "4711", true, {751, 640}, true},
        {"empty id is 1200", false, "", true, {751, 640}, true},
        {"no library: string 1901 missing, square", true, "1200", false, {301, 200}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(dir / "OEM");
        if (c.mainBmp) {
            std::filesystem::create_directories(dir / "OEM");
            QImage image(300, 200, QImage::Format_RGB32);
            image.fill(Qt::darkGray);
            ASSERT_TRUE(
                image.save(QString::fromStdString((dir / "OEM" / "Main.bmp").string()), "BMP"));
        }
        if (!c.library)
            std::filesystem::remove(dir / "Sorvik.dll");
        writeOemRec(std::string("Num=OPEN\nMain=") + c.mainId + "\n");
        FakeMirodel::instance().reset();
        FakeMirodel::instance().setAdapters({kUsbAdapter});
        app = std::make_unique<CTavoroApp>(dir.path());
        CAdapter adapter;
        CTavoroDlg dlg(app->m_Resources.Handle(), adapter, true, &g_AdapterList);
        ASSERT_TRUE(dlg.CreateMain());
        EXPECT_EQ(dlg.size(), c.size);
        EXPECT_EQ(dlg.m_bRoundCorners, c.rounded);
        EXPECT_EQ(dlg.mask().contains(QPoint(0, 0)), !c.rounded);
        EXPECT_TRUE(dlg.mask().contains(QPoint(c.size.width() / 2, 1)));
        EXPECT_TRUE(dlg.mask().contains(QPoint(0, c.size.height() - 1))); // bottom corners square
        app.reset();
        if (!c.library)
            std::filesystem::copy_file(QUELMAR_SORVIK_DLL, dir / "Sorvik.dll");
    }
}

TEST_F(MainWindowTest, TreeIsRebuiltWhenTheAdapterCountChanges)
{
    CTavoroDlg* dlg = startToMainWindow();
    auto* tree = dlg->GetDlgItemAs<QTreeWidget>(1107);
    ASSERT_NE(tree, nullptr);
    platform::SendMessage(dlg->m_hWnd, platform::WM_TIMER, TIMER_TREE, 0);
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    QTreeWidgetItem* root = tree->topLevelItem(0);
    EXPECT_EQ(root->text(0), "My Computer");
    EXPECT_EQ(root->data(0, Qt::UserRole).toInt(), -1);
    ASSERT_EQ(root->childCount(), 1);
    EXPECT_EQ(root->child(0)->text(0).toStdString(), kUsbAdapter);
    EXPECT_TRUE(root->isExpanded());

    platform::SendMessage(dlg->m_hWnd, platform::WM_TIMER, TIMER_TREE, 0);
    EXPECT_EQ(tree->topLevelItem(0), root); // same count: left alone

    std::strcpy(g_AdapterList.names[1], kPcieAdapter.c_str());
    g_AdapterList.count = 2;
    platform::SendMessage(dlg->m_hWnd, platform::WM_TIMER, TIMER_TREE, 0);
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    ASSERT_EQ(tree->topLevelItem(0)->childCount(), 2);
    EXPECT_EQ(tree->topLevelItem(0)->child(1)->text(0).toStdString(), kPcieAdapter);
}

TEST_F(MainWindowTest, SecondStartWhileHiddenBringsTheWindowUpOnGeneral)
{
    CTavoroDlg* dlg = startToMainWindow();
    dlg->OnCommand(1009);
    ASSERT_FALSE(dlg->isVisible());
    clock.clearPauses();
    {
        CTavoroApp second(dir.path());
        EXPECT_FALSE(second.StartUp());
    }
    EXPECT_TRUE(fakes::WaitUntil([dlg] { return dlg->isVisible(); }));
    EXPECT_EQ(dlg->CurrentPage(), 1003);
    EXPECT_FALSE(dlg->isMinimized());
    // 500 ms in the second copy before it posts, 500 ms in the running copy.
    EXPECT_EQ(clock.pauseLengths(), (std::vector<std::uint32_t>{500, 500}));
}

TEST_F(MainWindowTest, BringUpIsIgnoredWithoutCard)
{
    CTavoroDlg* dlg = startToMainWindow();
    dlg->m_bFoundCard.store(0);
    clock.clearPauses();
    platform::SendMessage(dlg->m_hWnd, platform::WM_BRING_UP, 0, 0);
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_TRUE(clock.pauseLengths().empty());
}

TEST_F(MainWindowTest, AdapterEventsArriveThroughTheMessage)
{
    CTavoroDlg* dlg = startToMainWindow();
    FakeMirodel::instance().fireEvent(EVENT_DEVICE_CONNECT);
    ASSERT_TRUE(fakes::WaitUntil([dlg] { return dlg->m_LinkStatus.nLinkState == LINK_CONNECTED; }));
    EXPECT_EQ(dlg->m_LinkStatus.bConnected, 1);
    FakeMirodel::instance().fireEvent(EVENT_DEVICE_DISCONNECT);
    ASSERT_TRUE(fakes::WaitUntil([this] { return tray.icon && tray.icon->szTip == "Disconnect"; }));
    EXPECT_EQ(dlg->m_LinkStatus.nLinkState, LINK_DISCONNECTED);
    EXPECT_EQ(dlg->m_LinkStatus.bConnected, 0);
}

TEST_F(MainWindowTest, RemovalHidesAndRemovesTheIconInsertionAddsItAgain)
{
    CTavoroDlg* dlg = startToMainWindow();
    dlg->OnCommand(ID_TRAY_OPEN);
    ASSERT_TRUE(dlg->isVisible());
    sequence.clear();
    FakeMirodel::instance().fireEvent(EVENT_DEVICE_LEAVE);
    ASSERT_TRUE(fakes::WaitUntil([this] { return !tray.icon.has_value(); }));
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(dlg->m_bFoundCard.load(), 0);
    EXPECT_EQ(sequence, std::vector<std::string>{"CloseWpsDialog"});
    EXPECT_FALSE(dlg->m_Adapter.IsAdapterOpen());

    FakeMirodel::instance().fireEvent(EVENT_DEVICE_INSERT);
    ASSERT_TRUE(fakes::WaitUntil([this] { return tray.icon.has_value(); }));
    EXPECT_EQ(tray.icon->szTip, "WLAN Scanning");
    EXPECT_EQ(dlg->m_bFoundCard.load(), 1);
    EXPECT_EQ(platform::TimerInterval(dlg->m_hWnd, TIMER_HW_PBC), 1200u);
    const auto opens = FakeMirodel::instance().calls("MirodelOpenAdapter");
    EXPECT_EQ(opens.back().code, MIRODEL_OPEN_REOPEN);
}

TEST_F(MainWindowTest, ExitRunsItsStepsInOrderAndEndsTheMainLoop)
{
    CTavoroDlg* dlg = startToMainWindow();
    auto& fake = FakeMirodel::instance();
    fake.setCallHook("MirodelUnregisterEvents",
                     [this] { sequence.push_back("MirodelUnregisterEvents"); });
    fake.setCallHook("MirodelCloseAdapter", [this] { sequence.push_back("MirodelCloseAdapter"); });
    platform::SetTimer(dlg->m_hWnd, TIMER_RADIO, 3000);
    sequence.clear();
    platform::SendMessage(dlg->m_hWnd, WM_COMMAND, ID_TRAY_EXIT, 0);
    EXPECT_EQ(sequence,
              (std::vector<std::string>{"CloseWpsDialog", "CloseWpsDialog",
                                        "MirodelUnregisterEvents", "MirodelCloseAdapter"}));
    for (UINT id = TIMER_POLL; id <= TIMER_RADIO; ++id)
        EXPECT_FALSE(platform::TimerInterval(dlg->m_hWnd, id).has_value()) << id;
    const platform::LoopEnd end = platform::RunMessageLoop();
    EXPECT_TRUE(end.closed);
    EXPECT_EQ(end.window, dlg->m_hWnd);
}

TEST_F(MainWindowTest, HideCommandsHideAndCloseTheWizard)
{
    CTavoroDlg* dlg = startToMainWindow();
    for (UINT command : {1087u, 1088u, static_cast<UINT>(platform::IDCANCEL)}) {
        dlg->OnCommand(ID_TRAY_OPEN);
        dlg->m_bWpsRunning = 1;
        sequence.clear();
        dlg->OnCommand(command);
        EXPECT_FALSE(dlg->isVisible()) << command;
        EXPECT_EQ(dlg->m_bWpsRunning, 0);
        EXPECT_EQ(sequence, std::vector<std::string>{"CloseWpsDialog"});
    }
}

TEST_F(MainWindowTest, AboutRunsModallyWithItsTexts)
{
    CTavoroDlg* dlg = startToMainWindow();
    std::string product, version = "unset";
    dialogs.onModal("CDlgAbout", [&](platform::ModalDialog& modal) -> std::intptr_t {
        auto& about = dynamic_cast<CNewPage&>(modal);
        about.OnInitDialog();
        product = about.GetDlgItemAs<QLabel>(1113)->text().toStdString();
        version = about.GetDlgItemAs<QLabel>(1109)->text().toStdString();
        return 1;
    });
    dlg->OnCommand(1104);
    EXPECT_EQ(dialogs.modalRuns(), std::vector<std::string>{"CDlgAbout"});
    EXPECT_EQ(product, "Quelmar Wireless Configuration Utility");
    EXPECT_EQ(version, ""); // the test program carries no version
}

} // namespace
