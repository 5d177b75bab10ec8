#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "vesk/data_access/variant.h"

// The criteria of Find and Filter: terms "Column op value" joined by AND, where op is one of
// = <> < > <= >= and value is 'text' (quotes doubled inside), a number, #date#, True, False,
// or Null (with = and <>, or IS [NOT] NULL). Text compares ignoring letter case.
namespace vesk::data_access::detail {

struct CriteriaTerm {
    std::string column;
    std::string op;
    Variant value;
};

// Throws DataAccessError with the offending text when the criteria cannot be read.
std::vector<CriteriaTerm> ParseCriteria(std::string_view criteria);

// Whether a column value meets one term.
bool Meets(const CriteriaTerm& term, const Variant& value);

}  // namespace vesk::data_access::detail
