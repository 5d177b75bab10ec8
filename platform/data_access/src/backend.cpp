#include "backend.h"

#include <algorithm>

#include <fmt/format.h>

#include "postgres/pg_backend.h"
#include "sqlite/sqlite_backend.h"
#include "vesk/data_access/data_access_error.h"

namespace vesk::data_access::detail {

bool HasSpool(const std::vector<ColumnWrite>& row) {
    return std::any_of(row.begin(), row.end(),
                       [](const ColumnWrite& write) { return write.spool != nullptr; });
}

bool SameColumns(const std::vector<ColumnWrite>& left, const std::vector<ColumnWrite>& right) {
    return std::equal(
        left.begin(), left.end(), right.begin(), right.end(),
        [](const ColumnWrite& a, const ColumnWrite& b) { return a.column == b.column; });
}

std::vector<std::optional<std::vector<StoredValue>>> Cursor::ReadRows(
    std::span<const RowKey> keys) {
    std::vector<std::optional<std::vector<StoredValue>>> rows(keys.size());
    for (std::size_t key_idx = 0; key_idx < keys.size(); ++key_idx) {
        std::vector<StoredValue> values;
        if (ReadRow(keys[key_idx], values)) {
            rows[key_idx] = std::move(values);
        }
    }
    return rows;
}

std::vector<InsertOutcome> Cursor::InsertRows(const std::vector<std::vector<ColumnWrite>>& rows,
                                              bool /*keys*/) {
    std::vector<InsertOutcome> outcomes;
    outcomes.reserve(rows.size());
    for (const std::vector<ColumnWrite>& row : rows) {
        try {
            outcomes.push_back({InsertRow(row), std::nullopt});
        } catch (const DataAccessError& error) {
            outcomes.push_back({std::nullopt, error});
        }
    }
    return outcomes;
}

std::vector<ValueMatch> Cursor::MatchValues(std::size_t, const std::vector<Variant>&) {
    throw DataAccessError(
        "The rows of this statement belong to no one table to compare values with.");
}

std::vector<ColumnInfo> RequireTableColumns(std::vector<ColumnInfo> columns,
                                            std::string_view table) {
    if (columns.empty()) {
        throw DataAccessError(
            fmt::format("Item cannot be found in the collection corresponding to the requested "
                        "name or ordinal: no table {}",
                        table));
    }
    return columns;
}

std::unique_ptr<Backend> OpenBackend(const ConnectionSettings& settings) {
    switch (settings.provider) {
        case Provider::EmbeddedFile:
            return OpenSqliteBackend(settings);
        case Provider::PostgreSql:
            return OpenPgBackend(settings);
    }
    throw DataAccessError("Provider cannot be found: the connection text names no known engine");
}

void CreateDatabase(const ConnectionSettings& settings) {
    switch (settings.provider) {
        case Provider::EmbeddedFile:
            CreateSqliteDatabase(settings);
            return;
        case Provider::PostgreSql:
            CreatePgDatabase(settings);
            return;
    }
    throw DataAccessError("Provider cannot be found: the connection text names no known engine");
}

}  // namespace vesk::data_access::detail
