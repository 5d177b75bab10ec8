#include "vesk/photo_editor/picture_box.h"

#include "vesk/photo_editor/twips.h"

namespace vesk::photo_editor {

PictureBox::PictureBox(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
    setAutoFillBackground(true);
}

void PictureBox::Place(double left, double top, double width, double height) {
    m_width = width;
    m_height = height;
    PlaceInTwips(*this, left, top, width, height);
}

double PictureBox::UnitInTwips() const {
    return m_scale == ScaleMode::Pixels ? TwipsPerPixel : 1.0;
}

double PictureBox::ScaleWidth() const {
    return contentsRect().width() * TwipsPerPixel / UnitInTwips();
}

double PictureBox::ScaleHeight() const {
    return contentsRect().height() * TwipsPerPixel / UnitInTwips();
}

QRect PictureBox::ToWidgetRect(double left, double top, double width, double height) const {
    return TwipsRect(left, top, width, height).translated(contentsRect().topLeft());
}

}  // namespace vesk::photo_editor
