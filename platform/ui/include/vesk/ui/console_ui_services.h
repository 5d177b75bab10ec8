#pragma once

#include <iostream>

#include "vesk/ui/ui_services.h"

namespace vesk::ui {

// The services of a process without a Qt application: a message box is written as
// "TITLE: TEXT" (or "TEXT" without a title) to a stream, standard error by default, and
// answered with its default button. There is no clipboard and no dialog: the clipboard is
// always empty and the open-file dialog is always cancelled.
class ConsoleUiServices : public UiServices {
public:
    // `out` must outlive the services.
    explicit ConsoleUiServices(std::ostream& out = std::cerr) : m_out(out) {}

    picture::Picture GetClipboardPicture() override { return {}; }
    void SetClipboardPicture(const picture::Picture&) override {}
    void ClearClipboard() override {}
    OpenFileResult OpenFile(int, const std::string&) override { return {}; }

protected:
    int ShowMessageBox(const std::string& text, int flags, const std::string& title) override;

private:
    std::ostream& m_out;
};

}  // namespace vesk::ui
