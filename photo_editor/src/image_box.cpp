#include "vesk/photo_editor/image_box.h"

#include <QImage>
#include <QPainter>

#include "vesk/photo_editor/picture_box.h"

namespace vesk::photo_editor {

ImageBox::ImageBox(PictureBox& container) : QWidget(&container), m_container(container) {
    UpdateGeometry();
}

void ImageBox::SetPicture(const picture::Picture& picture) {
    m_picture = picture;
    if (!m_stretch) {
        TakeNaturalSize();
    }
    update();
}

void ImageBox::SetVisible(bool visible) {
    m_visible = visible;
    setVisible(visible);
}

void ImageBox::SetStretch(bool stretch) {
    m_stretch = stretch;
    if (!stretch) {
        TakeNaturalSize();
    }
    update();
}

double ImageBox::Width() const {
    return FromTwips(m_width);
}
double ImageBox::Height() const {
    return FromTwips(m_height);
}
double ImageBox::Left() const {
    return FromTwips(m_left);
}
double ImageBox::Top() const {
    return FromTwips(m_top);
}

void ImageBox::SetWidth(double width) {
    m_width = static_cast<float>(ToTwips(width));
    UpdateGeometry();
}

void ImageBox::SetHeight(double height) {
    m_height = static_cast<float>(ToTwips(height));
    UpdateGeometry();
}

void ImageBox::SetLeft(double left) {
    m_left = static_cast<float>(ToTwips(left));
    UpdateGeometry();
}

void ImageBox::SetTop(double top) {
    m_top = static_cast<float>(ToTwips(top));
    UpdateGeometry();
}

void ImageBox::SetBorderStyle(int style) {
    m_borderStyle = style;
    update();
}

void ImageBox::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const QImage image = m_picture.ToImage();
    if (!image.isNull()) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        if (m_stretch) {
            painter.drawImage(rect(), image);
        } else {
            painter.drawImage(QPoint(0, 0), image);
        }
    } else if (!m_picture.IsEmpty()) {
        // Metafiles are kept as their bytes and not drawn; show where they stand.
        painter.setPen(palette().color(QPalette::Mid));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
        painter.drawText(rect(), Qt::AlignCenter, tr("Metafile"));
    }
    if (m_borderStyle != 0) {
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void ImageBox::TakeNaturalSize() {
    m_width = static_cast<float>(m_picture.WidthTwips());
    m_height = static_cast<float>(m_picture.HeightTwips());
    UpdateGeometry();
}

double ImageBox::ToTwips(double value) const {
    return value * m_container.UnitInTwips();
}

double ImageBox::FromTwips(float twips) const {
    return twips / m_container.UnitInTwips();
}

void ImageBox::UpdateGeometry() {
    setGeometry(m_container.ToWidgetRect(m_left, m_top, m_width, m_height));
}

}  // namespace vesk::photo_editor
