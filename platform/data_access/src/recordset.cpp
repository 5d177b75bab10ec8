#include "vesk/data_access/recordset.h"

#include <algorithm>
#include <cassert>
#include <limits>
#include <unordered_set>

#include <fmt/format.h>

#include "backend.h"
#include "criteria.h"
#include "text_util.h"
#include "value_spool.h"
#include "vesk/data_access/data_access_error.h"
#include "vesk/data_access/letter_case.h"

namespace vesk::data_access {

using detail::Trim;

namespace {

constexpr std::string_view kNoCurrentRecord =
    "Either BOF or EOF is True, or the current record has been deleted. Requested operation "
    "requires a current record.";

[[noreturn]] void ThrowClosed() {
    throw DataAccessError("Operation is not allowed when the object is closed.");
}

std::int64_t SizeOfValue(const Variant& value) {
    switch (value.Type()) {
        case VariantType::Empty:
        case VariantType::Null:
            return 0;
        case VariantType::Int16:
        case VariantType::Bool:
            return 2;
        case VariantType::Int32:
            return 4;
        case VariantType::Int64:
        case VariantType::Double:
        case VariantType::Date:
            return 8;
        case VariantType::Text:
            return static_cast<std::int64_t>(value.AsText()->size());
        case VariantType::Binary:
            return static_cast<std::int64_t>(value.AsBytes()->size());
    }
    return 0;
}

// Bytes of a value in the form a column of `code` gives them: text for text columns.
Variant AsColumnForm(Bytes bytes, DataTypeEnum code) {
    if (IsTextType(code)) {
        return Variant(std::string(bytes.begin(), bytes.end()));
    }
    return Variant(std::move(bytes));
}

}  // namespace

Recordset::Recordset() = default;

Recordset::~Recordset() {
    Close();
}

void Recordset::SetActiveConnection(ConnectionPtr connection) {
    if (m_cursor) {
        throw DataAccessError("Operation is not allowed when the object is open.");
    }
    m_connection = std::move(connection);
}

void Recordset::SetCursorType(CursorTypeEnum type) {
    if (m_cursor) {
        throw DataAccessError("Operation is not allowed when the object is open.");
    }
    m_cursorType = type == adOpenUnspecified ? adOpenForwardOnly : type;
}

void Recordset::SetLockType(LockTypeEnum type) {
    if (m_cursor) {
        throw DataAccessError("Operation is not allowed when the object is open.");
    }
    m_lockType = type == adLockUnspecified ? adLockReadOnly : type;
}

void Recordset::SetSource(std::string_view sql) {
    if (m_cursor) {
        throw DataAccessError("Operation is not allowed when the object is open.");
    }
    m_source = std::string(sql);
}

void Recordset::Open(std::string_view source, ConnectionPtr connection, CursorTypeEnum cursorType,
                     LockTypeEnum lockType) {
    if (!source.empty()) {
        SetSource(source);
    }
    if (connection) {
        SetActiveConnection(std::move(connection));
    }
    if (cursorType != adOpenUnspecified) {
        SetCursorType(cursorType);
    }
    if (lockType != adLockUnspecified) {
        SetLockType(lockType);
    }
    Open();
}

void Recordset::Open() {
    if (m_cursor) {
        throw DataAccessError("Operation is not allowed when the object is open.");
    }
    if (!m_connection) {
        throw DataAccessError(
            "The connection cannot be used to perform this operation. It is either closed or "
            "invalid in this context.");
    }
    if (Trim(m_source).empty()) {
        throw DataAccessError("The record set has no source statement to open.");
    }
    detail::Backend& backend = m_connection->Backend();
    m_connection->Trace(StatementKind::Query, m_source);
    std::unique_ptr<detail::Cursor> cursor = backend.OpenCursor(m_source, true);
    if (!cursor) {
        Connection::NoteWrite();
        CheckInvariants();
        return;  // the statement returned no rows; it has run
    }
    std::vector<std::int64_t> keys = cursor->FetchKeys();
    m_cursor = std::move(cursor);
    TakeKeys(std::move(keys));
    m_keys = m_allKeys;
    m_filter.clear();
    StandOn(0);
    CheckInvariants();
}

void Recordset::Close() {
    if (m_cursor) {
        m_cursor->EndValueRead();
    }
    m_cursor.reset();
    m_allKeys.clear();
    m_keys.clear();
    m_filter.clear();
    m_pending.clear();
    m_batch.clear();
    m_cache.clear();
    m_chunkStates.clear();
    m_row.reset();
    m_editMode = adEditNone;
    m_position = -1;
    m_currentDeleted = false;
    CheckInvariants();
}

detail::Cursor& Recordset::OpenCursor() const {
    if (!m_cursor) {
        ThrowClosed();
    }
    return *m_cursor;
}

detail::Cursor& Recordset::RequireUpdatable() const {
    detail::Cursor& cursor = OpenCursor();
    if (m_lockType == adLockReadOnly || !cursor.IsUpdatable()) {
        throw DataAccessError(
            "Current Recordset does not support updating. This may be a limitation of the "
            "provider, or of the selected locktype.");
    }
    return cursor;
}

long Recordset::RecordCount() const {
    OpenCursor();
    return static_cast<long>(m_keys.size());
}

bool Recordset::IsBOF() const {
    OpenCursor();
    if (m_editMode == adEditAdd || m_currentDeleted) {
        return false;
    }
    return m_keys.empty() || m_position < 0;
}

bool Recordset::IsEOF() const {
    OpenCursor();
    if (m_editMode == adEditAdd || m_currentDeleted) {
        return false;
    }
    return m_keys.empty() || m_position >= static_cast<std::ptrdiff_t>(m_keys.size());
}

void Recordset::ResetRowState() {
    if (m_cursor) {
        m_cursor->EndValueRead();
    }
    m_row.reset();
    m_chunkStates.clear();
}

// Makes `position` current, clamped to BOF (-1) and EOF (size).
void Recordset::StandOn(std::ptrdiff_t position) {
    ResetRowState();
    auto size = static_cast<std::ptrdiff_t>(m_keys.size());
    m_position = std::clamp<std::ptrdiff_t>(position, -1, size);
    m_currentDeleted = false;
}

void Recordset::StoreEditBeforeMove() {
    if (m_editMode != adEditNone) {
        Update();
    }
}

void Recordset::MoveFirst() {
    OpenCursor();
    StoreEditBeforeMove();
    if (m_keys.empty()) {
        throw DataAccessError(std::string(kNoCurrentRecord));
    }
    StandOn(0);
    CheckInvariants();
}

void Recordset::MoveLast() {
    OpenCursor();
    StoreEditBeforeMove();
    if (m_keys.empty()) {
        throw DataAccessError(std::string(kNoCurrentRecord));
    }
    StandOn(static_cast<std::ptrdiff_t>(m_keys.size()) - 1);
    CheckInvariants();
}

void Recordset::MoveNext() {
    if (IsEOF()) {
        throw DataAccessError(std::string(kNoCurrentRecord));
    }
    StoreEditBeforeMove();
    // After Delete the following row has already moved up into the deleted row's place.
    StandOn(m_currentDeleted ? m_position : m_position + 1);
    CheckInvariants();
}

void Recordset::MovePrevious() {
    if (IsBOF()) {
        throw DataAccessError(std::string(kNoCurrentRecord));
    }
    StoreEditBeforeMove();
    StandOn(m_position - 1);
    CheckInvariants();
}

void Recordset::RequireCurrentRow() const {
    OpenCursor();
    if (m_editMode == adEditAdd) {
        return;
    }
    if (m_currentDeleted) {
        throw DataAccessError("Row handle referred to a deleted row or a row marked for deletion.");
    }
    if (IsBOF() || IsEOF()) {
        throw DataAccessError(std::string(kNoCurrentRecord));
    }
}

Variant Recordset::Bookmark() const {
    RequireCurrentRow();
    if (m_editMode == adEditAdd) {
        throw DataAccessError("A row being added has no bookmark until it is stored.");
    }
    return Variant(m_keys[static_cast<std::size_t>(m_position)]);
}

std::ptrdiff_t Recordset::FindPosition(std::int64_t key) const {
    auto found = std::find(m_keys.begin(), m_keys.end(), key);
    return found == m_keys.end() ? -1 : found - m_keys.begin();
}

void Recordset::SetBookmark(const Variant& bookmark) {
    OpenCursor();
    std::ptrdiff_t position = bookmark.IsNumeric() ? FindPosition(bookmark.ToInt64()) : -1;
    if (position < 0) {
        throw DataAccessError("The bookmark is not valid for this record set.");
    }
    StoreEditBeforeMove();
    StandOn(position);
    CheckInvariants();
}

void Recordset::Requery() {
    detail::Cursor& cursor = OpenCursor();
    StoreEditBeforeMove();
    m_connection->Trace(StatementKind::Query, m_source);
    m_cache.clear();
    TakeKeys(cursor.FetchKeys());
    ApplyFilter();
    StandOn(0);
    CheckInvariants();
}

void Recordset::ApplyFilter() {
    if (m_filter.empty()) {
        m_keys = m_allKeys;
        return;
    }
    BoundCriteria criteria = BindCriteria(m_filter);
    std::vector<std::int64_t> kept;
    std::vector<detail::StoredValue> row;
    for (std::int64_t key : m_allKeys) {
        if (m_cursor->ReadRow(key, row) && RowMeets(criteria, row)) {
            kept.push_back(key);
        }
    }
    m_keys = std::move(kept);
}

Recordset::BoundCriteria Recordset::BindCriteria(std::string_view criteria) const {
    BoundCriteria bound;
    for (detail::CriteriaTerm& term : detail::ParseCriteria(criteria)) {
        std::size_t column = ColumnIndex(term.column);
        bound.emplace_back(std::move(term), column);
    }
    return bound;
}

bool Recordset::RowMeets(const BoundCriteria& criteria,
                         const std::vector<detail::StoredValue>& row) {
    return std::all_of(criteria.begin(), criteria.end(), [&](const auto& term) {
        return detail::Meets(term.first, row[term.second].value);
    });
}

void Recordset::SetFilter(std::string_view criteria) {
    OpenCursor();
    std::string text(Trim(criteria));
    if (!text.empty()) {
        BindCriteria(text);  // a bad criterion fails before anything changes
    }
    StoreEditBeforeMove();
    m_filter = text;
    ApplyFilter();
    StandOn(0);
    CheckInvariants();
}

void Recordset::Find(std::string_view criteria, long skipRecords, SearchDirectionEnum direction,
                     const Variant& start) {
    detail::Cursor& cursor = OpenCursor();
    BoundCriteria bound = BindCriteria(criteria);
    std::ptrdiff_t step = direction == adSearchBackward ? -1 : 1;
    std::ptrdiff_t position = m_position;
    if (!start.IsMissing()) {
        position = FindPosition(start.ToInt64());
        if (position < 0) {
            throw DataAccessError("The bookmark is not valid for this record set.");
        }
    } else if (m_currentDeleted && step < 0) {
        position = m_position - 1;
    } else if (position < 0 || position >= static_cast<std::ptrdiff_t>(m_keys.size())) {
        position = step > 0 ? 0 : static_cast<std::ptrdiff_t>(m_keys.size()) - 1;
    }
    StoreEditBeforeMove();
    std::vector<detail::StoredValue> row;
    auto size = static_cast<std::ptrdiff_t>(m_keys.size());
    for (position += step * skipRecords; position >= 0 && position < size; position += step) {
        if (cursor.ReadRow(m_keys[static_cast<std::size_t>(position)], row) &&
            RowMeets(bound, row)) {
            StandOn(position);
            CheckInvariants();
            return;
        }
    }
    StandOn(step > 0 ? size : -1);
    CheckInvariants();
}

void Recordset::AddNew() {
    RequireUpdatable();
    StoreEditBeforeMove();
    ResetRowState();
    m_pending.clear();
    m_editMode = adEditAdd;
    CheckInvariants();
}

EditModeEnum Recordset::EditMode() const {
    return m_editMode;
}

std::vector<detail::ColumnWrite> Recordset::WritesOf(const PendingRow& pending) {
    std::vector<detail::ColumnWrite> writes;
    writes.reserve(pending.size());
    for (std::size_t column = 0; column < pending.size(); ++column) {
        if (pending[column].set) {
            writes.push_back({column, pending[column].value, pending[column].spool.get()});
        }
    }
    return writes;
}

const Recordset::PendingColumn* Recordset::PendingAt(std::size_t column) const {
    return column < m_pending.size() && m_pending[column].set ? &m_pending[column] : nullptr;
}

void Recordset::Update() {
    detail::Cursor& cursor = OpenCursor();
    if (m_editMode == adEditNone) {
        CheckInvariants();
        return;
    }
    if (m_editMode == adEditAdd && m_lockType == adLockBatchOptimistic) {
        m_batch.push_back(std::move(m_pending));
        m_pending.clear();
        m_editMode = adEditNone;
        StandOn(static_cast<std::ptrdiff_t>(m_keys.size()));
        CheckInvariants();
        return;
    }
    std::vector<detail::ColumnWrite> writes = WritesOf(m_pending);
    Connection::NoteWrite();
    if (m_editMode == adEditAdd) {
        std::int64_t key = cursor.InsertRow(writes);
        ForgetKey(key);
        m_allKeys.push_back(key);
        m_keys.push_back(key);
        m_pending.clear();
        m_editMode = adEditNone;
        StandOn(static_cast<std::ptrdiff_t>(m_keys.size()) - 1);
        CheckInvariants();
        return;
    }
    auto index = static_cast<std::size_t>(m_position);
    std::int64_t oldKey = m_keys[index];
    std::int64_t newKey = cursor.UpdateRow(oldKey, writes);
    if (newKey != oldKey) {
        ForgetKey(newKey);
        index = static_cast<std::size_t>(m_position);
    }
    std::replace(m_allKeys.begin(), m_allKeys.end(), oldKey, newKey);
    m_keys[index] = newKey;
    m_pending.clear();
    m_editMode = adEditNone;
    ResetRowState();
    CheckInvariants();
}

void Recordset::UpdateBatch() {
    detail::Cursor& cursor = OpenCursor();
    m_batchRefusals.clear();
    Update();
    if (m_batch.empty()) {
        CheckInvariants();
        return;
    }
    std::vector<std::vector<detail::ColumnWrite>> rows;
    rows.reserve(m_batch.size());
    for (PendingRow& pending : m_batch) {
        std::vector<detail::ColumnWrite>& writes = rows.emplace_back();
        for (std::size_t column = 0; column < pending.size(); ++column) {
            if (pending[column].set) {  // the kept values are not needed afterwards
                writes.push_back(
                    {column, std::move(pending[column].value), pending[column].spool.get()});
            }
        }
    }
    std::vector<detail::InsertOutcome> outcomes;
    Connection::NoteWrite();
    try {
        outcomes = cursor.InsertRows(rows, m_batchRowsJoin);
    } catch (const DataAccessError& error) {
        for (std::size_t row_idx = 0; row_idx < m_batch.size(); ++row_idx) {
            m_batchRefusals.emplace_back(row_idx, error);
        }
        m_batch.clear();  // their values are gone into `rows`
        throw;
    }
    m_batch.clear();  // after the writes are done with the kept values
    std::optional<std::int64_t> last;
    for (std::size_t row_idx = 0; row_idx < outcomes.size(); ++row_idx) {
        detail::InsertOutcome& outcome = outcomes[row_idx];
        if (outcome.error) {
            m_batchRefusals.emplace_back(row_idx, std::move(*outcome.error));
        } else if (outcome.key && m_batchRowsJoin) {
            ForgetKey(*outcome.key);
            m_allKeys.push_back(*outcome.key);
            m_keys.push_back(*outcome.key);
            last = outcome.key;
        }
    }
    if (last) {
        StandOn(static_cast<std::ptrdiff_t>(m_keys.size()) - 1);
    }
    if (!m_batchRefusals.empty()) {
        throw m_batchRefusals.front().second;
    }
    CheckInvariants();
}

std::vector<ValueMatch> Recordset::MatchValues(std::string_view column,
                                               const std::vector<Variant>& values) {
    detail::Cursor& cursor = OpenCursor();
    const std::size_t index = ColumnIndex(column);
    return values.empty() ? std::vector<ValueMatch>() : cursor.MatchValues(index, values);
}

void Recordset::CancelBatch() {
    OpenCursor();
    m_batch.clear();
    CheckInvariants();
}

void Recordset::CancelUpdate() {
    OpenCursor();
    m_pending.clear();
    m_editMode = adEditNone;
    ResetRowState();
    CheckInvariants();
}

void Recordset::Delete() {
    detail::Cursor& cursor = RequireUpdatable();
    if (m_editMode == adEditAdd) {
        CancelUpdate();
        CheckInvariants();
        return;
    }
    RequireCurrentRow();
    auto index = static_cast<std::size_t>(m_position);
    std::int64_t key = m_keys[index];
    ResetRowState();
    Connection::NoteWrite();
    cursor.DeleteRow(key);
    m_pending.clear();
    m_editMode = adEditNone;
    m_keys.erase(m_keys.begin() + m_position);
    m_allKeys.erase(std::remove(m_allKeys.begin(), m_allKeys.end(), key), m_allKeys.end());
    m_currentDeleted = true;
    CheckInvariants();
}

// Drops `key` from the set. A row stored under a key the set still holds (its row deleted by
// someone else, the key then given again by the engine) is a new row: the set holds each key
// once, where the row was last stored.
void Recordset::ForgetKey(std::int64_t key) {
    if (key > m_largestKey) {
        m_largestKey = key;  // a new key, as the engines give nearly always: nothing to look for
        return;
    }
    std::erase(m_allKeys, key);
    m_cache.erase(key);
    auto found = std::find(m_keys.begin(), m_keys.end(), key);
    if (found == m_keys.end()) {
        return;
    }
    if (found - m_keys.begin() < m_position) {
        --m_position;
    }
    m_keys.erase(found);
}

void Recordset::TakeKeys(std::vector<std::int64_t> keys) {
    m_allKeys = std::move(keys);
    const auto largest = std::max_element(m_allKeys.begin(), m_allKeys.end());
    m_largestKey = largest == m_allKeys.end() ? std::numeric_limits<std::int64_t>::min() : *largest;
}

void Recordset::CheckInvariants() const {
#ifndef NDEBUG
    if (!m_cursor) {
        assert(m_allKeys.empty() && m_keys.empty() && m_filter.empty());
        assert(m_position == -1 && !m_currentDeleted && m_editMode == adEditNone);
        assert(m_pending.empty() && m_batch.empty() && !m_row && m_chunkStates.empty());
        return;
    }
    const auto size = static_cast<std::ptrdiff_t>(m_keys.size());
    const bool onRow = m_position >= 0 && m_position < size && !m_currentDeleted;
    assert(m_position >= -1 && m_position <= size);
    assert(m_keys.size() <= m_allKeys.size());
    assert(!m_filter.empty() || m_keys.size() == m_allKeys.size());
    // A deleted row leaves the set on its place, which the next row (or EOF) now holds; a row
    // may be added from there.
    assert(!m_currentDeleted || (m_position >= 0 && m_editMode != adEditInProgress));
    assert(m_editMode != adEditInProgress || onRow);
    assert(m_editMode != adEditNone || m_pending.empty());
    assert(!m_row || (onRow && m_editMode != adEditAdd));
    assert(m_batch.empty() || m_lockType == adLockBatchOptimistic);
    if (m_allKeys.size() > kFullCheckLimit) {
        return;
    }
    std::unordered_set<std::int64_t> distinct(m_allKeys.begin(), m_allKeys.end());
    assert(distinct.size() == m_allKeys.size());
    assert(std::all_of(m_allKeys.begin(), m_allKeys.end(),
                       [this](std::int64_t key) { return key <= m_largestKey; }));
    // The filtered keys are the unfiltered ones, in the same order, less those left out.
    auto next = m_allKeys.begin();
    for (std::int64_t key : m_keys) {
        next = std::find(next, m_allKeys.end(), key);
        assert(next != m_allKeys.end());
        ++next;
    }
#endif
}

std::size_t Recordset::ColumnCount() const {
    return OpenCursor().Columns().size();
}

std::size_t Recordset::ColumnIndex(std::string_view name) const {
    const auto& columns = OpenCursor().Columns();
    for (std::size_t column_idx = 0; column_idx < columns.size(); ++column_idx) {
        if (SameIgnoringCase(columns[column_idx].name, name)) {
            return column_idx;
        }
    }
    throw DataAccessError(
        fmt::format("Item cannot be found in the collection corresponding to the requested name or "
                    "ordinal: {}",
                    name));
}

const std::string& Recordset::ColumnName(std::size_t column) const {
    return OpenCursor().Columns().at(column).name;
}

DataTypeEnum Recordset::ColumnType(std::size_t column) const {
    return OpenCursor().Columns().at(column).type.code;
}

std::int64_t Recordset::ColumnDefinedSize(std::size_t column) const {
    return OpenCursor().Columns().at(column).type.definedSize;
}

const detail::StoredValue& Recordset::StoredAt(std::size_t column) const {
    if (!m_row) {
        m_row = ReadCurrentRow();
    }
    return m_row->at(column);
}

// The current row from the rows read ahead, or from the database with the next CacheSize - 1
// rows of the set.
std::unique_ptr<std::vector<detail::StoredValue>> Recordset::ReadCurrentRow() const {
    const auto position = static_cast<std::size_t>(m_position);
    auto cached = m_cache.find(m_keys[position]);
    if (cached == m_cache.end() && m_cacheSize > 1) {
        m_cache.clear();
        std::span<const std::int64_t> keys(m_keys);
        keys = keys.subspan(position, std::min<std::size_t>(keys.size() - position,
                                                            static_cast<std::size_t>(m_cacheSize)));
        auto rows = m_cursor->ReadRows(keys);
        for (std::size_t row_idx = 0; row_idx < keys.size(); ++row_idx) {
            if (rows[row_idx]) {
                m_cache.emplace(keys[row_idx], std::move(*rows[row_idx]));
            }
        }
        cached = m_cache.find(m_keys[position]);
    }
    auto row = std::make_unique<std::vector<detail::StoredValue>>();
    if (cached != m_cache.end()) {
        *row = std::move(cached->second);
        m_cache.erase(cached);
    } else if (!m_cursor->ReadRow(m_keys[position], *row)) {
        throw DataAccessError(
            "The current row has been deleted by another user; Requery to see the rows as they "
            "are now.");
    }
    return row;
}

// Reads the rows of `keys` that are not held yet into the rows read ahead. Returns the bytes
// of values they hold.
std::int64_t Recordset::CacheRows(std::span<const std::int64_t> keys) const {
    std::vector<std::int64_t> missing;
    for (std::int64_t key : keys) {
        if (!m_cache.contains(key)) {
            missing.push_back(key);
        }
    }
    auto rows = m_cursor->ReadRows(missing);
    for (std::size_t row_idx = 0; row_idx < missing.size(); ++row_idx) {
        if (rows[row_idx]) {
            m_cache.emplace(missing[row_idx], std::move(*rows[row_idx]));
        }
    }
    std::int64_t bytes = 0;
    for (std::int64_t key : keys) {
        if (auto row = m_cache.find(key); row != m_cache.end()) {
            for (const detail::StoredValue& stored : row->second) {
                bytes += stored.deferred ? 0 : SizeOfValue(stored.value);
            }
        }
    }
    return bytes;
}

// A value read ahead; a large one, not held, is read whole.
Variant Recordset::StoredValueOf(std::int64_t key, std::size_t column,
                                 const detail::StoredValue& stored) const {
    if (!stored.deferred) {
        return stored.value;
    }
    Bytes bytes(static_cast<std::size_t>(stored.size));
    bytes.resize(m_cursor->ReadValue(key, column, 0, bytes));
    return AsColumnForm(std::move(bytes), ColumnType(column));
}

std::vector<std::optional<Variant>> Recordset::PeekColumn(long column, long rows,
                                                          std::int64_t maxBytes) {
    RequireCurrentRow();
    const auto index = static_cast<std::size_t>(column);
    if (m_editMode == adEditAdd || index >= ColumnCount()) {
        throw DataAccessError(fmt::format("No column at position {} of a stored row", column));
    }
    const auto first = static_cast<std::size_t>(m_position);
    const std::size_t end =
        std::min(m_keys.size(), first + static_cast<std::size_t>(std::max(rows, 1L)));
    const std::unordered_set<std::int64_t> peeked(m_keys.begin() + first, m_keys.begin() + end);
    std::erase_if(m_cache, [&](const auto& entry) { return !peeked.contains(entry.first); });
    std::size_t reached = first;
    for (std::int64_t bytes = 0; reached < end && bytes < maxBytes;) {
        const std::size_t block = std::min<std::size_t>(end - reached, std::max(m_cacheSize, 1L));
        bytes += CacheRows(std::span(m_keys).subspan(reached, block));
        reached += block;
    }
    std::vector<std::optional<Variant>> values;
    for (std::size_t position = first; position < reached; ++position) {
        const std::int64_t key = m_keys[position];
        if (position == first && m_row) {
            values.emplace_back(StoredValueOf(key, index, m_row->at(index)));
        } else if (auto row = m_cache.find(key); row != m_cache.end()) {
            values.emplace_back(StoredValueOf(key, index, row->second.at(index)));
        } else {
            values.emplace_back();
        }
    }
    CheckInvariants();
    return values;
}

void Recordset::SetCacheSize(long rows) {
    if (rows < 1) {
        throw DataAccessError("CacheSize must be 1 or more.");
    }
    m_cacheSize = rows;
    m_cache.clear();
    CheckInvariants();
}

Variant Recordset::ColumnValue(std::size_t column) const {
    RequireCurrentRow();
    if (const PendingColumn* pending = PendingAt(column)) {
        return pending->spool ? AsColumnForm(pending->spool->ReadAll(), ColumnType(column))
                              : pending->value;
    }
    if (m_editMode == adEditAdd) {
        return Variant::Null();
    }
    const detail::StoredValue& stored = StoredAt(column);
    if (!stored.deferred) {
        return stored.value;
    }
    Bytes bytes(static_cast<std::size_t>(stored.size));
    std::size_t read =
        m_cursor->ReadValue(m_keys[static_cast<std::size_t>(m_position)], column, 0, bytes);
    bytes.resize(read);
    return AsColumnForm(std::move(bytes), ColumnType(column));
}

std::int64_t Recordset::ColumnActualSize(std::size_t column) const {
    RequireCurrentRow();
    if (const PendingColumn* pending = PendingAt(column)) {
        return pending->spool ? pending->spool->Size() : SizeOfValue(pending->value);
    }
    if (m_editMode == adEditAdd) {
        return 0;
    }
    const detail::StoredValue& stored = StoredAt(column);
    return stored.deferred ? stored.size : SizeOfValue(stored.value);
}

Variant Recordset::ColumnChunk(std::size_t column, std::int64_t length) {
    if (length < 0) {
        throw DataAccessError(fmt::format("GetChunk needs a length of 0 or more, not {}", length));
    }
    RequireCurrentRow();
    std::int64_t size = ColumnActualSize(column);
    std::int64_t& offset = m_chunkStates[column].offset;
    if (size == 0 || offset >= size) {
        return Variant::Null();
    }
    std::int64_t count = std::min(length, size - offset);
    Bytes bytes(static_cast<std::size_t>(count));
    bool fromCursor = m_editMode == adEditNone && !PendingAt(column) && StoredAt(column).deferred;
    if (fromCursor) {
        bytes.resize(m_cursor->ReadValue(m_keys[static_cast<std::size_t>(m_position)], column,
                                         offset, bytes));
    } else {
        Bytes whole = ColumnValue(column).ToBytes();
        std::copy_n(whole.begin() + offset, count, bytes.begin());
    }
    offset += static_cast<std::int64_t>(bytes.size());
    return AsColumnForm(std::move(bytes), ColumnType(column));
}

Recordset::PendingColumn& Recordset::BeginEditOf(std::size_t column) {
    RequireUpdatable();
    RequireCurrentRow();
    if (column >= ColumnCount()) {
        throw DataAccessError(fmt::format("No column at position {}", column));
    }
    if (m_editMode == adEditNone) {
        m_editMode = adEditInProgress;
    }
    if (m_pending.size() <= column) {
        m_pending.resize(ColumnCount());
    }
    m_pending[column].set = true;
    return m_pending[column];
}

void Recordset::SetColumnValue(std::size_t column, const Variant& value) {
    PendingColumn& pending = BeginEditOf(column);
    pending.value = value;
    pending.spool.reset();
    m_chunkStates.erase(column);
    CheckInvariants();
}

void Recordset::AppendColumnChunk(std::size_t column, const Variant& data) {
    if (!data.IsMissing() && !data.AsBytes() && !data.AsText()) {
        throw DataAccessError(fmt::format("AppendChunk takes bytes or text, not a {} value",
                                          VariantTypeName(data.Type())));
    }
    PendingColumn& pending = BeginEditOf(column);
    if (!pending.spool) {
        pending.spool = std::make_shared<detail::ValueSpool>();
        pending.value = Variant();
    }
    if (const Bytes* bytes = data.AsBytes()) {
        pending.spool->Append(*bytes);
    } else if (const std::string* text = data.AsText()) {
        pending.spool->Append(
            std::span(reinterpret_cast<const std::uint8_t*>(text->data()), text->size()));
    }
    CheckInvariants();
}

}  // namespace vesk::data_access
