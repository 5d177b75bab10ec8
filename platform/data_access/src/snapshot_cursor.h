#pragma once

#include <functional>

#include "backend.h"

namespace vesk::data_access::detail {

// A read-only copy of a statement's rows, for statements that do not name one table's rows
// (joins, aggregates, views). Keys are row positions; Requery runs the statement again.
class SnapshotCursor : public Cursor {
public:
    using Rows = std::vector<std::vector<StoredValue>>;
    using Loader = std::function<Rows()>;

    SnapshotCursor(std::vector<ColumnInfo> columns, Rows rows, Loader reload);

    const std::vector<ColumnInfo>& Columns() const override { return m_columns; }
    bool IsUpdatable() const override { return false; }
    std::vector<RowKey> FetchKeys() override;
    bool ReadRow(RowKey key, std::vector<StoredValue>& values) override;
    std::size_t ReadValue(RowKey key, std::size_t column, std::int64_t offset,
                          std::span<std::uint8_t> out) override;
    void EndValueRead() override {}
    RowKey InsertRow(const std::vector<ColumnWrite>& writes) override;
    RowKey UpdateRow(RowKey key, const std::vector<ColumnWrite>& writes) override;
    void DeleteRow(RowKey key) override;

private:
    std::vector<ColumnInfo> m_columns;
    Rows m_rows;
    Loader m_reload;
    bool m_fresh = true;  // m_rows came from the opening run and need no reload yet
};

}  // namespace vesk::data_access::detail
