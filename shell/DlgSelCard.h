#pragma once
/// CDlgSelCard: chooses the adapter the program works with. In open mode the user picks one
/// of the adapters the library finds; in OEM mode (OEM.rec lists adapter names) the dialog
/// stays hidden and searches for the listed names, on a worker thread when the first search
/// fails. It owns the program's one CAdapter, which outlives its window.
#include "adapter/Adapter.h"
#include "adapter/Mirodel.h"
#include "platform/Window.h"
#include "ui/NewPage.h"

#include <QFont>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class CBmpBtn;
class QTreeWidget;
namespace ui {
struct ResourceModule;
}

/// The adapter list the library fills; the main window keeps a pointer to it.
extern AdapterList g_AdapterList;
/// The OEM name list: the strings named by Name1, Name2, ... of OEM.rec, in that order.
extern std::vector<std::string> g_OemNameList;

class CDlgSelCard final : public CNewPage, public platform::MessageTarget
{
public:
    explicit CDlgSelCard(const ui::ResourceModule* resources);
    ~CDlgSelCard() override;

    /// Creates the window (hidden, no parent) and initialises it.
    bool CreateHidden();
    bool OnInitDialog() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    void OnOK();
    void OnCancel();

    /// One pass over the OEM name list; 0 when an adapter was found.
    DWORD SearchNames();

    /// The selected name (OEM mode).
    std::string SelectedName() const;
    bool IsSearchWorkerRunning() const { return m_bWorkerRunning.load(); }

    int m_bOemMode = 0;
    const ui::ResourceModule* m_hResource;
    std::string m_strOemPath;
    std::string m_strPrompt;
    QTreeWidget* m_pList = nullptr;
    CAdapter m_Adapter;
    CBmpBtn* m_pBtnOk = nullptr;
    CBmpBtn* m_pBtnCancel = nullptr;
    std::atomic<int> m_bSelected{0};
    QFont m_font;
    HWND m_hWnd = 0;

protected:
    void paintEvent(QPaintEvent* event) override;
    void reject() override;
    void closeEvent(QCloseEvent* event) override;

private:
    void ReadOemNames();
    void StartSearchWorker();
    void SearchWorker();
    /// Everything of the OK action after the adapter was opened.
    void FinishOk();
    void ShowInitialError();

    mutable std::mutex m_nameMutex;
    std::string m_strSelectedName;
    std::thread m_worker;
    std::atomic<bool> m_bStop{false};
    std::atomic<bool> m_bWorkerRunning{false};
};
