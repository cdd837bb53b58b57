#pragma once
/// CTavoroApp: the application object and the start-up. It prepares the process, makes
/// sure one copy runs per user, runs the card selection and then the main window until Exit.
#include "ui/MultiLanguage.h"
#include "ui/ResourceLibrary.h"

#include <filesystem>
#include <memory>
#include <string>

namespace platform {
class SingleCopyChannel;
}
class CDlgSelCard;
class CTavoroDlg;

class CTavoroApp
{
public:
    /// `channelDirectory`: where the single-copy channel lives (empty: the user's runtime
    /// folder).
    explicit CTavoroApp(std::filesystem::path channelDirectory = {});
    ~CTavoroApp();
    CTavoroApp(const CTavoroApp&) = delete;
    CTavoroApp& operator=(const CTavoroApp&) = delete;

    /// The whole run: start-up, selection, main window, exit. Returns false, always.
    bool InitInstance();

    // The steps of InitInstance.
    /// Translator, titles, version class and the single-copy test; false when another copy
    /// runs (it was asked to bring its window up).
    bool StartUp();
    /// The selection dialog and its loop; false when no adapter was chosen.
    bool RunSelection();
    /// Builds the main window, hidden.
    bool CreateMainWindow();
    /// Runs until Exit posts its close or the application quits.
    void RunMainLoop();
    /// Destroys the main window, then the selection dialog and its adapter.
    void Shutdown();

    /// What a termination signal does: Exit from the main window, Cancel in the selection.
    void Terminate();

    ui::CResourceLibrary m_Resources;
    CMultiLanguage m_MultiLanguage;
    std::string m_strFirstTitle;
    std::string m_strSecondTitle;

    CDlgSelCard* SelectionDialog() const { return m_pSelCard.get(); }
    CTavoroDlg* MainWindow() const { return m_pMainDlg.get(); }

private:
    std::filesystem::path m_channelDirectory;
    std::unique_ptr<platform::SingleCopyChannel> m_pChannel;
    std::unique_ptr<CDlgSelCard> m_pSelCard;
    std::unique_ptr<CTavoroDlg> m_pMainDlg;
};
