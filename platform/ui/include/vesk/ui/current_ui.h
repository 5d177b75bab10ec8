#pragma once

#include "vesk/ui/ui_services.h"

namespace vesk::ui {

// The services the components use now: the installed ones, else the default (Qt while a
// QApplication runs, standard error otherwise).
UiServices& Ui();

// Installs `services` (not owned; nullptr restores the default) and returns the ones installed
// before.
UiServices* SetUi(UiServices* services);

// Installs services for the lifetime of the object and then puts the previous ones back.
class ScopedUi {
public:
    explicit ScopedUi(UiServices& services) : m_previous(SetUi(&services)) {}
    ~ScopedUi() { SetUi(m_previous); }
    ScopedUi(const ScopedUi&) = delete;
    ScopedUi& operator=(const ScopedUi&) = delete;

private:
    UiServices* m_previous;
};

}  // namespace vesk::ui
