// Tavoro, the tray application.
#include "platform/VersionInfo.h"
#include "platform/Window.h"
#include "shell/ProgramResources.h"
#include "shell/QtDialogPresenter.h"
#include "shell/TavoroApp.h"
#include "shell/Termination.h"

#include <QApplication>

QUELMAR_FILE_VERSION(1, 0, 0, 0);

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false); // the program lives in the notification area
    platform::StartInterfaceThread();
    shell::InitProgramResources();
    QApplication::setWindowIcon(shell::LoadProgramIcon(shell::IDR_MAINFRAME));

    shell::QtDialogPresenter presenter;
    platform::SetDialogPresenter(&presenter);
    {
        CTavoroApp theApp;
        shell::InstallTerminationHandler([&theApp] { theApp.Terminate(); });
        theApp.InitInstance();
    }
    platform::SetDialogPresenter(nullptr);
    return 0;
}
