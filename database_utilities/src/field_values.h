#pragma once

#include <optional>
#include <string_view>

#include "vesk/data_access/data_types.h"
#include "vesk/data_access/variant.h"

// How the copy between databases converts the value of a source field for its destination
// field: by the group of the source column's type.
namespace vesk::database_utilities::detail {

enum class FieldGroup { Numeric, Date, Text, Boolean, Binary, NotCopied };

FieldGroup GroupOf(data_access::DataTypeEnum code);

// Whether a column of this type holds whole numbers only (tiny to big, signed or not).
bool IsWholeNumberType(data_access::DataTypeEnum code);

// The value a destination field gets for `value` of a source field of `group`; nothing when
// the field is left unassigned. `wholeNumbers`: both columns hold whole numbers, so that a
// whole number keeps every digit instead of going through a double. Throws DataAccessError
// when the value cannot be converted (a text that is no date).
std::optional<data_access::Variant> DestinationValue(FieldGroup group,
                                                     const data_access::Variant& value,
                                                     bool wholeNumbers);

// The number at the start of `text`: a sign, digits with at most one '.', an exponent; 0 when
// no digit was read. The decimal point is always '.', whatever the locale.
double LeadingNumber(std::string_view text);

}  // namespace vesk::database_utilities::detail
