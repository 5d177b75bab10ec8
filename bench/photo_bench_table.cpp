#include "photo_bench_table.h"

#include "vesk/data_access/catalog.h"
#include "vesk/data_access/connection_text.h"
#include "vesk/photo_store/photo_table.h"

namespace vesk::bench {

data_access::ConnectionPtr CreatePhotoDatabase(const std::string& path,
                                               const std::string& password) {
    data_access::Catalog catalog;
    data_access::ConnectionPtr connection =
        catalog.Create(data_access::EmbeddedConnectionText(path, password));
    photo_store::CreatePhotoTable(connection);
    return connection;
}

}  // namespace vesk::bench
