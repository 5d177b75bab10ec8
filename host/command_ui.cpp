#include "command_ui.h"

#include "vesk/data_access/password_mask.h"

namespace vesk::host {

int CommandMessageBoxes::ShowMessageBox(const std::string& text, int flags,
                                        const std::string& title) {
    return ConsoleUiServices::ShowMessageBox(data_access::MaskPasswords(text), flags, title);
}

}  // namespace vesk::host
