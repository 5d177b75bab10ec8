// The dialog's modes (edit, add, neither), its caption, the locks of the record's details and
// the action menu.
#include <QAction>
#include <QMenu>
#include <QPushButton>

#include <stdexcept>

#include "vesk/events/ignoring_failures.h"
#include "vesk/photo_editor/frm_photo.h"
#include "vesk/photo_editor/twips.h"
#include "vesk/ui/current_ui.h"

namespace vesk::editor {

using platform::IgnoringFailure;

void frmPhoto::ShowModal() {
    Form_Load();
    exec();
}

void frmPhoto::Form_Load() {
    if (m_loaded) {
        return;
    }
    m_loaded = true;
    InitialiseDialog();
}

photo::CPicture& frmPhoto::Store() const {
    if (m_objcPhoto == nullptr) {
        throw std::logic_error("Object variable or With block variable not set");
    }
    return *m_objcPhoto;
}

int frmPhoto::ShowMessage(const std::string& text, int flags, const std::string& title) {
    return platform::Ui().MessageBox(text, flags, title.empty() ? DefaultTitle : title);
}

void frmPhoto::SetDialogCaption(const std::optional<std::string>& vGroup, const std::string& sMode,
                                const std::string& sPrefix) {
    if (vGroup.has_value() && !vGroup->empty()) {
        m_sCaptionGroup = *vGroup;
    }
    std::string caption;
    if (m_sCaptionGroup.empty()) {
        caption = sPrefix + sMode;
    } else {
        caption = sPrefix + m_sCaptionGroup + " - [" + Store().PhotoCode() + "  " +
                  Store().PhotosOwnerName() + "]";
    }
    setWindowTitle(QString::fromStdString(caption));
}

void frmPhoto::SetEditMode() {
    m_bAdding = false;
    m_bEditing = true;
    IgnoringFailure([&] {
        txtDescription->SetLocked(false);
        txtComments->SetLocked(false);
    });
    IgnoringFailure([&] { SetDialogCaption(std::nullopt, "", "[Edit Photo] - "); });
    chkDefault->setEnabled(true);
    IgnoringFailure([&] { UnlockPhotoDetails(); });
    m_bChanged = false;
    cmdSave->setEnabled(false);
    chkDefault->setEnabled(true);
}

void frmPhoto::SetAddMode() {
    m_bAdding = true;
    m_bEditing = false;
    IgnoringFailure([&] { ClearPhotoDetails(); });
    m_sCurrentKey.clear();
    txtDescription->SetLocked(false);
    txtComments->SetLocked(false);
    cmdSave->setEnabled(false);
    IgnoringFailure([&] { SetDialogCaption(std::nullopt, "", "[Add Photo] - "); });
    chkDefault->setEnabled(true);
    IgnoringFailure([&] { UnlockPhotoDetails(); });
    m_bChanged = false;
    cmdSave->setEnabled(false);
    txtDescription->setFocus();
}

void frmPhoto::UnlockPhotoDetails() {
    txtDescription->SetLocked(false);
    txtDescription->SetBackColor(SystemWindowColor);
    txtComments->SetLocked(false);
    txtComments->SetBackColor(SystemWindowColor);
    chkDefault->setEnabled(true);
}

void frmPhoto::LockPhotoDetails() {
    txtDescription->SetLocked(true);
    txtDescription->SetBackColor(SystemButtonFaceColor);
    txtComments->SetLocked(true);
    txtComments->SetBackColor(SystemButtonFaceColor);
    chkDefault->setEnabled(false);
}

void frmPhoto::chkAction_Click() {
    // Setting chkAction's value below notifies this handler again; those calls return here.
    if (m_bShowingMenu) {
        return;
    }
    m_bShowingMenu = true;
    // However the menu ends, the button shows unchecked again and the guard is cleared.
    struct MenuClosing {
        frmPhoto& dialog;
        ~MenuClosing() {
            dialog.chkAction->SetValue(0);
            dialog.m_bShowingMenu = false;
        }
    } closing{*this};
    chkAction->SetValue(1);
    mnuCopyToClipboard->setEnabled(HasPicture());
    mnuAddFromFile->setEnabled(true);
    const bool addingOnly = m_bAdding && !m_bEditing;
    mnuAddFromClipBoard->setEnabled(addingOnly || !platform::Ui().GetClipboardPicture().IsEmpty());
    // Only a record that is shown can be deleted: after a delete nothing is, until a line is
    // picked.
    mnuDeleteCurrentPhoto->setEnabled(m_bEditing && !m_sCurrentKey.empty());
    PopupMenuRunner(*mnuPhotoAction, QPoint(chkAction->x(), chkAction->y() + chkAction->height()));
}

void frmPhoto::txtDescription_Change() {
    if (m_bEditing || m_bAdding) {
        cmdSave->setEnabled(true);
        m_bChanged = true;
    }
}

void frmPhoto::txtComments_Change() {
    if (m_bEditing) {
        cmdSave->setEnabled(true);
        m_bChanged = true;
    }
}

bool frmPhoto::HasUnsavedChanges() const {
    return m_bChanged && cmdSave->isEnabled();
}

bool frmPhoto::HasPicture() const {
    return !imgMainPhoto->Picture().IsEmpty();
}

}  // namespace vesk::editor
