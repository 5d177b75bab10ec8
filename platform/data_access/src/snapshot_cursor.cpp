#include "snapshot_cursor.h"

#include <cstring>

#include "vesk/data_access/data_access_error.h"

namespace vesk::data_access::detail {

namespace {

[[noreturn]] void ThrowReadOnly() {
    throw DataAccessError(
        "Current Recordset does not support updating: its statement does not name the rows of "
        "one table.");
}

}  // namespace

SnapshotCursor::SnapshotCursor(std::vector<ColumnInfo> columns, Rows rows, Loader reload)
    : m_columns(std::move(columns)), m_rows(std::move(rows)), m_reload(std::move(reload)) {}

std::vector<RowKey> SnapshotCursor::FetchKeys() {
    if (!m_fresh) {
        m_rows = m_reload();
    }
    m_fresh = false;
    std::vector<RowKey> keys(m_rows.size());
    for (std::size_t row_idx = 0; row_idx < keys.size(); ++row_idx) {
        keys[row_idx] = static_cast<RowKey>(row_idx);
    }
    return keys;
}

bool SnapshotCursor::ReadRow(RowKey key, std::vector<StoredValue>& values) {
    if (key < 0 || static_cast<std::size_t>(key) >= m_rows.size()) {
        return false;
    }
    values = m_rows[static_cast<std::size_t>(key)];
    return true;
}

std::size_t SnapshotCursor::ReadValue(RowKey key, std::size_t column, std::int64_t offset,
                                      std::span<std::uint8_t> out) {
    std::vector<StoredValue> row;
    if (!ReadRow(key, row) || column >= row.size()) {
        return 0;
    }
    Bytes bytes = row[column].value.ToBytes();
    if (offset < 0 || offset >= static_cast<std::int64_t>(bytes.size())) {
        return 0;
    }
    std::size_t count = std::min(out.size(), bytes.size() - static_cast<std::size_t>(offset));
    std::memcpy(out.data(), bytes.data() + offset, count);
    return count;
}

RowKey SnapshotCursor::InsertRow(const std::vector<ColumnWrite>&) {
    ThrowReadOnly();
}
RowKey SnapshotCursor::UpdateRow(RowKey, const std::vector<ColumnWrite>&) {
    ThrowReadOnly();
}
void SnapshotCursor::DeleteRow(RowKey) {
    ThrowReadOnly();
}

}  // namespace vesk::data_access::detail
