#include "single_table_select.h"

#include <vector>

#include "sql_tokens.h"

namespace vesk::data::detail {

namespace {

// Words after the table that make the rows something other than the table's own rows.
bool EndsKeyedRows(const Token& token) {
    for (std::string_view word : {"GROUP", "HAVING", "UNION", "INTERSECT", "EXCEPT", "LIMIT",
                                  "OFFSET", "FETCH", "WINDOW"}) {
        if (token.Is(word)) {
            return true;
        }
    }
    return false;
}

int DepthChange(const Token& token) {
    return token.IsPunct('(') ? 1 : token.IsPunct(')') ? -1 : 0;
}

}  // namespace

std::optional<SingleTableSelect> ReadSingleTableSelect(std::string_view sql) {
    std::vector<Token> tokens = Tokenize(sql);
    if (tokens.empty() || !tokens[0].Is("SELECT")) {
        return std::nullopt;
    }
    int depth = 0;
    std::size_t from = 0;
    for (std::size_t index = 1; index < tokens.size() && from == 0; ++index) {
        depth += DepthChange(tokens[index]);
        if (tokens[index].Is("DISTINCT")) {
            return std::nullopt;
        }
        if (depth == 0 && tokens[index].Is("FROM")) {
            from = index;
        }
    }
    if (from == 0 || from + 1 >= tokens.size() || !tokens[from + 1].IsName()) {
        return std::nullopt;
    }
    std::size_t next = from + 2;
    bool clauseFollows = next == tokens.size() || tokens[next].IsPunct(';') ||
                         tokens[next].Is("WHERE") || tokens[next].Is("ORDER");
    if (!clauseFollows) {
        return std::nullopt;
    }
    SingleTableSelect select{UnquoteName(tokens[from + 1]), tokens[from].begin,
                             tokens[from + 1].end, false};
    depth = 0;
    for (std::size_t index = next; index < tokens.size(); ++index) {
        if (EndsKeyedRows(tokens[index])) {
            return std::nullopt;
        }
        depth += DepthChange(tokens[index]);
        select.ordered = select.ordered || (depth == 0 && tokens[index].Is("ORDER"));
        if (!tokens[index].IsPunct(';')) {
            select.endOffset = tokens[index].end;
        }
    }
    return select;
}

}  // namespace vesk::data::detail
