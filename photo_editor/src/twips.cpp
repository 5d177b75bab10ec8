#include "vesk/photo_editor/twips.h"

#include <QApplication>
#include <QPalette>
#include <QWidget>

#include <cmath>

namespace vesk::photo_editor {

int TwipsToPixels(double twips) {
    return static_cast<int>(std::lround(twips / TwipsPerPixel));
}

QRect TwipsRect(double left, double top, double width, double height) {
    return {TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width), TwipsToPixels(height)};
}

void PlaceInTwips(QWidget& widget, double left, double top, double width, double height) {
    widget.setGeometry(TwipsRect(left, top, width, height));
}

namespace {

QColor SystemColor(long index) {
    const QPalette palette = QApplication::palette();
    switch (index) {
        case SystemWindowColor & 0xFF:
            return palette.color(QPalette::Base);
        case SystemWindowTextColor & 0xFF:
            return palette.color(QPalette::Text);
        case SystemButtonFaceColor & 0xFF:
            return palette.color(QPalette::Button);
        default:
            return palette.color(QPalette::Window);
    }
}

}  // namespace

QColor ColorFromOle(long color) {
    if ((color & 0x80000000L) != 0) {
        return SystemColor(color & 0xFF);
    }
    return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                  static_cast<int>((color >> 16) & 0xFF));
}

}  // namespace vesk::photo_editor
