#pragma once

#include <string>

namespace vesk::photo_editor {

// The open-file dialog as a control: set Flags and Filter, call ShowOpen, then read the
// chosen FileName (full path) and FileTitle (name without folder); both "" when cancelled.
// The dialog itself is the UI services' (Ui().OpenFile).
class CommonDialog {
public:
    int Flags = 0;
    std::string Filter;
    std::string FileName;
    std::string FileTitle;

    void ShowOpen();
};

}  // namespace vesk::photo_editor
