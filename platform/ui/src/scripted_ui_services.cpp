#include "vesk/ui/scripted_ui_services.h"

#include "vesk/ui/message_box.h"

namespace vesk::ui {

OpenFileResult ScriptedUiServices::OpenFile(int flags, const std::string& filter) {
    m_openFileRequests.push_back({flags, filter});
    if (m_openFiles.empty()) {
        return {};
    }
    std::string path = std::move(m_openFiles.front());
    m_openFiles.pop_front();
    std::string fileTitle = path.substr(path.rfind('/') + 1);
    return {std::move(path), std::move(fileTitle)};
}

void ScriptedUiServices::DoEvents() {
    ++m_eventPumpCount;
    if (m_eventPumpHook) {
        m_eventPumpHook();
    }
}

int ScriptedUiServices::ShowMessageBox(const std::string& text, int flags,
                                       const std::string& title) {
    m_messageBoxes.push_back({text, flags, title});
    if (m_answers.empty()) {
        return DefaultAnswer(flags);
    }
    const int answer = m_answers.front();
    m_answers.pop_front();
    return answer;
}

}  // namespace vesk::ui
