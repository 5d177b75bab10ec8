#include "criteria.h"

#include <cstdlib>
#include <optional>

#include <fmt/format.h>

#include "sql_tokens.h"
#include "text_util.h"
#include "vesk/data_access/data_access_error.h"
#include "vesk/data_access/letter_case.h"

namespace vesk::data_access::detail {

namespace {

[[noreturn]] void ThrowBadCriteria(std::string_view criteria, std::string_view why) {
    throw DataAccessError(fmt::format(
        "Arguments are of the wrong type, are out of acceptable range, or are in conflict with "
        "one another: cannot read the criteria \"{}\" ({})",
        criteria, why));
}

std::string UnquoteString(std::string_view quoted) {
    std::string value;
    std::string_view inner = quoted.substr(1, quoted.size() >= 2 ? quoted.size() - 2 : 0);
    for (std::size_t index = 0; index < inner.size(); ++index) {
        value += inner[index];
        if (inner[index] == '\'' && index + 1 < inner.size() && inner[index + 1] == '\'') {
            ++index;
        }
    }
    return value;
}

// Reads the operator at `pos`, which may span two punctuation tokens ("<>", "<=", ">=").
std::string ReadOperator(const std::vector<Token>& tokens, std::size_t& pos) {
    if (pos < tokens.size() && tokens[pos].Is("IS")) {
        ++pos;
        if (pos < tokens.size() && tokens[pos].Is("NOT")) {
            ++pos;
            return "<>";
        }
        return "=";
    }
    std::string op;
    while (pos < tokens.size() && tokens[pos].kind == TokenKind::Punct &&
           std::string_view("<>=").find(tokens[pos].text[0]) != std::string_view::npos &&
           op.size() < 2) {
        op += tokens[pos].text;
        ++pos;
    }
    return op;
}

// Reads a value at `pos`: a string, a (signed) number, #date#, True/False or Null.
std::optional<Variant> ReadValue(const std::vector<Token>& tokens, std::size_t& pos,
                                 std::string_view criteria) {
    if (pos >= tokens.size()) {
        return std::nullopt;
    }
    const Token& token = tokens[pos];
    if (token.kind == TokenKind::String) {
        ++pos;
        return Variant(UnquoteString(token.text));
    }
    if (token.IsPunct('#')) {
        std::size_t close = criteria.find('#', token.end);
        if (close == std::string_view::npos) {
            return std::nullopt;
        }
        auto date = DateTime::Parse(criteria.substr(token.end, close - token.end));
        while (pos < tokens.size() && tokens[pos].begin <= close) {
            ++pos;
        }
        return date ? std::optional<Variant>(Variant(*date)) : std::nullopt;
    }
    bool negative = token.IsPunct('-');
    std::size_t numberPos = negative ? pos + 1 : pos;
    if (numberPos < tokens.size() && tokens[numberPos].kind == TokenKind::Number) {
        pos = numberPos + 1;
        double number = std::strtod(std::string(tokens[numberPos].text).c_str(), nullptr);
        return Variant(negative ? -number : number);
    }
    if (token.Is("TRUE") || token.Is("FALSE")) {
        ++pos;
        return Variant(token.Is("TRUE"));
    }
    if (token.Is("NULL")) {
        ++pos;
        return Variant::Null();
    }
    return std::nullopt;
}

bool IsNumberLike(const Variant& value) {
    return value.IsNumeric() || value.Type() == VariantType::Bool;
}

// Numbers compare as numbers; anything else (dates in ISO form included) as text under the
// letter-case rule.
int CompareValues(const Variant& left, const Variant& right) {
    if (IsNumberLike(left) && IsNumberLike(right)) {
        double a = left.ToDouble();
        double b = right.ToDouble();
        return a < b ? -1 : a > b ? 1 : 0;
    }
    return CompareIgnoringCase(left.ToText(), right.ToText());
}

bool Equal(const Variant& value, const Variant& wanted) {
    if (wanted.Type() == VariantType::Bool) {
        return IsNumberLike(value) && value.ToBool() == wanted.ToBool();
    }
    if (IsNumberLike(value) && IsNumberLike(wanted)) {
        return value.ToDouble() == wanted.ToDouble();
    }
    return SameIgnoringCase(value.ToText(), wanted.ToText());
}

}  // namespace

std::vector<CriteriaTerm> ParseCriteria(std::string_view criteria) {
    std::vector<Token> tokens = Tokenize(criteria);
    std::vector<CriteriaTerm> terms;
    std::size_t pos = 0;
    while (pos < tokens.size()) {
        if (!tokens[pos].IsName()) {
            ThrowBadCriteria(criteria, "a column name was expected");
        }
        CriteriaTerm term;
        term.column = UnquoteName(tokens[pos++]);
        term.op = ReadOperator(tokens, pos);
        if (term.op != "=" && term.op != "<>" && term.op != "<" && term.op != ">" &&
            term.op != "<=" && term.op != ">=") {
            ThrowBadCriteria(criteria, "a comparison operator was expected");
        }
        auto value = ReadValue(tokens, pos, criteria);
        if (!value) {
            ThrowBadCriteria(criteria, "a value was expected");
        }
        if (value->IsNull() && term.op != "=" && term.op != "<>") {
            ThrowBadCriteria(criteria, "Null can only be compared with = or <>");
        }
        term.value = *value;
        terms.push_back(std::move(term));
        if (pos < tokens.size()) {
            if (!tokens[pos].Is("AND")) {
                ThrowBadCriteria(criteria, "terms must be joined by AND");
            }
            ++pos;
            if (pos == tokens.size()) {
                ThrowBadCriteria(criteria, "a term was expected after AND");
            }
        }
    }
    if (terms.empty()) {
        ThrowBadCriteria(criteria, "no term");
    }
    return terms;
}

bool Meets(const CriteriaTerm& term, const Variant& value) {
    if (term.value.IsNull() || value.IsMissing()) {
        bool bothNull = term.value.IsNull() && value.IsMissing();
        return term.op == "=" ? bothNull : term.op == "<>" && !bothNull && term.value.IsNull();
    }
    if (term.op == "=") {
        return Equal(value, term.value);
    }
    if (term.op == "<>") {
        return !Equal(value, term.value);
    }
    int order = CompareValues(value, term.value);
    if (term.op == "<") {
        return order < 0;
    }
    if (term.op == ">") {
        return order > 0;
    }
    return term.op == "<=" ? order <= 0 : order >= 0;
}

}  // namespace vesk::data_access::detail
