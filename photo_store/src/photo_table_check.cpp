#include "vesk/photo_store/photo_table_check.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include <fmt/format.h>

#include "photo_file_name.h"
#include "vesk/data_access/letter_case.h"
#include "vesk/files/pending_file.h"

namespace vesk::photo_store {

namespace {

namespace fs = std::filesystem;

struct RowSeen {
    data_access::Variant bookmark;
    std::string code;
    std::string description;
    std::string group;
    bool isDefault = false;
    std::string baseName;  // of its photo file
};

std::string TextOf(data_access::Recordset& rows, const std::string& column) {
    if (column.empty()) {
        return {};
    }
    data_access::Variant value = rows.Fields()[column].Value();
    return value.IsNull() ? std::string() : value.ToText();
}

std::string Describe(const RowSeen& row) {
    return fmt::format("code \"{}\", description \"{}\", group \"{}\"", row.code, row.description,
                       row.group);
}

std::string Owner(const RowSeen& row) {
    return fmt::format("code \"{}\", group \"{}\"", row.code, row.group);
}

std::vector<data_access::Variant> BookmarksOf(const std::vector<const RowSeen*>& rows) {
    std::vector<data_access::Variant> bookmarks;
    for (const RowSeen* row : rows) {
        bookmarks.push_back(row->bookmark);
    }
    return bookmarks;
}

// Rows whose photo files have one name.
void FindSharedNames(const std::vector<RowSeen>& rows, const std::string& folder,
                     std::vector<PhotoFinding>& findings) {
    std::map<std::string, std::vector<const RowSeen*>> byName;
    for (const RowSeen& row : rows) {
        byName[row.baseName].push_back(&row);
    }
    for (const auto& [baseName, sharing] : byName) {
        if (sharing.size() < 2) {
            continue;
        }
        std::string text = fmt::format("Rows share the photo file {}{}.vpc:", folder, baseName);
        for (const RowSeen* row : sharing) {
            text += " (" + Describe(*row) + ")";
        }
        findings.push_back({PhotoProblem::SharedFileName, text, BookmarksOf(sharing), {}});
    }
}

// Per owner: descriptions equal under the letter-case rule, and more than one default mark.
void FindOwnerProblems(const std::vector<RowSeen>& rows, std::vector<PhotoFinding>& findings) {
    std::map<std::pair<std::string, std::string>, std::vector<const RowSeen*>> byOwner;
    for (const RowSeen& row : rows) {
        byOwner[{row.code, row.group}].push_back(&row);
    }
    for (const auto& [owner, photos] : byOwner) {
        std::map<std::string, std::vector<const RowSeen*>> byDescription;
        std::vector<const RowSeen*> marked;
        for (const RowSeen* row : photos) {
            byDescription[data_access::FoldCase(row->description)].push_back(row);
            if (row->isDefault) {
                marked.push_back(row);
            }
        }
        for (const auto& [folded, equal] : byDescription) {
            if (equal.size() > 1) {
                std::string text =
                    "Descriptions equal ignoring letter case for " + Owner(*equal.front()) + ":";
                for (const RowSeen* row : equal) {
                    text += " \"" + row->description + "\"";
                }
                findings.push_back(
                    {PhotoProblem::CaseEqualDescriptions, text, BookmarksOf(equal), {}});
            }
        }
        if (marked.size() > 1) {
            findings.push_back({PhotoProblem::ExtraDefaultMarks,
                                fmt::format("More than one default photo for {}: {} marked",
                                            Owner(*marked.front()), marked.size()),
                                BookmarksOf(marked),
                                {}});
        }
    }
}

}  // namespace

PhotoTableCheck::PhotoTableCheck(const CPicture& store, data_access::ConnectionPtr connection)
    : m_store(store), m_connection(std::move(connection)) {
    if (store.SaveAsFile) {
        std::string folder = store.PhotosFolder;
        folder.erase(0, folder.find_first_not_of(' '));
        folder.erase(folder.find_last_not_of(' ') + 1);
        m_folder = folder.empty() || folder.ends_with('/') ? folder : folder + "/";
    }
}

std::vector<PhotoFinding> PhotoTableCheck::Run() {
    m_rows = std::make_shared<data_access::Recordset>();
    m_rows->Open("SELECT * FROM " + m_store.TableName, m_connection, data_access::adOpenKeyset,
                 data_access::adLockOptimistic);
    std::vector<PhotoFinding> findings;
    std::vector<RowSeen> rows;
    for (; !m_rows->IsEOF(); m_rows->MoveNext()) {
        RowSeen row{m_rows->Bookmark(),
                    TextOf(*m_rows, m_store.OwnerIDField),
                    TextOf(*m_rows, m_store.OwnerDescField),
                    TextOf(*m_rows, m_store.OwnerGroupField),
                    false,
                    {}};
        if (!m_store.OwnerDefaultPhotoField.empty()) {
            data_access::Variant mark = m_rows->Fields()[m_store.OwnerDefaultPhotoField].Value();
            row.isDefault = !mark.IsNull() && mark.ToBool();
        }
        row.baseName = PhotoFileBaseName(row.code, row.description, row.group);
        std::string problem = PictureProblem(row.baseName);
        if (!problem.empty()) {
            findings.push_back({PhotoProblem::UnreadablePicture,
                                "Unreadable picture of " + Describe(row) + ": " + problem,
                                {row.bookmark},
                                {}});
        }
        rows.push_back(std::move(row));
    }
    m_rowsChecked = static_cast<std::int64_t>(rows.size());
    FindSharedNames(rows, m_folder, findings);
    FindOwnerProblems(rows, findings);
    if (m_store.SaveAsFile) {
        std::set<std::string> owned;
        for (const RowSeen& row : rows) {
            owned.insert(row.baseName);
        }
        CheckFolder(owned, findings);
    }
    return findings;
}

// Why the current row's picture cannot be read: bytes in its column that are no picture, or in
// file storage a photo file that is missing (with nothing in the column) or is no picture.
// The empty text when it can be read or the row holds no picture by design.
std::string PhotoTableCheck::PictureProblem(const std::string& baseName) {
    data_access::Bytes bytes;
    if (!m_store.OwnerPhotoField.empty()) {
        data_access::Variant value = m_rows->Fields()[m_store.OwnerPhotoField].Value();
        bytes = value.IsNull() ? data_access::Bytes() : value.ToBytes();
    }
    try {
        if (!bytes.empty()) {
            Picture::FromBytes(bytes);
        }
    } catch (const std::exception& error) {
        return std::string("the picture in the table is not readable: ") + error.what();
    }
    if (!m_store.SaveAsFile || !bytes.empty()) {
        return {};
    }
    std::string path = m_folder + baseName + ".vpc";
    std::error_code missing;
    if (!fs::exists(fs::symlink_status(path, missing))) {
        return "there is no photo file " + path;
    }
    try {
        Picture::Load(path);
    } catch (const std::exception& error) {
        return "the photo file " + path + " is not readable: " + error.what();
    }
    return {};
}

// Files of the photo folder whose name (up to its extension) is no row's, and temporaries a
// stopped write left there.
void PhotoTableCheck::CheckFolder(const std::set<std::string>& owned,
                                  std::vector<PhotoFinding>& findings) {
    std::error_code missing;
    for (const fs::directory_entry& entry : fs::directory_iterator(m_folder, missing)) {
        if (entry.is_directory()) {
            continue;
        }
        ++m_filesChecked;
        std::string name = entry.path().filename().string();
        std::string path = m_folder + name;
        if (files::IsPendingFileName(name, ".vpc")) {
            findings.push_back(
                {PhotoProblem::LeftoverTemporary, "Leftover temporary file " + path, {}, path});
        } else if (!owned.contains(name.substr(0, name.rfind('.')))) {
            findings.push_back({PhotoProblem::UnownedFile, "File no row owns: " + path, {}, path});
        }
    }
}

// "code ..., description ..., group ..." of the row under the cursor.
std::string PhotoTableCheck::DescribeCurrentRow() {
    return Describe(RowSeen{{},
                            TextOf(*m_rows, m_store.OwnerIDField),
                            TextOf(*m_rows, m_store.OwnerDescField),
                            TextOf(*m_rows, m_store.OwnerGroupField),
                            false,
                            {}});
}

std::vector<std::string> PhotoTableCheck::Fix(const std::vector<PhotoFinding>& findings,
                                              bool removeUnreadable) {
    std::vector<std::string> done;
    std::vector<data_access::Variant> removed;
    for (const PhotoFinding& finding : findings) {
        if (finding.problem == PhotoProblem::UnreadablePicture && removeUnreadable) {
            m_rows->SetBookmark(finding.rows.front());
            std::string row = DescribeCurrentRow();
            m_rows->Delete();
            removed.push_back(finding.rows.front());
            done.push_back("Removed the row " + row + ", whose picture could not be read");
        }
    }
    for (const PhotoFinding& finding : findings) {
        if (finding.problem == PhotoProblem::ExtraDefaultMarks) {
            ClearExtraMarks(finding.rows, removed, done);
        }
    }
    bool leftovers = std::any_of(findings.begin(), findings.end(), [](const PhotoFinding& found) {
        return found.problem == PhotoProblem::LeftoverTemporary;
    });
    if (leftovers) {
        for (const std::string& path : files::RemoveLeftoverTemporaries(m_folder, ".vpc")) {
            done.push_back("Removed the leftover temporary file " + path);
        }
    }
    return done;
}

// Keeps the mark of the first of `marked` still in the table and clears the others'.
void PhotoTableCheck::ClearExtraMarks(const std::vector<data_access::Variant>& marked,
                                      const std::vector<data_access::Variant>& removed,
                                      std::vector<std::string>& done) {
    bool kept = false;
    for (const data_access::Variant& bookmark : marked) {
        if (std::find(removed.begin(), removed.end(), bookmark) != removed.end()) {
            continue;
        }
        if (!kept) {
            kept = true;
            continue;
        }
        m_rows->SetBookmark(bookmark);
        m_rows->Fields()[m_store.OwnerDefaultPhotoField].SetValue(false);
        m_rows->Update();
        done.push_back("Cleared the default mark of " + DescribeCurrentRow());
    }
}

}  // namespace vesk::photo_store
