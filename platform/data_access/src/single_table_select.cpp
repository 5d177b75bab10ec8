#include "single_table_select.h"

#include <fmt/format.h>

#include "sql_tokens.h"
#include "text_util.h"

namespace vesk::data_access::detail {

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

// The index of the FROM that ends the select list; 0 when there is none, or when the list
// makes rows of its own (DISTINCT, a subquery, whose values no key of the table reads).
std::size_t FromOfSelectList(const std::vector<Token>& tokens) {
    int depth = 0;
    for (std::size_t index = 1; index < tokens.size(); ++index) {
        depth += DepthChange(tokens[index]);
        if (tokens[index].Is("DISTINCT") || (depth > 0 && tokens[index].Is("SELECT"))) {
            return 0;
        }
        if (depth == 0 && tokens[index].Is("FROM")) {
            return index;
        }
    }
    return 0;
}

}  // namespace

std::optional<SingleTableSelect> ReadSingleTableSelect(std::string_view sql) {
    std::vector<Token> tokens = Tokenize(sql);
    if (tokens.empty() || !tokens[0].Is("SELECT")) {
        return std::nullopt;
    }
    std::size_t from = FromOfSelectList(tokens);
    if (from == 0 || from + 1 >= tokens.size() || !tokens[from + 1].IsName()) {
        return std::nullopt;
    }
    std::size_t next = from + 2;
    bool clauseFollows = next == tokens.size() || tokens[next].IsPunct(';') ||
                         tokens[next].Is("WHERE") || tokens[next].Is("ORDER");
    if (!clauseFollows) {
        return std::nullopt;
    }
    SingleTableSelect select{UnquoteName(tokens[from + 1]), std::string(tokens[from + 1].text),
                             tokens[from].begin, tokens[from + 1].end, false};
    int depth = 0;
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

std::string KeysetQuery(std::string_view sql, const SingleTableSelect& select,
                        const std::vector<std::string>& keyExpressions,
                        std::string_view orderTail) {
    std::vector<std::string> added;
    std::vector<std::string> taken;
    for (std::size_t key_idx = 0; key_idx < keyExpressions.size(); ++key_idx) {
        std::string name = fmt::format("vesk_keyset_key_{}", key_idx);
        added.push_back(fmt::format("{} AS {}", keyExpressions[key_idx], name));
        taken.push_back(std::move(name));
    }
    // The select list keeps its last blank, which ends a comment that may close it.
    return fmt::format("SELECT {} FROM ({}, {} {}{}) AS vesk_keyset", JoinList(taken),
                       sql.substr(0, select.fromOffset), JoinList(added),
                       sql.substr(select.fromOffset, select.endOffset - select.fromOffset),
                       orderTail);
}

}  // namespace vesk::data_access::detail
