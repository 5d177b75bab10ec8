#pragma once

#include <string>
#include <string_view>

namespace vesk::data_access {

// The text with every single quote doubled, ready to stand between single quotes in a
// statement, a criterion or a filter: O'Brien becomes O''Brien.
std::string EscapeSqlText(std::string_view text);

// `name` between double quotes with every double quote doubled, so that any text stands as
// one table or column name in a statement.
std::string QuoteIdentifier(std::string_view name);

}  // namespace vesk::data_access
