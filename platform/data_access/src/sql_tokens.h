#pragma once

#include <string>
#include <string_view>
#include <vector>

// A small SQL tokenizer: enough to find clauses, names and column definitions in the
// statements this layer inspects, without evaluating anything.
namespace vesk::data_access::detail {

enum class TokenKind { Word, QuotedName, String, Number, Punct };

struct Token {
    TokenKind kind;
    std::string_view text;  // the token as written, quotes included
    std::size_t begin;      // offset in the statement
    std::size_t end;

    // True when the token is the keyword `word` (compared ignoring case).
    bool Is(std::string_view word) const;
    bool IsPunct(char c) const {
        return kind == TokenKind::Punct && text.size() == 1 && text[0] == c;
    }
    bool IsName() const { return kind == TokenKind::Word || kind == TokenKind::QuotedName; }
};

// Splits a statement into tokens, skipping blanks and comments. An unterminated quote runs
// to the end of the text.
std::vector<Token> Tokenize(std::string_view sql);

// The name a token stands for: quotes ("", [], ``) removed and doubled quotes undone.
std::string UnquoteName(const Token& token);

}  // namespace vesk::data_access::detail
