#pragma once

#include <QDialog>

#include <array>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "vesk/data_access/transaction.h"
#include "vesk/photo_editor/check_box.h"
#include "vesk/photo_editor/common_dialog.h"
#include "vesk/photo_editor/image_box.h"
#include "vesk/photo_editor/picture_box.h"
#include "vesk/photo_editor/report_list.h"
#include "vesk/photo_editor/scroll_bar.h"
#include "vesk/photo_editor/text_box.h"
#include "vesk/photo_editor/toggle_button.h"
#include "vesk/photo_store/c_picture.h"

class QAction;
class QKeyEvent;
class QFrame;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;
class QRadioButton;

namespace vesk::photo_editor {

// The modal dialog in which a user looks at, adds, describes, marks as default and deletes
// the photos of one owner. Everything it reads and stores goes through the CPicture set with
// SetObjcPhoto; the dialog never touches the database or the photo files itself.
//
// Controls, handlers and state carry the names the dialog's behaviour is described by, and
// are public so that tests can drive and inspect the real widgets.
class frmPhoto : public QDialog, private photo_store::CPictureEvents {
    Q_OBJECT

public:
    explicit frmPhoto(QWidget* parent = nullptr);
    ~frmPhoto() override;

    // The photo store the dialog edits (not owned); the dialog listens to its notifications
    // while set. Set it before ShowModal.
    photo_store::CPicture* objcPhoto() const { return m_objcPhoto; }
    void SetObjcPhoto(photo_store::CPicture* picture);

    // Loads the dialog from objcPhoto and runs it modally until the user closes it.
    void ShowModal();
    // The dialog's start-up: fills the list and shows the first or default photo.
    void Form_Load();

    // Opens the action menu at `position` (dialog coordinates) and returns when it closed,
    // after the chosen item's handler ran. Tests replace it to choose an item.
    std::function<void(QMenu& menu, const QPoint& position)> PopupMenuRunner;

    // Controls.
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdClose = nullptr;
    QGroupBox* fraDetails = nullptr;
    PictureBox* picPhotoFrame = nullptr;
    ScrollBar* HScLeftSet = nullptr;
    ScrollBar* VSctopSet = nullptr;
    std::array<QFrame*, 2> fraHideBackGround{};
    ImageBox* imgMainPhoto = nullptr;
    QGroupBox* fraPhotoSize = nullptr;
    CheckBox* chkDefault = nullptr;
    QRadioButton* optFit = nullptr;
    QRadioButton* optActualsize = nullptr;
    QGroupBox* fraDatactrls = nullptr;
    SingleLineTextBox* txtDescription = nullptr;
    MultiLineTextBox* txtComments = nullptr;
    ReportList* lvwPicDescription = nullptr;
    QLabel* lblDescription = nullptr;
    QLabel* lblComments = nullptr;
    QLabel* lblExisting = nullptr;
    QLabel* lblPhoto = nullptr;
    CommonDialog cdlLoadPhotos;
    ToggleButton* chkAction = nullptr;
    QLabel* Label1 = nullptr;
    QFrame* Shape1 = nullptr;
    QMenu* mnuPhotoAction = nullptr;
    QAction* mnuAddFromFile = nullptr;
    QAction* mnuAddFromClipBoard = nullptr;
    QAction* mnuNill0 = nullptr;
    QAction* mnuCopyToClipboard = nullptr;
    QAction* mnuDeleteCurrentPhoto = nullptr;

    // State.
    double m_dPhotoWidth = 0;
    double m_dPhotoHeight = 0;
    double m_dPhotoWidthPx = 0;
    double m_dPhotoHeightPx = 0;
    std::string m_sCurrentKey;
    bool m_bEditing = false;
    bool m_bAdding = false;
    bool m_bChanged = false;
    bool m_bDescriptionExists = false;
    std::string m_sDescription;
    std::string m_sCaptionGroup;
    bool m_bPhotoTooBig = false;
    // Whether Save is offered. An edit in a mode that takes it, a paste and a layout of a
    // picture within the size limit offer it (so does a change of view of an unchanged
    // record); a layout the size check refuses, showing a record, entering a mode, clearing
    // the details, a save and a delete withdraw it. A save leaves m_bChanged set.
    bool m_bSaveOffered = false;
    // Whether the description, the comments and the default mark are locked.
    bool m_bDetailsLocked = false;

    // Sets every control's enabled state, and the details' lock, from the state above; the
    // controls it does not name are always enabled. Handlers change the state, then call it.
    // The action menu's items are set only as the menu opens: they depend on the clipboard,
    // which is read then, and keep those states until it opens again.
    void UpdateCommandStates();

