#pragma once

#include <QScrollBar>

namespace vesk::photo_editor {

class PictureBox;

// A scroll bar with 16-bit whole-number Max, Value, SmallChange and LargeChange; its minimum
// stays 0. Change is signalled whenever the value changes, by the user or by the program.
// A value outside its range is refused with an error and changes nothing.
class ScrollBar : public QScrollBar {
    Q_OBJECT

public:
    ScrollBar(Qt::Orientation orientation, PictureBox& container);

    // Places the bar inside its box; twips, relative to the box's inner area.
    void Place(double left, double top, double width, double height);
    // Size in twips, as placed.
    double Width() const { return m_width; }
    double Height() const { return m_height; }

    int Max() const { return maximum(); }
    // Throws std::out_of_range for values outside -32768..32767 (a double is rounded first,
    // halves to even).
    void SetMax(double max);
    int Value() const { return value(); }
    // Throws std::out_of_range for values outside 0..Max.
    void SetValue(double value);
    int SmallChange() const { return singleStep(); }
    void SetSmallChange(int change) { setSingleStep(change); }
    int LargeChange() const { return pageStep(); }
    void SetLargeChange(int change) { setPageStep(change); }

signals:
    void Change();

private:
    PictureBox& m_container;
    double m_width = 0;
    double m_height = 0;
};

// A double rounded to a 16-bit whole number, halves to even; throws std::out_of_range when it
// does not fit.
int ToInteger16(double value);

}  // namespace vesk::photo_editor
