#include "photo_store_session.h"

#include <cmath>
#include <stdexcept>

#include <fmt/format.h>

#include "vesk/data_access/connection_text.h"
#include "vesk/data_access/recordset.h"
#include "vesk/data_access/sql_text.h"
#include "vesk/data_access/transaction.h"
#include "vesk/errors/error.h"

namespace vesk::host {

namespace {

// A size limit is a finite number of kilobytes, 0 or more: "nan", "inf" and "-5" are refused.
CLI::Validator KilobyteLimit() {
    return CLI::Validator(
        [](std::string& input) -> std::string {
            double value = 0;
            std::size_t used = 0;
            try {
                value = std::stod(input, &used);
            } catch (const std::exception&) {
                used = 0;
            }
            if (used != input.size() || !std::isfinite(value) || value < 0) {
                return "a size limit is a number of kilobytes, 0 or more: " + input;
            }
            return {};
        },
        "KB");
}

}  // namespace

void AddPhotoStoreOptions(CLI::App& command, PhotoStoreOptions& options, unsigned uses) {
    AddDatabaseOptions(command, options.database);
    command.add_option("--table", options.table, "photo table (default Photos)");
    command.add_option("--code-column", options.codeColumn,
                       "owner code column (default PhotoCode)");
    command.add_option("--description-column", options.descriptionColumn,
                       "description column (default PhotoDescription)");
    command.add_option("--group-column", options.groupColumn, "group column (default PhotoGroup)");
    command.add_option("--comments-column", options.commentsColumn,
                       "comments column (default PhotoComments)");
    command.add_option("--default-column", options.defaultColumn,
                       "default mark column (default DefaultPhoto)");
    command.add_option("--photo-column", options.photoColumn, "picture column (default Photo)");
    if (uses & kPhotoFolder) {
        command.add_option("--files", options.filesFolder, "keep pictures as files in this folder");
    }
    if (uses & kSizeLimit) {
        command
            .add_option("--max-kb", options.maxKilobytes,
                        "largest photo in KB of its bitmap form (0: no limit)")
            ->check(KilobyteLimit());
    }
}

PhotoStoreSession::PhotoStoreSession(const PhotoStoreOptions& options)
    : PhotoStoreSession(options, OpenDatabase(options.database)) {}

PhotoStoreSession::PhotoStoreSession(const PhotoStoreOptions& options,
                                     data_access::ConnectionPtr connection)
    : m_connection(std::move(connection)) {
    photo_store::UsePhotoTable(m_store, options);
    m_store.SaveAsFile = !options.filesFolder.empty();
    m_store.PhotosFolder = options.filesFolder;
    m_store.PhotosMaxSize = options.maxKilobytes;
    m_store.Advise(this);
}

PhotoStoreSession::~PhotoStoreSession() {
    m_store.Unadvise(this);
}

void PhotoStoreSession::ErrorDescrption(std::string& sErrDescrption) {
    m_failures.push_back(sErrDescrption);
}

void PhotoStoreSession::TableError(std::string& sTableError) {
    m_failures.push_back(sTableError);
}

void PhotoStoreSession::ThrowIfFailed(const std::string& what) {
    if (m_failures.empty()) {
        return;
    }
    std::string message = what;
    for (const std::string& failure : m_failures) {
        message += "\n  " + failure;
    }
    m_failures.clear();
    throw Error(message);
}

void PhotoStoreSession::Open(const std::string& code, const std::string& group) {
    m_store.Init(code, group, {}, nullptr, m_connection);
    ThrowIfFailed("Cannot open the photos of " + code + ":");
}

std::string PhotoStoreSession::RequireWithinLimit(const Picture& picture) {
    bool over = false;
    std::string size = m_store.VerifyPhotoSize(picture, &over);
    if (over) {
        throw Error(fmt::format(
            "Photo too big!!! Maximum size allowed: {} KB in bitmap format (this photo: {} KB)",
            m_store.PhotosMaxSize, size));
    }
    return size;
}

void PhotoStoreSession::RequireNewDescription(const std::string& description) {
    m_exists = false;
    m_store.CheckIfDescriptionExists(description);
    ThrowIfFailed("Cannot check the description:");
    if (m_exists) {
        throw Error("Descrition exists. Please enter a unique description: " + description);
    }
}

// The marks and the new row are one change: a failure leaves both as they were.
void PhotoStoreSession::Save(const std::string& description, const std::string& comments,
                             bool isDefault, const Picture& picture) {
    data_access::Transaction saving(m_connection, m_store.TableName);
    if (isDefault) {
        m_store.UnSetDefaultPhoto(m_store.PhotoCode(), description);
    }
    m_store.SetPhoto(picture);
    m_store.SetPhotoDescription(description);
    m_store.SetPhotoComments(comments);
    m_store.SetDefaultPhoto(isDefault);
    m_store.SavePhotoDetails(true, false);
    ThrowIfFailed("The photo was not saved; nothing was stored:");
    saving.Commit();
}

std::string PhotoStoreSession::TakeFailures() {
    std::string failures;
    for (const std::string& failure : m_failures) {
        failures += (failures.empty() ? "" : "; ") + failure;
    }
    m_failures.clear();
    return failures;
}

void PhotoStoreSession::ForEachPhoto(
    const std::function<void(long, CPicture&, const std::string&)>& visit) {
    long count = m_store.m_rsPhotoDetails->RecordCount();
    for (long position = 1; position <= count; ++position) {
        position == 1 ? m_store.FirstRecord() : m_store.NextRecord();
        std::string problem = TakeFailures();
        visit(position, m_store, problem);
    }
}

// A row found whose picture cannot be read is found all the same when `pictureNeeded` is
// false: its load failures are dropped.
void PhotoStoreSession::RequireFound(const std::string& description, bool pictureNeeded) {
    m_exists = false;
    m_store.SearchForRecord({}, description);
    if (m_exists && !pictureNeeded) {
        m_failures.clear();
    }
    ThrowIfFailed("Cannot search the photos:");
    if (!m_exists) {
        throw Error(fmt::format("{} has no photo \"{}\" in group {}", m_store.PhotoCode(),
                                description, m_store.PhotosGroup()));
    }
}

Picture PhotoStoreSession::Fetch(const std::string& code, const std::string& group,
                                 const std::string& description) {
    Open(code, group);
    if (m_store.m_rsPhotoDetails->RecordCount() == 0) {
        throw Error(fmt::format("{} has no photos in group {}", code, group));
    }
    Picture picture;
    if (description.empty()) {
        picture = m_store.GetPhoto(group, code, m_connection);
    } else {
        RequireFound(description, true);
        picture = m_store.Photo();
    }
    ThrowIfFailed("Cannot read the photo:");
    if (picture.IsEmpty()) {
        throw Error(fmt::format("The photo \"{}\" of {} holds no picture",
                                m_store.PhotoDescription(), code));
    }
    return picture;
}

void PhotoStoreSession::Delete(const std::string& description) {
    RequireFound(description, false);
    m_store.DeleteRecord();
    ThrowIfFailed("Cannot delete the photo:");
}

}  // namespace vesk::host
