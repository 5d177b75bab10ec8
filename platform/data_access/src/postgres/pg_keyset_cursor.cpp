#include "postgres/pg_keyset_cursor.h"

#include <libpq-fe.h>

#include <algorithm>
#include <cstring>
#include <unordered_map>

#include <fmt/format.h>

#include "postgres/pg_bulk_insert.h"
#include "postgres/pg_savepoint.h"
#include "postgres/pg_spool_upload.h"
#include "postgres/pg_value_match.h"
#include "postgres/pg_values.h"
#include "text_util.h"
#include "value_spool.h"
#include "vesk/data_access/data_access_error.h"

namespace vesk::data_access::detail {

namespace {

PgParam TextParam(std::int64_t number) {
    return PgParam{std::to_string(number), false};
}

std::string_view ValueText(const PgResult& result, int row, int column) {
    return std::string_view(PQgetvalue(result.get(), row, column),
                            static_cast<std::size_t>(PQgetlength(result.get(), row, column)));
}

}  // namespace

PgKeysetCursor::PgKeysetCursor(PgSessionPtr session, PgTableIdentity identity,
                               std::vector<ColumnInfo> columns,
                               std::vector<std::string> columnNames, std::string keyQuery)
    : m_session(std::move(session)),
      m_identity(std::move(identity)),
      m_columns(std::move(columns)),
      m_columnNames(std::move(columnNames)),
      m_keyQuery(std::move(keyQuery)) {
    m_rowQuery = BuildRowQuery();
}

PgKeysetCursor::~PgKeysetCursor() = default;

bool PgKeysetCursor::MayDefer(std::size_t column) const {
    return m_columns[column].type.code == adLongVarBinary;
}

std::string PgKeysetCursor::QuotedColumn(std::size_t column) const {
    return QuoteIdentifier(m_columnNames[column]);
}

// The values of a row, then its identity. A bytea column gives two results: the value (Null
// when it is large) and its length, which the server answers without reading the value.
std::string PgKeysetCursor::SelectList() const {
    std::vector<std::string> list;
    for (std::size_t column_idx = 0; column_idx < m_columns.size(); ++column_idx) {
        std::string name = QuotedColumn(column_idx);
        list.push_back(MayDefer(column_idx)
                           ? fmt::format("CASE WHEN octet_length({0}) > {1} THEN NULL ELSE {0} "
                                         "END, octet_length({0})",
                                         name, kDeferredSize)
                           : name);
    }
    list.push_back(m_identity.keyList);
    return JoinList(list);
}

// One row by identity.
std::string PgKeysetCursor::BuildRowQuery() const {
    return fmt::format("SELECT {} FROM {} WHERE {}", SelectList(), m_identity.table,
                       IdentityMatch(1));
}

// "k1 = $n AND k2 = $n+1 ...": the server takes each parameter's type from its key column.
std::string PgKeysetCursor::IdentityMatch(std::size_t firstParam) const {
    std::string match;
    for (std::size_t part_idx = 0; part_idx < m_identity.key.size(); ++part_idx) {
        match += fmt::format("{}{} = ${}", part_idx == 0 ? "" : " AND ", m_identity.key[part_idx],
                             firstParam + part_idx);
    }
    return match;
}

std::vector<PgParam> PgKeysetCursor::IdentityParams(RowKey key) const {
    std::vector<PgParam> params;
    for (const std::string& value : m_keys.IdentityOf(key)) {
        params.push_back(PgParam{value, false});
    }
    return params;
}

RowKey PgKeysetCursor::KeyOfRow(const PgResult& result, int row, int firstColumn) {
    PgRowKeys::Identity identity;
    for (std::size_t part_idx = 0; part_idx < m_identity.key.size(); ++part_idx) {
        identity.emplace_back(ValueText(result, row, firstColumn + static_cast<int>(part_idx)));
    }
    return m_keys.KeyOf(std::move(identity));
}

std::vector<RowKey> PgKeysetCursor::FetchKeys() {
    PgResult result = m_session->Exec(m_keyQuery);
    std::vector<RowKey> keys;
    for (int row = 0; row < PQntuples(result.get()); ++row) {
        keys.push_back(KeyOfRow(result, row, 0));
    }
    return keys;
}

bool PgKeysetCursor::ReadRow(RowKey key, std::vector<StoredValue>& values) {
    PgResult result = m_session->Exec(m_rowQuery, IdentityParams(key));
    if (PQntuples(result.get()) == 0) {
        return false;
    }
    ReadValues(result, 0, values);
    return true;
}

// The values of row `row` of a result of SelectList.
void PgKeysetCursor::ReadValues(const PgResult& result, int row,
                                std::vector<StoredValue>& values) const {
    values.assign(m_columns.size(), StoredValue{});
    int field = 0;
    for (std::size_t column_idx = 0; column_idx < m_columns.size(); ++column_idx) {
        StoredValue& stored = values[column_idx];
        bool isNull = PQgetisnull(result.get(), row, field);
        stored.value = isNull
                           ? Variant::Null()
                           : PgReadValue(ValueText(result, row, field), m_columns[column_idx].type);
        if (MayDefer(column_idx)) {
            bool noSize = PQgetisnull(result.get(), row, field + 1);
            stored.size = noSize ? 0 : std::stoll(std::string(ValueText(result, row, field + 1)));
            stored.deferred = isNull && !noSize;
            ++field;
        }
        ++field;
    }
}

std::vector<std::optional<std::vector<StoredValue>>> PgKeysetCursor::ReadRows(
    std::span<const RowKey> keys) {
    std::vector<std::optional<std::vector<StoredValue>>> rows(keys.size());
    for (std::size_t first = 0; first < keys.size(); first += kRowsPerRead) {
        ReadRowGroup(keys.subspan(first, std::min<std::size_t>(kRowsPerRead, keys.size() - first)),
                     std::span(rows).subspan(first));
    }
    return rows;
}

// One statement for the rows of `keys`, whose identities it matches one by one (the server
// takes each parameter's type from its key column); the rows come back in any order.
void PgKeysetCursor::ReadRowGroup(std::span<const RowKey> keys,
                                  std::span<std::optional<std::vector<StoredValue>>> rows) {
    std::vector<std::string> matches;
    std::vector<PgParam> params;
    std::unordered_map<RowKey, std::size_t> positions;
    for (std::size_t key_idx = 0; key_idx < keys.size(); ++key_idx) {
        matches.push_back("(" + IdentityMatch(params.size() + 1) + ")");
        std::vector<PgParam> identity = IdentityParams(keys[key_idx]);
        params.insert(params.end(), identity.begin(), identity.end());
        positions.emplace(keys[key_idx], key_idx);
    }
    std::string where;
    for (const std::string& match : matches) {
        where += (where.empty() ? "" : " OR ") + match;
    }
    PgResult result = m_session->Exec(
        fmt::format("SELECT {} FROM {} WHERE {}", SelectList(), m_identity.table, where), params);
    const int identityColumn = PQnfields(result.get()) - static_cast<int>(m_identity.key.size());
    for (int row = 0; row < PQntuples(result.get()); ++row) {
        auto position = positions.find(KeyOfRow(result, row, identityColumn));
        if (position != positions.end()) {
            ReadValues(result, row, rows[position->second].emplace());
        }
    }
}

std::size_t PgKeysetCursor::ReadValue(RowKey key, std::size_t column, std::int64_t offset,
                                      std::span<std::uint8_t> out) {
    std::size_t filled = 0;
    while (filled < out.size()) {
        std::int64_t at = offset + static_cast<std::int64_t>(filled);
        bool held = m_window && m_window->key == key && m_window->column == column &&
                    at >= m_window->start &&
                    at < m_window->start + static_cast<std::int64_t>(m_window->bytes.size());
        if (!held) {
            LoadWindow(key, column, at);
            if (m_window->bytes.empty()) {
                break;  // past the end of the value
            }
        }
        auto from = static_cast<std::size_t>(at - m_window->start);
        std::size_t count = std::min(out.size() - filled, m_window->bytes.size() - from);
        std::memcpy(out.data() + filled, m_window->bytes.data() + from, count);
        filled += count;
    }
    return filled;
}

void PgKeysetCursor::LoadWindow(RowKey key, std::size_t column, std::int64_t offset) {
    m_window.reset();
    std::vector<PgParam> params = {TextParam(offset + 1), TextParam(kReadWindow)};
    std::vector<PgParam> identity = IdentityParams(key);
    params.insert(params.end(), identity.begin(), identity.end());
    PgResult result =
        m_session->Exec(fmt::format("SELECT substring({} FROM $1 FOR $2) FROM {} WHERE {}",
                                    QuotedColumn(column), m_identity.table, IdentityMatch(3)),
                        params, PgFormat::Binary);
    if (PQntuples(result.get()) == 0) {
        throw DataAccessError(fmt::format("Cannot read the value of {} in {}: the row is gone",
                                          m_columnNames[column], m_identity.table));
    }
    std::string_view bytes = ValueText(result, 0, 0);
    m_window = ValueWindow{key, column, offset, Bytes(bytes.begin(), bytes.end())};
}

PgKeysetCursor::WriteValues PgKeysetCursor::PrepareWrites(
    const std::vector<ColumnWrite>& writes) const {
    WriteValues values;
    for (const ColumnWrite& write : writes) {
        const ColumnInfo& column = m_columns[write.column];
        if (write.spool && IsBinaryType(column.type.code)) {
            values.expressions.push_back(SpooledValue(values.spools.size()));
            values.spools.push_back(write.spool);
            continue;
        }
        Variant value = write.value;
        if (write.spool) {
            Bytes bytes = write.spool->ReadAll();  // spooled text is read whole, as it is stored
            value = Variant(std::string(bytes.begin(), bytes.end()));
        }
        values.params.push_back(PgParamFor(value, column.type, column.name));
        values.expressions.push_back(fmt::format("${}", values.params.size()));
    }
    return values;
}

// Runs an INSERT or UPDATE that returns the row's identity; spooled values are uploaded
// first, all inside one savepoint. `missing` is the error when no row comes back.
RowKey PgKeysetCursor::RunWrite(const std::string& sql, const WriteValues& values,
                                std::string_view missing) {
    EndValueRead();
    std::optional<PgSavepoint> savepoint;
    if (!values.spools.empty()) {
        savepoint.emplace(*m_session);
        UploadSpools(*m_session, values.spools);
    }
    PgResult result = m_session->Exec(sql, values.params);
    if (PQntuples(result.get()) == 0) {
        throw DataAccessError(std::string(missing), 0, sql);
    }
    if (savepoint) {
        ClearSpools(*m_session);
        savepoint->Release();
    }
    return KeyOfRow(result, 0, 0);
}

RowKey PgKeysetCursor::InsertRow(const std::vector<ColumnWrite>& writes) {
    WriteValues values = PrepareWrites(writes);
    std::string sql;
    if (writes.empty()) {
        sql = fmt::format("INSERT INTO {} DEFAULT VALUES RETURNING {}", m_identity.table,
                          m_identity.keyList);
    } else {
        std::vector<std::string> names;
        for (const ColumnWrite& write : writes) {
            names.push_back(QuotedColumn(write.column));
        }
        sql = fmt::format("INSERT INTO {} ({}) VALUES ({}) RETURNING {}", m_identity.table,
                          JoinList(names), JoinList(values.expressions), m_identity.keyList);
    }
    return RunWrite(sql, values, "The new row was not stored: the table gave no row back.");
}

std::vector<InsertOutcome> PgKeysetCursor::InsertRows(const RowList& rows, bool keys) {
    auto use = m_session->Use();  // the groups' statements run as one step
    EndValueRead();
    std::vector<InsertOutcome> outcomes(rows.size());
    for (std::size_t first = 0; first < rows.size();) {
        std::size_t end = EndOfGroup(rows, first);
        InsertGroup(rows, first, end, keys, outcomes);
        first = end;
    }
    return outcomes;
}

// The end of the run of rows from `first` that can go to the server together; a row that
// cannot ends a run of its own.
std::size_t PgKeysetCursor::EndOfGroup(const RowList& rows, std::size_t first) const {
    std::size_t end = first + 1;
    if (HasSpool(rows[first]) || rows[first].empty()) {
        return end;
    }
    while (end < rows.size() && !HasSpool(rows[end]) && SameColumns(rows[first], rows[end])) {
        ++end;
    }
    return end;
}

// Rows [first, end) of `rows`: a value that cannot be put into its column's form refuses its
// row at once; the others go together, or one by one when the server refuses the group.
void PgKeysetCursor::InsertGroup(const RowList& rows, std::size_t first, std::size_t end, bool keys,
                                 std::vector<InsertOutcome>& outcomes) {
    PgRowBatch batch{m_identity.table, {}, m_identity.keyList, {}, 0};
    for (const ColumnWrite& write : rows[first]) {
        batch.quotedColumns.push_back(QuotedColumn(write.column));
    }
    std::vector<std::size_t> stored;
    for (std::size_t row_idx = first; row_idx < end; ++row_idx) {
        try {
            AppendCopyRow(batch.copyText, BatchValues(rows[row_idx]));
            ++batch.rows;
            stored.push_back(row_idx);
        } catch (const DataAccessError& error) {
            outcomes[row_idx].error = error;
        }
    }
    if (stored.size() > 1 && StoreTogether(batch, stored, keys, outcomes)) {
        return;
    }
    for (std::size_t row_idx : stored) {
        try {
            outcomes[row_idx].key = InsertRow(rows[row_idx]);
        } catch (const DataAccessError& error) {
            outcomes[row_idx].error = error;
        }
    }
}

// Stores the batch in one go; false when a row or more was refused, and nothing was stored.
bool PgKeysetCursor::StoreTogether(const PgRowBatch& batch, const std::vector<std::size_t>& stored,
                                   bool keys, std::vector<InsertOutcome>& outcomes) {
    try {
        if (!keys) {
            PgCopyBatch(*m_session, batch);
            return true;
        }
        PgResult identities = PgInsertBatch(*m_session, batch);
        for (std::size_t row = 0; row < stored.size(); ++row) {
            outcomes[stored[row]].key = KeyOfRow(identities, static_cast<int>(row), 0);
        }
        return true;
    } catch (const DataAccessError&) {
        return false;
    }
}

std::vector<PgParam> PgKeysetCursor::BatchValues(const std::vector<ColumnWrite>& row) const {
    std::vector<PgParam> values;
    values.reserve(row.size());
    for (const ColumnWrite& write : row) {
        const ColumnInfo& column = m_columns[write.column];
        values.push_back(PgParamFor(write.value, column.type, column.name));
    }
    return values;
}

std::vector<ValueMatch> PgKeysetCursor::MatchValues(std::size_t column,
                                                    const std::vector<Variant>& values) {
    EndValueRead();
    return PgMatchValues(*m_session, m_identity.table, m_columnNames.at(column),
                         m_columns.at(column).type, values);
}

RowKey PgKeysetCursor::UpdateRow(RowKey key, const std::vector<ColumnWrite>& writes) {
    if (writes.empty()) {
        return key;
    }
    WriteValues values = PrepareWrites(writes);
    std::vector<std::string> assignments;
    for (std::size_t write_idx = 0; write_idx < writes.size(); ++write_idx) {
        assignments.push_back(QuotedColumn(writes[write_idx].column) + " = " +
                              values.expressions[write_idx]);
    }
    std::string sql = fmt::format("UPDATE {} SET {} WHERE {} RETURNING {}", m_identity.table,
                                  JoinList(assignments), IdentityMatch(values.params.size() + 1),
                                  m_identity.keyList);
    std::vector<PgParam> identity = IdentityParams(key);
    values.params.insert(values.params.end(), identity.begin(), identity.end());
    return RunWrite(sql, values, kRowGoneForUpdate);
}

void PgKeysetCursor::DeleteRow(RowKey key) {
    EndValueRead();
    PgResult result =
        m_session->Exec(fmt::format("DELETE FROM {} WHERE {}", m_identity.table, IdentityMatch(1)),
                        IdentityParams(key));
    if (std::string_view(PQcmdTuples(result.get())) == "0") {
        throw DataAccessError(kRowGoneForDelete);
    }
}

}  // namespace vesk::data_access::detail
