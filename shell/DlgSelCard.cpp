#include "shell/DlgSelCard.h"

#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/PrivateProfile.h"
#include "platform/SingleCopy.h"
#include "platform/System.h"
#include "platform/Trace.h"
#include "shell/MainTemplates.h"
#include "shell/WindowPlacement.h"
#include "ui/BmpBtn.h"
#include "ui/ResourceLibrary.h"
#include "ui/Skin.h"
#include "ui/Text.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QMetaObject>
#include <QPainter>
#include <QTreeWidget>

#include <cstdlib>
#include <cstring>

AdapterList g_AdapterList{};
std::vector<std::string> g_OemNameList;

namespace {

constexpr UINT IDS_SELECT_TITLE = 2001;
constexpr UINT IDS_PROMPT_FACE = 2003;
constexpr UINT IDS_ADAPTER_COLUMN = 2004;
constexpr UINT IDS_PROMPT = 2005;
constexpr std::uint32_t kNameSearchPause = 1500;
constexpr std::uint32_t kOpenPause = 3000;
constexpr int kNameBuffer = 50; // room for 49 characters

bool IsDecimal(const std::string& text)
{
    if (text.empty())
        return false;
    for (char c : text)
        if (c < '0' || c > '9')
            return false;
    return true;
}

} // namespace

CDlgSelCard::CDlgSelCard(const ui::ResourceModule* resources)
    : CNewPage(shell::SelectCardTemplate()), m_hResource(resources)
{
}

CDlgSelCard::~CDlgSelCard()
{
    m_bStop.store(true);
    if (m_worker.joinable())
        m_worker.join();
    if (m_hWnd)
        platform::DestroyWindow(m_hWnd);
}

bool CDlgSelCard::CreateHidden()
{
    m_hWnd =
        platform::CreateWindow(this, ui::LoadResourceString(m_hResource, IDS_SELECT_TITLE, 256));
    return Create(nullptr);
}

bool CDlgSelCard::OnInitDialog()
{
    CNewPage::OnInitDialog();
    const std::string title = ui::LoadResourceString(m_hResource, IDS_SELECT_TITLE, 256);
    setWindowTitle(ui::FromAnsi(title));
    if (m_hWnd)
        platform::SetWindowText(m_hWnd, title);

    m_strOemPath = platform::GetProgramDirectory() + "OEM/";

    m_pBtnOk = GetDlgItemAs<CBmpBtn>(1);
    m_pBtnCancel = GetDlgItemAs<CBmpBtn>(2);
    const ui::CaptionColours white{0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF};
    if (m_pBtnOk) {
        ui::SkinButton(*m_pBtnOk, "Button_Apply", m_hResource, QStringLiteral("OK"), white);
        QObject::connect(m_pBtnOk, &QPushButton::clicked, this, [this] { OnOK(); });
    }
    if (m_pBtnCancel) {
        ui::SkinButton(*m_pBtnCancel, "Button_Cancel", m_hResource, QStringLiteral("Cancel"),
                       white);
        QObject::connect(m_pBtnCancel, &QPushButton::clicked, this, [this] { OnCancel(); });
    }

    m_pList = GetDlgItemAs<QTreeWidget>(1005);
    if (m_pList) {
        m_pList->setHeaderLabels(
            {ui::FromAnsi(ui::LoadResourceString(m_hResource, IDS_ADAPTER_COLUMN, 256))});
        m_pList->header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        m_pList->header()->setSectionResizeMode(0, QHeaderView::Stretch);
        m_pList->clear();
    }

    m_font = QFont(ui::FromAnsi(ui::LoadResourceString(m_hResource, IDS_PROMPT_FACE, 256)));
    m_font.setStyleHint(QFont::SansSerif);
    m_font.setPixelSize(20);
    m_font.setWeight(QFont::Black);

    ReadOemNames();
    if (m_bOemMode) {
        // Never shown: the adapter is searched for in the background until one is found.
        if (SearchNames() == 0 && g_AdapterList.names[0][0]) {
            {
                std::lock_guard lock(m_nameMutex);
                m_strSelectedName = g_AdapterList.names[0];
            }
            OnOK();
        } else {
            StartSearchWorker();
        }
    } else {
        if (MirodelFindAdapters(&g_AdapterList, nullptr) == 0) {
            show();
            shell::CenterWindow(this);
        } else {
            ShowInitialError();
            OnCancel();
        }
    }

    if (m_pList) {
        const std::uint32_t count =
            std::min<std::uint32_t>(g_AdapterList.count, MIRODEL_MAX_ADAPTERS);
        for (std::uint32_t slot = 0; slot < count; ++slot) {
            auto* item = new QTreeWidgetItem(m_pList);
            item->setText(0, ui::FromAnsi(std::string(
                                 g_AdapterList.names[slot],
                                 strnlen(g_AdapterList.names[slot], MIRODEL_ADAPTER_NAME_SIZE))));
            item->setData(0, Qt::UserRole, slot);
        }
    }
    m_strPrompt = ui::LoadResourceString(m_hResource, IDS_PROMPT, 256);
    return true;
}

void CDlgSelCard::ReadOemNames()
{
    const std::string oemRec = platform::GetProgramDirectory() + "OEM.rec";
    const std::string num = platform::GetPrivateProfileString("NICInfo", "Num", "", 256, oemRec);
    g_OemNameList.clear();
    if (num == m_MultiLanguage.Translate("SelectCard Dialog", "OPEN")) {
        m_bOemMode = 0;
        return;
    }
    m_bOemMode = 1;
    const int count = IsDecimal(num) ? std::atoi(num.c_str()) : 0;
    for (int i = 1; i <= count && i <= 1000; ++i) {
        const std::string key = "Name" + std::to_string(i);
        const std::string id = platform::GetPrivateProfileString("NICInfo", key, "", 256, oemRec);
        g_OemNameList.push_back(ui::LoadResourceString(
            m_hResource, static_cast<UINT>(std::strtoul(id.c_str(), nullptr, 10)), kNameBuffer));
    }
}

