#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "vesk/data_access/connection.h"
#include "vesk/data_access/recordset.h"
#include "vesk/photo_store/c_picture.h"

namespace vesk::photo_store {

enum class PhotoProblem {
    UnreadablePicture,      // bytes that are no picture, or (file storage) no photo file
    UnownedFile,            // a file of the photo folder that no row owns
    LeftoverTemporary,      // a temporary file a stopped write left in the photo folder
    SharedFileName,         // rows whose photo files have one name
    CaseEqualDescriptions,  // one owner's descriptions, equal ignoring letter case
    ExtraDefaultMarks,      // an owner with more than one default photo
};

// One thing the check found.
struct PhotoFinding {
    PhotoProblem problem;
    std::string text;                        // one line for a person
    std::vector<data_access::Variant> rows;  // the rows it concerns (bookmarks), in table order
    std::string path;                        // the file it concerns, when one
};

// Checks a photo table, and in file storage its photo folder, for what keeps photos from
// being read or kept apart. Run changes nothing; Fix changes only what it is asked to, and
// never removes a picture that a row owns.
class PhotoTableCheck {
public:
    // Uses the table, column names, storage form and photo folder `store` is configured with,
    // over `connection`.
    PhotoTableCheck(const CPicture& store, data_access::ConnectionPtr connection);

    // Reads every row and the photo folder and returns what it found, in table order, the
    // folder's files last. Throws when the table cannot be read.
    std::vector<PhotoFinding> Run();
    std::int64_t RowsChecked() const { return m_rowsChecked; }
    std::int64_t FilesChecked() const { return m_filesChecked; }

    // Mends `findings` of the last Run: removes leftover temporaries that no writer holds,
    // and clears every default mark of an owner but the first; with `removeUnreadable` it
    // also deletes the rows whose picture cannot be read (a file of theirs stays). Returns a
    // line for each change. Throws at the first change that fails; those before it stay.
    std::vector<std::string> Fix(const std::vector<PhotoFinding>& findings, bool removeUnreadable);

private:
    std::string PictureProblem(const std::string& baseName);
    void CheckFolder(const std::set<std::string>& owned, std::vector<PhotoFinding>& findings);
    std::string DescribeCurrentRow();
    void ClearExtraMarks(const std::vector<data_access::Variant>& marked,
                         const std::vector<data_access::Variant>& removed,
                         std::vector<std::string>& done);

    const CPicture& m_store;
    data_access::ConnectionPtr m_connection;
    data_access::RecordsetPtr m_rows;
    std::string m_folder;  // with its final '/'; empty in table storage
    std::int64_t m_rowsChecked = 0;
    std::int64_t m_filesChecked = 0;
};

}  // namespace vesk::photo_store
