#pragma once

#include <string_view>
#include <vector>

#include "postgres/pg_session.h"
#include "vesk/data_access/data_types.h"
#include "vesk/data_access/value_match.h"
#include "vesk/data_access/variant.h"

namespace vesk::data_access::detail {

// Cursor::MatchValues on the server, for the column `column` (the table's own name, of
// `type`) of `table` (as the server writes it). The values travel as one array of the
// column's type, so that each is read as a value given to the column would be, and the column
// is compared with them under its own collation. Throws DataAccessError.
std::vector<ValueMatch> PgMatchValues(PgSession& session, std::string_view table,
                                      std::string_view column, ColumnType type,
                                      const std::vector<Variant>& values);

}  // namespace vesk::data_access::detail
