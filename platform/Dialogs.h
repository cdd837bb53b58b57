#pragma once
/// Message boxes and modal runs. The program asks this layer to show a box or to run a
/// dialog modally; the presenter installed at start-up shows it, and a test installs a
/// script that answers boxes, drives dialogs and records what was shown.

#include "platform/Types.h"

#include <string>
#include <string_view>

namespace platform {

struct MessageBoxRequest
{
    HWND owner = 0;
    std::string text;
    std::string caption;
    UINT type = MB_OK; ///< MB_ buttons | MB_ icon
};

/// A dialog that can run modally. `modalName` is the dialog's class name ("CDlgPFAdd").
class ModalDialog
{
public:
    virtual ~ModalDialog() = default;
    virtual std::string_view modalName() const = 0;
    /// Runs the dialog's own modal loop and returns its end code.
    virtual std::intptr_t execModal() = 0;
};

class DialogPresenter
{
public:
    virtual ~DialogPresenter() = default;
    virtual int showMessageBox(const MessageBoxRequest& request) = 0;
    virtual std::intptr_t runModal(ModalDialog& dialog) = 0;
};

/// Installs the presenter (nullptr: the default, which traces boxes and answers them with
/// their first button, and runs dialogs by their own modal loop).
void SetDialogPresenter(DialogPresenter* presenter);
DialogPresenter* CurrentDialogPresenter();

int MessageBox(HWND owner, std::string_view text, std::string_view caption, UINT type);
std::intptr_t RunModal(ModalDialog& dialog);

} // namespace platform
