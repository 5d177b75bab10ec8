#pragma once

#include <QFrame>

namespace vesk::photo_editor {

// A framed viewport for pictures. Its outer size is kept in twips as given; its inner (scale)
// size is the area inside the border, in the current scale: twips, or pixels while switched.
// Children place themselves through ToWidgetRect, relative to the inner area.
class PictureBox : public QFrame {
public:
    enum class ScaleMode { Twips, Pixels };

    explicit PictureBox(QWidget* parent = nullptr);

    // Places the box in its parent; sizes in twips.
    void Place(double left, double top, double width, double height);

    // Outer size in twips, as placed.
    double Width() const { return m_width; }
    double Height() const { return m_height; }
    // Inner size in the current scale.
    double ScaleWidth() const;
    double ScaleHeight() const;

    ScaleMode Scale() const { return m_scale; }
    void SetScale(ScaleMode scale) { m_scale = scale; }
    // Twips per unit of the current scale.
    double UnitInTwips() const;

    // The widget rectangle of a child rectangle given in twips inside the inner area.
    QRect ToWidgetRect(double left, double top, double width, double height) const;

private:
    double m_width = 0;
    double m_height = 0;
    ScaleMode m_scale = ScaleMode::Twips;
};

}  // namespace vesk::photo_editor
