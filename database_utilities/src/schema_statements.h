#pragma once

#include <string>

#include "vesk/database_utilities/database_utilities.h"

namespace vesk::database_utilities::detail {

// The data-definition statements of schema repair in the dialect of the main database. The
// file and SQL Server dialects (and every other DBTypes value) write names as the catalogs
// give them, "ALTER Table" and the keyword "COLUMN " of the file dialect only; PostgreSQL
// gets its own forms, with names quoted where they need it (SqlName).
class SchemaStatements {
public:
    explicit SchemaStatements(DBTypes dialect) : m_dialect(dialect) {}

    // "CREATE TABLE t (c type)": a new table with its first column.
    std::string CreateTable(const std::string& table, const std::string& column,
                            const std::string& type) const;
    // Adds the column `column` of `type` to `table`.
    std::string AddColumn(const std::string& table, const std::string& column,
                          const std::string& type) const;
    // Changes the type of `column` of `table` to `type`.
    std::string AlterColumn(const std::string& table, const std::string& column,
                            const std::string& type) const;

    // Whether a column whose defined size differs from the template's is altered. PostgreSQL
    // reports sizes of its own for unsized types (16 for a timestamp, 19 for a numeric), so
    // there only a size that the type is written with counts: a second repair then finds
    // nothing left to do.
    bool AltersForSize(bool typeHasSize) const { return m_dialect != DBPostgreSQL || typeHasSize; }

private:
    std::string Name(const std::string& name) const;
    std::string AlterTable(const std::string& table) const;

    DBTypes m_dialect;
};

}  // namespace vesk::database_utilities::detail
