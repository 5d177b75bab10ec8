#pragma once

#include <memory>
#include <optional>

#include "backend.h"
#include "postgres/pg_bulk_insert.h"
#include "postgres/pg_row_keys.h"
#include "postgres/pg_session.h"
#include "postgres/pg_table_identity.h"

namespace vesk::data_access::detail {

// The live rows of one server table, by row identity (PgTableIdentity): the source
// statement's WHERE and ORDER BY decide the keys, ties broken by the identity; each visit
// reads the row again. Large bytea values are read in windows of substring() and written from
// the spool through COPY, so the client never holds one whole.
class PgKeysetCursor : public Cursor {
public:
    // `columnNames` are the table's names of the columns the source selects, in order;
    // `keyQuery` returns the identities in set order.
    PgKeysetCursor(PgSessionPtr session, PgTableIdentity identity, std::vector<ColumnInfo> columns,
                   std::vector<std::string> columnNames, std::string keyQuery);
    ~PgKeysetCursor() override;

    const std::vector<ColumnInfo>& Columns() const override { return m_columns; }
    bool IsUpdatable() const override { return true; }
    std::vector<RowKey> FetchKeys() override;
    bool ReadRow(RowKey key, std::vector<StoredValue>& values) override;
    // Up to kRowsPerRead rows a statement.
    std::vector<std::optional<std::vector<StoredValue>>> ReadRows(
        std::span<const RowKey> keys) override;
    std::size_t ReadValue(RowKey key, std::size_t column, std::int64_t offset,
                          std::span<std::uint8_t> out) override;
    void EndValueRead() override { m_window.reset(); }
    RowKey InsertRow(const std::vector<ColumnWrite>& writes) override;
    // Consecutive rows that write the same columns, none of them from a spool, go to the
    // server together (PgInsertBatch; without keys PgCopyBatch, straight into the table); when
    // the server refuses such a group, its rows are stored one by one, so that only the
    // refused ones are left out.
    std::vector<InsertOutcome> InsertRows(const std::vector<std::vector<ColumnWrite>>& rows,
                                          bool keys) override;
    std::vector<ValueMatch> MatchValues(std::size_t column,
                                        const std::vector<Variant>& values) override;
    RowKey UpdateRow(RowKey key, const std::vector<ColumnWrite>& writes) override;
    void DeleteRow(RowKey key) override;

    // bytea values larger than this are read only when asked for.
    static constexpr std::int64_t kDeferredSize = 64 * 1024;
    // Bytes one piecewise read fetches: consecutive chunks come from one window.
    static constexpr std::int64_t kReadWindow = 1024 * 1024;
    // Rows ReadRows asks for in one statement.
    static constexpr std::size_t kRowsPerRead = 100;

private:
    // A piece of one value, kept between consecutive reads.
    struct ValueWindow {
        RowKey key;
        std::size_t column;
        std::int64_t start;
        Bytes bytes;
    };
    // The value expressions and parameters of a write's columns.
    struct WriteValues {
        std::vector<std::string> expressions;
        std::vector<PgParam> params;
        std::vector<const ValueSpool*> spools;
    };

    std::string SelectList() const;
    std::string BuildRowQuery() const;
    void ReadValues(const PgResult& result, int row, std::vector<StoredValue>& values) const;
    void ReadRowGroup(std::span<const RowKey> keys,
                      std::span<std::optional<std::vector<StoredValue>>> rows);
    std::string IdentityMatch(std::size_t firstParam) const;
    std::vector<PgParam> IdentityParams(RowKey key) const;
    WriteValues PrepareWrites(const std::vector<ColumnWrite>& writes) const;
    using RowList = std::vector<std::vector<ColumnWrite>>;
    std::size_t EndOfGroup(const RowList& rows, std::size_t first) const;
    void InsertGroup(const RowList& rows, std::size_t first, std::size_t end, bool keys,
                     std::vector<InsertOutcome>& outcomes);
    bool StoreTogether(const PgRowBatch& batch, const std::vector<std::size_t>& stored, bool keys,
                       std::vector<InsertOutcome>& outcomes);
    std::vector<PgParam> BatchValues(const std::vector<ColumnWrite>& row) const;
    RowKey RunWrite(const std::string& sql, const WriteValues& values, std::string_view missing);
    RowKey KeyOfRow(const PgResult& result, int row, int firstColumn);
    void LoadWindow(RowKey key, std::size_t column, std::int64_t offset);
    bool MayDefer(std::size_t column) const;
    std::string QuotedColumn(std::size_t column) const;

    PgSessionPtr m_session;
    PgTableIdentity m_identity;
    std::vector<ColumnInfo> m_columns;
    std::vector<std::string> m_columnNames;
    std::string m_keyQuery;
    std::string m_rowQuery;
    std::string m_identityList;
    PgRowKeys m_keys;
    std::optional<ValueWindow> m_window;
};

}  // namespace vesk::data_access::detail
