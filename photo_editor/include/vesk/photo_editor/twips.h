#pragma once

#include <QColor>
#include <QRect>

class QWidget;

namespace vesk::photo_editor {

// The editor is laid out in twips, 1440 to the inch, drawn at 15 twips per pixel.
inline constexpr double TwipsPerPixel = 15.0;

// Whole pixels nearest to a length in twips.
int TwipsToPixels(double twips);
// The pixel rectangle of a rectangle given in twips.
QRect TwipsRect(double left, double top, double width, double height);
// Places `widget` in its parent at a rectangle given in twips.
void PlaceInTwips(QWidget& widget, double left, double top, double width, double height);

// Colours as hosts give them: 0x00BBGGRR, or 0x800000NN for the system colour NN (5 = window
// background, 8 = window text, 15 = button face).
inline constexpr long SystemWindowColor = 0x80000005;
inline constexpr long SystemWindowTextColor = 0x80000008;
inline constexpr long SystemButtonFaceColor = 0x8000000F;
QColor ColorFromOle(long color);

}  // namespace vesk::photo_editor
