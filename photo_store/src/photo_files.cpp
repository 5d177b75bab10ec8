// The photo folder, photo file names, and moving pictures between OwnerPhoto and files.
#include <filesystem>
#include <system_error>

#include "photo_file_name.h"
#include "vesk/data_access/chunks.h"
#include "vesk/data_access/sql_text.h"
#include "vesk/files/file_error.h"
#include "vesk/files/file_system.h"
#include "vesk/files/pending_file.h"
#include "vesk/photo_store/c_picture.h"
#include "vesk/picture/picture_error.h"
#include "vesk/ui/current_ui.h"

namespace vesk::photo_store {

namespace {

namespace fs = std::filesystem;

std::string TrimBlanks(const std::string& text) {
    std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// The folder the photo library was loaded from.
std::string ComponentFolder() {
    static const int anchor = 0;
    return files::LibraryFolder(&anchor);
}

// Reads a binary field the way every chunked transfer does: the remainder first, then the
// full pieces. A failure to read or write is thrown.
void CopyFieldToFile(data_access::Field field, files::PendingFile& file) {
    data_access::ForEachChunk(field.ActualSize(), [&](std::int64_t, std::int64_t length) {
        data_access::Bytes piece = field.GetChunk(length).ToBytes();
        file.Write(piece.data(), piece.size());
    });
}

}  // namespace

// Trims the folder, ends it with '/', and when it is empty uses VskPhotos/ beside the
// component, creating that folder. The result is written back to PhotosFolder.
void CPicture::NormalisePhotosFolder() {
    PhotosFolder = TrimBlanks(PhotosFolder);
    if (!PhotosFolder.empty()) {
        if (PhotosFolder.back() != '/') {
            PhotosFolder += '/';
        }
        return;
    }
    std::string folder = ComponentFolder();
    if (folder.empty() || folder.back() != '/') {
        folder += '/';
    }
    PhotosFolder = folder + "VskPhotos/";
    if (!fs::is_directory(PhotosFolder)) {
        fs::create_directory(folder + "VskPhotos");
    }
}

std::string CPicture::PhotoFilePath(const std::string& code, const std::string& description,
                                    const std::string& group) const {
    return PhotosFolder + PhotoFileBaseName(code, description, group) + ".vpc";
}

// Writes `picture` to the row's photo file (an empty picture removes the file) and then, with
// `clearCopy`, clears the row's binary copy. A name another row maps to is left alone. The file is
// replaced in one step, so a failed write leaves the old picture in place, and the binary copy
// stays. Returns whether the picture reached its file; `failure` says why not.
bool CPicture::SavePhotoToFile(const Picture& picture, const std::string& code,
                               const std::string& description, const std::string& group,
                               std::string* failure, bool clearCopy) {
    bool saved = true;
    auto fail = [&](const std::exception& error) {
        saved = false;
        if (failure) {
            *failure = error.what();
        }
    };
    std::string file;
    try {
        PreparePhotoFolder();
        RequireOwnFileName(code, description, group);
        file = PhotoFilePath(code, description, group);
        if (picture.IsEmpty()) {
            fs::remove(file);
            return true;
        }
        picture.Save(file);
    } catch (const std::exception& error) {
        fail(error);
    }
    if (!saved) {
        return false;  // the row keeps its binary copy: it is the only one
    }
    try {
        if (m_cnnPhotos && clearCopy) {
            m_cnnPhotos->Execute(
                "UPDATE " + TableName + " SET " + OwnerPhotoField + "=NULL WHERE " + OwnerIDField +
                "='" + data_access::EscapeSqlText(code) + "' AND " + OwnerGroupField + "='" +
                data_access::EscapeSqlText(group) + "' AND " + OwnerDescField + "='" +
                data_access::EscapeSqlText(description) + "'");
        }
    } catch (const std::exception&) {
    }
    return saved;
}

// Replaces `picture` with the row's photo file; when there is no file, writes a picture the
// row held in its column out to it. Returns whether the file was found and loaded; a file that
// is there but cannot be read also fires ErrorDescrption.
bool CPicture::LoadPhotoFromFile(Picture& picture, const std::string& code,
                                 const std::string& description, const std::string& group) {
    bool loaded = true;
    try {
        NormalisePhotosFolder();
    } catch (const std::exception&) {
        loaded = false;
    }
    std::string file = PhotoFilePath(code, description, group);
    if (TakeJustStored(picture, file)) {
        return true;
    }
    std::error_code ignored;
    if (fs::exists(file, ignored)) {
        try {
            picture = Picture::Load(file);
        } catch (const std::exception& error) {
            // Told, so that a photo whose file is damaged is not taken for one without a picture.
            FireErrorDescrption(std::string("The photo file could not be read: ") + error.what());
            loaded = false;
        }
        return loaded;
    }
    if (picture.Handle() != 0) {
        SavePhotoToFile(picture, code, description, group);
    }
    return false;
}

// Deletes the photo files of a deleted row under every extension, unless a row left in the
// table maps to the same name. The base name is compared literally, so a description holding
// '*' or '?' never reaches another photo's files. A missing folder holds no files to delete; a
// file that cannot be deleted throws after the others went.
void CPicture::DeletePhotoFiles(const std::string& code, const std::string& description,
                                const std::string& group) {
    NormalisePhotosFolder();
    if (!RowsNamingFile(code, description, group).empty()) {
        return;
    }
    std::error_code missing;
    if (!fs::is_directory(PhotosFolder, missing)) {
        return;
    }
    std::string prefix = PhotoFileBaseName(code, description, group) + ".";
    std::vector<fs::path> doomed;
    for (const fs::directory_entry& entry : fs::directory_iterator(PhotosFolder)) {
        std::string name = entry.path().filename().string();
        if (entry.is_regular_file() && name.size() > prefix.size() && name.starts_with(prefix) &&
            name.find('.', prefix.size()) == std::string::npos) {
            doomed.push_back(entry.path());
        }
    }
    std::string failures;
    for (const fs::path& path : doomed) {
        std::error_code error;
        if (!fs::remove(path, error) && error) {
            failures += (failures.empty() ? "" : "; ") + path.string() + ": " + error.message();
        }
    }
    if (!failures.empty()) {
        throw files::FileError(failures);
    }
}

void CPicture::ExtractToFiles(std::string sTableName, std::string sQualifier,
                              const std::string& sFolderPath) {
    auto rows = std::make_shared<data_access::Recordset>();
    try {
        rows->SetActiveConnection(m_cnnPhotos);
        rows->SetLockType(data_access::adLockOptimistic);
        rows->SetCursorType(data_access::adOpenKeyset);
        rows->SetSource("SELECT * FROM " + sTableName + " WHERE " + OwnerGroupField + "='" +
                        data_access::EscapeSqlText(sQualifier) + "'");
        rows->Open();
        if (m_cnnPhotos) {
            m_cnnPhotos->SetAttributes(128);
        }
        if (rows->RecordCount() == 0) {
            return;
        }
        rows->MoveFirst();
    } catch (const std::exception&) {
        return;
    }
    // A row goes only once its picture is in its file; rows that could not be extracted stay.
    while (!rows->IsEOF()) {
        bool extracted = ExtractRowToFile(*rows, sFolderPath);
        try {
            ui::Ui().DoEvents();
        } catch (const std::exception&) {
        }
        try {
            if (extracted) {
                rows->Delete();
            }
            rows->MoveNext();
        } catch (const std::exception&) {
            break;
        }
    }
}

// Writes one row's "QualifierPhoto" to a new file named by its trimmed "PhotoCode" (encoded so
// that it stays a file name). A blank code gets no file, and neither does a name some file
// already holds (one the folder had, or another row's of this run): no file is replaced.
// Returns whether the row's picture got a file of its own, written whole.
bool CPicture::ExtractRowToFile(data_access::Recordset& rows, const std::string& sFolderPath) {
    try {
        data_access::Variant code = rows.Fields()["PhotoCode"].Value();
        std::string name =
            code.IsNull() ? std::string() : EncodeFileName(TrimBlanks(code.ToText()));
        if (name.empty()) {
            return false;
        }
        files::PendingFile file(sFolderPath + name);
        CopyFieldToFile(rows.Fields()["QualifierPhoto"], file);
        return file.CreateIfAbsent();
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace vesk::photo_store
