#include "sqlite/sqlite_keyset_cursor.h"

#include <algorithm>

#include <sqlite3.h>

#include <fmt/format.h>

#include "sqlite/sqlite_value_match.h"
#include "sqlite/sqlite_values.h"
#include "text_util.h"
#include "value_spool.h"
#include "vesk/data_access/data_access_error.h"
#include "vesk/data_access/letter_case.h"

namespace vesk::data_access::detail {

namespace {

constexpr std::size_t kStreamPiece = 64 * 1024;

// Spooled values up to this size are bound to the statement whole; larger ones are written
// into room the statement makes for them, piece by piece.
constexpr std::int64_t kBoundSpoolBytes = 64 * 1024;

// A binary value streamed into the row after the statement that makes room for it.
bool IsStreamedBinary(const ColumnWrite& write, const ColumnInfo& column) {
    return write.spool && !IsTextType(column.type.code) && write.spool->Size() > kBoundSpoolBytes;
}

// A spooled value is written by first making room (pages of zeros) and then filling it. When
// the page cache is smaller than the value, the zero pages are encrypted, written out and read
// back before they are filled. For the write of a value up to kMaxGrowthKb, the cache grows to
// hold its pages, and then shrinks back (freeing them again). A larger value would spill
// whatever the growth, so it writes through the usual cache and memory stays small.
class CacheGrowth {
public:
    static constexpr std::int64_t kMaxGrowthKb = 8 * 1024;

    CacheGrowth(const SqliteDatabase& database, std::int64_t valueBytes) : m_database(database) {
        if (valueBytes <= 0 || valueBytes / 1024 >= kMaxGrowthKb) {
            return;
        }
        SqliteStatement current(database, "PRAGMA cache_size");
        current.Step();
        m_previous = current.ColumnInt64(0);
        current.Reset();
        std::int64_t previousKb =
            m_previous < 0 ? -m_previous : m_previous * PageSize(database) / 1024;
        std::int64_t growthKb = valueBytes / 1024 + 1;
        database.Run(fmt::format("PRAGMA cache_size = -{}", previousKb + growthKb));
        m_grown = true;
    }
    ~CacheGrowth() {
        if (m_grown && m_database.IsOpen()) {
            sqlite3_exec(m_database.Handle(),
                         fmt::format("PRAGMA cache_size = {}", m_previous).c_str(), nullptr,
                         nullptr, nullptr);
        }
    }
    CacheGrowth(const CacheGrowth&) = delete;
    CacheGrowth& operator=(const CacheGrowth&) = delete;

private:
    static std::int64_t PageSize(const SqliteDatabase& database) {
        SqliteStatement pageSize(database, "PRAGMA page_size");
        pageSize.Step();
        return pageSize.ColumnInt64(0);
    }

