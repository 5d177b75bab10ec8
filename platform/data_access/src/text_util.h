#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "vesk/data_access/sql_text.h"

// Small text helpers shared by the data-access sources (QuoteIdentifier comes with sql_text.h).
namespace vesk::data_access::detail {

std::string_view Trim(std::string_view text);
std::string ToUpperAscii(std::string_view text);
std::string ToLowerAscii(std::string_view text);
bool EqualsIgnoringCase(std::string_view a, std::string_view b);
// Wraps a value in single quotes, doubling any single quote inside it.
std::string QuoteLiteral(std::string_view value);
// The items separated by ", ".
std::string JoinList(const std::vector<std::string>& items);

}  // namespace vesk::data_access::detail
