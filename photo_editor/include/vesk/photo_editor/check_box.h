#pragma once

#include <QCheckBox>

namespace vesk::photo_editor {

// A check box whose value is 0 (unchecked) or 1 (checked). Click is signalled whenever the
// value changes, by the user or by the program.
class CheckBox : public QCheckBox {
    Q_OBJECT

public:
    explicit CheckBox(QWidget* parent = nullptr);

    int Value() const { return isChecked() ? 1 : 0; }
    void SetValue(int value) { setChecked(value != 0); }

signals:
    void Click();
};

}  // namespace vesk::photo_editor
