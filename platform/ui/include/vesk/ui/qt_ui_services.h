#pragma once

#include "vesk/ui/ui_services.h"

namespace vesk::ui {

// The services of a process running a QApplication: QMessageBox, the system clipboard and
// QFileDialog, each shown over the active window. Every call without a running QApplication
// throws std::logic_error instead of touching widgets.
class QtUiServices : public UiServices {
public:
    picture::Picture GetClipboardPicture() override;
    void SetClipboardPicture(const picture::Picture& picture) override;
    void ClearClipboard() override;
    OpenFileResult OpenFile(int flags, const std::string& filter) override;

protected:
    int ShowMessageBox(const std::string& text, int flags, const std::string& title) override;
};

}  // namespace vesk::ui
