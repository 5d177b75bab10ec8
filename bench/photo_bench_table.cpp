#include "photo_bench_table.h"

#include "vesk/data_access/catalog.h"
#include "vesk/data_access/connection_text.h"

namespace vesk::bench {

data::ConnectionPtr CreatePhotoDatabase(const std::string& path, const std::string& password) {
    data::Catalog catalog;
    data::ConnectionPtr connection = catalog.Create(data::EmbeddedConnectionText(path, password));
    connection->Execute(
        "CREATE TABLE Photos (PhotoCode Text (50), PhotoDescription Text (100), PhotoGroup Text "
        "(50), "
        "PhotoComments Memo, DefaultPhoto YESNO, Photo LONGBINARY)");
    return connection;
}

void UseUsualPhotoTable(photo::CPicture& store) {
    store.TableName = "Photos";
    store.OwnerIDField = "PhotoCode";
    store.OwnerDescField = "PhotoDescription";
    store.OwnerGroupField = "PhotoGroup";
    store.OwnerCommentsField = "PhotoComments";
    store.OwnerDefaultPhotoField = "DefaultPhoto";
    store.OwnerPhotoField = "Photo";
}

}  // namespace vesk::bench
