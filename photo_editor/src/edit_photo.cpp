// CPicture's entry point into the editor dialog. It lives with the dialog so that the photo
// store itself does not depend on the widgets.
#include <QApplication>

#include <memory>
#include <stdexcept>

#include "vesk/photo/c_picture.h"
#include "vesk/photo_editor/frm_photo.h"

namespace vesk::photo {

namespace {

// The dialog's shared instance: made on first use, released after each edit so that the
// next one starts from a fresh dialog.
std::unique_ptr<editor::frmPhoto>& SharedPhotoDialog() {
    static std::unique_ptr<editor::frmPhoto> dialog;
    return dialog;
}

}  // namespace

Picture CPicture::EditPhoto(const std::string& PhotosGroup, const std::string& OwnerID,
                            const std::string& OwnerDescription, data::ConnectionPtr cnn) {
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
        throw std::logic_error("The photo editor needs a running Qt application (QApplication)");
    }
    Init(OwnerID, PhotosGroup, OwnerDescription, nullptr, std::move(cnn));
    std::unique_ptr<editor::frmPhoto>& dialog = SharedPhotoDialog();
    if (dialog == nullptr) {
        dialog = std::make_unique<editor::frmPhoto>();
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

}  // namespace vesk::photo
