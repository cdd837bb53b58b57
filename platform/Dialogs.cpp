#include "platform/Dialogs.h"

#include "platform/Trace.h"

#include <atomic>

namespace platform {
namespace {

/// Used until a program installs its own: boxes are traced and answered with their first
/// button; dialogs run their own modal loop.
class DefaultPresenter final : public DialogPresenter
{
public:
    int showMessageBox(const MessageBoxRequest& request) override
    {
        Trace("MessageBox [%s] %s\n", request.caption.c_str(), request.text.c_str());
        switch (request.type & MB_TYPEMASK) {
        case MB_YESNO: return IDYES;
        default: return IDOK;
        }
    }
    std::intptr_t runModal(ModalDialog& dialog) override { return dialog.execModal(); }
};

DefaultPresenter g_default;
std::atomic<DialogPresenter*> g_presenter{nullptr};

} // namespace

void SetDialogPresenter(DialogPresenter* presenter) { g_presenter.store(presenter); }

DialogPresenter* CurrentDialogPresenter()
{
    DialogPresenter* p = g_presenter.load();
    return p ? p : &g_default;
}

int MessageBox(HWND owner, std::string_view text, std::string_view caption, UINT type)
{
    return CurrentDialogPresenter()->showMessageBox(
        MessageBoxRequest{owner, std::string(text), std::string(caption), type});
}

std::intptr_t RunModal(ModalDialog& dialog) { return CurrentDialogPresenter()->runModal(dialog); }

} // namespace platform
