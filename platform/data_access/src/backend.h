#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "vesk/data_access/connection_text.h"
#include "vesk/data_access/data_access_error.h"
#include "vesk/data_access/data_types.h"
#include "vesk/data_access/value_match.h"
#include "vesk/data_access/variant.h"

// The engine interface behind Connection, Recordset and Catalog. Each engine (the embedded
// file engine, the server) implements Backend and Cursor; the ADO-shaped classes above keep
// every rule that does not depend on the engine.
namespace vesk::data_access::detail {

using RowKey = std::int64_t;

class ValueSpool;

struct ColumnInfo {
    std::string name;
    std::string declaredType;
    ColumnType type;
};

struct TableInfo {
    std::string name;
    std::string type;  // "TABLE", "VIEW" or "SYSTEM TABLE"
};

// What a keyset cursor reports when the row it is to change is no longer there.
constexpr const char* kRowGoneForUpdate =
    "Row cannot be located for updating. Some values may have been changed since it was last "
    "read.";
constexpr const char* kRowGoneForDelete =
    "Row cannot be located for deleting. It may have been deleted since it was last read.";

// A value as read from a row. Large binary values are not read: `deferred` is set and only
// `size` is known; the cursor reads them piecewise through ReadValue.
struct StoredValue {
    Variant value;
    std::int64_t size = 0;
    bool deferred = false;
};

// A value to be written: a plain value, or (when `spool` is set) the bytes AppendChunk
// gathered, which the engine streams into the row.
struct ColumnWrite {
    std::size_t column = 0;
    Variant value;
    const ValueSpool* spool = nullptr;
};

// Whether a row's writes take a value from a spool.
bool HasSpool(const std::vector<ColumnWrite>& row);
// Whether two rows write the same columns in the same order.
bool SameColumns(const std::vector<ColumnWrite>& left, const std::vector<ColumnWrite>& right);

// What became of one of several new rows stored together: why it was refused, or its key
// (when keys were asked for; a row stored without one has neither).
struct InsertOutcome {
    std::optional<RowKey> key;
    std::optional<DataAccessError> error;
};

// What a record set needs from an engine for one source statement.
class Cursor {
public:
    virtual ~Cursor() = default;

    virtual const std::vector<ColumnInfo>& Columns() const = 0;
    // False for snapshots of statements that do not name one table's rows.
    virtual bool IsUpdatable() const = 0;
    // Runs the source statement for its row keys, in its order.
    virtual std::vector<RowKey> FetchKeys() = 0;
    // Reads one row's values; false when the row no longer exists.
    virtual bool ReadRow(RowKey key, std::vector<StoredValue>& values) = 0;
    // Reads the rows of `keys`, one entry each, empty for a row that no longer exists. This
    // default reads them one by one; an engine that can read them with less work does so.
    virtual std::vector<std::optional<std::vector<StoredValue>>> ReadRows(
        std::span<const RowKey> keys);
    // Reads up to out.size() bytes of a column value from `offset`; returns the bytes read.
    virtual std::size_t ReadValue(RowKey key, std::size_t column, std::int64_t offset,
                                  std::span<std::uint8_t> out) = 0;
    // Releases whatever ReadValue kept open between consecutive reads.
    virtual void EndValueRead() = 0;
    // Stores a new row and returns its key. All or nothing.
    virtual RowKey InsertRow(const std::vector<ColumnWrite>& writes) = 0;
    // Stores new rows, in order, each all or nothing: a refused row undoes no other. The
    // outcomes follow the rows; they carry the rows' keys when `keys` asks for them, which may
    // cost an engine more work. This default stores them one by one; an engine that can send
    // many rows at once does so.
    virtual std::vector<InsertOutcome> InsertRows(const std::vector<std::vector<ColumnWrite>>& rows,
                                                  bool keys);
    // For each of `values`, as it would be stored in `column`: whether the cursor's table (all
    // of it) holds an equal value there, and the first of `values` equal to it, both by the
    // engine's own comparison with the column. This default throws: a snapshot names no table.
    virtual std::vector<ValueMatch> MatchValues(std::size_t column,
                                                const std::vector<Variant>& values);
    // Changes a row and returns its key afterwards. All or nothing.
    virtual RowKey UpdateRow(RowKey key, const std::vector<ColumnWrite>& writes) = 0;
    virtual void DeleteRow(RowKey key) = 0;
};

// One open session with one database.
class Backend {
public:
    virtual ~Backend() = default;

    virtual long Execute(std::string_view sql) = 0;
    // Opens the rows of `sql`; when the statement returns no rows it is run and nothing is
    // returned. `keyset` asks for live rows by key where the statement allows it.
    virtual std::unique_ptr<Cursor> OpenCursor(std::string_view sql, bool keyset) = 0;
    // Nested transactions: Begin returns the new nesting level (1 for the outermost); Commit
    // and Rollback end the innermost one and throw when none is open.
    virtual long BeginTransaction() = 0;
    // The same, holding from its start the right to write `table` (as it stands in the
    // caller's statements) until the outermost level ends; see Connection::BeginWriteTrans.
    virtual long BeginWriteTransaction(std::string_view table) = 0;
    virtual void CommitTransaction() = 0;
    virtual void RollbackTransaction() = 0;
    virtual std::vector<TableInfo> Tables() = 0;
    // Throws DataAccessError when the table does not exist.
    virtual std::vector<ColumnInfo> Columns(std::string_view table) = 0;
    // Whether threads may use the session at once, each call then waiting for the other's.
    virtual bool SerializesUse() const { return false; }
    // A literal that stores `value` in a yes/no column, whatever type the column was made
    // with: 1 or 0, which every column of the embedded engine takes.
    virtual std::string BooleanLiteral(bool value) const { return value ? "1" : "0"; }
    // Sets whether the session overwrites the space its deletes free and returns what it did
    // before; nothing for an engine without such a setting.
    virtual std::optional<bool> SetOverwritesFreedSpace(bool /*overwrite*/) { return {}; }
};

// The columns an engine read for `table`, passed through; none means that the table does not
// exist, which throws the catalog's not-found DataAccessError.
std::vector<ColumnInfo> RequireTableColumns(std::vector<ColumnInfo> columns,
                                            std::string_view table);

// Opens the engine the settings name. Throws DataAccessError.
std::unique_ptr<Backend> OpenBackend(const ConnectionSettings& settings);
// Creates a new, empty database; throws DataAccessError when one exists already.
void CreateDatabase(const ConnectionSettings& settings);

}  // namespace vesk::data_access::detail
