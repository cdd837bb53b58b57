#pragma once
// Scripted message boxes and modal runs: answers come from a queue, modal dialogs are
// driven by handlers registered per dialog name, and everything shown is recorded.

#include "platform/Dialogs.h"

#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace fakes {

class ScriptedDialogs final : public platform::DialogPresenter
{
public:
    using ModalHandler = std::function<std::intptr_t(platform::ModalDialog&)>;

    /// Installs itself as the presenter; the destructor restores the default.
    ScriptedDialogs();
    ~ScriptedDialogs() override;

    /// The next box is answered with `answer`. Unscripted boxes get IDOK (IDNO for Yes/No).
    void answerNextBox(int answer);
    /// Every modal run of a dialog of this name goes to `handler`.
    void onModal(const std::string& dialogName, ModalHandler handler);

    int showMessageBox(const platform::MessageBoxRequest& request) override;
    std::intptr_t runModal(platform::ModalDialog& dialog) override;

    std::vector<platform::MessageBoxRequest> boxes() const;
    std::vector<std::string> boxTexts() const;
    std::vector<std::string> modalRuns() const;

private:
    mutable std::mutex m_mutex;
    std::deque<int> m_answers;
    std::map<std::string, ModalHandler> m_handlers;
    std::vector<platform::MessageBoxRequest> m_boxes;
    std::vector<std::string> m_modalRuns;
};

} // namespace fakes
