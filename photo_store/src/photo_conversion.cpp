// Moving every photo of the table between the picture column and the photo folder.
#include <filesystem>
#include <fstream>
#include <iterator>

#include "vesk/data_access/chunks.h"
#include "vesk/data_access/data_access_error.h"
#include "vesk/data_access/transaction.h"
#include "vesk/photo_store/c_picture.h"

namespace vesk::photo_store {

namespace {

// Rows whose copies are cleared in one commit. Each row's file is durable before its row is
// cleared, so a failed commit only leaves copies that a later conversion clears.
constexpr std::size_t kRowsPerCommit = 32;

// Turns the overwriting of freed space off on a connection while it lives, and sets back
// what there was, also when the conversion fails.
class FreedSpaceLeftAsIs {
public:
    explicit FreedSpaceLeftAsIs(data_access::Connection& connection)
        : m_connection(connection), m_previous(connection.SetOverwritesFreedSpace(false)) {}
    ~FreedSpaceLeftAsIs() {
        try {
            if (m_previous.value_or(false)) {
                m_connection.SetOverwritesFreedSpace(true);
            }
        } catch (const std::exception&) {
            // only a connection closed meanwhile refuses, and it has no setting left to restore
        }
    }
    FreedSpaceLeftAsIs(const FreedSpaceLeftAsIs&) = delete;
    FreedSpaceLeftAsIs& operator=(const FreedSpaceLeftAsIs&) = delete;

private:
    data_access::Connection& m_connection;
    std::optional<bool> m_previous;
};

std::string TextOf(data_access::Recordset& rows, const std::string& column) {
    if (column.empty()) {
        return {};
    }
    data_access::Variant value = rows.Fields()[column].Value();
    return value.IsNull() ? std::string() : value.ToText();
}

data_access::Bytes ReadWholeFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        throw data_access::DataAccessError("Cannot read the photo file " + path);
    }
    return data_access::Bytes(std::istreambuf_iterator<char>(file), {});
}

}  // namespace

// Replaces the instance's rows with a keyset over the whole photo table; returns its row count.
std::int32_t CPicture::OpenWholeTable(const data_access::ConnectionPtr& cnn) {
    if (!m_cnnPhotos) {
        m_cnnPhotos = cnn;
    }
    auto rows = std::make_shared<data_access::Recordset>();
    m_rsPhotoDetails = rows;
    rows->SetActiveConnection(m_cnnPhotos);
    rows->SetCursorType(data_access::adOpenKeyset);
    rows->SetLockType(data_access::adLockOptimistic);
    rows->SetSource("SELECT * FROM " + TableName);
    rows->Open();
    return static_cast<std::int32_t>(rows->RecordCount());
}

void CPicture::FireConversionProgress(const std::string& message, std::int32_t position,
                                      std::int32_t total) {
    std::string msg = message;
    Fire([&](CPictureEvents& listener) {
        std::int32_t pos = position;
        std::int32_t totalRecs = total;
        listener.ConversionProgress(msg, pos, totalRecs);
    });
}

bool CPicture::ConvertAllToFiles(data_access::ConnectionPtr cnn) {
    if (!SaveAsFile) {
        return false;
    }
    try {
        std::int32_t total = OpenWholeTable(cnn);
        if (total == 0) {
            return true;
        }
        data_access::Recordset& rows = *m_rsPhotoDetails;
        // The pictures leave the table for plain files: overwriting the pages they free would
        // protect nothing and double what clearing them writes.
        FreedSpaceLeftAsIs freedSpace(*m_cnnPhotos);
        // A row loses its binary copy only once its picture is durably in its file, and through
        // the row itself, so that rows with Null or repeated codes and descriptions are cleared
        // too. A row whose file or clearing fails keeps its copy and is reported.
        std::optional<data_access::Transaction> clearing;
        std::vector<std::string> clearedFiles;
        std::int32_t done = 0;
        for (rows.MoveFirst(); !rows.IsEOF(); rows.MoveNext()) {
            LoadData(false, true);
            if (m_copyWrittenToFile) {
                if (!clearing) {
                    clearing.emplace(m_cnnPhotos);
                }
                if (ClearCopyOfCurrentRow()) {
                    clearedFiles.push_back(
                        PhotoFilePath(m_photoCode, m_photoDescription, m_photosGroup));
                }
            }
            FireConversionProgress("Converting to Files...", ++done, total);
            if (clearedFiles.size() >= kRowsPerCommit) {
                CommitClearedRows(clearing, clearedFiles);
            }
        }
        CommitClearedRows(clearing, clearedFiles);
        return true;
    } catch (const std::exception& error) {
        FireErrorDescrption(std::string("The conversion to files stopped: ") + error.what());
        return false;
    }
}

