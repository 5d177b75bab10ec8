// Which rows of the photo table a photo file name belongs to. Names are built from the code,
// the description and the group joined by "_", so two different rows can map to one name
// ("A_B" + "C" and "A" + "B_C"); a file is written only for a name no other row holds, and
// deleted only when no row maps to it any more.
#include <fmt/format.h>

#include <filesystem>

#include "photo_file_name.h"
#include "vesk/data_access/recordset.h"
#include "vesk/data_access/sql_text.h"
#include "vesk/files/file_error.h"
#include "vesk/files/pending_file.h"
#include "vesk/photo_store/c_picture.h"

namespace vesk::photo_store {

namespace {

std::string TextOf(data_access::Recordset& rows, long column) {
    data_access::Variant value = rows.Fields().Item(column).Value();
    return value.IsNull() ? std::string() : value.ToText();
}

std::string JoinedName(const std::string& code, const std::string& description,
                       const std::string& group) {
    return code + "_" + description + "_" + group;
}

// The codes a row must have to share `name`: every part of it before one of its "_".
std::string CandidateCodes(const std::string& name) {
    std::string codes;
    for (std::size_t cut = name.find('_'); cut != std::string::npos;
         cut = name.find('_', cut + 1)) {
        codes +=
            (codes.empty() ? "'" : ",'") + data_access::EscapeSqlText(name.substr(0, cut)) + "'";
    }
    return codes;
}

}  // namespace

std::vector<CPicture::PhotoRowName> CPicture::RowsNamingFile(const std::string& code,
                                                             const std::string& description,
                                                             const std::string& group) const {
    std::vector<PhotoRowName> owners;
    if (!m_cnnPhotos || OwnerIDField.empty() || OwnerDescField.empty() || OwnerGroupField.empty()) {
        return owners;
    }
    std::string name = JoinedName(code, description, group);
    data_access::Recordset rows;
    rows.Open(
        fmt::format("SELECT {}, {}, {} FROM {} WHERE {} IN ({})", OwnerIDField, OwnerDescField,
                    OwnerGroupField, TableName, OwnerIDField, CandidateCodes(name)),
        m_cnnPhotos, data_access::adOpenStatic, data_access::adLockReadOnly);
    for (; !rows.IsEOF(); rows.MoveNext()) {
        PhotoRowName row{TextOf(rows, 0), TextOf(rows, 1), TextOf(rows, 2)};
        if (JoinedName(row.code, row.description, row.group) == name) {
            owners.push_back(row);
        }
    }
    return owners;
}

void CPicture::RequireOwnFileName(const std::string& code, const std::string& description,
                                  const std::string& group) const {
    std::vector<PhotoRowName> owners = RowsNamingFile(code, description, group);
    if (owners.size() <= 1) {
        return;
    }
    const PhotoRowName* other = &owners.front();
    for (const PhotoRowName& owner : owners) {
        if (owner.code != code || owner.description != description || owner.group != group) {
            other = &owner;
        }
    }
    throw files::FileError(fmt::format(
        "The photo file {} would also be the file of another photo (code \"{}\", description "
        "\"{}\", group \"{}\"); choose another description",
        PhotoFilePath(code, description, group), other->code, other->description, other->group));
}

void CPicture::PreparePhotoFolder() {
    NormalisePhotosFolder();
    std::filesystem::create_directories(PhotosFolder);
    files::RemoveLeftoverTemporaries(PhotosFolder, ".vpc");
}

}  // namespace vesk::photo_store
