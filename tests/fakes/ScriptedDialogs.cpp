#include "ScriptedDialogs.h"

namespace fakes {

ScriptedDialogs::ScriptedDialogs() { platform::SetDialogPresenter(this); }

ScriptedDialogs::~ScriptedDialogs() { platform::SetDialogPresenter(nullptr); }

void ScriptedDialogs::answerNextBox(int answer)
{
    std::lock_guard lock(m_mutex);
    m_answers.push_back(answer);
}

void ScriptedDialogs::onModal(const std::string& dialogName, ModalHandler handler)
{
    std::lock_guard lock(m_mutex);
    m_handlers[dialogName] = std::move(handler);
}

int ScriptedDialogs::showMessageBox(const platform::MessageBoxRequest& request)
{
    std::lock_guard lock(m_mutex);
    m_boxes.push_back(request);
    if (!m_answers.empty()) {
        const int answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    }
    return (request.type & platform::MB_TYPEMASK) == platform::MB_YESNO ? platform::IDNO
                                                                        : platform::IDOK;
}

std::intptr_t ScriptedDialogs::runModal(platform::ModalDialog& dialog)
{
    ModalHandler handler;
    {
        std::lock_guard lock(m_mutex);
        m_modalRuns.emplace_back(dialog.modalName());
        const auto it = m_handlers.find(std::string(dialog.modalName()));
        if (it != m_handlers.end())
            handler = it->second;
    }
    return handler ? handler(dialog) : platform::IDCANCEL;
}

std::vector<platform::MessageBoxRequest> ScriptedDialogs::boxes() const
{
    std::lock_guard lock(m_mutex);
    return m_boxes;
}

std::vector<std::string> ScriptedDialogs::boxTexts() const
{
    std::lock_guard lock(m_mutex);
    std::vector<std::string> out;
    for (const auto& b : m_boxes)
        out.push_back(b.text);
    return out;
}

std::vector<std::string> ScriptedDialogs::modalRuns() const
{
    std::lock_guard lock(m_mutex);
    return m_modalRuns;
}

} // namespace fakes
