#include "vesk/photo_editor/check_box.h"

namespace vesk::photo_editor {

CheckBox::CheckBox(QWidget* parent) : QCheckBox(parent) {
    connect(this, &QCheckBox::toggled, this, [this] { emit Click(); });
}

}  // namespace vesk::photo_editor
