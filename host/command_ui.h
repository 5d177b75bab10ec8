#pragma once

#include <iosfwd>

#include "vesk/ui/console_ui_services.h"
#include "vesk/ui/current_ui.h"

namespace vesk::host {

// For the life of the object, the components' message boxes go to the command's error stream
// as "TITLE: TEXT", unless the process installed services of its own (a test, a host with a
// window).
class CommandUi {
public:
    explicit CommandUi(std::ostream& err) : m_console(err), m_previous(platform::SetUi(nullptr)) {
        platform::SetUi(m_previous != nullptr ? m_previous : &m_console);
    }
    ~CommandUi() { platform::SetUi(m_previous); }
    CommandUi(const CommandUi&) = delete;
    CommandUi& operator=(const CommandUi&) = delete;

private:
    platform::ConsoleUiServices m_console;
    platform::UiServices* m_previous;
};

}  // namespace vesk::host
