#include "sqlite/sqlite_value_match.h"

#include <sqlite3.h>

#include <fmt/format.h>

#include "sqlite/sqlite_values.h"
#include "text_util.h"

namespace vesk::data_access::detail {

namespace {

constexpr const char* kValues = "temp.vesk_matched_values";

// The declared type and collation of the column, as its table's definition gives them.
std::string ColumnDefinition(const SqliteDatabase& database, const std::string& table,
                             const std::string& column) {
    const char* declared = nullptr;
    const char* collation = nullptr;
    if (sqlite3_table_column_metadata(database.Handle(), nullptr, table.c_str(), column.c_str(),
                                      &declared, &collation, nullptr, nullptr,
                                      nullptr) != SQLITE_OK) {
        database.ThrowLastError(fmt::format("Cannot read the column {} of {}", column, table));
    }
    return fmt::format("{} COLLATE {}", declared ? declared : "",
                       QuoteIdentifier(collation ? collation : "BINARY"));
}

// Stores the values in slots 0, 1, ... of a new temporary table whose column `v` is declared
// as `definition`, indexed so that the comparisons below search it.
void StoreValues(const SqliteDatabase& database, const std::string& definition, ColumnType type,
                 std::string_view column, const std::vector<Variant>& values) {
    database.Run(
        fmt::format("DROP TABLE IF EXISTS {0}; CREATE TABLE {0} (n INTEGER PRIMARY KEY, v {1}); "
                    "CREATE INDEX temp.vesk_matched_values_v ON vesk_matched_values (v)",
                    kValues, definition));
    SqliteStatement insert(database, fmt::format("INSERT INTO {} (n, v) VALUES (?, ?)", kValues));
    for (std::size_t value_idx = 0; value_idx < values.size(); ++value_idx) {
        insert.BindInt64(1, static_cast<std::int64_t>(value_idx));
        BindColumnValue(insert, 2, values[value_idx], type, column);
        insert.Step();
        insert.Reset();
    }
}

// Whether an index of the table (not a partial one) starts with the column, so that values
// are found by searching it.
bool Indexed(const SqliteDatabase& database, const std::string& table, const std::string& column) {
    SqliteStatement indexes(database, fmt::format("PRAGMA index_list({})", QuoteIdentifier(table)));
    std::vector<std::string> names;
    while (indexes.Step()) {
        if (sqlite3_column_count(indexes.Handle()) < 5 || indexes.ColumnInt64(4) == 0) {
            names.push_back(indexes.ColumnText(1));
        }
    }
    for (const std::string& name : names) {
        SqliteStatement columns(database,
                                fmt::format("PRAGMA index_info({})", QuoteIdentifier(name)));
        if (columns.Step() && EqualsIgnoringCase(columns.ColumnText(2), column)) {
            return true;
        }
    }
    return false;
}

// Sets `held` for the values some row of the table equals, the column on the left so that its
// collation decides. The order of the join is fixed: the values, searching an index of the
// table that starts with the column; else the table read once, searching the values' index.
// Left to itself the engine may build an index of the whole table for each call instead.
void MarkHeld(const SqliteDatabase& database, const std::string& table, const std::string& column,
              std::vector<ValueMatch>& matches) {
    const std::string values = fmt::format("{} AS w", kValues);
    const bool indexed = Indexed(database, table, column);
    SqliteStatement held(
        database, fmt::format("SELECT DISTINCT w.n FROM {1} CROSS JOIN {2} ON {0}.{3} = w.v",
                              QuoteIdentifier(table), indexed ? values : QuoteIdentifier(table),
                              indexed ? QuoteIdentifier(table) : values, QuoteIdentifier(column)));
    while (held.Step()) {
        matches.at(static_cast<std::size_t>(held.ColumnInt64(0))).held = true;
    }
}

void MarkFirstEqual(const SqliteDatabase& database, std::vector<ValueMatch>& matches) {
    SqliteStatement equal(
        database, fmt::format("SELECT b.n, min(a.n) FROM {0} AS a JOIN {0} AS b ON a.v = b.v "
                              "AND a.n < b.n GROUP BY b.n",
                              kValues));
    while (equal.Step()) {
        matches.at(static_cast<std::size_t>(equal.ColumnInt64(0))).firstEqual =
            static_cast<std::size_t>(equal.ColumnInt64(1));
    }
}

}  // namespace

std::vector<ValueMatch> SqliteMatchValues(const SqliteDatabase& database, std::string_view table,
                                          std::string_view column, ColumnType type,
                                          const std::vector<Variant>& values) {
    const std::string tableName(table);
    const std::string columnName(column);
    std::vector<ValueMatch> matches(values.size());
    for (std::size_t value_idx = 0; value_idx < values.size(); ++value_idx) {
        matches[value_idx].firstEqual = value_idx;
    }
    const std::string definition = ColumnDefinition(database, tableName, columnName);
    SqliteSavepoint reading(database);  // outside a transaction, one of its own
    StoreValues(database, definition, type, column, values);
    MarkHeld(database, tableName, columnName, matches);
    MarkFirstEqual(database, matches);
    database.Run(fmt::format("DROP TABLE {}", kValues));
    reading.Release();
    return matches;
}

}  // namespace vesk::data_access::detail
