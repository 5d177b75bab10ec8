#include "system_ui_services.h"

#include <QApplication>

namespace vesk::ui {

UiServices& SystemUiServices::Current() {
    const bool widgets = qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
    return widgets ? static_cast<UiServices&>(m_qt) : m_console;
}

}  // namespace vesk::ui
