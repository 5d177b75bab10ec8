#include "backend.h"

#include "sqlite/sqlite_backend.h"
#include "vesk/data_access/data_access_error.h"

namespace vesk::data::detail {

std::unique_ptr<Backend> OpenBackend(const ConnectionSettings& settings) {
    switch (settings.provider) {
        case Provider::EmbeddedFile:
            return OpenSqliteBackend(settings);
        case Provider::PostgreSql:
            break;
    }
    throw DataAccessError("Provider cannot be found: the PostgreSQL provider is not available");
}

void CreateDatabase(const ConnectionSettings& settings) {
    switch (settings.provider) {
        case Provider::EmbeddedFile:
            CreateSqliteDatabase(settings);
            return;
        case Provider::PostgreSql:
            break;
    }
    throw DataAccessError("Creating a database is supported for database files only");
}

}  // namespace vesk::data::detail
