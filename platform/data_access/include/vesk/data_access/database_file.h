#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// File-level operations of the embedded engine: whole-database copies, integrity checks and
// the salvage of a damaged file. Every function throws DataAccessError with the engine's
// description when a file cannot be opened, read or written.
namespace vesk::data_access {

// What a database holds, for comparing a copy with its original.
struct DatabaseContents {
    std::map<std::string, std::string> schema;      // "type name" -> its SQL text
    std::map<std::string, std::int64_t> rowCounts;  // table name -> rows
    // table name -> the sum of a hash of each row's values: equal sums on equal counts tell
    // that a copy holds this database's rows, not another's.
    std::map<std::string, std::uint64_t> rowChecksums;
    std::int64_t userVersion = 0;

    bool operator==(const DatabaseContents&) const = default;
};

// The problems the engine's integrity check finds in the database; empty when it is sound.
std::vector<std::string> CheckIntegrity(const std::string& path, const std::string& password);

// The schema, the row count and checksum of every table and the user version of the database.
DatabaseContents ReadContents(const std::string& path, const std::string& password);

// What the salvage of one table kept and lost.
struct TableSalvageReport {
    std::string table;
    std::int64_t rowsKept = 0;
    // Read, but refused by a constraint of the rebuilt table; the first reason is kept.
    std::int64_t rowsSetAside = 0;
    std::string firstSetAsideReason;
    // Listed by an index of the damaged file, but unreadable in the table itself.
    std::int64_t rowsUnreadable = 0;
    // Stretches of the table that could not be read; the rows there are lost.
    std::int64_t damagedStretches = 0;
    // Row ids no index lists whose lookup failed on damage: each may have held a row (a table
    // whose row ids run without gaps lost one there).
    std::int64_t rowIdsUnreadable = 0;

    std::int64_t RowsLost() const { return rowsSetAside + rowsUnreadable; }
};

// The tables of a salvage in the order of the schema.
struct SalvageReport {
    std::vector<TableSalvageReport> tables;
};

// Builds the database in the existing empty file `newPath` from the damaged file
// `damagedPath` (both keyed with `password`; empty: none): its schema and every row that a
// scan or a lookup by row id can still read, reading on past damaged pages. Rows refused by a
// constraint are set aside and counted. Throws when the schema itself cannot be read; a
// failure leaves a partial `newPath`.
SalvageReport SalvageReadableRows(const std::string& damagedPath, const std::string& newPath,
                                  const std::string& password = {});

// Throws DataAccessError naming `path` as damaged when the file's header is unreadable while
// its first page still looks like a plain database's (a keyed file is left to the open).
void RequireReadableHeader(const std::string& path);

// Makes the header's page count of the damaged plain file `path` match its length (padding
// the last page with zeros), so that the pages of a cut-off file can be read again.
void FitPageCountToLength(const std::string& path);

}  // namespace vesk::data_access
