// The list of the owner's photos, the start-up of the dialog and the showing of a record.
#include <QPushButton>

#include <cmath>
#include <stdexcept>
#include <string>

#include "vesk/events/ignoring_failures.h"
#include "vesk/photo_editor/frm_photo.h"
#include "vesk/photo_editor/twips.h"
#include "vesk/ui/message_box.h"

namespace vesk::editor {

using platform::IgnoringFailure;

namespace {

constexpr const char* KeyPrefix = "ItemKey";
constexpr long BlueColor = 0xFF0000;
constexpr long BlackColor = 0;

}  // namespace

void frmPhoto::InitialiseDialog() {
    IgnoringFailure([&] {
        if (Store().BackColor != 0) {
            QPalette colours = palette();
            colours.setColor(QPalette::Window,
                             ColorFromOle(static_cast<long>(std::llround(Store().BackColor))));
            setPalette(colours);
        }
    });
    IgnoringFailure([&] {
        lvwPicDescription->SetUpColumn("Description", lvwPicDescription->WidthTwips() / 1.15);
    });
    IgnoringFailure([&] { ResetPhotoArea(); });
    IgnoringFailure([&] { LoadPhotoList(); });
    IgnoringFailure([&] { SetDialogCaption(Store().PhotosGroup(), "", ""); });
    IgnoringFailure([&] { SetAddModeIfNoPhotos(); });
    cmdSave->setEnabled(false);
    if (lvwPicDescription->Count() == 0) {
        IgnoringFailure([&] { LockPhotoDetails(); });
    }
}

void frmPhoto::LoadPhotoList() {
    try {
        lvwPicDescription->Clear();
        std::string defaultKey;
        bool defaultFound = false;
        if (Store().m_rsPhotoDetails == nullptr) {
            throw std::logic_error("Object variable or With block variable not set");
        }
        if (Store().m_rsPhotoDetails->RecordCount() > 0) {
            Store().FirstRecord();
            while (!Store().RecordEOF()) {
                const std::string description = Store().PhotoDescription();
                const int linesBefore = lvwPicDescription->Count();
                const std::string key = KeyPrefix + description + std::to_string(linesBefore);
                lvwPicDescription->Add(0, key, description);
                if (Store().DefaultPhoto() && !defaultFound) {
                    defaultKey = lvwPicDescription->KeyAt(lvwPicDescription->Count());
                    defaultFound = true;
                }
                Store().NextRecord();
            }
        }
        if (lvwPicDescription->Count() > 0 && !defaultFound) {
            ShowPhotoRecord(lvwPicDescription->TextAt(1));
            const std::string firstKey = lvwPicDescription->KeyAt(1);
            lvwPicDescription->Select(firstKey);
            if (!firstKey.empty()) {
                m_sCurrentKey = firstKey;
            }
            lvwPicDescription->EnsureVisible(firstKey);
        } else if (!defaultKey.empty() && lvwPicDescription->Count() > 0) {
            const std::string defaultText = lvwPicDescription->TextOf(defaultKey);
            ShowPhotoRecord(defaultText);
            lvwPicDescription->Select(defaultKey);
            if (!defaultText.empty()) {
                m_sCurrentKey = defaultKey;
            }
        }
    } catch (const std::exception& error) {
        ShowMessage(error.what(), platform::MessageBoxFlags::Exclamation);
    }
}

void frmPhoto::ShowPhotoRecord(const std::string& sDescription) {
    ClearPhotoDetails();
    Store().SearchForRecord({}, sDescription);
    imgMainPhoto->SetPicture(Store().Photo());
    ResetPhotoArea();
    StorePhotoNaturalSize();
    LayoutPhoto();
    txtDescription->SetText(Store().PhotoDescription());
    txtComments->SetText(Store().PhotoComments());
    chkDefault->SetValue(Store().DefaultPhoto() ? 1 : 0);
    m_bChanged = false;
    SetEditMode();
}

void frmPhoto::ClearPhotoDetails() {
    imgMainPhoto->SetVisible(false);
    imgMainPhoto->SetPicture(platform::Picture());
    txtDescription->SetText("");
    txtComments->SetText("");
    chkDefault->SetValue(0);
    cmdSave->setEnabled(false);
    m_bChanged = false;
    Store().OwnerPhoto = platform::Picture();
}

void frmPhoto::SetAddModeIfNoPhotos() {
    if (lvwPicDescription->Count() == 0) {
        SetAddMode();
        SetDialogCaption(Store().PhotosGroup(), "Add Photo", "");
    }
}

void frmPhoto::UpdateListAfterSave(std::string& sDescription, std::string& sKey) {
    txtDescription->SetText(sDescription);
    m_sDescription = sDescription;
    if (sDescription.empty()) {
        return;
    }
    if (!sKey.empty()) {
        lvwPicDescription->SetTextOf(sKey, sDescription);
        if (chkDefault->Value() == 1) {
            // The line that showed the previous default (blue) goes back to black.
            for (int position = 1; position <= lvwPicDescription->Count(); ++position) {
                const std::string key = lvwPicDescription->KeyAt(position);
                if (lvwPicDescription->ForeColorOf(key) == BlueColor && key != sKey) {
                    lvwPicDescription->SetForeColorOf(key, BlackColor);
                    return;
                }
            }
        } else {
            lvwPicDescription->SetForeColorOf(sKey, BlackColor);
        }
        return;
    }
    const std::string newKey = KeyPrefix + std::to_string(lvwPicDescription->Count() + 1);
    lvwPicDescription->Add(1, newKey, sDescription);
    lvwPicDescription->Select(newKey);
}

void frmPhoto::lvwPicDescription_ItemClick(const std::string& key) {
    if (lvwPicDescription->Count() >= 1) {
        ShowPhotoRecord(lvwPicDescription->TextOf(key));
        m_sCurrentKey = key;
    }
}

void frmPhoto::objcPhoto_DescriptionExists(bool& bExists) {
    m_bDescriptionExists = bExists;
}

void frmPhoto::objcPhoto_RecordPosition(std::int32_t& /*lRecordPosition*/,
                                        std::int32_t& lTotalRecords) {
    if (lTotalRecords == 0) {
        LockPhotoDetails();
    }
}

}  // namespace vesk::editor
