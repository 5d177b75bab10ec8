#include "vesk/ui/ui_services.h"

#include <QCoreApplication>

namespace vesk::ui {

int UiServices::MessageBox(const std::string& text, int flags, const std::string& title) {
    return ShowMessageBox(text, flags, title.empty() ? m_applicationTitle : title);
}

void UiServices::DoEvents() {
    if (QCoreApplication::instance() != nullptr) {
        QCoreApplication::processEvents();
    }
}

}  // namespace vesk::ui
