#pragma once

#include <string_view>
#include <vector>

#include "sqlite/sqlite_handle.h"
#include "vesk/data_access/data_types.h"
#include "vesk/data_access/value_match.h"
#include "vesk/data_access/variant.h"

namespace vesk::data_access::detail {

// Cursor::MatchValues on the embedded engine, for the column `column` (of `type`) of `table`,
// both by the table's own names. The values go into a temporary table whose column is declared
// like the table's (type and collation), so that they are stored, and then compared, as the
// table's own values are. Throws DataAccessError.
std::vector<ValueMatch> SqliteMatchValues(const SqliteDatabase& database, std::string_view table,
                                          std::string_view column, ColumnType type,
                                          const std::vector<Variant>& values);

}  // namespace vesk::data_access::detail
