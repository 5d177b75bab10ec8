#include <sqlite3.h>

#include <set>

#include "sqlite/database_copy.h"
#include "sqlite/sqlite_backend.h"
#include "sqlite/table_salvage.h"
#include "vesk/data_access/data_access_error.h"
#include "vesk/data_access/database_file.h"

namespace vesk::data_access {

using detail::SqliteDatabase;
using detail::SqliteStatement;

namespace {

struct SchemaEntry {
    std::string type;
    std::string name;
    std::string sql;
};

std::vector<SchemaEntry> ReadSchema(const SqliteDatabase& database) {
    SqliteStatement schema(database,
                           "SELECT type, name, sql FROM sqlite_master WHERE sql IS NOT NULL AND "
                           "name NOT LIKE 'sqlite_%' ORDER BY rowid");
    std::vector<SchemaEntry> entries;
    while (schema.Step()) {
        entries.push_back({schema.ColumnText(0), schema.ColumnText(1), schema.ColumnText(2)});
    }
    return entries;
}

void CreateEntries(const SqliteDatabase& target, const std::vector<SchemaEntry>& entries,
                   const std::set<std::string>& types) {
    for (const SchemaEntry& entry : entries) {
        if (types.count(entry.type) != 0) {
            target.Run(entry.sql);
        }
    }
}

}  // namespace

// Tables and indexes are made before the rows, so that a row an index refuses is set aside
// rather than failing the index afterwards; triggers and views come after, so that no trigger
// fires while rows are copied.
SalvageReport SalvageReadableRows(const std::string& damagedPath, const std::string& newPath,
                                  const std::string& password) {
    detail::SqliteDatabasePtr damaged = detail::OpenFile(damagedPath, password);
    std::vector<SchemaEntry> entries = ReadSchema(*damaged);
    detail::SqliteDatabasePtr target = detail::OpenFile(newPath, password);
    SalvageReport report;
    target->Run("BEGIN");
    CreateEntries(*target, entries, {"table", "index"});
    for (const SchemaEntry& entry : entries) {
        if (entry.type == "table") {
            report.tables.push_back(detail::TableSalvage(*damaged, *target, entry.name).Run());
        }
    }
    CreateEntries(*target, entries, {"trigger", "view"});
    SqliteStatement version(*damaged, "PRAGMA user_version");
    if (version.Step()) {
        target->Run("PRAGMA user_version = " + std::to_string(version.ColumnInt64(0)));
    }
    target->Run("COMMIT");
    return report;
}

}  // namespace vesk::data_access
