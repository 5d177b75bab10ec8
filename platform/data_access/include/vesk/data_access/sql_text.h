#pragma once

#include <string>
#include <string_view>

namespace vesk::data {

// The text with every single quote doubled, ready to stand between single quotes in a
// statement, a criterion or a filter: O'Brien becomes O''Brien.
std::string EscapeSqlText(std::string_view text);

}  // namespace vesk::data
