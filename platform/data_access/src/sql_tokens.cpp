#include "sql_tokens.h"

#include <cctype>

#include "text_util.h"

namespace vesk::data_access::detail {

namespace {

bool IsWordChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$' ||
           static_cast<unsigned char>(c) >= 0x80;
}

// The end of a quoted run starting at `pos` with opening `open` and closing `close`;
// a doubled closing quote stays inside.
std::size_t QuotedEnd(std::string_view sql, std::size_t pos, char close) {
    for (std::size_t index = pos + 1; index < sql.size(); ++index) {
        if (sql[index] == close) {
            if (close != ']' && index + 1 < sql.size() && sql[index + 1] == close) {
                ++index;
                continue;
            }
            return index + 1;
        }
    }
    return sql.size();
}

std::size_t SkipBlanksAndComments(std::string_view sql, std::size_t pos) {
    while (pos < sql.size()) {
        if (std::isspace(static_cast<unsigned char>(sql[pos]))) {
            ++pos;
        } else if (sql.substr(pos, 2) == "--") {
            std::size_t end = sql.find('\n', pos);
            pos = end == std::string_view::npos ? sql.size() : end + 1;
        } else if (sql.substr(pos, 2) == "/*") {
            std::size_t end = sql.find("*/", pos + 2);
            pos = end == std::string_view::npos ? sql.size() : end + 2;
        } else {
            break;
        }
    }
    return pos;
}

}  // namespace

bool Token::Is(std::string_view word) const {
    return kind == TokenKind::Word && EqualsIgnoringCase(text, word);
}

std::vector<Token> Tokenize(std::string_view sql) {
    std::vector<Token> tokens;
    std::size_t pos = SkipBlanksAndComments(sql, 0);
    while (pos < sql.size()) {
        char c = sql[pos];
        TokenKind kind = TokenKind::Punct;
        std::size_t end = pos + 1;
        if (c == '\'') {
            kind = TokenKind::String;
            end = QuotedEnd(sql, pos, '\'');
        } else if (c == '"' || c == '`' || c == '[') {
            kind = TokenKind::QuotedName;
            end = QuotedEnd(sql, pos, c == '[' ? ']' : c);
        } else if (std::isdigit(static_cast<unsigned char>(c))) {
            kind = TokenKind::Number;
            while (end < sql.size() && (IsWordChar(sql[end]) || sql[end] == '.')) {
                ++end;
            }
        } else if (IsWordChar(c)) {
            kind = TokenKind::Word;
            while (end < sql.size() && IsWordChar(sql[end])) {
                ++end;
            }
        }
        tokens.push_back({kind, sql.substr(pos, end - pos), pos, end});
        pos = SkipBlanksAndComments(sql, end);
    }
    return tokens;
}

std::string UnquoteName(const Token& token) {
    if (token.kind != TokenKind::QuotedName || token.text.size() < 2) {
        return std::string(token.text);
    }
    char close = token.text.front() == '[' ? ']' : token.text.front();
    std::string_view inner = token.text.substr(1, token.text.size() - 2);
    std::string name;
    for (std::size_t index = 0; index < inner.size(); ++index) {
        name += inner[index];
        if (close != ']' && inner[index] == close && index + 1 < inner.size() &&
            inner[index + 1] == close) {
            ++index;
        }
    }
    return name;
}

}  // namespace vesk::data_access::detail
