#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <string>

#include "sqlite/sqlite_handle.h"
#include "vesk/data_access/database_file.h"

namespace vesk::data_access::detail {

// Copies the readable rows of one table of a damaged file into the same table of a new one.
// Rows are read by scans in row id order that resume past damage, then by lookups of single
// row ids in the gaps (a lookup walks from the root and so reaches leaves a scan cannot), and
// of every row id an index of the table still lists. A row the new table refuses by one of its
// constraints is set aside and counted.
class TableSalvage {
public:
    TableSalvage(const SqliteDatabase& damaged, const SqliteDatabase& target,
                 const std::string& table);

    // Copies what can be read and tells what was kept and lost. Throws only when the new
    // file cannot be written.
    TableSalvageReport Run();

private:
    std::string InsertText() const;
    void ScanAll();
    bool ScanFrom(std::int64_t& next);
    bool Reachable(std::int64_t rowId, std::optional<std::int64_t>& found);
    std::optional<std::int64_t> NextReachable(std::int64_t failed);
    std::set<std::int64_t> ListedRowIds() const;
    void LookUpGaps(const std::set<std::int64_t>& listed);
    void LookUp(std::int64_t rowId);
    void Keep(sqlite3_stmt* row);

    const SqliteDatabase& m_damaged;
    std::string m_table;
    SqliteStatement m_read;
    SqliteStatement m_probe;
    SqliteStatement m_lookup;
    SqliteStatement m_insert;
    std::set<std::int64_t> m_seen;    // row ids read, kept or set aside
    std::set<std::int64_t> m_failed;  // row ids whose lookup failed on damage
    TableSalvageReport m_report;
};

}  // namespace vesk::data_access::detail
