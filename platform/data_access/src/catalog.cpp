#include "vesk/data_access/catalog.h"

#include <fmt/format.h>

#include "backend.h"
#include "text_util.h"
#include "vesk/data_access/connection_text.h"
#include "vesk/data_access/data_access_error.h"
#include "vesk/data_access/letter_case.h"

namespace vesk::data_access {

namespace {

[[noreturn]] void ThrowNotInCollection(std::string_view what) {
    throw DataAccessError(
        fmt::format("Item cannot be found in the collection corresponding to the requested name or "
                    "ordinal: {}",
                    what));
}

// The item of `items` at `index` or named `name` (ignoring case).
template <typename Item>
const Item& ItemAt(const std::vector<Item>& items, long index) {
    if (index < 0 || index >= static_cast<long>(items.size())) {
        ThrowNotInCollection(fmt::format("position {}", index));
    }
    return items[static_cast<std::size_t>(index)];
}

template <typename Item>
const Item& ItemNamed(const std::vector<Item>& items, std::string_view name) {
    for (const Item& item : items) {
        if (SameIgnoringCase(item.Name(), name)) {
            return item;
        }
    }
    ThrowNotInCollection(name);
}

}  // namespace

Column::Column(std::string name, std::string declaredType, ColumnType type)
    : m_name(std::move(name)), m_declaredType(std::move(declaredType)), m_type(type) {}

const Column& Columns::Item(long index) const {
    return ItemAt(m_columns, index);
}

const Column& Columns::Item(std::string_view name) const {
    return ItemNamed(m_columns, name);
}

Table::Table(std::string name, std::string type, ConnectionPtr connection)
    : m_name(std::move(name)), m_type(std::move(type)), m_connection(std::move(connection)) {}

const data_access::Columns& Table::Columns() const {
    if (!m_columns) {
        std::vector<Column> columns;
        for (detail::ColumnInfo& info : m_connection->Backend().Columns(m_name)) {
            columns.emplace_back(std::move(info.name), std::move(info.declaredType), info.type);
        }
        m_columns.emplace(std::move(columns));
    }
    return *m_columns;
}

const Table& Tables::Item(long index) const {
    return ItemAt(m_tables, index);
}

const Table& Tables::Item(std::string_view name) const {
    return ItemNamed(m_tables, name);
}

void Catalog::SetActiveConnection(std::string_view connectionText) {
    auto connection = std::make_shared<Connection>();
    connection->Open(connectionText);
    SetActiveConnection(std::move(connection));
}

void Catalog::SetActiveConnection(ConnectionPtr connection) {
    if (!connection || connection->State() != adStateOpen) {
        throw DataAccessError(
            "The connection cannot be used to perform this operation. It is either closed or "
            "invalid in this context.");
    }
    m_connection = std::move(connection);
    m_tables.reset();
}

ConnectionPtr Catalog::Create(std::string_view connectionText, std::string_view password) {
    ConnectionSettings settings = ParseConnectionText(connectionText);
    if (!password.empty()) {
        settings.password = std::string(password);
    }
    detail::CreateDatabase(settings);
    auto connection = std::make_shared<Connection>();
    connection->Open(connectionText, {}, password);
    SetActiveConnection(std::move(connection));
    return m_connection;
}

const data_access::Tables& Catalog::Tables() {
    if (!m_connection) {
        throw DataAccessError(
            "The catalog has no active connection: set ActiveConnection before reading tables.");
    }
    if (!m_tables) {
        std::vector<Table> tables;
        for (detail::TableInfo& info : m_connection->Backend().Tables()) {
            tables.emplace_back(std::move(info.name), std::move(info.type), m_connection);
        }
        m_tables.emplace(std::move(tables));
    }
    return *m_tables;
}

void Catalog::Refresh() {
    m_tables.reset();
}

}  // namespace vesk::data_access
