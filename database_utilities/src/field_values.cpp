#include "field_values.h"

#include <charconv>
#include <cmath>
#include <string>

#include "vesk/data_access/data_access_error.h"

namespace vesk::database_utilities::detail {

namespace {

using data_access::Variant;

// Leading and trailing blanks (U+0020) only.
std::string TrimBlanks(std::string_view text) {
    std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

bool IsEmptyText(const Variant& value) {
    const std::string* text = value.AsText();
    return text != nullptr && text->empty();
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsWholeNumber(const Variant& value) {
    const data_access::VariantType type = value.Type();
    return type == data_access::VariantType::Int16 || type == data_access::VariantType::Int32 ||
           type == data_access::VariantType::Int64;
}

Variant NumericValue(const Variant& value, bool wholeNumbers) {
    if (value.IsNull() || IsEmptyText(value)) {
        return Variant(std::int16_t{0});
    }
    if (wholeNumbers && IsWholeNumber(value)) {
        return Variant(value.ToInt64());
    }
    if (value.IsNumeric()) {
        // What its text form would read back as; NaN and the infinities go on as they are,
        // for the destination to hold or refuse, never as 0.
        return Variant(value.ToDouble());
    }
    return Variant(LeadingNumber(TrimBlanks(value.ToText())));
}

std::optional<Variant> DateValue(const Variant& value) {
    if (value.IsNull()) {
        return Variant();
    }
    if (value.AsText() && data_access::DateTime::IsBeforeCommonEra(*value.AsText())) {
        return value;  // the destination holds it, or refuses it with its reason
    }
    std::optional<data_access::DateTime> date =
        value.AsDate() ? *value.AsDate() : data_access::DateTime::Parse(TrimBlanks(value.ToText()));
    if (!date) {
        throw data_access::DataAccessError("Type mismatch: \"" + value.ToText() + "\" is no date");
    }
    return Variant(date->ToDayMonthYear());
}

}  // namespace

FieldGroup GroupOf(data_access::DataTypeEnum code) {
    using namespace data_access;
    if (IsWholeNumberType(code)) {
        return FieldGroup::Numeric;
    }
    switch (code) {
        case adSingle:
        case adDouble:
        case adCurrency:
        case adDecimal:
        case adNumeric:
            return FieldGroup::Numeric;
        case adDate:
        case adDBDate:
        case adDBTime:
        case adDBTimeStamp:
            return FieldGroup::Date;
        case adBSTR:
        case adChar:
        case adWChar:
        case adChapter:
        case adVarChar:
        case adLongVarChar:
        case adVarWChar:
        case adLongVarWChar:
            return FieldGroup::Text;
        case adBoolean:
            return FieldGroup::Boolean;
        case adBinary:
        case adVarBinary:
        case adLongVarBinary:
            return FieldGroup::Binary;
        default:
            return FieldGroup::NotCopied;
    }
}

bool IsWholeNumberType(data_access::DataTypeEnum code) {
    using namespace data_access;
    switch (code) {
        case adTinyInt:
        case adSmallInt:
        case adInteger:
        case adBigInt:
        case adUnsignedTinyInt:
        case adUnsignedSmallInt:
        case adUnsignedInt:
        case adUnsignedBigInt:
            return true;
        default:
            return false;
    }
}

double LeadingNumber(std::string_view text) {
    std::size_t pos = text.empty() || (text[0] != '+' && text[0] != '-') ? 0 : 1;
    const std::size_t start = pos;
    bool point = false;
    std::size_t digits = 0;
    for (; pos < text.size() && (IsDigit(text[pos]) || (text[pos] == '.' && !point)); ++pos) {
        point = point || text[pos] == '.';
        digits += IsDigit(text[pos]) ? 1 : 0;
    }
    if (digits == 0) {
        return 0;
    }
    std::size_t end = pos;
    if (pos < text.size() && (text[pos] == 'E' || text[pos] == 'e')) {
        std::size_t exponent = pos + 1;
        exponent += exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-');
        const std::size_t exponentDigits = exponent;
        while (exponent < text.size() && IsDigit(text[exponent])) {
            ++exponent;
        }
        end = exponent > exponentDigits ? exponent : end;
    }
    double value = 0;
    std::from_chars(text.data() + start, text.data() + end, value);
    return text[0] == '-' ? -value : value;
}

std::optional<Variant> DestinationValue(FieldGroup group, const Variant& value, bool wholeNumbers) {
    switch (group) {
        case FieldGroup::Numeric:
            return NumericValue(value, wholeNumbers);
        case FieldGroup::Text:
            if (value.IsNull() || IsEmptyText(value)) {
                return Variant();
            }
            return Variant(value.AsText() ? TrimBlanks(*value.AsText())
                                          : TrimBlanks(value.ToText()));
        case FieldGroup::Date:
            return DateValue(value);
        case FieldGroup::Boolean:
            return Variant(std::int16_t{
                value.IsNull() || value.ToDouble() == 0 ? std::int16_t{0} : std::int16_t{-1}});
        default:
            return std::nullopt;
    }
}

}  // namespace vesk::database_utilities::detail
