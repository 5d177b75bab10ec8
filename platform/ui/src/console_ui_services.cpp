#include "vesk/ui/console_ui_services.h"

#include "vesk/ui/message_box.h"

namespace vesk::ui {

int ConsoleUiServices::ShowMessageBox(const std::string& text, int flags,
                                      const std::string& title) {
    if (!title.empty()) {
        m_out << title << ": ";
    }
    m_out << text << std::endl;
    return DefaultAnswer(flags);
}

}  // namespace vesk::ui
