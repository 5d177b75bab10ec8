#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "vesk/data_access/connection.h"
#include "vesk/data_access/data_access_error.h"
#include "vesk/data_access/enums.h"
#include "vesk/data_access/field.h"
#include "vesk/data_access/value_match.h"
#include "vesk/data_access/variant.h"

namespace vesk::data_access {

namespace detail {
class Cursor;
struct ColumnWrite;
struct CriteriaTerm;
class ValueSpool;
struct StoredValue;
}  // namespace detail

// A set of rows opened over a connection with ADO's keyset semantics: opening fixes the
// set of row keys, values are read from the database when a row is visited, RecordCount is
// exact, and a row added through the set joins its end. A statement that is not a plain
// one-table SELECT gives a read-only snapshot instead. No statement stays open between
// calls, so an idle record set holds no lock.
class Recordset {
public:
    Recordset();
    ~Recordset();
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    ConnectionPtr ActiveConnection() const { return m_connection; }
    void SetActiveConnection(ConnectionPtr connection);
    CursorTypeEnum CursorType() const { return m_cursorType; }
    void SetCursorType(CursorTypeEnum type);
    LockTypeEnum LockType() const { return m_lockType; }
    void SetLockType(LockTypeEnum type);
    const std::string& Source() const { return m_source; }
    // Rows read from the database together when a row not yet read is visited: the rows that
    // follow it in the set, up to this many, are read with it and kept until they are
    // visited (each once; a later visit reads again). 1, the default, reads each row on its
    // visit. Throws DataAccessError for a number below 1.
    long CacheSize() const { return m_cacheSize; }
    void SetCacheSize(long rows);
    void SetSource(std::string_view sql);
    // The values of column `column` in the current row and the rows after it: up to `rows`
    // rows, fewer at the end of the set or once the rows read hold `maxBytes` of values. The
    // rows are read together (as CacheSize reads them) and kept for their visits, each once;
    // nothing for a row that no longer exists. The set does not move. Throws DataAccessError
    // when there is no current row or the rows cannot be read.
    std::vector<std::optional<Variant>> PeekColumn(long column, long rows, std::int64_t maxBytes);

    // Opens the rows of Source over ActiveConnection and stands on the first row. A statement
    // that returns no rows is run and the set stays closed, as ADO does. Throws
    // DataAccessError when the set is already open, the connection is missing or closed, or
    // the statement fails.
    void Open();
    // Sets the properties that are given (not empty/unspecified), then opens.
    void Open(std::string_view source, ConnectionPtr connection,
              CursorTypeEnum cursorType = adOpenUnspecified,
              LockTypeEnum lockType = adLockUnspecified);

    ObjectStateEnum State() const { return m_cursor ? adStateOpen : adStateClosed; }
    // Releases the rows; pending changes are dropped. Never throws.
    void Close();

    // Rows in the set (under the filter, if one is set).
    long RecordCount() const;
    // Before the first row / after the last row. Named with "Is" because EOF is a C macro.
    bool IsBOF() const;
    bool IsEOF() const;
    // Moves store a row being added or edited first, as ADO does. MoveFirst and MoveLast
    // throw on an empty set; MoveNext at EOF and MovePrevious at BOF throw.
    void MoveFirst();
    void MoveLast();
    void MoveNext();
    void MovePrevious();

    // The current row's key, usable with SetBookmark while the set is open.
    Variant Bookmark() const;
    // Makes the row with this bookmark current; throws when it is not in the set.
    void SetBookmark(const Variant& bookmark);

    // Fetches the row keys again (seeing rows added or removed by anyone) and stands on the
    // first row. The filter stays.
    void Requery();

    // Searches from the current row (or the row of `start`), after skipping `skipRecords`
    // rows, in `direction`, for the first row that meets `criteria` ("Column='value'", or
    // such terms joined by AND; text compares ignoring case). Stands on it, or at EOF (forward) or
    // BOF (backward) when none does.
    void Find(std::string_view criteria, long skipRecords = 0,
              SearchDirectionEnum direction = adSearchForward, const Variant& start = {});

    // Shows only the rows that meet `criteria` (same form as Find) and stands on the first
    // of them; an empty text shows every row again.
    const std::string& Filter() const { return m_filter; }
    void SetFilter(std::string_view criteria);

    // Starts a new row; values set through Fields go into it until Update.
    void AddNew();
    // Stores the row being added or edited; a new row joins the end of the set and stays
    // current. Does nothing when no row is being added or edited. On failure the row stays
    // in edit, nothing is stored, and DataAccessError is thrown.
    void Update();
    // Drops the pending changes of the current row.
    void CancelUpdate();

    // Batch additions, with LockType adLockBatchOptimistic: Update keeps a new row back
    // (outside the set, which then stands after its last row) instead of storing it, so that
    // many rows reach the database together. Changes and deletions of stored rows still take
    // effect at once. Close and CancelBatch drop the kept rows.
    //
    // UpdateBatch stores the row being added, if any, and every kept row, in order; each is
    // stored whole or not at all, and a refused row undoes no other. The stored rows join the
    // end of the set and the last of them is current. When rows were refused, DataAccessError
    // of the first refusal is thrown after the others are stored.
    void UpdateBatch();
    void CancelBatch();
    // Whether rows stored by UpdateBatch join the set (true, the default). Left out, they cost
    // the engine less to store (the server copies them straight into the table) and the set
    // holds nothing of them.
    bool BatchRowsJoin() const { return m_batchRowsJoin; }
    void SetBatchRowsJoin(bool join) { m_batchRowsJoin = join; }
    // New rows kept back for UpdateBatch.
    long PendingBatchRows() const { return static_cast<long>(m_batch.size()); }
    // The rows the last UpdateBatch could not store: each one's position among the rows it was
    // given (0 for the first row kept) and why it was refused. Empty when it stored them all.
    using BatchRefusal = std::pair<std::size_t, DataAccessError>;
    const std::vector<BatchRefusal>& BatchRefusals() const { return m_batchRefusals; }
    // Deletes the current row from the database. The set stays on the deleted position
    // until the next move; RecordCount no longer counts it.
    void Delete();
    EditModeEnum EditMode() const;

