#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vesk/data_access/connection.h"
#include "vesk/data_access/data_types.h"

namespace vesk::data_access {

// A column as the schema catalog describes it.
class Column {
public:
    Column(std::string name, std::string declaredType, ColumnType type);

    const std::string& Name() const { return m_name; }
    DataTypeEnum Type() const { return m_type.code; }
    std::int64_t DefinedSize() const { return m_type.definedSize; }
    // The type text the column was declared with ("Text (50)").
    const std::string& DeclaredType() const { return m_declaredType; }

private:
    std::string m_name;
    std::string m_declaredType;
    ColumnType m_type;
};

// The columns of one table, in declaration order.
class Columns {
public:
    explicit Columns(std::vector<Column> columns) : m_columns(std::move(columns)) {}

    long Count() const { return static_cast<long>(m_columns.size()); }
    // Throws DataAccessError when out of range or when no column has the name (compared
    // ignoring case): callers take that failure to mean the column is missing.
    const Column& Item(long index) const;
    const Column& Item(std::string_view name) const;

private:
    std::vector<Column> m_columns;
};

// A table, view or system table of the catalog. Its columns are read on first use.
class Table {
public:
    Table(std::string name, std::string type, ConnectionPtr connection);

    const std::string& Name() const { return m_name; }
    // "TABLE", "VIEW" or "SYSTEM TABLE".
    const std::string& Type() const { return m_type; }
    // Throws DataAccessError when the catalog's connection can no longer read the table.
    const data_access::Columns& Columns() const;

private:
    std::string m_name;
    std::string m_type;
    ConnectionPtr m_connection;
    mutable std::optional<data_access::Columns> m_columns;
};

// The tables of a database, in the engine's order, read when first asked for.
class Tables {
public:
    explicit Tables(std::vector<Table> tables) : m_tables(std::move(tables)) {}

    long Count() const { return static_cast<long>(m_tables.size()); }
    // Throws DataAccessError when out of range or when no table has the name (ignoring
    // case): callers take that failure to mean the table is missing.
    const Table& Item(long index) const;
    const Table& Item(std::string_view name) const;

private:
    std::vector<Table> m_tables;
};

// The schema of one database: its tables and their columns; also creates new database files.
class Catalog {
public:
    Catalog() = default;

    // Connects the catalog to the database of a connection text (opening a connection of
    // its own) or to an open connection. Throws DataAccessError when the open fails.
    void SetActiveConnection(std::string_view connectionText);
    void SetActiveConnection(ConnectionPtr connection);
    ConnectionPtr ActiveConnection() const { return m_connection; }

    // Creates a new, empty database (a file keyed when a password is given, or a database on
    // the server), connects the catalog to it and returns that connection. `password`, when
    // given, stands in place of the text's. Throws DataAccessError, leaving what exists
    // untouched, when the database exists already.
    ConnectionPtr Create(std::string_view connectionText, std::string_view password = {});

    // The tables, read at the first call after connecting and kept until Refresh.
    const data_access::Tables& Tables();
    void Refresh();

private:
    ConnectionPtr m_connection;
    std::optional<data_access::Tables> m_tables;
};

using CatalogPtr = std::shared_ptr<Catalog>;

}  // namespace vesk::data_access
