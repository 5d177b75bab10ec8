// The list of the owner's photos, the start-up of the dialog and the showing of a record.
#include <cmath>
#include <stdexcept>
#include <string>

#include "vesk/data_access/data_access_error.h"
#include "vesk/errors/ignoring_failures.h"
#include "vesk/photo_editor/frm_photo.h"
#include "vesk/photo_editor/twips.h"
#include "vesk/ui/message_box.h"

namespace vesk::photo_editor {

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
    m_bSaveOffered = false;
    UpdateCommandStates();
    if (lvwPicDescription->Count() == 0) {
        IgnoringFailure([&] { LockPhotoDetails(); });
    }
}

void frmPhoto::LoadPhotoList() {
    try {
        lvwPicDescription->Clear();
        m_lineRecords.clear();
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
                RememberLineRecord(key);
                if (Store().DefaultPhoto() && !defaultFound) {
                    defaultKey = lvwPicDescription->KeyAt(lvwPicDescription->Count());
                    defaultFound = true;
                }
                Store().NextRecord();
            }
        }
        if (lvwPicDescription->Count() > 0 && !defaultFound) {
            const std::string firstKey = lvwPicDescription->KeyAt(1);
            ShowPhotoRecord(lvwPicDescription->TextAt(1), firstKey);
            lvwPicDescription->Select(firstKey);
            if (!firstKey.empty()) {
                m_sCurrentKey = firstKey;
            }
            lvwPicDescription->EnsureVisible(firstKey);
        } else if (!defaultKey.empty() && lvwPicDescription->Count() > 0) {
            const std::string defaultText = lvwPicDescription->TextOf(defaultKey);
            ShowPhotoRecord(defaultText, defaultKey);
            lvwPicDescription->Select(defaultKey);
            if (!defaultText.empty()) {
                m_sCurrentKey = defaultKey;
            }
        }
    } catch (const std::exception& error) {
        ShowMessage(error.what(), ui::MessageBoxFlags::Exclamation);
    }
}

void frmPhoto::ShowPhotoRecord(const std::string& sDescription, const std::string& sKey) {
    ClearPhotoDetails();
    Store().SearchForRecord({}, sDescription);
    GoToLineRecord(sKey);
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
    imgMainPhoto->SetPicture(picture::Picture());
    txtDescription->SetText("");
    txtComments->SetText("");
    chkDefault->SetValue(0);
    m_bSaveOffered = false;
    m_bChanged = false;
    UpdateCommandStates();
    Store().OwnerPhoto = picture::Picture();
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
        RememberLineRecord(sKey);  // a saved record is stored as a new row
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
    const std::string newKey = NewLineKey();
    lvwPicDescription->Add(1, newKey, sDescription);
    RememberLineRecord(newKey);
    lvwPicDescription->Select(newKey);
}

// "ItemKey" + (lines + 1), or the next number that no line uses: after a delete, lines + 1 may
// be the key of a line added before.
std::string frmPhoto::NewLineKey() const {
    int number = lvwPicDescription->Count() + 1;
    std::string key = KeyPrefix + std::to_string(number);
    while (m_lineRecords.contains(key)) {
        key = KeyPrefix + std::to_string(++number);
    }
    return key;
}

// The line `key` shows the record objcPhoto stands on now.
void frmPhoto::RememberLineRecord(const std::string& key) {
    const data_access::RecordsetPtr& rows = Store().m_rsPhotoDetails;
    if (rows != nullptr && !rows->IsBOF() && !rows->IsEOF()) {
        m_lineRecords[key] = rows->Bookmark();
    } else {
        m_lineRecords[key] = data_access::Variant();
    }
}

// Makes the record of line `key` objcPhoto's current record (loading it) when it is not so
// already: the search by description finds the first of two records that share one. A row
// that has another identity since (a server table without a key gives a row a new one when it
// is updated, by the default marks say) is found again by its description.
void frmPhoto::GoToLineRecord(const std::string& key) {
    auto line = m_lineRecords.find(key);
    data_access::RecordsetPtr rows = Store().m_rsPhotoDetails;
    if (line == m_lineRecords.end() || line->second.IsEmpty() || rows == nullptr) {
        return;
    }
    if (!rows->IsBOF() && !rows->IsEOF() && rows->Bookmark() == line->second) {
        return;
    }
    try {
        rows->SetBookmark(line->second);
    } catch (const data_access::DataAccessError&) {
        Store().SearchForRecord({}, lvwPicDescription->TextOf(key));
        RememberLineRecord(key);
        return;
    }
    Store().LoadData(false, false);
}

bool frmPhoto::LineRecordExists(const std::string& key) {
    auto line = m_lineRecords.find(key);
    if (line == m_lineRecords.end() || line->second.IsEmpty()) {
        return true;  // unknown: count it as there, so that its line is kept
    }
    try {
        Store().m_rsPhotoDetails->SetBookmark(line->second);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

void frmPhoto::lvwPicDescription_ItemClick(const std::string& key) {
    if (lvwPicDescription->Count() >= 1) {
        ShowPhotoRecord(lvwPicDescription->TextOf(key), key);
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

}  // namespace vesk::photo_editor