    // Modes, locks and the caption.
    void SetDialogCaption(const std::optional<std::string>& vGroup, const std::string& sMode,
                          const std::string& sPrefix = {});
    void SetEditMode();
    void SetAddMode();
    void UnlockPhotoDetails();
    void LockPhotoDetails();
    void chkAction_Click();
    void txtDescription_Change();
    void txtComments_Change();

    // The list and the shown record.
    void InitialiseDialog();
    void LoadPhotoList();
    // Shows the record with `sDescription`; given the key of its line, the line's own record
    // even where another record has the same description.
    void ShowPhotoRecord(const std::string& sDescription, const std::string& sKey = {});
    void ClearPhotoDetails();
    void SetAddModeIfNoPhotos();
    void UpdateListAfterSave(std::string& sDescription, std::string& sKey);
    void lvwPicDescription_ItemClick(const std::string& key);
    void objcPhoto_DescriptionExists(bool& bExists);
    void objcPhoto_RecordPosition(std::int32_t& lRecordPosition, std::int32_t& lTotalRecords);

    // Viewing the picture.
    void ResetPhotoArea();
    void StorePhotoNaturalSize();
    void LayoutPhoto();
    void HScLeftSet_Change();
    void VSctopSet_Change();
    void optFit_Click();
    void optActualsize_Click();

    // Adding, copying and deleting.
    void mnuAddFromFile_Click();
    void mnuAddFromClipBoard_Click();
    void AddPhotoFromFile();
    void AddPhotoFromClipboard();
    void mnuCopyToClipboard_Click();
    void mnuDeleteCurrentPhoto_Click();
    void DeleteCurrentPhoto();

    // Saving and closing. cmdSave_Click returns whether the record was stored.
    bool cmdSave_Click();
    bool SavePhotoRecord();
    void chkDefault_Click();
    void cmdClose_Click();

    // Whether the shown record has changes the user has not saved.
    bool HasUnsavedChanges() const;

    // The title of boxes the dialog shows without one of its own.
    static constexpr const char* DefaultTitle = "VeskPhoto";
    // The filter of the open-file dialog.
    static const char* const PhotoFileFilter;

private:
    // Layout (frm_photo_layout.cpp).
    void BuildControls();
    void BuildDetailsFrame();
    void BuildPhotoFrame();
    void BuildDataControls();
    void BuildPhotoSizeFrame();
    void BuildActionMenu();
    void ConnectHandlers();

    // Viewing steps.
    void LayoutFitView();
    void LayoutActualSizeView();
    void CheckPhotoSize();
    bool HasPicture() const;

    // Keeping lines and records together.
    void RememberLineRecord(const std::string& key);
    void GoToLineRecord(const std::string& key);
    // Whether objcPhoto's rows still hold the record of line `key` (standing on it if so).
    bool LineRecordExists(const std::string& key);
    std::string NewLineKey() const;
    // Escape closes the dialog the way cmdClose does, with its question.
    void keyPressEvent(QKeyEvent* event) override;

    // Saving steps.
    // Asks whether to save unsaved changes; returns whether the command that asked goes on.
    bool AskToSaveChanges();
    bool CheckBeforeSave();
    bool SaveNewRecord();
    void BeginStoreWrite(std::optional<data_access::Transaction>& writing);
    bool SaveEditedRecord();
    // Runs a call of the photo store and returns the first failure it reported, if any.
    template <typename Call>
    std::optional<std::string> FirstStoreFailure(Call&& call) {
        m_storeFailures.emplace();
        try {
            call();
        } catch (...) {
            m_storeFailures.reset();
            throw;
        }
        std::optional<std::string> first;
        if (!m_storeFailures->empty()) {
            first = m_storeFailures->front();
        }
        m_storeFailures.reset();
        return first;
    }

    int ShowMessage(const std::string& text, int flags, const std::string& title = {});
    photo_store::CPicture& Store() const;

    // Notifications of objcPhoto.
    void DescriptionExists(bool& bExists) override { objcPhoto_DescriptionExists(bExists); }
    void RecordPosition(std::int32_t& lRecordPosition, std::int32_t& lTotalRecords) override {
        objcPhoto_RecordPosition(lRecordPosition, lTotalRecords);
    }
    void ErrorDescrption(std::string& sErrDescrption) override;
    void ErrorSavingPhoto(std::string& sErrMsg) override;

    photo_store::CPicture* m_objcPhoto = nullptr;
    bool m_bShowingMenu = false;  // guards chkAction_Click against its own value change
    bool m_bMenuOpening = false;  // UpdateCommandStates sets the menu's items too
    bool m_loaded = false;
    // The failures the photo store reports while FirstStoreFailure listens.
    std::optional<std::vector<std::string>> m_storeFailures;
    // The record each line shows (its bookmark in objcPhoto's rows), by line key.
    std::map<std::string, data_access::Variant> m_lineRecords;
};

}  // namespace vesk::photo_editor
