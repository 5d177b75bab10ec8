#include "vesk/data_access/engine_versions.h"

#include <libpq-fe.h>
#include <sqlite3.h>

#include <fmt/format.h>

namespace vesk::data_access {

namespace {

// The SQLCipher release, which only a connection can tell.
std::string CipherVersion() {
    sqlite3* handle = nullptr;
    std::string version = "unknown";
    if (sqlite3_open_v2(":memory:", &handle, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(handle, "PRAGMA cipher_version", -1, &statement, nullptr) ==
                SQLITE_OK &&
            sqlite3_step(statement) == SQLITE_ROW) {
            version = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
        }
        sqlite3_finalize(statement);
    }
    sqlite3_close(handle);
    return version;
}

}  // namespace

std::string EngineVersions() {
    int pq = PQlibVersion();
    return fmt::format("SQLCipher {} (SQLite {}), libpq {}.{}", CipherVersion(),
                       sqlite3_libversion(), pq / 10000, pq % 10000);
}

}  // namespace vesk::data_access
