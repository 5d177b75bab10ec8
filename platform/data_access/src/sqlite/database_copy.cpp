#include "sqlite/database_copy.h"

#include <sqlite3.h>

#include <cstring>
#include <fstream>

#include <fmt/format.h>

#include "sqlite/sqlite_backend.h"
#include "text_util.h"
#include "vesk/data_access/connection_text.h"
#include "vesk/data_access/data_access_error.h"

namespace vesk::data_access {

namespace detail {

namespace {

constexpr int kExportCacheKb = 16 * 1024;

std::int64_t ReadInteger(const SqliteDatabase& database, const std::string& sql) {
    SqliteStatement statement(database, sql);
    return statement.Step() ? statement.ColumnInt64(0) : 0;
}

// FNV-1a over `size` bytes, continuing from `hash`.
std::uint64_t HashBytes(std::uint64_t hash, const void* bytes, std::size_t size) {
    const auto* byte = static_cast<const unsigned char*>(bytes);
    for (std::size_t index = 0; index < size; ++index) {
        hash = (hash ^ byte[index]) * 0x100000001b3ULL;
    }
    return hash;
}

// A hash of one row's values with their storage classes; row ids are left out, as a copy
// may number the rows of a table without an integer key afresh.
std::uint64_t HashRow(sqlite3_stmt* row) {
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    for (int column = 0; column < sqlite3_column_count(row); ++column) {
        const unsigned char type = static_cast<unsigned char>(sqlite3_column_type(row, column));
        hash = HashBytes(hash, &type, 1);
        if (type == SQLITE_INTEGER) {
            sqlite3_int64 value = sqlite3_column_int64(row, column);
            hash = HashBytes(hash, &value, sizeof value);
        } else if (type == SQLITE_FLOAT) {
            double value = sqlite3_column_double(row, column);
            hash = HashBytes(hash, &value, sizeof value);
        } else if (type != SQLITE_NULL) {
            const void* bytes = sqlite3_column_blob(row, column);
            hash =
                HashBytes(hash, bytes, static_cast<std::size_t>(sqlite3_column_bytes(row, column)));
        }
    }
    return hash;
}

// The row count and the order-free sum of the row hashes of `table`.
void ReadTable(const SqliteDatabase& database, const std::string& table,
               DatabaseContents& contents) {
    SqliteStatement rows(database, "SELECT * FROM " + QuoteIdentifier(table));
    std::int64_t count = 0;
    std::uint64_t sum = 0;
    while (rows.Step()) {
        ++count;
        sum += HashRow(rows.Handle());
    }
    contents.rowCounts[table] = count;
    contents.rowChecksums[table] = sum;
}

}  // namespace

SqliteDatabasePtr OpenFile(const std::string& path, const std::string& password) {
    ConnectionSettings settings;
    settings.path = path;
    settings.password = password;
    return OpenSqliteDatabase(settings);
}

// The copy's journal and syncs are off: the copy is a new file that nobody uses until the
// caller has checked it, and a failed copy is thrown away.
void ExportInto(const SqliteDatabase& source, const std::string& copyPath,
                const std::string& password) {
    // The session opens files without creating them, and so do its attachments: the copy
    // starts as an empty file, which the engine takes for an empty database.
    if (!std::ofstream(copyPath, std::ios::binary | std::ios::trunc)) {
        throw DataAccessError(fmt::format("Cannot create '{}'", copyPath), SQLITE_CANTOPEN);
    }
    {
        SqliteStatement attach(source, "ATTACH DATABASE ?1 AS compacted KEY ?2");
        attach.BindText(1, copyPath);
        attach.BindText(2, password);
        attach.Step();
    }
    try {
        // The copy's indexes are filled as its rows go in; a cache that holds their pages
        // spares each page being written, and so encrypted, over and over.
        source.Run(fmt::format(
            "PRAGMA compacted.journal_mode = OFF; PRAGMA compacted.synchronous = OFF; PRAGMA "
            "compacted.cache_size = -{}",
            kExportCacheKb));
        source.Run("SELECT sqlcipher_export('compacted')");
        std::int64_t version = ReadInteger(source, "PRAGMA main.user_version");
        source.Run(fmt::format("PRAGMA compacted.user_version = {}", version));
    } catch (...) {
        sqlite3_exec(source.Handle(), "DETACH DATABASE compacted", nullptr, nullptr, nullptr);
        throw;
    }
    source.Run("DETACH DATABASE compacted");
}

DatabaseContents ReadContentsOf(const SqliteDatabase& database) {
    DatabaseContents contents;
    std::vector<std::string> tables;
    SqliteStatement schema(database, "SELECT type, name, sql FROM sqlite_master");
    while (schema.Step()) {
        std::string type = schema.ColumnText(0);
        std::string name = schema.ColumnText(1);
        contents.schema[type + " " + name] = schema.ColumnText(2);
        if (type == "table") {
            tables.push_back(name);
        }
    }
    for (const std::string& table : tables) {
        ReadTable(database, table, contents);
    }
    contents.userVersion = ReadInteger(database, "PRAGMA user_version");
    return contents;
}

}  // namespace detail

namespace {

// Whether `error`, met while reading a file that opened, tells of damage rather than of the
// file being busy or memory running out.
bool IsDamage(const DataAccessError& error) {
    int code = error.EngineCode() & 0xff;
    return code != SQLITE_BUSY && code != SQLITE_LOCKED && code != SQLITE_NOMEM;
}

}  // namespace

// Damage can stop the open or the check itself; that is a finding, not a failure to check.
std::vector<std::string> CheckIntegrity(const std::string& path, const std::string& password) {
    detail::SqliteDatabasePtr database;
    try {
        database = detail::OpenFile(path, password);
    } catch (const DataAccessError& error) {
        if ((error.EngineCode() & 0xff) != SQLITE_CORRUPT) {
            throw;
        }
        return {error.Description()};
    }
    std::vector<std::string> problems;
    try {
        detail::SqliteStatement check(*database, "PRAGMA integrity_check");
        while (check.Step()) {
            std::string line = check.ColumnText(0);
            if (line != "ok") {
                problems.push_back(std::move(line));
            }
        }
    } catch (const DataAccessError& error) {
        if (!IsDamage(error)) {
            throw;
        }
        problems.push_back(error.Description());
    }
    return problems;
}

DatabaseContents ReadContents(const std::string& path, const std::string& password) {
    return detail::ReadContentsOf(*detail::OpenFile(path, password));
}

}  // namespace vesk::data_access
