#pragma once

#include <QImage>
#include <QSize>

#include <string>
#include <vector>

#include "vesk/data_access/connection.h"
#include "vesk/photo_store/c_picture.h"

namespace vesk::bench {

// The seconds each step of one editor session took, each until the photo widget had painted
// the result, and the sizes the editor drew the picture at.
struct EditorTimes {
    double open = 0;                 // EditPhoto called .. the default photo painted
    std::vector<double> selections;  // a click on another line .. that line's photo painted
    double toActualSize = 0;  // "Actual size" clicked .. the unscaled picture painted (fastest)
    double toFit = 0;         // "Fit Space" clicked .. the fitted picture painted (fastest)
    double save = 0;          // Save clicked .. the row stored and the dialog repainted
    QSize fittedSize;         // the widget the fitted picture is scaled into
    QSize frameSize;          // the inside of the photo frame
};

// Makes the widget application the editor needs when none runs yet, on the offscreen platform
// when the machine has no display (a CI machine has none). Call before any other Qt object.
void RequireWidgetApplication();

// Opens the editor through `store`.EditPhoto on the owner's photos in `connection`, as a host
// does, and plays the user: clicks every line other than the one shown first, switches to
// "Actual size" and back a few times, then saves `newDescription` for the photo shown last and
// closes. Message boxes are answered by a scripted user; any box, or a step that shows nothing
// within a minute, is an error (std::runtime_error) after the dialog is closed.
EditorTimes RunEditorSession(photo_store::CPicture& store, const std::string& group,
                             const std::string& owner, data_access::ConnectionPtr connection,
                             const std::string& newDescription);

// The best of `rounds` switches of a plain widget that paints `image` as the editor's photo
// widget does, in a scroll area of `frameSize`: to the unscaled picture (with scroll bars) and
// back to the picture scaled into `fittedSize`, each until painted. The least a widget viewer
// does to switch.
struct ViewerSwitchTimes {
    double toActualSize = 0;
    double toFit = 0;
};
ViewerSwitchTimes TimeViewerSwitch(const QImage& image, QSize frameSize, QSize fittedSize,
                                   int rounds);

}  // namespace vesk::bench
