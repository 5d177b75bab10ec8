#include "postgres/pg_values.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>

#include <fmt/format.h>

#include "vesk/data_access/data_access_error.h"

namespace vesk::data_access::detail {

namespace {

struct PgTypeRule {
    unsigned oid;
    std::string_view name;
    ColumnType type;
    bool sizedByModifier;  // varchar(n), char(n): the modifier holds n + 4
};

// The server's built-in types (pg_type oids) that have an ADO counterpart.
constexpr PgTypeRule kTypeRules[] = {
    {16, "boolean", {adBoolean, 2}, false},
    {17, "bytea", {adLongVarBinary, 0}, false},
    {18, "\"char\"", {adWChar, 1}, false},
    {19, "name", {adVarWChar, 63}, false},
    {20, "bigint", {adBigInt, 8}, false},
    {21, "smallint", {adSmallInt, 2}, false},
    {23, "integer", {adInteger, 4}, false},
    {25, "text", {adLongVarWChar, 0}, false},
    {26, "oid", {adUnsignedInt, 4}, false},
    {700, "real", {adSingle, 4}, false},
    {701, "double precision", {adDouble, 8}, false},
    {790, "money", {adCurrency, 8}, false},
    {1042, "character", {adWChar, 0}, true},
    {1043, "character varying", {adVarWChar, 0}, true},
    {1082, "date", {adDBDate, 6}, false},
    {1083, "time without time zone", {adDBTime, 6}, false},
    {1114, "timestamp without time zone", {adDBTimeStamp, 16}, false},
    {1184, "timestamp with time zone", {adDBTimeStamp, 16}, false},
    {1700, "numeric", {adNumeric, 19}, false},
    {2950, "uuid", {adGUID, 16}, false},
};

constexpr int kVarlenaHeader = 4;

template <typename Number>
std::optional<Number> ParseNumber(std::string_view text) {
    Number number{};
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return number;
}

template <typename Number>
Variant NumberOrText(std::string_view text) {
    auto number = ParseNumber<Number>(text);
    return number ? Variant(*number) : Variant(std::string(text));
}

// Money in the C locale: "$1,234.50", "-$0.10".
Variant MoneyValue(std::string_view text) {
    std::string digits;
    std::copy_if(text.begin(), text.end(), std::back_inserter(digits),
                 [](char c) { return c != '$' && c != ','; });
    return NumberOrText<double>(digits);
}

// Dates and timestamps to the second; a fraction or a time zone after the seconds is dropped.
// A value outside the calendar DateTime knows ("infinity", a day BC) stays the server's text,
// whose era mark follows the time.
Variant DateValue(std::string_view text) {
    if (DateTime::IsBeforeCommonEra(text)) {
        return Variant(std::string(text));
    }
    if (auto date = DateTime::Parse(text.substr(0, std::min<std::size_t>(text.size(), 19)))) {
        return Variant(*date);
    }
    return Variant(std::string(text));
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return c >= 'A' && c <= 'F' ? c - 'A' + 10 : 0;
}

Variant ByteaValue(std::string_view text) {
    if (text.starts_with("\\x")) {
        text.remove_prefix(2);
    }
    Bytes bytes(text.size() / 2);
    for (std::size_t index = 0; index < bytes.size(); ++index) {
        bytes[index] = static_cast<std::uint8_t>(HexDigit(text[2 * index]) * 16 +
                                                 HexDigit(text[2 * index + 1]));
    }
    return Variant(std::move(bytes));
}

bool IsIntegerColumn(DataTypeEnum code) {
    return code == adSmallInt || code == adInteger || code == adBigInt || code == adUnsignedInt;
}

bool IsDateColumn(DataTypeEnum code) {
    return code == adDate || code == adDBDate || code == adDBTimeStamp;
}

PgParam TextParam(std::string text) {
    return PgParam{std::move(text), false};
}

// The server's own forms of dates that a DateTime cannot hold, as DateValue reads them: the
// server itself checks them.
bool IsServerOnlyDate(std::string_view text) {
    return DateTime::IsBeforeCommonEra(text) || text == "infinity" || text == "-infinity";
}

// A date column's parameter for a text: a date DateTime reads, or a form only the server
// holds. Throws DataAccessError naming `column` for any other text.
PgParam DateParam(const std::string& text, std::string_view column) {
    if (IsServerOnlyDate(text)) {
        return TextParam(text);
    }
    auto date = DateTime::Parse(text);
    if (!date) {
        throw DataAccessError(fmt::format(
            "Data type mismatch: \"{}\" is not a date for the column {}", text, column));
    }
    return TextParam(date->ToIso());
}

// A whole number column's parameter for a fraction, rounded half away from zero as the
// server's own cast rounds. Throws DataAccessError for NaN and the infinities, which no whole
// number column holds.
PgParam WholeNumberParam(double number, std::string_view column) {
    if (!std::isfinite(number)) {
        throw DataAccessError(fmt::format(
            "Data type mismatch: {} is not a number the whole number column {} can hold", number,
            column));
    }
    return TextParam(fmt::format("{:.0f}", std::round(number)));
}

}  // namespace

ColumnInfo PgColumnInfo(std::string name, unsigned typeOid, int typeModifier) {
    ColumnInfo column{std::move(name), {}, {adLongVarWChar, 0}};
    auto rule = std::find_if(std::begin(kTypeRules), std::end(kTypeRules),
                             [&](const PgTypeRule& candidate) { return candidate.oid == typeOid; });
    if (rule == std::end(kTypeRules)) {
        return column;
    }
    column.declaredType = std::string(rule->name);
    column.type = rule->type;
    if (rule->sizedByModifier && typeModifier >= kVarlenaHeader) {
        column.type.definedSize = typeModifier - kVarlenaHeader;
        column.declaredType += fmt::format("({})", column.type.definedSize);
    } else if (rule->sizedByModifier && rule->type.code == adVarWChar) {
        column.type = {adLongVarWChar, 0};  // a varchar without a length is a long text
    }
    return column;
}

Variant PgReadValue(std::string_view text, ColumnType type) {
    switch (type.code) {
        case adBoolean:
            return Variant(text == "t");
        case adSmallInt:
            return NumberOrText<std::int16_t>(text);
        case adInteger:
            return NumberOrText<std::int32_t>(text);
        case adBigInt:
        case adUnsignedInt:
            return NumberOrText<std::int64_t>(text);
        case adSingle:
        case adDouble:
        case adNumeric:
            return NumberOrText<double>(text);
        case adCurrency:
            return MoneyValue(text);
        case adDBDate:
        case adDBTimeStamp:
            return DateValue(text);
        case adLongVarBinary:
            return ByteaValue(text);
        default:
            return Variant(std::string(text));
    }
}

PgParam PgParamFor(const Variant& value, ColumnType type, std::string_view column) {
    if (value.IsMissing()) {
        return PgParam{};
    }
    if (IsBinaryType(type.code)) {
        Bytes bytes = value.ToBytes();
        return PgParam{std::string(bytes.begin(), bytes.end()), true};
    }
    if (type.code == adBoolean) {
        return TextParam(value.ToBool() ? "t" : "f");
    }
    if (IsDateColumn(type.code) && value.AsText()) {
        return DateParam(*value.AsText(), column);
    }
    if (IsIntegerColumn(type.code) && value.Type() == VariantType::Double) {
        return WholeNumberParam(value.ToDouble(), column);
    }
    switch (value.Type()) {
        case VariantType::Bool:
            return TextParam(value.ToBool() ? "1" : "0");  // as the embedded engine stores it
        case VariantType::Date:
            return TextParam(value.AsDate()->ToIso());
        default:
            return TextParam(value.ToText());
    }
}

}  // namespace vesk::data_access::detail