DWORD CDlgSelCard::SearchNames()
{
    DWORD status = STATUS_NO_ADAPTER;
    for (const std::string& name : g_OemNameList) {
        if (m_bStop.load())
            break;
        status = name.empty() ? 6 : MirodelFindAdapters(&g_AdapterList, name.c_str());
        platform::Sleep(kNameSearchPause);
        if (status == 0)
            return 0;
        m_Adapter.SetAdapterOpen(false);
        MirodelCloseAdapter();
    }
    return status;
}

void CDlgSelCard::StartSearchWorker()
{
    m_bWorkerRunning.store(true);
    m_worker = std::thread([this] { SearchWorker(); });
}

void CDlgSelCard::SearchWorker()
{
    while (!m_bStop.load()) {
        const DWORD status = SearchNames();
        if (status == 0 && g_AdapterList.names[0][0]) {
            {
                std::lock_guard lock(m_nameMutex);
                m_strSelectedName = g_AdapterList.names[0];
            }
            OnOK();
            break;
        }
        if (g_OemNameList.empty())
            platform::Sleep(kNameSearchPause); // nothing to try: look again now and then
    }
    m_bWorkerRunning.store(false);
}

std::string CDlgSelCard::SelectedName() const
{
    std::lock_guard lock(m_nameMutex);
    return m_strSelectedName;
}

void CDlgSelCard::ShowInitialError()
{
    platform::MessageBox(m_hWnd, m_MultiLanguage.Translate("SelectCard Dialog", "Initial Error"),
                         m_MultiLanguage.Translate("Warning Dialog", "Warning"),
                         platform::MB_OK | platform::MB_ICONEXCLAMATION);
}

void CDlgSelCard::OnOK()
{
    if (m_bOemMode) {
        const std::string name = SelectedName();
        if (name.empty()) {
            ShowInitialError();
            OnCancel();
            return;
        }
        platform::Sleep(kOpenPause);
        if (m_bStop.load())
            return;
        m_Adapter.SetAdapterOpen(MirodelOpenAdapter(name.c_str(), MIRODEL_OPEN_BY_NAME) == 0);
        m_bSelected.store(1);
    } else {
        QTreeWidgetItem* item = m_pList ? m_pList->currentItem() : nullptr;
        if (!item || !item->isSelected()) {
            platform::MessageBox(
                m_hWnd,
                m_MultiLanguage.Translate("Warning Dialog", "Please select one Network Card"),
                m_MultiLanguage.Translate("Warning Dialog", "Warning"),
                platform::MB_OK | platform::MB_ICONEXCLAMATION);
            if (m_pList)
                m_pList->setFocus();
            return;
        }
        const int slot = item->data(0, Qt::UserRole).toInt();
        if (MirodelOpenAdapter(g_AdapterList.names[slot], MIRODEL_OPEN_BY_NAME) == 0) {
            m_Adapter.SetAdapterOpen(true);
        } else {
            m_Adapter.SetAdapterOpen(false);
            platform::MessageBox(m_hWnd, "Warning", "Initial Error",
                                 platform::MB_OK | platform::MB_ICONEXCLAMATION);
            OnCancel();
        }
        m_bSelected.store(1);
    }
    FinishOk();
}

void CDlgSelCard::FinishOk()
{
    platform::PostMessage(m_hWnd, platform::WM_CLOSE, 0, 1);
    // The search worker gets here on its own thread; the window itself is handled on the
    // interface thread.
    if (platform::IsInterfaceThread()) {
        hide();
        shell::CenterWindow(this);
    } else {
        QMetaObject::invokeMethod(
            this,
            [this] {
                hide();
                shell::CenterWindow(this);
            },
            Qt::QueuedConnection);
    }
}

void CDlgSelCard::OnCancel()
{
    m_Adapter.SetAdapterOpen(false);
    MirodelCloseAdapter();
    platform::PostMessage(m_hWnd, platform::WM_CLOSE, 0, 0);
    if (platform::IsInterfaceThread())
        hide();
    else
        QMetaObject::invokeMethod(
            this, [this] { hide(); }, Qt::QueuedConnection);
}

void CDlgSelCard::reject()
{
    OnCancel();
}

void CDlgSelCard::closeEvent(QCloseEvent* event)
{
    event->ignore();
    OnCancel();
}

LRESULT CDlgSelCard::WindowProc(UINT message, WPARAM, LPARAM)
{
    // 0x468 from a second copy is ignored here: there is no main window to bring up yet.
    if (message == platform::WM_BRING_UP)
        platform::Trace("CDlgSelCard: 0x468 ignored\n");
    return 0;
}

void CDlgSelCard::paintEvent(QPaintEvent* event)
{
    CNewPage::paintEvent(event);
    QPainter painter(this);
    painter.setFont(m_font);
    painter.setPen(QColor(0xA0, 0xA0, 0xA0));
    painter.setBackgroundMode(Qt::TransparentMode);
    const QFontMetrics metrics(m_font);
    painter.drawText(QPoint(width() / 25, height() / 10 + metrics.ascent()),
                     ui::FromAnsi(m_strPrompt));
}
