// The action menu's commands: adding a photo from a file or the clipboard, copying the shown
// photo to the clipboard and deleting the shown record.
#include <QAction>

#include "vesk/errors/ignoring_failures.h"
#include "vesk/photo_editor/frm_photo.h"
#include "vesk/ui/current_ui.h"
#include "vesk/ui/message_box.h"

namespace vesk::photo_editor {

using ui::MessageBoxAnswer;
using ui::MessageBoxFlags;

const char* const frmPhoto::PhotoFileFilter =
    "All Photos |*.bmp;*.ico;*.cur;*.rle;*.wmf;*.emf;*.gif;*.rle;*.jpg|"
    "Bitmaps (*.bmp)|*.bmp|Icons (*.ico)|*.ico|Cursors (*.cur)|*.cur|"
    "Run Length Encoded (*.rle)|*.rle|Metafile (*.wmf)|*.wmf|"
    "Enhanced Metafiles (*.emf)|*.emf|GIF (*.gif)|*.gif|JPEG (*.jpg)|*.jpg|"
    "All Files (*.*)|*.*";

namespace {

constexpr int HideReadOnly = 4;

}  // namespace

void frmPhoto::mnuAddFromFile_Click() {
    if (!AskToSaveChanges()) {
        return;
    }
    SetAddMode();
    AddPhotoFromFile();
}

void frmPhoto::mnuAddFromClipBoard_Click() {
    if (!AskToSaveChanges()) {
        return;
    }
    SetAddMode();
    AddPhotoFromClipboard();
}

void frmPhoto::AddPhotoFromFile() {
    try {
        cdlLoadPhotos.Flags = HideReadOnly;
        cdlLoadPhotos.Filter = PhotoFileFilter;
        cdlLoadPhotos.ShowOpen();
        if (!cdlLoadPhotos.FileName.empty()) {
            ResetPhotoArea();
            imgMainPhoto->SetPicture(picture::Picture::Load(cdlLoadPhotos.FileName));
            txtDescription->SetText(cdlLoadPhotos.FileTitle);
            StorePhotoNaturalSize();
            LayoutPhoto();
        }
    } catch (const std::exception& error) {
        ShowMessage(error.what(), MessageBoxFlags::Exclamation);
    }
}

void frmPhoto::AddPhotoFromClipboard() {
    try {
        const picture::Picture picture = ui::Ui().GetClipboardPicture();
        if (!picture.IsEmpty()) {
            m_bSaveOffered = true;
            m_bChanged = true;
            UpdateCommandStates();
            imgMainPhoto->SetPicture(picture);
            ResetPhotoArea();
            StorePhotoNaturalSize();
            LayoutPhoto();
        }
    } catch (const std::exception& error) {
        ShowMessage(error.what(), MessageBoxFlags::Exclamation);
    }
}

void frmPhoto::mnuCopyToClipboard_Click() {
    try {
        ui::Ui().ClearClipboard();
        ui::Ui().SetClipboardPicture(imgMainPhoto->Picture());
    } catch (const std::exception& error) {
        ShowMessage(error.what(), MessageBoxFlags::Critical, "Error Loading Photo");
    }
}

void frmPhoto::mnuDeleteCurrentPhoto_Click() {
    DeleteCurrentPhoto();
}

// Deletes the record shown, which is objcPhoto's current record: the list loses exactly the
// line of the row deleted. With lines but no record shown there is nothing to delete.
void frmPhoto::DeleteCurrentPhoto() {
    if (lvwPicDescription->Count() > 0 && m_sCurrentKey.empty()) {
        return;
    }
    if (lvwPicDescription->Count() > 0) {
        const int answer = ShowMessage("Delete Photo and it's details?",
                                       MessageBoxFlags::YesNoCancel | MessageBoxFlags::Question,
                                       "Photo Delete Confirm");
        if (answer != MessageBoxAnswer::Yes) {
            return;
        }
        // A record the store could not delete keeps its line: the list shows what is stored.
        std::optional<std::string> failure;
        try {
            GoToLineRecord(m_sCurrentKey);
            failure = FirstStoreFailure([&] { Store().DeleteRecord(); });
        } catch (const std::exception& error) {
            failure = error.what();
        }
        if (failure.has_value() && LineRecordExists(m_sCurrentKey)) {
            ShowMessage(*failure, MessageBoxFlags::Exclamation);
            return;
        }
        m_bSaveOffered = false;
        UpdateCommandStates();
        IgnoringFailure([&] { lvwPicDescription->Remove(m_sCurrentKey); });
        m_lineRecords.erase(m_sCurrentKey);
        m_sCurrentKey.clear();
        if (failure.has_value()) {
            ShowMessage(*failure, MessageBoxFlags::Exclamation);  // the files it left behind
        }
        IgnoringFailure(
            [&] { SetDialogCaption(m_sCaptionGroup, "Photo And Details Deleted", ""); });
        IgnoringFailure([&] { SetAddModeIfNoPhotos(); });
    } else {
        ShowMessage("There are no Photos to delete", MessageBoxFlags::Exclamation, "No Photos");
    }
    IgnoringFailure([&] { ClearPhotoDetails(); });
}

}  // namespace vesk::photo_editor
