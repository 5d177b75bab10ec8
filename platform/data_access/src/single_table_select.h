#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vesk::data::detail {

// What a plain "SELECT ... FROM table [WHERE ...] [ORDER BY ...]" reads: the table as written
// (quotes removed), where its FROM clause starts and where the statement's last clause ends
// (before a closing ';' or comment), and whether it sorts its rows.
struct SingleTableSelect {
    std::string table;
    std::size_t fromOffset = 0;
    std::size_t endOffset = 0;
    bool ordered = false;
};

// Reads `sql` as a one-table SELECT; nothing for any other statement (joins, DISTINCT,
// grouping, set operations, row limits), whose rows no table key can stand for.
std::optional<SingleTableSelect> ReadSingleTableSelect(std::string_view sql);

}  // namespace vesk::data::detail
