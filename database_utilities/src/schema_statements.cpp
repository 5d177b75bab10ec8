#include "schema_statements.h"

#include "sql_names.h"

namespace vesk::database_utilities::detail {

std::string SchemaStatements::CreateTable(const std::string& table, const std::string& column,
                                          const std::string& type) const {
    return "CREATE TABLE " + Name(table) + " (" + Name(column) + " " + type + ")";
}

std::string SchemaStatements::AddColumn(const std::string& table, const std::string& column,
                                        const std::string& type) const {
    const char* keyword = m_dialect == DBDefault || m_dialect == DBPostgreSQL ? "COLUMN " : "";
    return AlterTable(table) + " ADD " + keyword + Name(column) + " " + type;
}

std::string SchemaStatements::AlterColumn(const std::string& table, const std::string& column,
                                          const std::string& type) const {
    if (m_dialect == DBPostgreSQL) {
        return AlterTable(table) + " ALTER COLUMN " + Name(column) + " TYPE " + type;
    }
    const char* keyword = m_dialect == DBDefault ? "COLUMN " : "";
    return AlterTable(table) + " ALTER " + keyword + column + " " + type;
}

std::string SchemaStatements::Name(const std::string& name) const {
    return m_dialect == DBPostgreSQL ? SqlName(name) : name;
}

std::string SchemaStatements::AlterTable(const std::string& table) const {
    return (m_dialect == DBPostgreSQL ? "ALTER TABLE " : "ALTER Table ") + Name(table);
}

}  // namespace vesk::database_utilities::detail
