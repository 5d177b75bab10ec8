#include "sqlite/table_salvage.h"

#include <sqlite3.h>

#include <algorithm>
#include <iterator>
#include <limits>
#include <vector>

#include "text_util.h"
#include "vesk/data_access/data_access_error.h"
#include "vesk/data_access/sql_text.h"

namespace vesk::data_access::detail {

namespace {

constexpr std::int64_t kLowestRowId = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t kHighestRowId = std::numeric_limits<std::int64_t>::max();
// Lookups of row ids in gaps are bounded: at least this many, or kLookUpsPerRow per row kept.
constexpr std::int64_t kLeastLookUps = std::int64_t{1} << 20;
constexpr std::int64_t kLookUpsPerRow = 16;

// Runs `sql` (one integer result) on the damaged file; nothing when it fails or gives none.
std::optional<std::int64_t> TryInteger(const SqliteDatabase& database, const std::string& sql,
                                       const std::string& parameter = {}) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(database.Handle(), sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
        sqlite3_finalize(statement);
        return std::nullopt;
    }
    sqlite3_bind_text(statement, 1, parameter.c_str(), -1, SQLITE_TRANSIENT);
    std::optional<std::int64_t> value;
    if (sqlite3_step(statement) == SQLITE_ROW && sqlite3_column_type(statement, 0) != SQLITE_NULL) {
        value = sqlite3_column_int64(statement, 0);
    }
    sqlite3_finalize(statement);
    return value;
}

// Reads the row ids that the index `index` lists, until its end or its first damage.
void ReadListedRowIds(const SqliteDatabase& database, const std::string& table,
                      const std::string& index, std::set<std::int64_t>& listed) {
    std::string sql =
        "SELECT rowid FROM " + QuoteIdentifier(table) + " INDEXED BY " + QuoteIdentifier(index);
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(database.Handle(), sql.c_str(), -1, &statement, nullptr) == SQLITE_OK) {
        while (sqlite3_step(statement) == SQLITE_ROW) {
            listed.insert(sqlite3_column_int64(statement, 0));
        }
    }
    sqlite3_finalize(statement);
}

}  // namespace

TableSalvage::TableSalvage(const SqliteDatabase& damaged, const SqliteDatabase& target,
                           const std::string& table)
    : m_damaged(damaged),
      m_table(table),
      m_read(damaged, "SELECT rowid, * FROM " + QuoteIdentifier(table) +
                          " WHERE rowid >= ?1 ORDER BY rowid"),
      m_probe(damaged, "SELECT rowid FROM " + QuoteIdentifier(table) +
                           " WHERE rowid >= ?1 ORDER BY rowid LIMIT 1"),
      m_lookup(damaged, "SELECT rowid, * FROM " + QuoteIdentifier(table) + " WHERE rowid = ?1"),
      m_insert(target, InsertText()) {
    m_report.table = table;
}

TableSalvageReport TableSalvage::Run() {
    ScanAll();
    std::set<std::int64_t> listed = ListedRowIds();
    LookUpGaps(listed);
    for (std::int64_t rowId : listed) {
        m_report.rowsUnreadable += m_seen.count(rowId) == 0 ? 1 : 0;
    }
    for (std::int64_t rowId : m_failed) {
        m_report.rowIdsUnreadable += listed.count(rowId) == 0 ? 1 : 0;
    }
    return m_report;
}

std::string TableSalvage::InsertText() const {
    std::string columns = "rowid";
    std::string values = "?1";
    for (int column = 1; column < sqlite3_column_count(m_read.Handle()); ++column) {
        columns += ", " + QuoteIdentifier(sqlite3_column_name(m_read.Handle(), column));
        values += ", ?" + std::to_string(column + 1);
    }
    return "INSERT INTO " + QuoteIdentifier(m_table) + " (" + columns + ") VALUES (" + values + ")";
}

void TableSalvage::ScanAll() {
    std::optional<std::int64_t> next = kLowestRowId;
    while (next && !ScanFrom(*next)) {
        ++m_report.damagedStretches;
        next = NextReachable(*next);
    }
}

// Copies rows from `next` on; true when the scan ended, false on a read failure or on row ids
// that do not rise (a damaged tree can lead back). `next` is left just after the last row read.
bool TableSalvage::ScanFrom(std::int64_t& next) {
    sqlite3_stmt* read = m_read.Handle();
    sqlite3_reset(read);
    sqlite3_bind_int64(read, 1, next);
    int result = SQLITE_ROW;
    while ((result = sqlite3_step(read)) == SQLITE_ROW) {
        std::int64_t rowId = sqlite3_column_int64(read, 0);
        if (rowId < next) {
            break;
        }
        Keep(read);
        if (rowId == kHighestRowId) {
            sqlite3_reset(read);
            return true;
        }
        next = rowId + 1;
    }
    sqlite3_reset(read);
    return result == SQLITE_DONE;
}

