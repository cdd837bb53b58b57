#pragma once
// The shell's test fixture: a program directory with the default resource library, the
// scripted adapter library, scripted message boxes, virtual time and a notification area
// that records what is done with it.
#include "FakeMirodel.h"
#include "ScriptedDialogs.h"
#include "TempDir.h"
#include "VirtualClock.h"
#include "Wait.h"

#include "platform/System.h"
#include "shell/DlgSelCard.h"
#include "shell/NotifyIcon.h"
#include "shell/TavoroApp.h"
#include "shell/TavoroDlg.h"
#include "shell/WpsLibrary.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace shelltest {

inline const std::string kUsbAdapter = "Wireless LAN 802.11n USB Adapter"; // string 2101
inline const std::string kPcieAdapter = "Wireless LAN 802.11n PCIe Card";  // string 2102

class FakeNotificationArea final : public shell::NotifyIconService
{
public:
    bool available = true;
    std::optional<shell::NotifyIconData> icon;
    std::vector<std::string> log;
    UINT menuAnswer = 0;
    std::vector<PopupItem> lastMenu;

    bool Add(const shell::NotifyIconData& data) override
    {
        log.push_back("add " + data.szTip);
        if (!available || icon)
            return false;
        icon = data;
        return true;
    }
    bool Modify(const shell::NotifyIconData& data) override
    {
        log.push_back("modify " + data.szTip);
        if (!icon)
            return false;
        if (data.uFlags & shell::NIF_ICON)
            icon->hIcon = data.hIcon;
        if (data.uFlags & shell::NIF_TIP)
            icon->szTip = data.szTip;
        return true;
    }
    bool Delete(const shell::NotifyIconData&) override
    {
        log.push_back("delete");
        const bool had = icon.has_value();
        icon.reset();
        return had;
    }
    UINT TrackPopupMenu(const std::vector<PopupItem>& items, QPoint, QWidget*) override
    {
        lastMenu = items;
        return menuAnswer;
    }
};

class ShellTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        fakes::FakeMirodel::instance().reset();
        std::filesystem::copy_file(QUELMAR_SORVIK_DLL, dir / "Sorvik.dll");
        platform::SetProgramDirectory(dir.path());
        platform::SetOsVersionOverride(platform::OsVersion{6, 1});
        shell::SetNotifyIconService(&tray);
        shell::SetCloseWpsDialogHook([this] {
            sequence.push_back("CloseWpsDialog");
            return 1;
        });
        g_AdapterList = {};
    }

    void TearDown() override
    {
        app.reset();
        fakes::FakeMirodel::instance().reset();
        shell::SetCloseWpsDialogHook({});
        shell::SetNotifyIconService(nullptr);
        platform::SetOsVersionOverride(std::nullopt);
        platform::SetProgramDirectory({});
        g_AdapterList = {};
    }

    void writeOemRec(const std::string& nicInfo, const std::string& more = "") const
    {
        dir.write("OEM.rec", "[NICInfo]\n" + nicInfo + more);
    }

    /// Start-up, an OEM-mode selection that finds the USB adapter, and the main window.
    CTavoroDlg* startToMainWindow()
    {
        writeOemRec("Num=1\nName1=2101\n");
        fakes::FakeMirodel::instance().setAdapters({kUsbAdapter, kPcieAdapter});
        app = std::make_unique<CTavoroApp>(dir.path());
        EXPECT_TRUE(app->StartUp());
        EXPECT_TRUE(app->RunSelection());
        EXPECT_TRUE(app->CreateMainWindow());
        return app->MainWindow();
    }

    fakes::TempDir dir;
    fakes::VirtualClock clock;
    fakes::ScriptedDialogs dialogs;
    FakeNotificationArea tray;
    std::vector<std::string> sequence;
    std::unique_ptr<CTavoroApp> app;
};

} // namespace shelltest
