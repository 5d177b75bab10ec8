// Saving the shown record through the photo store, the default mark, and closing.
#include <QKeyEvent>
#include <QString>

#include <stdexcept>

#include "number_text.h"
#include "vesk/data_access/letter_case.h"
#include "vesk/data_access/transaction.h"
#include "vesk/errors/error.h"
#include "vesk/errors/ignoring_failures.h"
#include "vesk/photo_editor/frm_photo.h"
#include "vesk/ui/message_box.h"

namespace vesk::photo_editor {

using detail::NumberText;
using ui::MessageBoxAnswer;
using ui::MessageBoxFlags;

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
        m_bSaveOffered = false;
        UpdateCommandStates();
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

// The check and the save are one write of the photo table: another writer cannot store the
// same description between them.
bool frmPhoto::SaveNewRecord() {
    std::optional<data_access::Transaction> writing;
    try {
        BeginStoreWrite(writing);
    } catch (const std::exception& error) {
        ShowMessage(error.what(), MessageBoxFlags::OkOnly);
        return false;
    }
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
    if (writing.has_value()) {
        try {
            writing->Commit();
        } catch (const std::exception& error) {
            ShowMessage(error.what(), MessageBoxFlags::OkOnly);
            return false;
        }
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
            data_access::SameIgnoringCase(lvwPicDescription->TextAt(position), m_sDescription)) {
            ShowMessage("Description already exists. Enter a unique one!",
                        MessageBoxFlags::Exclamation, "Decription Already Exists");
            txtDescription->setFocus();
            return false;
        }
    }
    try {
        GoToLineRecord(m_sCurrentKey);
    } catch (const std::exception& error) {
        ShowMessage(error.what(), MessageBoxFlags::OkOnly);
        return false;
    }
    if (!SavePhotoRecord()) {
        return false;
    }
    IgnoringFailure([&] { UpdateListAfterSave(m_sDescription, m_sCurrentKey); });
    return true;
}

// Begins in `writing` a write transaction on objcPhoto's connection that holds the photo
// table; none when objcPhoto was given rows without a connection.
void frmPhoto::BeginStoreWrite(std::optional<data_access::Transaction>& writing) {
    photo_store::CPicture& store = Store();
    if (store.DBConnection() != nullptr) {
        writing.emplace(store.DBConnection(), store.TableName);
    }
}

bool frmPhoto::SavePhotoRecord() {
    // The default marks are cleared and the record stored as one change: a save that fails
    // leaves the owner's photos (and their files) as they were.
    try {
        photo_store::CPicture& store = Store();
        std::optional<data_access::Transaction> writing;
        BeginStoreWrite(writing);
        store.UnSetDefaultPhoto(store.PhotoCode(), txtDescription->Text());
        store.SetPhoto(imgMainPhoto->Picture());
        store.SetPhotoDescription(txtDescription->Text());
        store.SetPhotoComments(txtComments->Text());
        store.SetDefaultPhoto(chkDefault->Value() == 1);
        // The store reports a failed save through its notifications, not as an error.
        const std::optional<std::string> failure =
            FirstStoreFailure([&] { store.SavePhotoDetails(m_bAdding, false); });
        if (failure.has_value()) {
            throw Error(*failure);
        }
        if (writing.has_value()) {
            writing->Commit();
        }
        SetDialogCaption(std::nullopt, "Photo Saved", "");
        return true;
    } catch (const std::exception& error) {
        ShowMessage(error.what(), MessageBoxFlags::OkOnly);
        return false;
    }
}

void frmPhoto::chkDefault_Click() {
    if (m_bEditing || m_bAdding) {
        m_bSaveOffered = true;  // the mark alone is no unsaved change
        UpdateCommandStates();
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

void frmPhoto::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        cmdClose_Click();
        return;
    }
    QDialog::keyPressEvent(event);
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

}  // namespace vesk::photo_editor
