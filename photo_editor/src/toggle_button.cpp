#include "vesk/photo_editor/toggle_button.h"

namespace vesk::photo_editor {

ToggleButton::ToggleButton(QWidget* parent) : QPushButton(parent) {
    setCheckable(true);
    connect(this, &QPushButton::toggled, this, [this] { emit Click(); });
}

}  // namespace vesk::photo_editor
