// The dialog's modes (edit, add, neither), its caption, the locks of the record's details and
// the action menu.
#include <QAction>
#include <QMenu>
#include <QPushButton>

#include <stdexcept>

#include "vesk/errors/ignoring_failures.h"
#include "vesk/photo_editor/frm_photo.h"
#include "vesk/photo_editor/twips.h"
#include "vesk/ui/current_ui.h"

namespace vesk::photo_editor {

namespace {

// A locked text box shows the button face colour, an unlocked one the window colour.
template <typename Box>
void ShowLocked(Box& box, bool locked) {
    if (box.Locked() != locked) {
        box.SetLocked(locked);
    }
    box.SetBackColor(locked ? SystemButtonFaceColor : SystemWindowColor);
}

}  // namespace

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

photo_store::CPicture& frmPhoto::Store() const {
    if (m_objcPhoto == nullptr) {
        throw std::logic_error("Object variable or With block variable not set");
    }
    return *m_objcPhoto;
}

int frmPhoto::ShowMessage(const std::string& text, int flags, const std::string& title) {
    return ui::Ui().MessageBox(text, flags, title.empty() ? DefaultTitle : title);
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
    m_bDetailsLocked = false;
    IgnoringFailure([&] { SetDialogCaption(std::nullopt, "", "[Edit Photo] - "); });
    m_bChanged = false;
    m_bSaveOffered = false;
    UpdateCommandStates();
}

void frmPhoto::SetAddMode() {
    m_bAdding = true;
    m_bEditing = false;
    IgnoringFailure([&] { ClearPhotoDetails(); });
    m_sCurrentKey.clear();
    m_bDetailsLocked = false;
    IgnoringFailure([&] { SetDialogCaption(std::nullopt, "", "[Add Photo] - "); });
    m_bChanged = false;
    m_bSaveOffered = false;
    UpdateCommandStates();
    txtDescription->setFocus();
}

void frmPhoto::UnlockPhotoDetails() {
    m_bDetailsLocked = false;
    UpdateCommandStates();
}

void frmPhoto::LockPhotoDetails() {
    m_bDetailsLocked = true;
    UpdateCommandStates();
}

// The rules, by control:
//   cmdSave                    m_bSaveOffered
//   chkDefault                 details not locked
//   txtDescription, Comments   locked (button face) or unlocked (window colour) likewise
// and, as the menu opens:
//   mnuCopyToClipboard         a picture is shown
//   mnuAddFromFile             always
//   mnuAddFromClipBoard        add mode, or the clipboard holds a picture
//   mnuDeleteCurrentPhoto      edit mode with a record shown
void frmPhoto::UpdateCommandStates() {
    cmdSave->setEnabled(m_bSaveOffered);
    ShowLocked(*txtDescription, m_bDetailsLocked);
    ShowLocked(*txtComments, m_bDetailsLocked);
    chkDefault->setEnabled(!m_bDetailsLocked);
    if (!m_bMenuOpening) {
        return;
    }
    mnuCopyToClipboard->setEnabled(HasPicture());
    mnuAddFromFile->setEnabled(true);
    // Add mode offers the clipboard item without reading the clipboard.
    const bool addingOnly = m_bAdding && !m_bEditing;
    mnuAddFromClipBoard->setEnabled(addingOnly || !ui::Ui().GetClipboardPicture().IsEmpty());
    // Only a record that is shown can be deleted: after a delete nothing is, until a line is
    // picked.
    mnuDeleteCurrentPhoto->setEnabled(m_bEditing && !m_sCurrentKey.empty());
}

void frmPhoto::chkAction_Click() {
    // Setting chkAction's value below notifies this handler again; those calls return here.
    if (m_bShowingMenu) {
        return;
    }
    m_bShowingMenu = true;
    // However the menu ends, the button shows unchecked again and the guards are cleared.
    struct MenuClosing {
        frmPhoto& dialog;
        ~MenuClosing() {
            dialog.chkAction->SetValue(0);
            dialog.m_bMenuOpening = false;
            dialog.m_bShowingMenu = false;
        }
    } closing{*this};
    chkAction->SetValue(1);
    m_bMenuOpening = true;
    UpdateCommandStates();
    m_bMenuOpening = false;
    PopupMenuRunner(*mnuPhotoAction, QPoint(chkAction->x(), chkAction->y() + chkAction->height()));
}

void frmPhoto::txtDescription_Change() {
    if (m_bEditing || m_bAdding) {
        m_bSaveOffered = true;
        m_bChanged = true;
        UpdateCommandStates();
    }
}

void frmPhoto::txtComments_Change() {
    if (m_bEditing) {
        m_bSaveOffered = true;
        m_bChanged = true;
        UpdateCommandStates();
    }
}

bool frmPhoto::HasUnsavedChanges() const {
    return m_bChanged && m_bSaveOffered;
}

bool frmPhoto::HasPicture() const {
    return !imgMainPhoto->Picture().IsEmpty();
}

}  // namespace vesk::photo_editor
