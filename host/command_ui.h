#pragma once

#include <iosfwd>
#include <string>

#include "vesk/ui/console_ui_services.h"
#include "vesk/ui/current_ui.h"

namespace vesk::host {

// Message boxes as lines of the command's error stream, with the passwords of any connection
// text or URI they quote masked.
class CommandMessageBoxes : public ui::ConsoleUiServices {
public:
    explicit CommandMessageBoxes(std::ostream& err) : ConsoleUiServices(err) {}

protected:
    int ShowMessageBox(const std::string& text, int flags, const std::string& title) override;
};

// For the life of the object, the components' message boxes go to the command's error stream
// as "TITLE: TEXT", unless the process installed services of its own (a test, a host with a
// window).
class CommandUi {
public:
    explicit CommandUi(std::ostream& err) : m_console(err), m_previous(ui::SetUi(nullptr)) {
        ui::SetUi(m_previous != nullptr ? m_previous : &m_console);
    }
    ~CommandUi() { ui::SetUi(m_previous); }
    CommandUi(const CommandUi&) = delete;
    CommandUi& operator=(const CommandUi&) = delete;

private:
    CommandMessageBoxes m_console;
    ui::UiServices* m_previous;
};

}  // namespace vesk::host
