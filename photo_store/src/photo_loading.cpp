// Loading the current row into the members, navigating the owner's rows and searching them.
#include <stdexcept>

#include "photo_file_name.h"
#include "vesk/data_access/chunks.h"
#include "vesk/data_access/data_access_error.h"
#include "vesk/data_access/sql_text.h"
#include "vesk/files/file_error.h"
#include "vesk/photo_store/c_picture.h"

namespace vesk::photo_store {

namespace {

std::string TextOrEmpty(const data_access::Variant& value) {
    return value.IsNull() ? std::string() : value.ToText();
}

}  // namespace

void CPicture::FireErrorDescrption(std::string description) {
    Fire([&](CPictureEvents& listener) { listener.ErrorDescrption(description); });
}

data_access::Recordset& CPicture::PhotoRows() const {
    if (!m_rsPhotoDetails) {
        throw data_access::DataAccessError(
            "The photo rows are not open: Init has not selected them.");
    }
    return *m_rsPhotoDetails;
}

void CPicture::LoadData(bool bDefaultPhoto, bool bConverting) {
    ReportedStep([&] {
        if (PhotoRows().RecordCount() == 0) {
            SavePhotoDetails(true, false);
        }
    });
    if (!bConverting && bDefaultPhoto) {
        SeekDefaultPhoto();
    }
    CopyRowToMembers();
    ReportedStep([&] { m_sTempFile = GetTempPixName(); });
    LoadPicture(bConverting);
    if (SaveAsFile) {
        ReportedStep(
            [&] { LoadPhotoFromFile(OwnerPhoto, m_photoCode, m_photoDescription, m_photosGroup); });
    }
}

// Stands on the first row whose default mark is set, or on the first row when none is. Each
// failing step (a row whose mark cannot be read, say) is reported and the scan goes on.
void CPicture::SeekDefaultPhoto() {
    data_access::Recordset* rows = nullptr;
    if (!ReportedStep([&] {
            rows = &PhotoRows();
            rows->MoveFirst();
        })) {
        return;
    }
    bool atEnd = false;
    while (ReportedStep([&] { atEnd = rows->IsEOF(); }) && !atEnd) {
        bool isDefault = false;
        ReportedStep([&] {
            data_access::Variant mark = rows->Fields()[OwnerDefaultPhotoField].Value();
            isDefault = !mark.IsNull() && mark.ToBool();
        });
        if (isDefault || !ReportedStep([&] { rows->MoveNext(); })) {
            break;
        }
    }
    ReportedStep([&] {
        if (rows->IsEOF() || rows->IsBOF()) {
            rows->MoveFirst();
        }
    });
}

void CPicture::CopyRowToMembers() {
    auto copy = [&](const std::string& column, std::string& member) {
        if (!column.empty()) {
            ReportedStep([&] { member = TextOrEmpty(PhotoRows().Fields()[column].Value()); });
        }
    };
    copy(OwnerIDField, m_photoCode);
    copy(OwnerDescField, m_photoDescription);
    copy(OwnerGroupField, m_photosGroup);
    copy(OwnerCommentsField, m_photoComments);
    if (!OwnerDefaultPhotoField.empty()) {
        ReportedStep([&] {
            data_access::Variant mark = PhotoRows().Fields()[OwnerDefaultPhotoField].Value();
            m_defaultPhoto = !mark.IsNull() && mark.ToBool();
        });
    }
}

// The bytes of the current row's picture column, read in pieces: the remainder first, then
// the full pieces. Stops quietly at the first failure (a missing column, say) with what it has.
data_access::Bytes CPicture::ReadPictureColumn() {
    data_access::Bytes bytes;
    try {
        if (m_cnnPhotos) {
            m_cnnPhotos->SetAttributes(128);
        }
        data_access::Field picture = PhotoRows().Fields()[OwnerPhotoField];
        std::int64_t size = picture.ActualSize();
        bytes.reserve(static_cast<std::size_t>(size));
        data_access::ForEachChunk(size, [&](std::int64_t, std::int64_t length) {
            data_access::Bytes piece = picture.GetChunk(length).ToBytes();
            bytes.insert(bytes.end(), piece.begin(), piece.end());
            return !piece.empty();  // a value shorter than its size said ends here
        });
    } catch (const std::exception&) {
    }
    return bytes;
}

// OwnerPhoto from the row's picture column. In file storage a picture still held in the
// column is written out to its photo file; the row's copy is then cleared by a statement,
// unless `converting`, where the conversion clears it through the record set.
void CPicture::LoadPicture(bool converting) {
    m_copyWrittenToFile = false;
    if (!SaveAsFile && TakeJustStored(OwnerPhoto, {})) {
        return;
    }
    data_access::Bytes bytes = ReadPictureColumn();
    if (bytes.empty()) {
        OwnerPhoto = Picture();  // never the picture of the row loaded before
        return;
    }
    OwnerPhoto = Picture();
    ReportedStep([&] { OwnerPhoto = Picture::FromBytes(bytes); });
    if (SaveAsFile) {
        ReportedStep([&] {
            NormalisePhotosFolder();
            std::string failure;
            if (OwnerPhoto.Handle() != 0 &&
                !SavePhotoToFile(OwnerPhoto, m_photoCode, m_photoDescription, m_photosGroup,
                                 &failure, !converting)) {
                throw files::FileError(
                    "The photo could not be written to its file, and stays in the table: " +
                    failure);
            }
            m_copyWrittenToFile = OwnerPhoto.Handle() != 0;
        });
    }
}

// Whether the row (table storage) or the file (file storage, `file`) being loaded holds the
// picture just stored; if so `picture` becomes it, under a handle of its own.
bool CPicture::TakeJustStored(Picture& picture, const std::string& file) {
    if (!m_justStored || m_justStored->file != file) {
        return false;
    }
    if (file.empty()) {
        try {
            data_access::Recordset& rows = PhotoRows();
            if (rows.Bookmark() != m_justStored->bookmark ||
                rows.Fields()[OwnerPhotoField].ActualSize() != m_justStored->size) {
                return false;
            }
        } catch (const std::exception&) {
            return false;
        }
    }
    picture = m_justStored->picture.Copy();
    return true;
}

void CPicture::FireRecordPosition(std::int32_t& position, std::int32_t& total) {
    Fire([&](CPictureEvents& listener) { listener.RecordPosition(position, total); });
}

bool CPicture::FireIsFirstRecord() {
    bool isFirst = true;
    Fire([&](CPictureEvents& listener) { listener.IsFirstRecord(isFirst); });
    return isFirst;
}

bool CPicture::FireIsLastRecord() {
    bool isLast = true;
    Fire([&](CPictureEvents& listener) { listener.IsLastRecord(isLast); });
    return isLast;
}

void CPicture::FirstRecord() {
    data_access::Recordset& rows = PhotoRows();
    if (rows.RecordCount() <= 0) {
        return;
    }
    rows.MoveFirst();
    LoadData(false, false);
    m_lRecordPosition = 1;
    FireRecordPosition(m_lRecordPosition, m_lTotalRecords);
    m_recordBOF = FireIsFirstRecord();
    m_recordEOF = false;
}

void CPicture::LastRecord() {
    data_access::Recordset& rows = PhotoRows();
    if (rows.RecordCount() <= 0) {
        return;
    }
    rows.MoveLast();
    LoadData(false, false);
    m_lRecordPosition = rows.RecordCount();
    std::int32_t total = rows.RecordCount();
    FireRecordPosition(m_lRecordPosition, total);
    m_recordEOF = FireIsLastRecord();
    m_recordBOF = false;
}

void CPicture::NextRecord() {
    try {
        data_access::Recordset& rows = PhotoRows();
        if (rows.RecordCount() <= 0) {
            return;
        }
        rows.MoveNext();
        if (!rows.IsEOF()) {
            LoadData(false, false);
            ++m_lRecordPosition;
        } else {
            rows.MoveLast();
            LoadData(false, false);
            m_recordEOF = FireIsLastRecord();
            m_recordBOF = false;
            m_lRecordPosition = rows.RecordCount();
        }
        FireRecordPosition(m_lRecordPosition, m_lTotalRecords);
    } catch (const std::exception& error) {
        FireErrorDescrption(error.what());
    }
}

void CPicture::PreviousRecord() {
    try {
        data_access::Recordset& rows = PhotoRows();
        if (rows.RecordCount() <= 0) {
            return;
        }
        rows.MovePrevious();
        if (!rows.IsBOF()) {
            LoadData(false, false);
            --m_lRecordPosition;
        } else {
            rows.MoveFirst();
            LoadData(false, false);
            m_recordBOF = FireIsFirstRecord();
            m_recordEOF = false;
            m_lRecordPosition = 1;
        }
        FireRecordPosition(m_lRecordPosition, m_lTotalRecords);
    } catch (const std::exception& error) {
        FireErrorDescrption(error.what());
    }
}

void CPicture::SearchForRecord(std::string sCode, const std::string& sDescription) {
    try {
        if (!m_rsPhotoDetails) {
            return;
        }
        // The values go into the criteria as they are: Find compares them under the one
        // letter-case rule, which upper-casing first could only break ("ß" would become "SS").
        std::string codeTerm = OwnerIDField + "='" + data_access::EscapeSqlText(sCode) + "'";
        std::string descriptionTerm =
            OwnerDescField + "='" + data_access::EscapeSqlText(sDescription) + "'";
        std::string criteria;
        if (!sCode.empty() && sDescription.empty() && !OwnerIDField.empty()) {
            criteria = codeTerm;
        } else if (sCode.empty() && !sDescription.empty() && !OwnerDescField.empty()) {
            criteria = descriptionTerm;
        } else if (!sCode.empty() && !sDescription.empty() && !OwnerIDField.empty() &&
                   !OwnerDescField.empty()) {
            criteria = codeTerm + " AND " + descriptionTerm;
        }
        bool found = false;
        data_access::Recordset& rows = *m_rsPhotoDetails;
        if (!criteria.empty() && rows.RecordCount() >= 1) {
            rows.MoveFirst();
            rows.Find(criteria, 0, data_access::adSearchForward);
            if (!rows.IsBOF() && !rows.IsEOF()) {
                LoadData(false, false);
                found = true;
            }
        }
        FireExists(&CPictureEvents::RecordExists, found);
    } catch (const std::exception& error) {
        FireErrorDescrption(error.what());
    }
}

void CPicture::FireExists(void (CPictureEvents::*event)(bool&), bool exists) {
    Fire([&](CPictureEvents& listener) {
        bool argument = exists;
        (listener.*event)(argument);
    });
}

Picture CPicture::GetPhoto(const std::string& PhotosGroup, const std::string& OwnerID,
                           data_access::ConnectionPtr cnn) {
    Init(OwnerID, PhotosGroup, {}, nullptr, std::move(cnn));
    LoadData(true, false);
    return OwnerPhoto;
}

}  // namespace vesk::photo_store
