#include "vesk/photo_editor/scroll_bar.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <stdexcept>

#include "vesk/photo_editor/picture_box.h"

namespace vesk::photo_editor {

int ToInteger16(double value) {
    const double rounded = std::nearbyint(value);
    if (!(rounded >= std::numeric_limits<std::int16_t>::min() &&
          rounded <= std::numeric_limits<std::int16_t>::max())) {
        throw std::out_of_range("Overflow");
    }
    return static_cast<int>(rounded);
}

ScrollBar::ScrollBar(Qt::Orientation orientation, PictureBox& container)
    : QScrollBar(orientation, &container), m_container(container) {
    setRange(0, 32767);
    connect(this, &QScrollBar::valueChanged, this, [this] { emit Change(); });
}

void ScrollBar::Place(double left, double top, double width, double height) {
    m_width = width;
    m_height = height;
    setGeometry(m_container.ToWidgetRect(left, top, width, height));
}

void ScrollBar::SetMax(double max) {
    setMaximum(ToInteger16(max));
}

void ScrollBar::SetValue(double value) {
    const int whole = ToInteger16(value);
    if (whole < minimum() || whole > maximum()) {
        throw std::out_of_range("Invalid property value");
    }
    setValue(whole);
}

}  // namespace vesk::photo_editor
