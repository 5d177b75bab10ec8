#include <sqlite3.h>

#include <fstream>

#include <fmt/format.h>

#include "sqlite/sqlite_backend.h"
#include "sqlite/sqlite_handle.h"
#include "text_util.h"
#include "vesk/data_access/connection_text.h"
#include "vesk/data_access/data_access_error.h"
#include "vesk/data_access/database_file.h"

namespace vesk::data {

using detail::OpenSqliteDatabase;
using detail::SqliteDatabasePtr;
using detail::SqliteStatement;

namespace {

SqliteDatabasePtr OpenFile(const std::string& path, const std::string& password) {
    ConnectionSettings settings;
    settings.path = path;
    settings.password = password;
    return OpenSqliteDatabase(settings);
}

std::int64_t ReadInteger(const detail::SqliteDatabase& database, const std::string& sql) {
    SqliteStatement statement(database, sql);
    return statement.Step() ? statement.ColumnInt64(0) : 0;
}

}  // namespace

// The copy's journal and syncs are off: the copy is a new file that nobody uses until the
// caller has synced it and put it in place, and a failed copy is thrown away.
void ExportDatabaseCopy(const std::string& sourcePath, const std::string& copyPath,
                        const std::string& password) {
    SqliteDatabasePtr source = OpenFile(sourcePath, password);
    // The session opens files without creating them, and so do its attachments: the copy
    // starts as an empty file, which the engine takes for an empty database.
    if (!std::ofstream(copyPath, std::ios::binary | std::ios::trunc)) {
        throw DataAccessError(fmt::format("Cannot create '{}'", copyPath), SQLITE_CANTOPEN);
    }
    {
        SqliteStatement attach(*source, "ATTACH DATABASE ?1 AS compacted KEY ?2");
        attach.BindText(1, copyPath);
        attach.BindText(2, password);
        attach.Step();
    }
    try {
        source->Run("PRAGMA compacted.journal_mode = OFF; PRAGMA compacted.synchronous = OFF");
        source->Run("SELECT sqlcipher_export('compacted')");
        std::int64_t version = ReadInteger(*source, "PRAGMA main.user_version");
        source->Run(fmt::format("PRAGMA compacted.user_version = {}", version));
    } catch (...) {
        sqlite3_exec(source->Handle(), "DETACH DATABASE compacted", nullptr, nullptr, nullptr);
        throw;
    }
    source->Run("DETACH DATABASE compacted");
}

std::vector<std::string> CheckIntegrity(const std::string& path, const std::string& password) {
    SqliteDatabasePtr database = OpenFile(path, password);
    SqliteStatement check(*database, "PRAGMA integrity_check");
    std::vector<std::string> problems;
    try {
        while (check.Step()) {
            std::string line = check.ColumnText(0);
            if (line != "ok") {
                problems.push_back(std::move(line));
            }
        }
    } catch (const DataAccessError& error) {
        // Damage can stop the check itself; that is a finding, not a failure to check.
        if ((error.EngineCode() & 0xff) != SQLITE_CORRUPT) {
            throw;
        }
        problems.push_back(error.Description());
    }
    return problems;
}

DatabaseContents ReadContents(const std::string& path, const std::string& password) {
    SqliteDatabasePtr database = OpenFile(path, password);
    DatabaseContents contents;
    std::vector<std::string> tables;
    SqliteStatement schema(*database, "SELECT type, name, sql FROM sqlite_master");
    while (schema.Step()) {
        std::string type = schema.ColumnText(0);
        std::string name = schema.ColumnText(1);
        contents.schema[type + " " + name] = schema.ColumnText(2);
        if (type == "table") {
            tables.push_back(name);
        }
    }
    for (const std::string& table : tables) {
        contents.rowCounts[table] =
            ReadInteger(*database, "SELECT count(*) FROM " + QuoteIdentifier(table));
    }
    contents.userVersion = ReadInteger(*database, "PRAGMA user_version");
    return contents;
}

}  // namespace vesk::data
