#pragma once

#include <memory>
#include <optional>

#include "backend.h"
#include "sqlite/sqlite_handle.h"

struct sqlite3_blob;

namespace vesk::data_access::detail {

// The live rows of one table, by rowid: the source statement's WHERE and ORDER BY decide the
// keys; each visit reads the row again. Large binary values are read piecewise through the
// engine's incremental blob I/O and written the same way from the spool.
class SqliteKeysetCursor : public Cursor {
public:
    // `keyQuery` returns the rowids in set order; `columnNames` are the table's names of the
    // columns the source selects, in order.
    SqliteKeysetCursor(SqliteDatabasePtr database, std::string table,
                       std::vector<ColumnInfo> columns, std::vector<std::string> columnNames,
                       std::string keyQuery);
    ~SqliteKeysetCursor() override;

    const std::vector<ColumnInfo>& Columns() const override { return m_columns; }
    bool IsUpdatable() const override { return true; }
    std::vector<RowKey> FetchKeys() override;
    bool ReadRow(RowKey key, std::vector<StoredValue>& values) override;
    // Keys in rising order that fill most of their range are read by one scan of the range;
    // others under one savepoint (outside a transaction, a read transaction of its own). Either way
    // the file is locked and checked once, and its page cache (which a keyed file would otherwise
    // decrypt again for every statement) serves all the rows.
    std::vector<std::optional<std::vector<StoredValue>>> ReadRows(
        std::span<const RowKey> keys) override;
    std::size_t ReadValue(RowKey key, std::size_t column, std::int64_t offset,
                          std::span<std::uint8_t> out) override;
    void EndValueRead() override;
    RowKey InsertRow(const std::vector<ColumnWrite>& writes) override;
    // Rows that write the same columns, none of them a value to stream, share one prepared
    // statement; each is stored whole or not at all, and a refused row undoes no other.
    std::vector<InsertOutcome> InsertRows(const std::vector<std::vector<ColumnWrite>>& rows,
                                          bool keys) override;
    std::vector<ValueMatch> MatchValues(std::size_t column,
                                        const std::vector<Variant>& values) override;
    RowKey UpdateRow(RowKey key, const std::vector<ColumnWrite>& writes) override;
    void DeleteRow(RowKey key) override;

    // Values of binary columns larger than this are read only when asked for.
    static constexpr std::int64_t kDeferredSize = 64 * 1024;

private:
    struct OpenBlob;

    // The statement that reads rows' values (and, last, their rowid) under `condition`.
    std::string BuildRowQuery(std::string_view condition) const;
    std::string InsertStatement(const std::vector<ColumnWrite>& writes) const;
    void ReadValues(SqliteStatement& statement, std::vector<StoredValue>& values) const;
    std::vector<std::optional<std::vector<StoredValue>>> ReadRange(std::span<const RowKey> keys);
    void BindWrites(SqliteStatement& statement, const std::vector<ColumnWrite>& writes,
                    int firstIndex) const;
    void StreamSpooledValues(RowKey key, const std::vector<ColumnWrite>& writes) const;
    std::string QuotedColumn(std::size_t column) const;
    std::int64_t SpooledBytes(const std::vector<ColumnWrite>& writes) const;
    std::optional<std::size_t> RowidColumn();
    RowKey KeyAfterUpdate(RowKey key, const std::vector<ColumnWrite>& writes);

    SqliteDatabasePtr m_database;
    std::string m_table;
    std::vector<ColumnInfo> m_columns;
    std::vector<std::string> m_columnNames;
    std::vector<bool> m_mayDefer;  // the column may hold binary values read piecewise
    std::string m_keyQuery;
    std::unique_ptr<SqliteStatement> m_rowStatement;
    std::unique_ptr<SqliteStatement> m_rangeStatement;
    std::unique_ptr<OpenBlob> m_blob;
    // The selected column that is the table's INTEGER PRIMARY KEY (the rowid under another
    // name), once looked up.
    std::optional<std::optional<std::size_t>> m_rowidColumn;
};

}  // namespace vesk::data_access::detail
