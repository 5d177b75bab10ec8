#pragma once

#include "vesk/ui/console_ui_services.h"
#include "vesk/ui/qt_ui_services.h"

namespace vesk::ui {

// The default services: Qt while a QApplication runs, standard error otherwise. The choice is
// made at every call, so a host may create its application after the first use.
class SystemUiServices : public UiServices {
public:
    picture::Picture GetClipboardPicture() override { return Current().GetClipboardPicture(); }
    void SetClipboardPicture(const picture::Picture& picture) override {
        Current().SetClipboardPicture(picture);
    }
    void ClearClipboard() override { Current().ClearClipboard(); }
    OpenFileResult OpenFile(int flags, const std::string& filter) override {
        return Current().OpenFile(flags, filter);
    }

protected:
    int ShowMessageBox(const std::string& text, int flags, const std::string& title) override {
        return Current().MessageBox(text, flags, title);
    }

private:
    UiServices& Current();

    QtUiServices m_qt;
    ConsoleUiServices m_console;
};

}  // namespace vesk::ui