// Whether the table can be entered at `rowId`; `found` gets the first row id there.
bool TableSalvage::Reachable(std::int64_t rowId, std::optional<std::int64_t>& found) {
    sqlite3_stmt* probe = m_probe.Handle();
    sqlite3_reset(probe);
    sqlite3_bind_int64(probe, 1, rowId);
    int result = sqlite3_step(probe);
    found = result == SQLITE_ROW ? std::optional(sqlite3_column_int64(probe, 0)) : std::nullopt;
    sqlite3_reset(probe);
    return result == SQLITE_ROW || result == SQLITE_DONE;
}

// Where to resume after a failure at `failed`: past the unreadable row when its page can be
// reached, else the lowest reachable row id above the damage. Nothing: no rows left.
std::optional<std::int64_t> TableSalvage::NextReachable(std::int64_t failed) {
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

// Every index holds the row id of every row, apart from the table's own pages.
std::set<std::int64_t> TableSalvage::ListedRowIds() const {
    std::vector<std::string> indexes;
    SqliteStatement list(m_damaged, "PRAGMA index_list(" + QuoteIdentifier(m_table) + ")");
    while (list.Step()) {
        indexes.push_back(list.ColumnText(1));
    }
    std::set<std::int64_t> listed;
    for (const std::string& index : indexes) {
        ReadListedRowIds(m_damaged, m_table, index, listed);
    }
    return listed;
}

// Looks up each listed row id not read yet, and each row id in the gaps between the row ids
// known, from 1 (or the lowest known) up to the highest the table, its sequence or an index
// names, within the lookup budget.
void TableSalvage::LookUpGaps(const std::set<std::int64_t>& listed) {
    std::set<std::int64_t> known = m_seen;
    known.insert(listed.begin(), listed.end());
    const std::string quoted = QuoteIdentifier(m_table);
    for (auto highest :
         {TryInteger(m_damaged, "SELECT max(rowid) FROM " + quoted),
          TryInteger(m_damaged, "SELECT seq FROM sqlite_sequence WHERE name = ?1", m_table)}) {
        if (highest) {
            known.insert(*highest);
        }
    }
    known.insert(std::min<std::int64_t>(1, known.empty() ? 1 : *known.begin()));
    for (std::int64_t rowId : known) {
        if (m_seen.count(rowId) == 0) {
            LookUp(rowId);
        }
    }
    std::int64_t budget = std::max(kLeastLookUps, kLookUpsPerRow * m_report.rowsKept);
    for (auto gapStart = known.begin(); std::next(gapStart) != known.end() && budget > 0;
         ++gapStart) {
        for (std::int64_t rowId = *gapStart + 1; rowId < *std::next(gapStart) && budget > 0;
             ++rowId, --budget) {
            LookUp(rowId);
        }
    }
}

// A lookup that fails on damage reads nothing; that is the finding, not a failure.
void TableSalvage::LookUp(std::int64_t rowId) {
    sqlite3_stmt* lookup = m_lookup.Handle();
    sqlite3_reset(lookup);
    sqlite3_bind_int64(lookup, 1, rowId);
    int result = sqlite3_step(lookup);
    if (result == SQLITE_ROW) {
        Keep(lookup);
    } else if (result != SQLITE_DONE) {
        m_failed.insert(rowId);
    }
    sqlite3_reset(lookup);
}

// Stores the row `row` (row id first) unless it was read before; a row the new table refuses
// by a constraint is set aside.
void TableSalvage::Keep(sqlite3_stmt* row) {
    std::int64_t rowId = sqlite3_column_int64(row, 0);
    if (!m_seen.insert(rowId).second) {
        return;
    }
    for (int column = 0; column < sqlite3_column_count(row); ++column) {
        sqlite3_bind_value(m_insert.Handle(), column + 1, sqlite3_column_value(row, column));
    }
    try {
        m_insert.Step();
        ++m_report.rowsKept;
    } catch (const DataAccessError& error) {
        if ((error.EngineCode() & 0xff) != SQLITE_CONSTRAINT) {
            throw;
        }
        if (m_report.rowsSetAside++ == 0) {
            m_report.firstSetAsideReason = error.Description();
        }
    }
    m_insert.Reset();
}

}  // namespace vesk::data_access::detail
