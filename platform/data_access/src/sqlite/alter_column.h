#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "sqlite/sqlite_handle.h"

// ALTER TABLE t ALTER [COLUMN] c type, which the embedded engine lacks, carried out as a
// rebuild of the table inside one savepoint: the rows, indexes and triggers are kept, and a
// failure at any step leaves the table as it was.
namespace vesk::data_access::detail {

struct AlterColumnStatement {
    std::string table;
    std::string column;
    std::string type;  // the new type text as written, e.g. "Text (50)"
};

// Recognises the statement; returns nothing for any other statement.
std::optional<AlterColumnStatement> ParseAlterColumn(std::string_view sql);

// Rebuilds the table with the column's new type. Throws DataAccessError naming the table
// or column when either is missing, or with the engine's text when a step fails.
void AlterColumnType(const SqliteDatabase& database, const AlterColumnStatement& alter);

// The CREATE TABLE text `createSql` with the type of `column` replaced by `type`; nothing
// when the column is not defined there.
std::optional<std::string> ReplaceColumnType(std::string_view createSql, std::string_view column,
                                             std::string_view type);

// For fault-injection tests: called before each step of the rebuild with the step's number;
// a hook that throws makes that step fail.
void SetAlterColumnFaultHook(std::function<void(int step)> hook);

}  // namespace vesk::data_access::detail
