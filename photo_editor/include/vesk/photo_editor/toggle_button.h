#pragma once

#include <QPushButton>

namespace vesk::photo_editor {

// A push button that stays pressed while its value is 1, so that it reads as a button that
// opens something rather than as a setting. Value and Click behave as CheckBox's: Click is
// signalled whenever the value changes, by the user or by the program.
class ToggleButton : public QPushButton {
    Q_OBJECT

public:
    explicit ToggleButton(QWidget* parent = nullptr);

    int Value() const { return isChecked() ? 1 : 0; }
    void SetValue(int value) { setChecked(value != 0); }

signals:
    void Click();
};

}  // namespace vesk::photo_editor
