#pragma once

#include <functional>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "connection_option.h"
#include "vesk/photo_store/c_picture.h"
#include "vesk/photo_store/photo_table.h"

namespace vesk::host {

using photo_store::CPicture;
using picture::Picture;

// The options every `vesk photo` command takes: the table and its columns (the base), the
// database, the storage form and the size limit.
struct PhotoStoreOptions : photo_store::PhotoTableNames {
    DatabaseOptions database;
    std::string filesFolder;  // file storage in this folder when set
    double maxKilobytes = 0;
};

// Which of the optional store options a photo command offers: the ones it would ignore are
// left out of it (and of its help).
enum PhotoOptionUse : unsigned { kTableOnly = 0, kPhotoFolder = 1, kSizeLimit = 2 };

// Adds the database, table and column options, and those `uses` names, to a photo command.
void AddPhotoStoreOptions(CLI::App& command, PhotoStoreOptions& options,
                          unsigned uses = kPhotoFolder);

// A photo store configured from the options, open on one owner's photos, that turns the
// store's notifications of failure into exceptions (Error with the store's texts).
class PhotoStoreSession : private photo_store::CPictureEvents {
public:
    explicit PhotoStoreSession(const PhotoStoreOptions& options);
    // Uses an open connection instead of the options' database.
    PhotoStoreSession(const PhotoStoreOptions& options, data_access::ConnectionPtr connection);
    ~PhotoStoreSession() override;

    // Selects the owner's photos. Throws when the rows cannot be opened.
    void Open(const std::string& code, const std::string& group);
    // The picture's size in KB as text; throws when it exceeds the size limit.
    std::string RequireWithinLimit(const Picture& picture);
    // Throws when the owner already has a photo with this description (ignoring case).
    void RequireNewDescription(const std::string& description);
    // Saves a new photo of the owner; with `isDefault` the owner's other photos lose their mark.
    // Throws, having changed nothing, when the photo cannot be stored whole.
    void Save(const std::string& description, const std::string& comments, bool isDefault,
              const Picture& picture);
    // Loads each photo of the owner in record order and hands it over with its position and,
    // when its picture could not be read, why (else the empty text).
    void ForEachPhoto(const std::function<void(long position, CPicture& store,
                                               const std::string& problem)>& visit);
    // The owner's default photo, or the one with `description` when given. Throws when there is
    // none; adds no row for an owner without photos.
    Picture Fetch(const std::string& code, const std::string& group,
                  const std::string& description);
    // Deletes the owner's photo with this description (and its files), also one whose picture
    // cannot be read. Throws when there is none.
    void Delete(const std::string& description);

    CPicture& Store() { return m_store; }
    const data_access::ConnectionPtr& Connection() const { return m_connection; }

private:
    void ErrorDescrption(std::string& sErrDescrption) override;
    void TableError(std::string& sTableError) override;
    void DescriptionExists(bool& bExists) override { m_exists = bExists; }
    void RecordExists(bool& bExists) override { m_exists = bExists; }
    void ThrowIfFailed(const std::string& what);
    void RequireFound(const std::string& description, bool pictureNeeded);
    std::string TakeFailures();

    data_access::ConnectionPtr m_connection;
    CPicture m_store;
    std::vector<std::string> m_failures;
    bool m_exists = false;
};

}  // namespace vesk::host