    data_access::Fields Fields() { return data_access::Fields(*this); }

    // For each of `values`, as it would be stored in `column` (named as in Fields): whether the
    // set's table holds an equal value in that column (in any row, not only the set's), and
    // the first of `values` equal to it; equal as the engine compares a value given to the
    // column (its type rules, padding and collation). One statement for all of them. Throws
    // DataAccessError when the set is no keyset over one table or a value cannot be compared.
    std::vector<ValueMatch> MatchValues(std::string_view column,
                                        const std::vector<Variant>& values);

private:
    friend class Field;
    friend class data_access::Fields;

    // How far GetChunk has read a column of the current row.
    struct ChunkState {
        std::int64_t offset = 0;
    };
    // A column value waiting for Update: a plain value, or bytes gathered by AppendChunk.
    struct PendingColumn {
        Variant value;
        std::shared_ptr<detail::ValueSpool> spool;
        bool set = false;  // the column was given a value
    };
    // Pending values by column position; only the entries marked `set` count.
    using PendingRow = std::vector<PendingColumn>;

    // Criteria terms with the positions of the columns they name.
    using BoundCriteria = std::vector<std::pair<detail::CriteriaTerm, std::size_t>>;

    BoundCriteria BindCriteria(std::string_view criteria) const;
    static bool RowMeets(const BoundCriteria& criteria,
                         const std::vector<detail::StoredValue>& row);
    detail::Cursor& OpenCursor() const;
    detail::Cursor& RequireUpdatable() const;
    void RequireCurrentRow() const;
    void StandOn(std::ptrdiff_t position);
    void StoreEditBeforeMove();
    const detail::StoredValue& StoredAt(std::size_t column) const;
    std::unique_ptr<std::vector<detail::StoredValue>> ReadCurrentRow() const;
    std::int64_t CacheRows(std::span<const std::int64_t> keys) const;
    Variant StoredValueOf(std::int64_t key, std::size_t column,
                          const detail::StoredValue& stored) const;
    void ApplyFilter();
    std::ptrdiff_t FindPosition(std::int64_t key) const;
    std::size_t ColumnIndex(std::string_view name) const;
    std::size_t ColumnCount() const;
    void ResetRowState();
    void ForgetKey(std::int64_t key);
    void TakeKeys(std::vector<std::int64_t> keys);
    // Asserts, in builds with assertions, what every public operation leaves true of the
    // state fields below; sets of more than kFullCheckLimit keys get only the cheap checks.
    void CheckInvariants() const;
    static constexpr std::size_t kFullCheckLimit = 1024;
    static std::vector<detail::ColumnWrite> WritesOf(const PendingRow& pending);
    const PendingColumn* PendingAt(std::size_t column) const;

    // Field support.
    const std::string& ColumnName(std::size_t column) const;
    DataTypeEnum ColumnType(std::size_t column) const;
    std::int64_t ColumnDefinedSize(std::size_t column) const;
    Variant ColumnValue(std::size_t column) const;
    void SetColumnValue(std::size_t column, const Variant& value);
    std::int64_t ColumnActualSize(std::size_t column) const;
    Variant ColumnChunk(std::size_t column, std::int64_t length);
    void AppendColumnChunk(std::size_t column, const Variant& data);
    PendingColumn& BeginEditOf(std::size_t column);

    ConnectionPtr m_connection;
    CursorTypeEnum m_cursorType = adOpenForwardOnly;
    LockTypeEnum m_lockType = adLockReadOnly;
    std::string m_source;
    std::string m_filter;

    std::unique_ptr<detail::Cursor> m_cursor;
    std::vector<std::int64_t> m_allKeys;  // every key of the set, in set order
    std::vector<std::int64_t> m_keys;     // the keys the filter lets through
    std::ptrdiff_t m_position = -1;       // -1: BOF; m_keys.size(): EOF
    bool m_currentDeleted = false;        // the row at the position was deleted by Delete
    // The largest key the set has held since it fetched its keys: a larger one is not in it.
    std::int64_t m_largestKey = 0;

    mutable std::unique_ptr<std::vector<detail::StoredValue>> m_row;  // current row, read once
    long m_cacheSize = 1;
    // Rows read ahead (CacheSize), by key, until visited.
    mutable std::unordered_map<std::int64_t, std::vector<detail::StoredValue>> m_cache;
    EditModeEnum m_editMode = adEditNone;
    PendingRow m_pending;
    std::vector<PendingRow> m_batch;  // new rows kept for UpdateBatch
    std::vector<BatchRefusal> m_batchRefusals;
    bool m_batchRowsJoin = true;
    std::map<std::size_t, ChunkState> m_chunkStates;
};

using RecordsetPtr = std::shared_ptr<Recordset>;

}  // namespace vesk::data_access
