#include "shell/DlgAbout.h"

#include "platform/VersionInfo.h"
#include "shell/MainTemplates.h"
#include "shell/ProgramResources.h"
#include "ui/Text.h"

#include <QLabel>
#include <QPushButton>

CDlgAbout::CDlgAbout(QWidget* parent) : CNewPage(shell::AboutTemplate(), parent) {}

CDlgAbout::~CDlgAbout() = default;

bool CDlgAbout::OnInitDialog()
{
    CNewPage::OnInitDialog();
    setWindowTitle(QString::fromStdString(Template().title));
    for (QObject* child : children()) {
        auto* picture = qobject_cast<QLabel*>(child);
        if (picture && ui::GetDlgCtrlID(picture) == ui::IDC_STATIC && picture->text().isEmpty()) {
            picture->setPixmap(
                shell::LoadProgramIcon(shell::IDR_MAINFRAME).pixmap(picture->size()));
            break;
        }
    }
    if (auto* product = GetDlgItemAs<QLabel>(1113))
        product->setText(ui::FromAnsi(
            m_MultiLanguage.Translate("About Tab", "Quelmar Wireless Configuration Utility")));
    if (auto* notice = GetDlgItemAs<QLabel>(1114))
        notice->setText(ui::FromAnsi(m_MultiLanguage.Translate("About Tab", kRightsNotice)));
    if (auto* version = GetDlgItemAs<QLabel>(1109))
        version->setText(QString::fromStdString(platform::FileVersionText()));
    if (auto* ok = GetDlgItemAs<QPushButton>(1))
        QObject::connect(ok, &QPushButton::clicked, this, [this] { accept(); });
    return true;
}
