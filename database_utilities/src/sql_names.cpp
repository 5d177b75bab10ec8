#include "sql_names.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "vesk/data_access/sql_text.h"

namespace vesk::database_utilities::detail {

namespace {

// The words the server reserves, in upper case and sorted: none of them can name a table or
// a column unquoted.
constexpr std::array<std::string_view, 98> kReservedWords = {
    "ALL",
    "ANALYSE",
    "ANALYZE",
    "AND",
    "ANY",
    "ARRAY",
    "AS",
    "ASC",
    "ASYMMETRIC",
    "AUTHORIZATION",
    "BINARY",
    "BOTH",
    "CASE",
    "CAST",
    "CHECK",
    "COLLATE",
    "COLLATION",
    "COLUMN",
    "CONCURRENTLY",
    "CONSTRAINT",
    "CREATE",
    "CROSS",
    "CURRENT_CATALOG",
    "CURRENT_DATE",
    "CURRENT_ROLE",
    "CURRENT_SCHEMA",
    "CURRENT_TIME",
    "CURRENT_TIMESTAMP",
    "CURRENT_USER",
    "DEFAULT",
    "DEFERRABLE",
    "DESC",
    "DISTINCT",
    "DO",
    "ELSE",
    "END",
    "EXCEPT",
    "FALSE",
    "FETCH",
    "FOR",
    "FOREIGN",
    "FREEZE",
    "FROM",
    "FULL",
    "GRANT",
    "GROUP",
    "HAVING",
    "ILIKE",
    "IN",
    "INITIALLY",
    "INNER",
    "INTERSECT",
    "INTO",
    "IS",
    "ISNULL",
    "JOIN",
    "LATERAL",
    "LEADING",
    "LEFT",
    "LIKE",
    "LIMIT",
    "LOCALTIME",
    "LOCALTIMESTAMP",
    "NATURAL",
    "NOT",
    "NOTNULL",
    "NULL",
    "OFFSET",
    "ON",
    "ONLY",
    "OR",
    "ORDER",
    "OUTER",
    "OVERLAPS",
    "PLACING",
    "PRIMARY",
    "REFERENCES",
    "RETURNING",
    "RIGHT",
    "SELECT",
    "SESSION_USER",
    "SIMILAR",
    "SOME",
    "SYMMETRIC",
    "TABLE",
    "TABLESAMPLE",
    "THEN",
    "TO",
    "TRAILING",
    "TRUE",
    "UNION",
    "UNIQUE",
    "USER",
    "USING",
    "VARIADIC",
    "VERBOSE",
    "WHEN",
    "WHERE",
};

bool IsNameStart(unsigned char c) {
    return std::isalpha(c) != 0 || c == '_';
}

bool IsNameCharacter(unsigned char c) {
    return std::isalnum(c) != 0 || c == '_';
}

bool IsReserved(std::string_view name) {
    std::string upper(name);
    std::ranges::transform(upper, upper.begin(),
                           [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return std::ranges::binary_search(kReservedWords, std::string_view(upper));
}

bool IsPlainName(std::string_view name) {
    return !name.empty() && IsNameStart(static_cast<unsigned char>(name.front())) &&
           std::ranges::all_of(
               name, [](char c) { return IsNameCharacter(static_cast<unsigned char>(c)); }) &&
           !IsReserved(name);
}

}  // namespace

std::string SqlName(std::string_view name) {
    if (IsPlainName(name)) {
        return std::string(name);
    }
    return data_access::QuoteIdentifier(name);
}

}  // namespace vesk::database_utilities::detail
