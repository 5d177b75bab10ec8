#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vesk::data_access::detail {

// What a plain "SELECT ... FROM table [WHERE ...] [ORDER BY ...]" reads: the table as written
// (quotes removed, and as it stands in the statement), where its FROM clause starts and where
// the statement's last clause ends (before a closing ';' or comment), and whether it sorts
// its rows.
struct SingleTableSelect {
    std::string table;
    std::string tableAsWritten;
    std::size_t fromOffset = 0;
    std::size_t endOffset = 0;
    bool ordered = false;
};

// Reads `sql` as a one-table SELECT; nothing for any other statement (joins, DISTINCT,
// grouping, set operations, row limits, subqueries in the select list), whose rows no table
// key can stand for.
std::optional<SingleTableSelect> ReadSingleTableSelect(std::string_view sql);

// The statement that gives the row keys of `sql` in the order the engine gives its rows:
// `sql` as written (select list, aliases, positional ORDER BY and all) with the key
// expressions added after its select list and `orderTail` after its last clause, read
// through a subquery of which only the keys come out. Both engines keep the subquery's order
// for a plain outer query, and neither reads a column the outer query does not take.
std::string KeysetQuery(std::string_view sql, const SingleTableSelect& select,
                        const std::vector<std::string>& keyExpressions,
                        std::string_view orderTail = {});

}  // namespace vesk::data_access::detail