    const SqliteDatabase& m_database;
    std::int64_t m_previous = 0;
    bool m_grown = false;
};

}  // namespace

// An incremental-blob handle kept between consecutive reads of one value.
struct SqliteKeysetCursor::OpenBlob {
    RowKey key;
    std::size_t column;
    sqlite3_blob* handle;
};

SqliteKeysetCursor::SqliteKeysetCursor(SqliteDatabasePtr database, std::string table,
                                       std::vector<ColumnInfo> columns,
                                       std::vector<std::string> columnNames, std::string keyQuery)
    : m_database(std::move(database)),
      m_table(std::move(table)),
      m_columns(std::move(columns)),
      m_columnNames(std::move(columnNames)),
      m_keyQuery(std::move(keyQuery)) {
    for (const ColumnInfo& column : m_columns) {
        m_mayDefer.push_back(IsBinaryType(column.type.code) || column.type.code == adVariant);
    }
}

SqliteKeysetCursor::~SqliteKeysetCursor() {
    EndValueRead();
}

std::string SqliteKeysetCursor::QuotedColumn(std::size_t column) const {
    return QuoteIdentifier(m_columnNames[column]);
}

// One row by rowid. A column that may hold a large binary value gives three results: the
// value (Null when it is large), its storage class and its length; the engine answers the last
// two without reading the value.
std::string SqliteKeysetCursor::BuildRowQuery(std::string_view condition) const {
    std::string list;
    for (std::size_t column_idx = 0; column_idx < m_columns.size(); ++column_idx) {
        std::string name = QuotedColumn(column_idx);
        if (!list.empty()) {
            list += ", ";
        }
        if (m_mayDefer[column_idx]) {
            list += fmt::format(
                "CASE WHEN typeof({0}) = 'blob' AND length({0}) > {1} THEN NULL ELSE {0} END, "
                "typeof({0}), length({0})",
                name, kDeferredSize);
        } else {
            list += name;
        }
    }
    return fmt::format("SELECT {}, rowid FROM {} WHERE {}", list.empty() ? "NULL" : list,
                       QuoteIdentifier(m_table), condition);
}

std::vector<RowKey> SqliteKeysetCursor::FetchKeys() {
    SqliteStatement statement(*m_database, m_keyQuery);
    std::vector<RowKey> keys;
    while (statement.Step()) {
        keys.push_back(statement.ColumnInt64(0));
    }
    return keys;
}

bool SqliteKeysetCursor::ReadRow(RowKey key, std::vector<StoredValue>& values) {
    if (!m_rowStatement) {
        m_rowStatement = std::make_unique<SqliteStatement>(*m_database, BuildRowQuery("rowid = ?"));
    }
    SqliteStatement& statement = *m_rowStatement;
    statement.BindInt64(1, key);
    bool found = false;
    try {
        found = statement.Step();
        if (found) {
            ReadValues(statement, values);
        }
    } catch (...) {
        statement.Reset();
        throw;
    }
    statement.Reset();
    return found;
}

// The values of the row `statement` stands on (a statement of BuildRowQuery).
void SqliteKeysetCursor::ReadValues(SqliteStatement& statement,
                                    std::vector<StoredValue>& values) const {
    values.assign(m_columns.size(), StoredValue{});
    int result = 0;
    for (std::size_t column_idx = 0; column_idx < m_columns.size(); ++column_idx) {
        StoredValue& stored = values[column_idx];
        stored.value = ReadColumnValue(statement.Handle(), result, m_columns[column_idx].type);
        if (m_mayDefer[column_idx]) {
            std::string storage = statement.ColumnText(result + 1);
            stored.size = statement.ColumnInt64(result + 2);
            stored.deferred = stored.value.IsNull() && storage != "null";
            result += 3;
        } else {
            result += 1;
        }
    }
}

namespace {

// Keys in rising order that fill most of the range they span: one scan of the range reads
// them with less work than a search for each.
bool IsDenseRisingRun(std::span<const RowKey> keys) {
    if (keys.size() < 2) {
        return false;
    }
    for (std::size_t key_idx = 1; key_idx < keys.size(); ++key_idx) {
        if (keys[key_idx] <= keys[key_idx - 1]) {
            return false;
        }
    }
    return static_cast<std::uint64_t>(keys.back() - keys.front()) < 2 * keys.size();
}

}  // namespace

std::vector<std::optional<std::vector<StoredValue>>> SqliteKeysetCursor::ReadRows(
    std::span<const RowKey> keys) {
    if (IsDenseRisingRun(keys)) {
        return ReadRange(keys);
    }
    SqliteSavepoint reading(*m_database);  // outside a transaction, one of its own
    auto rows = Cursor::ReadRows(keys);
    reading.Release();
    return rows;
}

// One scan from the first key to the last; rows of the range that are not asked for are
// passed over.
std::vector<std::optional<std::vector<StoredValue>>> SqliteKeysetCursor::ReadRange(
    std::span<const RowKey> keys) {
    if (!m_rangeStatement) {
        m_rangeStatement = std::make_unique<SqliteStatement>(
            *m_database, BuildRowQuery("rowid BETWEEN ? AND ? ORDER BY rowid"));
    }
    SqliteStatement& statement = *m_rangeStatement;
    statement.BindInt64(1, keys.front());
    statement.BindInt64(2, keys.back());
    const int rowidColumn = sqlite3_column_count(statement.Handle()) - 1;
    std::vector<std::optional<std::vector<StoredValue>>> rows(keys.size());
    std::size_t next = 0;
    try {
        while (next < keys.size() && statement.Step()) {
            RowKey rowid = statement.ColumnInt64(rowidColumn);
            while (next < keys.size() && keys[next] < rowid) {
                ++next;  // a key with no row: it was deleted
            }
            if (next < keys.size() && keys[next] == rowid) {
                ReadValues(statement, rows[next].emplace());
                ++next;
            }
        }
    } catch (...) {
        statement.Reset();
        throw;
    }
    statement.Reset();
    return rows;
}

std::size_t SqliteKeysetCursor::ReadValue(RowKey key, std::size_t column, std::int64_t offset,
                                          std::span<std::uint8_t> out) {
    if (m_blob && (m_blob->key != key || m_blob->column != column)) {
        EndValueRead();
    }
    if (!m_blob) {
        sqlite3_blob* handle = nullptr;
        if (sqlite3_blob_open(m_database->Handle(), "main", m_table.c_str(),
                              m_columnNames[column].c_str(), key, 0, &handle) != SQLITE_OK) {
            sqlite3_blob_close(handle);
            m_database->ThrowLastError(
                fmt::format("Cannot read the value of {} in {}", m_columnNames[column], m_table));
        }
        m_blob = std::make_unique<OpenBlob>(OpenBlob{key, column, handle});
    }
    std::int64_t size = sqlite3_blob_bytes(m_blob->handle);
    if (offset >= size) {
        EndValueRead();
        return 0;
    }
    int count = static_cast<int>(std::min<std::int64_t>(out.size(), size - offset));
    if (sqlite3_blob_read(m_blob->handle, out.data(), count, static_cast<int>(offset)) !=
        SQLITE_OK) {
        EndValueRead();
        m_database->ThrowLastError(
            fmt::format("Cannot read the value of {} in {}", m_columnNames[column], m_table));
    }
    if (offset + count >= size) {
        EndValueRead();  // the whole value is read: hold nothing open
    }
    return static_cast<std::size_t>(count);
}

void SqliteKeysetCursor::EndValueRead() {
    if (m_blob) {
        sqlite3_blob_close(m_blob->handle);
        m_blob.reset();
    }
}

void SqliteKeysetCursor::BindWrites(SqliteStatement& statement,
                                    const std::vector<ColumnWrite>& writes, int firstIndex) const {
    int index = firstIndex;
    for (const ColumnWrite& write : writes) {
        const ColumnInfo& column = m_columns[write.column];
        if (IsStreamedBinary(write, column)) {
            statement.BindZeroBlob(index, write.spool->Size());
        } else if (write.spool && !IsTextType(column.type.code)) {
            statement.BindBlob(index, write.spool->ReadAll());
        } else if (write.spool) {
            Bytes bytes = write.spool->ReadAll();
            statement.BindText(
                index, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
        } else {
            BindColumnValue(statement, index, write.value, column.type, column.name);
        }
        ++index;
    }
}

// Copies spooled values into the room the statement made for them, piece by piece.
void SqliteKeysetCursor::StreamSpooledValues(RowKey key,
                                             const std::vector<ColumnWrite>& writes) const {
    Bytes piece(kStreamPiece);
    for (const ColumnWrite& write : writes) {
        if (!IsStreamedBinary(write, m_columns[write.column]) || write.spool->Size() == 0) {
            continue;
        }
        sqlite3_blob* handle = nullptr;
        const std::string& name = m_columnNames[write.column];
        if (sqlite3_blob_open(m_database->Handle(), "main", m_table.c_str(), name.c_str(), key, 1,
                              &handle) != SQLITE_OK) {
            sqlite3_blob_close(handle);
            m_database->ThrowLastError(
                fmt::format("Cannot write the value of {} in {}", name, m_table));
        }
        std::int64_t offset = 0;
        while (offset < write.spool->Size()) {
            std::size_t count = write.spool->ReadAt(offset, piece);
            if (sqlite3_blob_write(handle, piece.data(), static_cast<int>(count),
                                   static_cast<int>(offset)) != SQLITE_OK) {
                sqlite3_blob_close(handle);
                m_database->ThrowLastError(
                    fmt::format("Cannot write the value of {} in {}", name, m_table));
            }
            offset += static_cast<std::int64_t>(count);
        }
        if (sqlite3_blob_close(handle) != SQLITE_OK) {
            m_database->ThrowLastError(
                fmt::format("Cannot write the value of {} in {}", name, m_table));
        }
    }
}

std::int64_t SqliteKeysetCursor::SpooledBytes(const std::vector<ColumnWrite>& writes) const {
    std::int64_t total = 0;
    for (const ColumnWrite& write : writes) {
        if (IsStreamedBinary(write, m_columns[write.column])) {
            total += write.spool->Size();
        }
    }
    return total;
}

std::string SqliteKeysetCursor::InsertStatement(const std::vector<ColumnWrite>& writes) const {
    if (writes.empty()) {
        return fmt::format("INSERT INTO {} DEFAULT VALUES", QuoteIdentifier(m_table));
    }
    std::string names;
    std::string marks;
    for (const ColumnWrite& write : writes) {
        names += (names.empty() ? "" : ", ") + QuotedColumn(write.column);
        marks += marks.empty() ? "?" : ", ?";
    }
    return fmt::format("INSERT INTO {} ({}) VALUES ({})", QuoteIdentifier(m_table), names, marks);
}

// A row whose values all go with the statement needs no savepoint: one statement stores it
// whole or not at all.
RowKey SqliteKeysetCursor::InsertRow(const std::vector<ColumnWrite>& writes) {
    EndValueRead();
    const std::int64_t streamed = SpooledBytes(writes);
    CacheGrowth cache(*m_database, streamed);
    std::optional<SqliteSavepoint> savepoint;
    if (streamed > 0) {
        savepoint.emplace(*m_database);
    }
    SqliteStatement statement(*m_database, InsertStatement(writes));
    BindWrites(statement, writes, 1);
    statement.Step();
    RowKey key = sqlite3_last_insert_rowid(m_database->Handle());
    StreamSpooledValues(key, writes);
    if (savepoint) {
        savepoint->Release();
    }
    return key;
}

std::vector<InsertOutcome> SqliteKeysetCursor::InsertRows(
    const std::vector<std::vector<ColumnWrite>>& rows, bool /*keys: as cheap as none*/) {
    EndValueRead();
    std::vector<InsertOutcome> outcomes(rows.size());
    std::unique_ptr<SqliteStatement> statement;
    const std::vector<ColumnWrite>* prepared = nullptr;  // the row `statement` was made for
    for (std::size_t row_idx = 0; row_idx < rows.size(); ++row_idx) {
        const std::vector<ColumnWrite>& row = rows[row_idx];
        try {
            if (row.empty() || SpooledBytes(row) > 0) {
                outcomes[row_idx].key = InsertRow(row);
                continue;
            }
            if (!prepared || !SameColumns(*prepared, row)) {
                statement = std::make_unique<SqliteStatement>(*m_database, InsertStatement(row));
                prepared = &row;
            }
            BindWrites(*statement, row, 1);
            statement->Step();
            statement->Reset();
            outcomes[row_idx].key = sqlite3_last_insert_rowid(m_database->Handle());
        } catch (const DataAccessError& error) {
            if (statement) {
                statement->Reset();
            }
            outcomes[row_idx].error = error;
        }
    }
    return outcomes;
}

std::vector<ValueMatch> SqliteKeysetCursor::MatchValues(std::size_t column,
                                                        const std::vector<Variant>& values) {
    EndValueRead();
    return SqliteMatchValues(*m_database, m_table, m_columnNames.at(column),
                             m_columns.at(column).type, values);
}

RowKey SqliteKeysetCursor::UpdateRow(RowKey key, const std::vector<ColumnWrite>& writes) {
    EndValueRead();
    if (writes.empty()) {
        return key;
    }
    std::string assignments;
    for (const ColumnWrite& write : writes) {
        assignments += (assignments.empty() ? "" : ", ") + QuotedColumn(write.column) + " = ?";
    }
    CacheGrowth cache(*m_database, SpooledBytes(writes));
    SqliteSavepoint savepoint(*m_database);
    SqliteStatement statement(*m_database, fmt::format("UPDATE {} SET {} WHERE rowid = ?",
                                                       QuoteIdentifier(m_table), assignments));
    BindWrites(statement, writes, 1);
    statement.BindInt64(static_cast<int>(writes.size()) + 1, key);
    statement.Step();
    if (sqlite3_changes(m_database->Handle()) == 0) {
        throw DataAccessError(kRowGoneForUpdate);
    }
    const RowKey newKey = KeyAfterUpdate(key, writes);
    StreamSpooledValues(newKey, writes);
    savepoint.Release();
    return newKey;
}

// The position among the selected columns of the table's INTEGER PRIMARY KEY: writing it
// moves the row to another rowid.
std::optional<std::size_t> SqliteKeysetCursor::RowidColumn() {
    if (m_rowidColumn) {
        return *m_rowidColumn;
    }
    SqliteStatement info(*m_database,
                         fmt::format("PRAGMA table_info({})", QuoteIdentifier(m_table)));
    std::vector<std::string> keyColumns;
    std::string keyType;
    while (info.Step()) {
        if (info.ColumnInt64(5) > 0) {
            keyColumns.push_back(info.ColumnText(1));
            keyType = info.ColumnText(2);
        }
    }
    m_rowidColumn.emplace();
    if (keyColumns.size() == 1 && ToLowerAscii(keyType) == "integer") {
        for (std::size_t column = 0; column < m_columnNames.size(); ++column) {
            if (SameIgnoringCase(m_columnNames[column], keyColumns.front())) {
                m_rowidColumn->emplace(column);
            }
        }
    }
    return *m_rowidColumn;
}

// The row's rowid after `writes` were stored at `key`: another one when they gave the table's
// INTEGER PRIMARY KEY a new value, found by that value as the engine stored it.
RowKey SqliteKeysetCursor::KeyAfterUpdate(RowKey key, const std::vector<ColumnWrite>& writes) {
    const std::optional<std::size_t> rowidColumn = RowidColumn();
    if (!rowidColumn) {
        return key;
    }
    auto written = std::find_if(writes.begin(), writes.end(), [&](const ColumnWrite& write) {
        return write.column == *rowidColumn;
    });
    if (written == writes.end()) {
        return key;
    }
    SqliteStatement statement(
        *m_database, fmt::format("SELECT rowid FROM {} WHERE {} = ?", QuoteIdentifier(m_table),
                                 QuotedColumn(*rowidColumn)));
    BindWrites(statement, {*written}, 1);
    return statement.Step() ? statement.ColumnInt64(0) : key;
}

void SqliteKeysetCursor::DeleteRow(RowKey key) {
    EndValueRead();
    SqliteStatement statement(
        *m_database, fmt::format("DELETE FROM {} WHERE rowid = ?", QuoteIdentifier(m_table)));
    statement.BindInt64(1, key);
    statement.Step();
    if (sqlite3_changes(m_database->Handle()) == 0) {
        throw DataAccessError(kRowGoneForDelete);
    }
}

}  // namespace vesk::data_access::detail
