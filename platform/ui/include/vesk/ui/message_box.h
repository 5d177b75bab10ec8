#pragma once

#include <vector>

namespace vesk::ui {

// Flags of a message box: one button set, plus one icon, plus at most one default button.
struct MessageBoxFlags {
    static constexpr int OkOnly = 0;
    static constexpr int OkCancel = 1;
    static constexpr int AbortRetryIgnore = 2;
    static constexpr int YesNoCancel = 3;
    static constexpr int YesNo = 4;
    static constexpr int RetryCancel = 5;
    static constexpr int Critical = 16;
    static constexpr int Question = 32;
    static constexpr int Exclamation = 48;
    static constexpr int Information = 64;
    static constexpr int DefaultButton2 = 256;
    static constexpr int DefaultButton3 = 512;
};

// The answer codes a message box returns: the button that was pressed.
struct MessageBoxAnswer {
    static constexpr int Ok = 1;
    static constexpr int Cancel = 2;
    static constexpr int Abort = 3;
    static constexpr int Retry = 4;
    static constexpr int Ignore = 5;
    static constexpr int Yes = 6;
    static constexpr int No = 7;
};

// The answers of the buttons that `flags` ask for, left to right. Unknown button sets show OK.
std::vector<int> MessageBoxButtons(int flags);

// The answer of the box's default button: the first, unless `flags` name the second or third
// (falling back to the first when the box has no such button).
int DefaultAnswer(int flags);

}  // namespace vesk::ui
