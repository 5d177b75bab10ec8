#pragma once

#include <string>

#include "vesk/data_access/connection.h"
#include "vesk/photo_store/c_picture.h"

namespace vesk::bench {

// A new keyed database file holding the usual photo table (PhotoCode, PhotoDescription,
// PhotoGroup, PhotoComments, DefaultPhoto, Photo), and a connection open on it.
data_access::ConnectionPtr CreatePhotoDatabase(const std::string& path,
                                               const std::string& password);

}  // namespace vesk::bench
