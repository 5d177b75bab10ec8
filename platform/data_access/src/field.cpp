#include "vesk/data_access/field.h"

#include <fmt/format.h>

#include "vesk/data_access/data_access_error.h"
#include "vesk/data_access/recordset.h"

namespace vesk::data_access {

const std::string& Field::Name() const {
    return m_recordset->ColumnName(m_index);
}

DataTypeEnum Field::Type() const {
    return m_recordset->ColumnType(m_index);
}

std::int64_t Field::DefinedSize() const {
    return m_recordset->ColumnDefinedSize(m_index);
}

Variant Field::Value() const {
    return m_recordset->ColumnValue(m_index);
}

void Field::SetValue(const Variant& value) {
    m_recordset->SetColumnValue(m_index, value);
}

std::int64_t Field::ActualSize() const {
    return m_recordset->ColumnActualSize(m_index);
}

Variant Field::GetChunk(std::int64_t length) {
    return m_recordset->ColumnChunk(m_index, length);
}

void Field::AppendChunk(const Variant& data) {
    m_recordset->AppendColumnChunk(m_index, data);
}

long Fields::Count() const {
    return static_cast<long>(m_recordset->ColumnCount());
}

Field Fields::Item(long index) const {
    if (index < 0 || index >= Count()) {
        throw DataAccessError(fmt::format(
            "Item cannot be found in the collection corresponding to the requested name or "
            "ordinal: position {}",
            index));
    }
    return Field(*m_recordset, static_cast<std::size_t>(index));
}

Field Fields::Item(std::string_view name) const {
    return Field(*m_recordset, m_recordset->ColumnIndex(name));
}

long Fields::IndexOf(std::string_view name) const {
    return static_cast<long>(m_recordset->ColumnIndex(name));
}

}  // namespace vesk::data_access