// Clears the picture column of the row under the cursor, as a level of its own in the open
// transaction; a refusal (a user who may not change the table, say) is reported, the row
// keeps its copy and the others cleared with it stay cleared. Returns whether it was cleared.
bool CPicture::ClearCopyOfCurrentRow() {
    data_access::Recordset& rows = *m_rsPhotoDetails;
    try {
        data_access::Transaction row(m_cnnPhotos);
        rows.Fields()[OwnerPhotoField].SetValue(data_access::Variant::Null());
        rows.Update();
        row.Commit();
        return true;
    } catch (const std::exception& error) {
        try {
            rows.CancelUpdate();
        } catch (const std::exception&) {
        }
        FireErrorDescrption("The photo is in its file " +
                            PhotoFilePath(m_photoCode, m_photoDescription, m_photosGroup) +
                            ", but its copy in the table could not be cleared: " + error.what());
        return false;
    }
}

// Commits the rows cleared since the last commit. When the commit fails, each of their files
// is reported as ClearCopyOfCurrentRow reports one, and the rows keep their copies.
void CPicture::CommitClearedRows(std::optional<data_access::Transaction>& clearing,
                                 std::vector<std::string>& files) {
    if (!clearing) {
        return;
    }
    try {
        clearing->Commit();
    } catch (const std::exception& error) {
        for (const std::string& file : files) {
            FireErrorDescrption(
                "The photo is in its file " + file +
                ", but its copy in the table could not be cleared: " + error.what());
        }
    }
    clearing.reset();
    files.clear();
}

// Puts the current row's photo file into its picture column, byte for byte, in pieces.
// Returns the file stored, or nothing (after reporting why) when the row has no photo file or
// the row refuses it.
std::string CPicture::StoreFileInColumn() {
    data_access::Recordset& rows = *m_rsPhotoDetails;
    NormalisePhotosFolder();
    std::string file = PhotoFilePath(TextOf(rows, OwnerIDField), TextOf(rows, OwnerDescField),
                                     TextOf(rows, OwnerGroupField));
    if (!std::filesystem::exists(file)) {
        FireErrorDescrption("No photo file for this row; it is left as it was: " + file);
        return {};
    }
    try {
        data_access::Bytes bytes = ReadWholeFile(file);
        data_access::Field picture = rows.Fields()[OwnerPhotoField];
        if (bytes.empty()) {
            picture.SetValue(data_access::Variant::Null());
        }
        data_access::ForEachChunk(
            static_cast<std::int64_t>(bytes.size()), [&](std::int64_t offset, std::int64_t length) {
                auto first = bytes.begin() + offset;
                picture.AppendChunk(data_access::Bytes(first, first + length));
            });
        rows.Update();
    } catch (const std::exception& error) {
        try {
            rows.CancelUpdate();
        } catch (const std::exception&) {
        }
        FireErrorDescrption(
            "The photo file " + file +
            " could not be stored in its row, which is left as it was: " + error.what());
        return {};
    }
    return file;
}

bool CPicture::ConvertAllToBlobs(data_access::ConnectionPtr cnn) {
    if (SaveAsFile) {
        return false;
    }
    try {
        std::int32_t total = OpenWholeTable(cnn);
        if (total == 0) {
            return true;
        }
        data_access::Recordset& rows = *m_rsPhotoDetails;
        std::vector<std::string> storedFiles;
        std::int32_t done = 0;
        rows.MoveFirst();
        while (!rows.IsEOF()) {
            rows.MoveNext();
            m_vBookmark = rows.IsEOF() ? data_access::Variant() : rows.Bookmark();
            rows.MovePrevious();
            std::string stored = StoreFileInColumn();
            if (!stored.empty()) {
                storedFiles.push_back(stored);
            }
            LoadData(false, true);
            FireConversionProgress("Adding photos to Database...", ++done, total);
            if (!m_vBookmark.IsEmpty()) {
                rows.SetBookmark(m_vBookmark);
            } else {
                rows.MoveLast();
                rows.MoveNext();
            }
        }
        // Only the files whose pictures are now in the table go; anything else in the folder stays.
        for (const std::string& file : storedFiles) {
            if (std::filesystem::remove(file)) {
                FireConversionProgress("Deleting old photo files...", --done, total);
            }
        }
        return true;
    } catch (const std::exception& error) {
        FireErrorDescrption(std::string("The conversion to the table stopped: ") + error.what());
        return false;
    }
}

}  // namespace vesk::photo_store
