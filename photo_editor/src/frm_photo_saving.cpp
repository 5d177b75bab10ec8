// Saving the shown record through the photo store, the default mark, and closing.
#include <QPushButton>
#include <QString>

#include <stdexcept>

#include "number_text.h"
#include "vesk/events/ignoring_failures.h"
#include "vesk/photo_editor/frm_photo.h"
#include "vesk/ui/message_box.h"

namespace vesk::editor {

using detail::NumberText;
using platform::IgnoringFailure;
using platform::MessageBoxAnswer;
using platform::MessageBoxFlags;

namespace {

bool SameIgnoringCase(const std::string& left, const std::string& right) {
    return QString::fromStdString(left).toUpper() == QString::fromStdString(right).toUpper();
}

}  // namespace

void frmPhoto::ErrorDescrption(std::string& sErrDescrption) {
    if (m_storeFailures.has_value()) {
        m_storeFailures->push_back(sErrDescrption);
    }
}

void frmPhoto::ErrorSavingPhoto(std::string& sErrMsg) {
    if (m_storeFailures.has_value()) {
        m_storeFailures->push_back(sErrMsg);
    }
}

bool frmPhoto::cmdSave_Click() {
    if (!CheckBeforeSave()) {
        return false;
    }
    m_sDescription = txtDescription->Text();
    const bool saved = m_bAdding ? SaveNewRecord() : SaveEditedRecord();
    if (saved) {
        cmdSave->setEnabled(false);
    }
    return saved;
}

bool frmPhoto::CheckBeforeSave() {
    if (m_bPhotoTooBig) {
        ShowMessage("Photo too big!!! Maximum size allowed: " + NumberText(Store().PhotosMaxSize) +
                        " KB in bitmap format",
                    MessageBoxFlags::Exclamation);
        return false;
    }
    if (txtDescription->Text().empty()) {
        ShowMessage("Enter a description for the photo!", MessageBoxFlags::Exclamation,
                    "Decription Not Entered");
        txtDescription->setFocus();
        return false;
    }
    if (!HasPicture()) {
        ShowMessage("No photo to save!", MessageBoxFlags::Exclamation, "No photo");
        txtDescription->setFocus();
        return false;
    }
    return true;
}

bool frmPhoto::SaveNewRecord() {
    IgnoringFailure([&] { Store().CheckIfDescriptionExists(m_sDescription); });
    if (m_bDescriptionExists) {
        ShowMessage("Descrition exists. Please enter a unique description",
                    MessageBoxFlags::Exclamation, "Description Exist");
        txtDescription->setFocus();
        return false;
    }
    if (!SavePhotoRecord()) {
        return false;
    }
    std::string noKey;
    IgnoringFailure([&] { UpdateListAfterSave(m_sDescription, noKey); });
    IgnoringFailure([&] { SetDialogCaption(m_sCaptionGroup, "Photo And Details Added", ""); });
    m_bAdding = false;
    m_bDescriptionExists = false;
    m_sCurrentKey = lvwPicDescription->SelectedKey();
    return true;
}

bool frmPhoto::SaveEditedRecord() {
    for (int position = 1; position <= lvwPicDescription->Count(); ++position) {
        if (lvwPicDescription->KeyAt(position) != m_sCurrentKey &&
            SameIgnoringCase(lvwPicDescription->TextAt(position), m_sDescription)) {
            ShowMessage("Description already exists. Enter a unique one!",
                        MessageBoxFlags::Exclamation, "Decription Already Exists");
            txtDescription->setFocus();
            return false;
        }
    }
    if (!SavePhotoRecord()) {
        return false;
    }
    IgnoringFailure([&] { UpdateListAfterSave(m_sDescription, m_sCurrentKey); });
    return true;
}

bool frmPhoto::SavePhotoRecord() {
    // The default marks are cleared and the record stored as one change: a save that fails
    // leaves the owner's photos as they were.
    data::ConnectionPtr connection;
    bool inTransaction = false;
    try {
        photo::CPicture& store = Store();
        connection = store.DBConnection();
        if (connection != nullptr) {
            connection->BeginTrans();
            inTransaction = true;
        }
        store.UnSetDefaultPhoto(store.PhotoCode(), txtDescription->Text());
        store.SetPhoto(imgMainPhoto->Picture());
        store.SetPhotoDescription(txtDescription->Text());
        store.SetPhotoComments(txtComments->Text());
        store.SetDefaultPhoto(chkDefault->Value() == 1);
        // The store reports a failed save through its notifications, not as an error.
        const std::optional<std::string> failure =
            FirstStoreFailure([&] { store.SavePhotoDetails(m_bAdding, false); });
        if (failure.has_value()) {
            throw std::runtime_error(*failure);
        }
        if (inTransaction) {
            inTransaction = false;
            connection->CommitTrans();
        }
        SetDialogCaption(std::nullopt, "Photo Saved", "");
        return true;
    } catch (const std::exception& error) {
        if (inTransaction) {
            IgnoringFailure([&] { connection->RollbackTrans(); });
        }
        ShowMessage(error.what(), MessageBoxFlags::OkOnly);
        return false;
    }
}

void frmPhoto::chkDefault_Click() {
    if (m_bEditing || m_bAdding) {
        cmdSave->setEnabled(true);
    }
}

bool frmPhoto::AskToSaveChanges() {
    if (!HasUnsavedChanges()) {
        return true;
    }
    const int answer =
        ShowMessage("Save changes?", MessageBoxFlags::YesNoCancel | MessageBoxFlags::Question,
                    "Changes Not Saved");
    if (answer == MessageBoxAnswer::Cancel) {
        return false;
    }
    // The user asked for the save: when it did not take place, the command stops so that the
    // change is not lost.
    return answer != MessageBoxAnswer::Yes || cmdSave_Click();
}

void frmPhoto::cmdClose_Click() {
    try {
        if (!AskToSaveChanges()) {
            return;
        }
        close();
    } catch (const std::exception& error) {
        ShowMessage(error.what(), MessageBoxFlags::Exclamation);
    }
}

}  // namespace vesk::editor
