// Writing the members back as a row, deleting rows, default marks and existence checks.
#include <optional>

#include "photo_file_name.h"
#include "photo_file_write.h"
#include "vesk/data_access/chunks.h"
#include "vesk/data_access/data_access_error.h"
#include "vesk/data_access/sql_text.h"
#include "vesk/data_access/transaction.h"
#include "vesk/photo_store/c_picture.h"

namespace vesk::photo_store {

namespace {

std::string TextOrDash(const std::string& text) {
    return text.empty() ? "-" : text;
}

}  // namespace

void CPicture::SavePhotoDetails(bool bNewRecord, bool bConverting) {
    data_access::Recordset* rows = nullptr;
    if (!ReportedStep([&] { rows = &PhotoRows(); })) {
        return;
    }
    m_justStored.reset();
    data_access::Variant before = CurrentBookmark();
    // The old row (when replacing), the new row and its photo file are one change: when any
    // part of it cannot be stored, the table and the photo folder stay as they were.
    std::optional<data_access::Transaction> change;
    if (!ReportedStep([&] { change.emplace(rows->ActiveConnection()); })) {
        return;
    }
    if (!bNewRecord) {
        ReportedStep([&] { rows->Delete(); });
        if (!bConverting) {
            ReportedStep([&] { rows->Requery(); });
        }
    }
    ReportedStep([&] { rows->AddNew(); });
    SetNewRowColumns();
    auto fileWrite = std::make_shared<PhotoFileWrite>();
    std::optional<data_access::Variant> stored;
    if (SaveAsFile || StorePictureInColumn()) {
        stored = StoreRow();
    } else {
        DropNewRow();
    }
    if (stored && SaveAsFile && !StorePictureInFile(*fileWrite)) {
        stored.reset();
    }
    if (!FinishChange(*change, stored.has_value(), fileWrite)) {
        stored.reset();
    }
    if (!bConverting) {
        ReportedStep([&] { rows->Requery(); });
        ReportedStep([&] { StandOnSavedRow(stored ? *stored : before, bNewRecord && stored); });
    }
    m_justStored.reset();
}

data_access::Variant CPicture::CurrentBookmark() const {
    try {
        data_access::Recordset& rows = PhotoRows();
        if (!rows.IsBOF() && !rows.IsEOF()) {
            return rows.Bookmark();
        }
    } catch (const std::exception&) {
    }
    return {};
}

// Commits the change when everything was stored, else rolls it back. The photo file follows
// the rows: it stays only when the outermost transaction (the caller's, when it holds one)
// commits them. Returns whether the change was committed.
bool CPicture::FinishChange(data_access::Transaction& change, bool complete,
                            const std::shared_ptr<PhotoFileWrite>& fileWrite) {
    if (complete && ReportedStep([&] { change.Commit(); })) {
        data_access::ConnectionPtr connection = m_rsPhotoDetails->ActiveConnection();
        connection->WhenTransactionEnds([fileWrite](bool committed) {
            committed ? fileWrite->Keep() : static_cast<void>(fileWrite->Undo());
        });
        return true;
    }
    ReportedStep([&] {
        if (change.IsOpen()) {
            change.Rollback();
        }
    });
    if (!fileWrite->Undo()) {
        FireErrorDescrption("The photo file could not be put back as it was: " +
                            PhotoFilePath(m_photoCode, m_photoDescription, m_photosGroup));
    }
    return false;
}

// After the requery that ends a save, the cursor stands on the row the members describe: the
// stored row, or (when nothing was stored) the row current before. A new row is also loaded
// and its position told, as LastRecord does when it is the last row.
void CPicture::StandOnSavedRow(const data_access::Variant& bookmark, bool loadNewRow) {
    data_access::Recordset& rows = PhotoRows();
    if (bookmark.IsEmpty()) {
        return;
    }
    rows.SetBookmark(bookmark);
    if (!loadNewRow) {
        return;
    }
    rows.MoveLast();
    if (rows.Bookmark() == bookmark) {
        LastRecord();
        return;
    }
    rows.SetBookmark(bookmark);
    LoadData(false, false);
    m_lRecordPosition = PositionOf(bookmark);
    FireRecordPosition(m_lRecordPosition, m_lTotalRecords);
}

// The 1-based position of the row with `bookmark` in the set. The cursor ends on that row.
std::int32_t CPicture::PositionOf(const data_access::Variant& bookmark) {
    data_access::Recordset& rows = PhotoRows();
    std::int32_t position = 1;
    for (rows.MoveFirst(); !rows.IsEOF() && rows.Bookmark() != bookmark; rows.MoveNext()) {
        ++position;
    }
    rows.SetBookmark(bookmark);
    return position;
}

void CPicture::SetNewRowColumns() {
    data_access::Recordset& rows = *m_rsPhotoDetails;
    auto set = [&](const std::string& column, const data_access::Variant& value) {
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

// Puts OwnerPhoto into the new row's picture column (table storage). An empty picture leaves
// the column null (the picture service's refusal to save it is still reported). Returns
// whether the column holds the whole picture; a failure is reported.
bool CPicture::StorePictureInColumn() {
    ReportedStep([&] { m_sTempFile = GetTempPixName(); });
    data_access::Bytes bytes;
    if (!ReportedStep([&] { bytes = OwnerPhoto.ToBytes(); })) {
        return OwnerPhoto.IsEmpty();
    }
    if (!ReportedStep([&] { WritePictureColumn(bytes); })) {
        return false;
    }
    m_justStored = StoredPicture{{}, static_cast<std::int64_t>(bytes.size()), {}, OwnerPhoto};
    return true;
}

// Writes OwnerPhoto to the row's photo file (file storage) so that FinishChange can take it
// back; an empty picture writes nothing, and a name another row maps to is refused. Returns
// whether the file holds the picture.
bool CPicture::StorePictureInFile(PhotoFileWrite& fileWrite) {
    if (OwnerPhoto.Handle() == 0) {
        return true;
    }
    std::string file;
    try {
        PreparePhotoFolder();
        RequireOwnFileName(m_photoCode, m_photoDescription, m_photosGroup);
        file = PhotoFilePath(m_photoCode, m_photoDescription, m_photosGroup);
        fileWrite.Write(OwnerPhoto, file);
    } catch (const std::exception& error) {
        FireErrorDescrption(std::string("The photo could not be written to its file: ") +
                            error.what());
        return false;
    }
    m_justStored = StoredPicture{{}, 0, file, OwnerPhoto};
    return true;
}

// Appends the picture's bytes to the new row's picture column: the remainder first, then the
// full pieces, so that the column holds exactly these bytes.
void CPicture::WritePictureColumn(const data_access::Bytes& bytes) {
    if (m_cnnPhotos) {
        m_cnnPhotos->SetAttributes(128);
    }
    if (bytes.empty()) {
        return;
    }
    data_access::Field picture = m_rsPhotoDetails->Fields()[OwnerPhotoField];
    data_access::ForEachChunk(static_cast<std::int64_t>(bytes.size()),
                              [&](std::int64_t offset, std::int64_t length) {
                                  auto first = bytes.begin() + offset;
                                  picture.AppendChunk(data_access::Bytes(first, first + length));
                              });
}

// Stores the new row and returns its bookmark; when the store fails (reported) the row is
// dropped and nothing is returned.
std::optional<data_access::Variant> CPicture::StoreRow() {
    data_access::Recordset& rows = *m_rsPhotoDetails;
    data_access::Variant bookmark;
    if (ReportedStep([&] {
            rows.Update();
            bookmark = rows.Bookmark();
        })) {
        if (m_justStored) {
            m_justStored->bookmark = bookmark;
        }
        return bookmark;
    }
    DropNewRow();
    return std::nullopt;
}

// Cancels the row being added, so that no later move or requery stores it.
void CPicture::DropNewRow() {
    ReportedStep([&] {
        if (m_rsPhotoDetails->State() == data_access::adStateOpen) {
            m_rsPhotoDetails->CancelUpdate();
        }
    });
}

// The row goes first: photo files that cannot be deleted afterwards are reported, never a
// row left without its file. The counters and the picture follow the deleted row either way.
void CPicture::DeleteRecord() {
    try {
        if (!m_rsPhotoDetails || m_rsPhotoDetails->RecordCount() == 0) {
            return;
        }
        data_access::Recordset& rows = *m_rsPhotoDetails;
        std::string filesLeft;
        if (!rows.IsBOF() && !rows.IsEOF()) {
            rows.Delete();
            if (SaveAsFile) {
                try {
                    DeletePhotoFiles(m_photoCode, m_photoDescription, m_photosGroup);
                } catch (const std::exception& error) {
                    filesLeft = std::string("The photo was deleted, but not all of its files: ") +
                                error.what();
                }
            }
        }
        if (rows.RecordCount() > 0) {
            rows.MoveLast();
            m_lTotalRecords = rows.RecordCount();
            m_lRecordPosition = rows.RecordCount();
        }
        OwnerPhoto = Picture();
        if (!filesLeft.empty()) {
            FireErrorDescrption(filesLeft);
        }
    } catch (const std::exception& error) {
        FireErrorDescrption(error.what());
    }
}

void CPicture::DeletePhotos() {
    try {
        data_access::ConnectionPtr connection = DBConnection();
        if (connection) {
            connection->Execute("DELETE FROM " + TableName + " WHERE " + OwnerGroupField + "='" +
                                data_access::EscapeSqlText(PhotosOwnerName()) +
                                "' And PhotoCode='" + data_access::EscapeSqlText(m_photoCode) +
                                "'");
        }
    } catch (const std::exception&) {
    }
}

void CPicture::UnSetDefaultPhoto(const std::string& strCode,
                                 const std::string& /*strDescription*/) {
    if (!m_cnnPhotos) {
        throw data_access::DataAccessError("There is no connection: Init has not been given one.");
    }
    m_cnnPhotos->Execute("UPDATE " + TableName + " SET " + OwnerDefaultPhotoField + " = " +
                         m_cnnPhotos->BooleanLiteral(false) + " WHERE " + OwnerIDField + "='" +
                         data_access::EscapeSqlText(strCode) + "' and " + OwnerGroupField + "='" +
                         data_access::EscapeSqlText(m_photosGroup) + "'");
}

// Whether any of the owner's rows has `value` in `column` (ignoring letter case), by a filter
// on the rows that is always cleared again. The rows are read afresh first, so that rows
// another writer stored since they were opened count too; the cursor returns to its row.
bool CPicture::ExistsUnderFilter(const std::string& column, const std::string& value) {
    data_access::Recordset& rows = *m_rsPhotoDetails;
    data_access::Variant current = CurrentBookmark();
    rows.Requery();
    rows.SetFilter(column + "='" + data_access::EscapeSqlText(value) + "'");
    bool exists = false;
    try {
        exists = rows.RecordCount() != 0;
    } catch (...) {
        rows.SetFilter("");
        throw;
    }
    rows.SetFilter("");
    ReturnToRow(current);
    return exists;
}

// Makes the row with `bookmark` current again when it is still in the set.
void CPicture::ReturnToRow(const data_access::Variant& bookmark) {
    if (bookmark.IsEmpty()) {
        return;
    }
    try {
        m_rsPhotoDetails->SetBookmark(bookmark);
    } catch (const data_access::DataAccessError&) {
        // The row is gone (another writer deleted it); the cursor stays where the filter left it.
    }
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

}  // namespace vesk::photo_store
