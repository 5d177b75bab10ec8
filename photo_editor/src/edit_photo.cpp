// CPicture's entry point into the editor dialog. It lives with the dialog so that the photo
// store itself does not depend on the widgets.
#include <QApplication>

#include <cstdlib>
#include <memory>
#include <stdexcept>

#include "vesk/errors/error.h"
#include "vesk/photo_editor/frm_photo.h"
#include "vesk/photo_store/c_picture.h"

namespace vesk::photo_store {

namespace {

// Makes the widget application the dialog needs when the host runs none (a plain C++ host, or
// one binding late); it lives as long as the process. Throws when the host runs another kind
// of Qt application, or when there is no display to show the dialog on (Qt would abort).
void RequireWidgetApplication() {
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr) {
        return;
    }
    if (QCoreApplication::instance() != nullptr) {
        throw std::logic_error(
            "The photo editor needs a Qt widget application (QApplication); the host runs "
            "another kind of Qt application");
    }
    auto isSet = [](const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr && *value != '\0';
    };
    if (!isSet("QT_QPA_PLATFORM") && !isSet("DISPLAY") && !isSet("WAYLAND_DISPLAY")) {
        throw Error(
            "The photo editor cannot be shown: there is no display (neither DISPLAY nor "
            "WAYLAND_DISPLAY is set, nor QT_QPA_PLATFORM)");
    }
    static int argc = 1;
    static char name[] = "VeskPhoto";
    static char* argv[] = {name, nullptr};
    // Never destroyed: at exit Qt's own globals may be gone before it could be.
    new QApplication(argc, argv);
}

// The dialog's shared instance: made on first use, released after each edit so that the
// next one starts from a fresh dialog.
std::unique_ptr<photo_editor::frmPhoto>& SharedPhotoDialog() {
    static std::unique_ptr<photo_editor::frmPhoto> dialog;
    return dialog;
}

}  // namespace

Picture CPicture::EditPhoto(const std::string& PhotosGroup, const std::string& OwnerID,
                            const std::string& OwnerDescription, data_access::ConnectionPtr cnn) {
    RequireWidgetApplication();
    Init(OwnerID, PhotosGroup, OwnerDescription, nullptr, std::move(cnn));
    std::unique_ptr<photo_editor::frmPhoto>& dialog = SharedPhotoDialog();
    if (dialog == nullptr) {
        dialog = std::make_unique<photo_editor::frmPhoto>();
    }
    dialog->SetObjcPhoto(this);
    try {
        dialog->ShowModal();
    } catch (...) {
        dialog.reset();
        throw;
    }
    Picture result = dialog->objcPhoto()->OwnerPhoto;
    dialog.reset();
    return result;
}

}  // namespace vesk::photo_store
