#include <sqlite3.h>

#include <limits>
#include <optional>

#include "sqlite/sqlite_backend.h"
#include "sqlite/sqlite_handle.h"
#include "text_util.h"
#include "vesk/data_access/connection_text.h"
#include "vesk/data_access/database_file.h"

namespace vesk::data {

using data::QuoteIdentifier;
using detail::SqliteDatabase;
using detail::SqliteStatement;

namespace {

constexpr std::int64_t kLowestRowId = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t kHighestRowId = std::numeric_limits<std::int64_t>::max();

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

// Copies the rows of one table in row id order. A row that cannot be read is skipped, and so
// is every row id whose page the engine cannot reach: the copy resumes at the first row id
// that can be reached again.
class TableSalvage {
public:
    TableSalvage(const SqliteDatabase& damaged, const SqliteDatabase& target,
                 const std::string& table, SalvageReport& report)
        : m_read(damaged, "SELECT rowid, * FROM " + QuoteIdentifier(table) +
                              " WHERE rowid >= ?1 ORDER BY rowid"),
          m_probe(damaged, "SELECT rowid FROM " + QuoteIdentifier(table) +
                               " WHERE rowid >= ?1 ORDER BY rowid LIMIT 1"),
          m_insert(target, InsertText(table)),
          m_report(report) {}

    void Run() {
        std::optional<std::int64_t> next = kLowestRowId;
        while (next && !CopyFrom(*next)) {
            ++m_report.readFailures;
            next = NextReachable(*next);
        }
    }

private:
    std::string InsertText(const std::string& table) const {
        std::string columns = "rowid";
        std::string values = "?1";
        for (int column = 1; column < sqlite3_column_count(m_read.Handle()); ++column) {
            columns += ", " + QuoteIdentifier(sqlite3_column_name(m_read.Handle(), column));
            values += ", ?" + std::to_string(column + 1);
        }
        return "INSERT INTO " + QuoteIdentifier(table) + " (" + columns + ") VALUES (" + values +
               ")";
    }

    // Copies rows from `next` on; true when the end was reached, false on a read failure.
    // `next` is left just after the last row copied.
    bool CopyFrom(std::int64_t& next) {
        sqlite3_stmt* read = m_read.Handle();
        sqlite3_reset(read);
        sqlite3_bind_int64(read, 1, next);
        int result = SQLITE_ROW;
        while ((result = sqlite3_step(read)) == SQLITE_ROW) {
            for (int column = 0; column < sqlite3_column_count(read); ++column) {
                sqlite3_bind_value(m_insert.Handle(), column + 1,
                                   sqlite3_column_value(read, column));
            }
            m_insert.Step();
            m_insert.Reset();
            ++m_report.rowsCopied;
            std::int64_t rowId = sqlite3_column_int64(read, 0);
            if (rowId == kHighestRowId) {
                return true;
            }
            next = rowId + 1;
        }
        sqlite3_reset(read);
        return result == SQLITE_DONE;
    }

    // Whether the table can be entered at `rowId`; `found` gets the first row id there.
    bool Reachable(std::int64_t rowId, std::optional<std::int64_t>& found) {
        sqlite3_stmt* probe = m_probe.Handle();
        sqlite3_reset(probe);
        sqlite3_bind_int64(probe, 1, rowId);
        int result = sqlite3_step(probe);
        found = result == SQLITE_ROW ? std::optional(sqlite3_column_int64(probe, 0)) : std::nullopt;
        sqlite3_reset(probe);
        return result == SQLITE_ROW || result == SQLITE_DONE;
    }

    // Where to resume after a failure at `failed`: past the unreadable row when its page can
    // be reached, else the lowest reachable row id above the damage. Nothing: no rows left.
    std::optional<std::int64_t> NextReachable(std::int64_t failed) {
        std::optional<std::int64_t> found;
        if (Reachable(failed, found)) {
            return found && *found < kHighestRowId ? std::optional(*found + 1) : std::nullopt;
        }
        std::int64_t unreachable = failed;
        std::int64_t step = 1;
        while (!Reachable(unreachable + step, found)) {
            unreachable += step;
            if (step > (kHighestRowId - unreachable) / 2) {
                return std::nullopt;
            }
            step *= 2;
        }
        std::int64_t reachable = unreachable + step;
        while (reachable - unreachable > 1) {
            std::int64_t middle = unreachable + (reachable - unreachable) / 2;
            (Reachable(middle, found) ? reachable : unreachable) = middle;
        }
        return reachable;
    }

    SqliteStatement m_read;
    SqliteStatement m_probe;
    SqliteStatement m_insert;
    SalvageReport& m_report;
};

void CreateEntries(const SqliteDatabase& target, const std::vector<SchemaEntry>& entries,
                   bool tables) {
    for (const SchemaEntry& entry : entries) {
        if ((entry.type == "table") == tables) {
            target.Run(entry.sql);
        }
    }
}

detail::SqliteDatabasePtr OpenPlain(const std::string& path, bool create) {
    ConnectionSettings settings;
    settings.path = path;
    if (create) {
        detail::CreateSqliteDatabase(settings);
    }
    return detail::OpenSqliteDatabase(settings);
}

}  // namespace

// Indexes and triggers are made after the rows: the indexes are rebuilt from the rows kept,
// and no trigger fires while rows are copied.
SalvageReport SalvageReadableRows(const std::string& damagedPath, const std::string& newPath) {
    detail::SqliteDatabasePtr damaged = OpenPlain(damagedPath, false);
    std::vector<SchemaEntry> entries = ReadSchema(*damaged);
    detail::SqliteDatabasePtr target = OpenPlain(newPath, true);
    SalvageReport report;
    target->Run("BEGIN");
    CreateEntries(*target, entries, true);
    for (const SchemaEntry& entry : entries) {
        if (entry.type == "table") {
            TableSalvage(*damaged, *target, entry.name, report).Run();
        }
    }
    CreateEntries(*target, entries, false);
    SqliteStatement version(*damaged, "PRAGMA user_version");
    if (version.Step()) {
        target->Run("PRAGMA user_version = " + std::to_string(version.ColumnInt64(0)));
    }
    target->Run("COMMIT");
    return report;
}

}  // namespace vesk::data
