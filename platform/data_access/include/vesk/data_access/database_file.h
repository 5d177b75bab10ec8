#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// File-level operations of the embedded engine: whole-database copies, integrity checks and
// the salvage of a damaged file. Every function throws DataAccessError with the engine's
// description when a file cannot be opened, read or written.
namespace vesk::data {

// What a database holds, for comparing a copy with its original.
struct DatabaseContents {
    std::map<std::string, std::string> schema;      // "type name" -> its SQL text
    std::map<std::string, std::int64_t> rowCounts;  // table name -> rows
    std::int64_t userVersion = 0;

    bool operator==(const DatabaseContents&) const = default;
};

// Writes the database at `sourcePath` (keyed with `password`; empty: none) into the new file
// `copyPath`, keyed with the same password: schema, rows and user version, without free
// pages. The copy is not synced to disk; a failure may leave a partial copy behind.
void ExportDatabaseCopy(const std::string& sourcePath, const std::string& copyPath,
                        const std::string& password);

// The problems the engine's integrity check finds in the database; empty when it is sound.
std::vector<std::string> CheckIntegrity(const std::string& path, const std::string& password);

// The schema, the row count of every table and the user version of the database.
DatabaseContents ReadContents(const std::string& path, const std::string& password);

// Rows copied and rows (or runs of rows) that could not be read by SalvageReadableRows.
struct SalvageReport {
    std::int64_t rowsCopied = 0;
    std::int64_t readFailures = 0;
};

// Builds the new, unkeyed database `newPath` from the damaged unkeyed file `damagedPath`:
// its schema and every row that can still be read; indexes are rebuilt from those rows.
// Throws when the schema itself cannot be read; a failure leaves a partial `newPath`.
SalvageReport SalvageReadableRows(const std::string& damagedPath, const std::string& newPath);

}  // namespace vesk::data
