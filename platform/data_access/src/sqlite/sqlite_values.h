#pragma once

#include <string_view>

#include "vesk/data_access/data_types.h"
#include "vesk/data_access/variant.h"

struct sqlite3_stmt;

// Conversions between the engine's stored values and Variants, guided by the column's
// declared type: the engine stores booleans as 1/0 and dates as ISO text.
namespace vesk::data_access::detail {

class SqliteStatement;

// The value of result column `index` of the current row.
Variant ReadColumnValue(sqlite3_stmt* statement, int index, ColumnType type);

// Binds `value` for a column of `type`. Throws DataAccessError (naming `column`) when a text
// given to a date column is not a date.
void BindColumnValue(SqliteStatement& statement, int index, const Variant& value, ColumnType type,
                     std::string_view column);

}  // namespace vesk::data_access::detail
