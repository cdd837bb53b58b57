#include "shell/QtDialogPresenter.h"

#include "ui/Text.h"

#include <QMessageBox>

namespace shell {

int QtDialogPresenter::showMessageBox(const platform::MessageBoxRequest& request)
{
    using namespace platform;
    QMessageBox box;
    box.setWindowTitle(ui::FromAnsi(request.caption));
    box.setText(ui::FromAnsi(request.text));
    switch (request.type & MB_ICONMASK) {
    case MB_ICONERROR:
        box.setIcon(QMessageBox::Critical);
        break;
    case MB_ICONQUESTION:
        box.setIcon(QMessageBox::Question);
        break;
    case MB_ICONEXCLAMATION:
        box.setIcon(QMessageBox::Warning);
        break;
    case MB_ICONINFORMATION:
        box.setIcon(QMessageBox::Information);
        break;
    default:
        break;
    }
    switch (request.type & MB_TYPEMASK) {
    case MB_YESNO:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        return box.exec() == QMessageBox::Yes ? IDYES : IDNO;
    case MB_OKCANCEL:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        return box.exec() == QMessageBox::Ok ? IDOK : IDCANCEL;
    default:
        box.setStandardButtons(QMessageBox::Ok);
        box.exec();
        return IDOK;
    }
}

std::intptr_t QtDialogPresenter::runModal(platform::ModalDialog& dialog)
{
    return dialog.execModal();
}

} // namespace shell
