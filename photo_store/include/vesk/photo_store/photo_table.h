#pragma once

#include <string>
#include <vector>

#include "vesk/data_access/connection.h"
#include "vesk/photo_store/c_picture.h"

namespace vesk::photo_store {

// The names of a photo table and its columns, as the store's properties name them.
struct PhotoTableNames {
    std::string table = "Photos";
    std::string codeColumn = "PhotoCode";
    std::string descriptionColumn = "PhotoDescription";
    std::string groupColumn = "PhotoGroup";
    std::string commentsColumn = "PhotoComments";
    std::string defaultColumn = "DefaultPhoto";
    std::string photoColumn = "Photo";
};

// The statements that make a photo table named by `names`, in the dialect of the database
// `connection` is open on: the table, then an index on its owner columns (group, code), which
// every owner's rows are selected by. The names are used as given (quote them if they need it).
std::vector<std::string> PhotoTableDefinition(const PhotoTableNames& names,
                                              const data_access::Connection& connection);

// Makes the photo table `names` describes and its index on `connection`, both or neither (one
// transaction). Throws DataAccessError when the database refuses (a table of that name exists).
void CreatePhotoTable(const data_access::ConnectionPtr& connection,
                      const PhotoTableNames& names = {});

// Points the table and column properties of `store` at the table `names` describes.
void UsePhotoTable(CPicture& store, const PhotoTableNames& names = {});

}  // namespace vesk::photo_store
