#pragma once
/// The desktop's message boxes and modal runs, installed by Tavoro at start-up.
#include "platform/Dialogs.h"

namespace shell {

class QtDialogPresenter final : public platform::DialogPresenter
{
public:
    int showMessageBox(const platform::MessageBoxRequest& request) override;
    std::intptr_t runModal(platform::ModalDialog& dialog) override;
};

} // namespace shell
