#pragma once

#include <string>

#include "vesk/picture/picture.h"

namespace vesk::ui {

// What an open-file dialog gave: the chosen path and its file name without the folder; both
// empty when the user cancelled.
struct OpenFileResult {
    std::string path;
    std::string fileTitle;
};

// The user-interface services the components call: message boxes, the clipboard's picture,
// the open-file dialog and the event pump. Implementations: Qt widgets, standard error, and a
// scripted one for tests. Callers reach the current one through Ui() (current_ui.h).
class UiServices {
public:
    virtual ~UiServices() = default;

    // Shows a modal box with `text`, the buttons and icon of `flags` (MessageBoxFlags) and
    // `title`, or the application title when `title` is empty. Returns a MessageBoxAnswer.
    int MessageBox(const std::string& text, int flags = 0, const std::string& title = {});

    // The clipboard's picture; the empty picture when it holds none. A picture that cannot be
    // read throws PictureError.
    virtual picture::Picture GetClipboardPicture() = 0;
    // Puts `picture` on the clipboard in place of its content; the empty picture clears it.
    virtual void SetClipboardPicture(const picture::Picture& picture) = 0;
    virtual void ClearClipboard() = 0;

    // Lets the user choose one existing file. `filter` has the form of ParseFileFilter;
    // `flags` are the caller's dialog options (recorded by the scripted services; the Qt dialog
    // always asks for one existing file and shows no read-only box, so they change nothing).
    virtual OpenFileResult OpenFile(int flags, const std::string& filter) = 0;

    // Processes pending Qt events once when a Qt application object exists; else does nothing.
    virtual void DoEvents();

    // The title of boxes shown without one: the name of the component that shows them.
    const std::string& ApplicationTitle() const { return m_applicationTitle; }
    void SetApplicationTitle(std::string title) { m_applicationTitle = std::move(title); }

protected:
    // Shows the box; `title` has been resolved already.
    virtual int ShowMessageBox(const std::string& text, int flags, const std::string& title) = 0;

private:
    std::string m_applicationTitle;
};

}  // namespace vesk::ui
