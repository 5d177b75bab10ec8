// Writing the members back as a row, deleting rows, default marks and existence checks.
#include <filesystem>

#include "photo_file_name.h"
#include "vesk/data_access/data_access_error.h"
#include "vesk/data_access/sql_text.h"
#include "vesk/photo/c_picture.h"

namespace vesk::photo {

namespace {

constexpr std::size_t kChunkSize = 16384;

std::string TextOrDash(const std::string& text) {
    return text.empty() ? "-" : text;
}

}  // namespace

void CPicture::SavePhotoDetails(bool bNewRecord, bool bConverting) {
    data::Recordset* rows = nullptr;
    if (!ReportedStep([&] { rows = &PhotoRows(); })) {
        return;
    }
    bool replacing = !bNewRecord;
    data::ConnectionPtr connection = rows->ActiveConnection();
    m_justStored.reset();
    // Replacing deletes the old row and adds the new one in one transaction: if the new row
    // cannot be stored whole, the old one is put back.
    if (replacing && !ReportedStep([&] { connection->BeginTrans(); })) {
        return;
    }
    if (replacing) {
        ReportedStep([&] { rows->Delete(); });
        if (!bConverting) {
            ReportedStep([&] { rows->Requery(); });
        }
    }
    ReportedStep([&] { rows->AddNew(); });
    SetNewRowColumns();
    bool pictureStored = StorePicture();
    bool stored = replacing ? StoreRow(pictureStored) : StoreRow(true);
    if (replacing) {
        ReportedStep([&] { stored ? connection->CommitTrans() : connection->RollbackTrans(); });
    }
    if (!bConverting) {
        ReportedStep([&] { rows->Requery(); });
        if (bNewRecord) {
            ReportedStep([&] { LastRecord(); });
        }
    }
    m_justStored.reset();
}

void CPicture::SetNewRowColumns() {
    data::Recordset& rows = *m_rsPhotoDetails;
    auto set = [&](const std::string& column, const data::Variant& value) {
        if (!column.empty()) {
            ReportedStep([&] { rows.Fields()[column].SetValue(value); });
        }
    };
    set(OwnerIDField, TextOrDash(m_photoCode));
    set(OwnerDescField, TextOrDash(m_photoDescription));
    set(OwnerGroupField, TextOrDash(m_photosGroup));
    set(OwnerDefaultPhotoField, m_defaultPhoto);
    set(OwnerCommentsField, TextOrDash(m_photoComments));
}

// Puts OwnerPhoto where the storage form keeps it: its photo file, or the new row's picture
// column. A picture that cannot be written is reported; returns whether it was written.
bool CPicture::StorePicture() {
    if (SaveAsFile) {
        if (OwnerPhoto.Handle() == 0) {
            return true;
        }
        std::string failure;
        if (SavePhotoToFile(OwnerPhoto, m_photoCode, m_photoDescription, m_photosGroup, &failure)) {
            m_justStored = StoredPicture{
                {}, 0, PhotoFilePath(m_photoCode, m_photoDescription, m_photosGroup), OwnerPhoto};
            return true;
        }
        FireErrorDescrption("The photo could not be written to its file: " + failure);
        return false;
    }
    ReportedStep([&] { m_sTempFile = GetTempPixName(); });
    data::Bytes bytes;
    if (!ReportedStep([&] { bytes = OwnerPhoto.ToBytes(); })) {
        return OwnerPhoto.IsEmpty();  // an empty picture leaves the column null
    }
    if (!ReportedStep([&] { WritePictureColumn(bytes); })) {
        return false;
    }
    m_justStored = StoredPicture{{}, static_cast<std::int64_t>(bytes.size()), {}, OwnerPhoto};
    return true;
}

// Appends the picture's bytes to the new row's picture column: the remainder first, then the
// full pieces, so that the column holds exactly these bytes.
void CPicture::WritePictureColumn(const data::Bytes& bytes) {
    if (m_cnnPhotos) {
        m_cnnPhotos->SetAttributes(128);
    }
    if (bytes.empty()) {
        return;
    }
    data::Field picture = m_rsPhotoDetails->Fields()[OwnerPhotoField];
    std::size_t rest = bytes.size() % kChunkSize;
    auto append = [&](std::size_t offset, std::size_t length) {
        picture.AppendChunk(data::Bytes(bytes.begin() + offset, bytes.begin() + offset + length));
    };
    if (rest > 0) {
        append(0, rest);
    }
    for (std::size_t offset = rest; offset < bytes.size(); offset += kChunkSize) {
        append(offset, kChunkSize);
    }
}

// Stores the new row; when `wanted` is false (a replacement whose picture was not written)
// or the store fails, the row is dropped instead. Returns whether it was stored.
bool CPicture::StoreRow(bool wanted) {
    data::Recordset& rows = *m_rsPhotoDetails;
    bool stored = wanted && ReportedStep([&] { rows.Update(); });
    if (stored && m_justStored) {
        try {
            m_justStored->bookmark = rows.Bookmark();
        } catch (const std::exception&) {
            m_justStored.reset();
        }
    }
    if (!stored) {
        ReportedStep([&] {
            if (rows.State() == data::adStateOpen) {
                rows.CancelUpdate();
            }
        });
    }
    return stored;
}

void CPicture::DeleteRecord() {
    try {
        if (!m_rsPhotoDetails || m_rsPhotoDetails->RecordCount() == 0) {
            return;
        }
        data::Recordset& rows = *m_rsPhotoDetails;
        if (!rows.IsBOF() && !rows.IsEOF()) {
            rows.Delete();
            if (SaveAsFile) {
                DeletePhotoFiles(m_photoCode, m_photoDescription, m_photosGroup);
            }
        }
        if (rows.RecordCount() > 0) {
            rows.MoveLast();
            m_lTotalRecords = rows.RecordCount();
            m_lRecordPosition = rows.RecordCount();
        }
        OwnerPhoto = Picture();
    } catch (const std::exception& error) {
        FireErrorDescrption(error.what());
    }
}

void CPicture::DeletePhotos() {
    try {
        data::ConnectionPtr connection = DBConnection();
        if (connection) {
            connection->Execute("DELETE FROM " + TableName + " WHERE " + OwnerGroupField + "='" +
                                data::EscapeSqlText(PhotosOwnerName()) + "' And PhotoCode='" +
                                data::EscapeSqlText(m_photoCode) + "'");
        }
    } catch (const std::exception&) {
    }
}

void CPicture::UnSetDefaultPhoto(const std::string& strCode,
                                 const std::string& /*strDescription*/) {
    if (!m_cnnPhotos) {
        throw data::DataAccessError("There is no connection: Init has not been given one.");
    }
    m_cnnPhotos->Execute("UPDATE " + TableName + " SET " + OwnerDefaultPhotoField + " = " +
                         m_cnnPhotos->BooleanLiteral(false) + " WHERE " + OwnerIDField + "='" +
                         data::EscapeSqlText(strCode) + "' and " + OwnerGroupField + "='" +
                         data::EscapeSqlText(m_photosGroup) + "'");
}

// Whether any of the owner's rows has `value` in `column` (ignoring letter case), by a filter
// on the rows that is always cleared again.
bool CPicture::ExistsUnderFilter(const std::string& column, const std::string& value) {
    data::Recordset& rows = *m_rsPhotoDetails;
    rows.SetFilter(UpperCase(column) + "='" + data::EscapeSqlText(UpperCase(value)) + "'");
    bool exists = false;
    try {
        exists = rows.RecordCount() != 0;
    } catch (...) {
        rows.SetFilter("");
        throw;
    }
    rows.SetFilter("");
    return exists;
}

void CPicture::CheckIfCodeExists(std::string vData) {
    try {
        if (m_rsPhotoDetails) {
            FireExists(&CPictureEvents::CodeExists, ExistsUnderFilter(OwnerIDField, vData));
        }
    } catch (const std::exception& error) {
        FireErrorDescrption(error.what());
    }
}

void CPicture::CheckIfDescriptionExists(const std::string& vData) {
    try {
        if (m_rsPhotoDetails) {
            FireExists(&CPictureEvents::DescriptionExists,
                       ExistsUnderFilter(OwnerDescField, vData));
        }
    } catch (const std::exception& error) {
        FireErrorDescrption(error.what());
    }
}

}  // namespace vesk::photo
