#include "shell/TavoroApp.h"

#include "platform/Clock.h"
#include "platform/SingleCopy.h"
#include "platform/System.h"
#include "platform/Trace.h"
#include "platform/Window.h"
#include "shell/DlgSelCard.h"
#include "shell/Messages.h"
#include "shell/SystemTray.h"
#include "shell/TavoroDlg.h"

#include <QCoreApplication>

namespace {
constexpr const char* kChannelName = "Tavoro";
constexpr UINT IDS_SELECT_TITLE = 2001;
} // namespace

CTavoroApp::CTavoroApp(std::filesystem::path channelDirectory)
    : m_channelDirectory(std::move(channelDirectory))
{
}

CTavoroApp::~CTavoroApp()
{
    Shutdown();
}

bool CTavoroApp::InitInstance()
{
    if (StartUp() && RunSelection() && CreateMainWindow())
        RunMainLoop();
    Shutdown();
    return false;
}

bool CTavoroApp::StartUp()
{
    // The common controls and control hosting are always there with the widget toolkit, and
    // the program keeps nothing in a registry.
    m_strFirstTitle =
        m_MultiLanguage.Translate("Main Dialog", "Wireless Configuration Utility").substr(0, 255);
    m_strSecondTitle = ui::LoadResourceString(m_Resources.Handle(), IDS_SELECT_TITLE, 256);
    platform::InitOsGeneration();

    m_pChannel = std::make_unique<platform::SingleCopyChannel>(kChannelName, m_channelDirectory);
    if (m_pChannel->claim())
        return true;
    for (const std::string& title : {m_strFirstTitle, m_strSecondTitle}) {
        if (!title.empty() && m_pChannel->remoteWindowExists(title)) {
            platform::Sleep(500);
            m_pChannel->postToRemote(title, platform::WM_BRING_UP);
            break;
        }
    }
    platform::Trace("CTavoroApp: another copy runs\n");
    return false;
}

bool CTavoroApp::RunSelection()
{
    m_pSelCard = std::make_unique<CDlgSelCard>(m_Resources.Handle());
    m_pSelCard->CreateHidden();
    for (;;) {
        const platform::LoopEnd end = platform::RunMessageLoop();
        if (!end.closed || end.lParam != 1) {
            m_pSelCard.reset();
            return false;
        }
        return true;
    }
}

bool CTavoroApp::CreateMainWindow()
{
    m_pMainDlg = std::make_unique<CTavoroDlg>(m_Resources.Handle(), m_pSelCard->m_Adapter,
                                              m_pSelCard->m_bSelected.load() != 0, &g_AdapterList);
    m_pMainDlg->CreateMain();
    if (m_pMainDlg->m_bTrayCreated) {
        m_pMainDlg->hide();
    } else {
        // Without a notification area nothing would show the program: bring the window up once.
        m_pMainDlg->OnCommand(ID_TRAY_OPEN);
    }
    return true;
}

void CTavoroApp::RunMainLoop()
{
    platform::RunMessageLoop();
}

void CTavoroApp::Shutdown()
{
    m_pMainDlg.reset();
    m_pSelCard.reset();
}

void CTavoroApp::Terminate()
{
    if (m_pMainDlg)
        m_pMainDlg->Exit();
    else if (m_pSelCard)
        m_pSelCard->OnCancel();
    else
        QCoreApplication::quit();
}
