#pragma once

#include <string>
#include <string_view>

#include "backend.h"
#include "postgres/pg_session.h"

// Conversions between the server's types and values and this layer's codes and Variants.
// Values travel as text in the server's own forms (ISO dates, 't'/'f', hex bytea, money in
// the C locale), except bytea parameters, which go as raw bytes.
namespace vesk::data_access::detail {

// A result column: its ADO code and defined size from the server type and type modifier
// (varchar(n) 202/n, text 203, integer 3, bytea 205, ...). Types without an ADO counterpart
// are read as long text.
ColumnInfo PgColumnInfo(std::string name, unsigned typeOid, int typeModifier);

// The value of a column of `type` from its text form.
Variant PgReadValue(std::string_view text, ColumnType type);

// The parameter that stores `value` in a column of `type`. Throws DataAccessError (naming
// `column`) when a text given to a date column is not a date.
PgParam PgParamFor(const Variant& value, ColumnType type, std::string_view column);

}  // namespace vesk::data_access::detail
