#include "vesk/data_access/variant.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>

#include <fmt/format.h>

#include "text_util.h"
#include "vesk/data_access/data_access_error.h"

namespace vesk::data_access {

using detail::ToUpperAscii;
using detail::Trim;

namespace {

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Reads exactly `width` digits at `pos`; advances `pos`.
std::optional<int> ReadDigits(std::string_view text, std::size_t& pos, std::size_t width) {
    if (pos + width > text.size()) {
        return std::nullopt;
    }
    int value = 0;
    auto [end, error] = std::from_chars(text.data() + pos, text.data() + pos + width, value);
    if (error != std::errc() || end != text.data() + pos + width) {
        return std::nullopt;
    }
    pos += width;
    return value;
}

bool Expect(std::string_view text, std::size_t& pos, char wanted) {
    if (pos < text.size() && text[pos] == wanted) {
        ++pos;
        return true;
    }
    return false;
}

std::optional<double> NumberFromText(const std::string& text) {
    std::string_view trimmed = Trim(text);
    double value = 0;
    auto [end, error] = std::from_chars(trimmed.data(), trimmed.data() + trimmed.size(), value);
    if (error != std::errc() || end != trimmed.data() + trimmed.size() || trimmed.empty()) {
        return std::nullopt;
    }
    return value;
}

bool IsPossible(const DateTime& date) {
    return date.month >= 1 && date.month <= 12 && date.day >= 1 &&
           date.day <= DaysInMonth(date.year, date.month) && date.hour <= 23 && date.minute <= 59 &&
           date.second <= 59;
}

constexpr std::string_view kMonthNames[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// "DD Mon YYYY" (an English month abbreviation, any letter case); the time is midnight.
std::optional<DateTime> ParseDayMonthYear(std::string_view text) {
    std::size_t pos = 0;
    auto day = ReadDigits(text, pos, 2);
    if (!day || !Expect(text, pos, ' ') || pos + 4 > text.size()) {
        return std::nullopt;
    }
    std::string month = ToUpperAscii(text.substr(pos, 3));
    pos += 3;
    auto year = Expect(text, pos, ' ') ? ReadDigits(text, pos, 4) : std::nullopt;
    for (int index = 0; year && pos == text.size() && index < 12; ++index) {
        if (ToUpperAscii(kMonthNames[index]) == month) {
            DateTime result;
            result.year = *year;
            result.month = index + 1;
            result.day = *day;
            return result;
        }
    }
    return std::nullopt;
}

[[noreturn]] void ThrowNotConvertible(VariantType from, std::string_view to) {
    throw DataAccessError(
        fmt::format("Type mismatch: a {} value cannot be read as {}", VariantTypeName(from), to));
}

}  // namespace

std::optional<DateTime> DateTime::Parse(std::string_view text) {
    text = Trim(text);
    if (auto dayFirst = ParseDayMonthYear(text)) {
        return IsPossible(*dayFirst) ? dayFirst : std::nullopt;
    }
    DateTime result;
    std::size_t pos = 0;
    auto year = ReadDigits(text, pos, 4);
    if (!year || !Expect(text, pos, '-')) {
        return std::nullopt;
    }
    auto month = ReadDigits(text, pos, 2);
    if (!month || !Expect(text, pos, '-')) {
        return std::nullopt;
    }
    auto day = ReadDigits(text, pos, 2);
    if (!day) {
        return std::nullopt;
    }
    result.year = *year;
    result.month = *month;
    result.day = *day;
    if (pos < text.size()) {
        if (!Expect(text, pos, ' ') && !Expect(text, pos, 'T')) {
            return std::nullopt;
        }
        auto hour = ReadDigits(text, pos, 2);
        if (!hour || !Expect(text, pos, ':')) {
            return std::nullopt;
        }
        auto minute = ReadDigits(text, pos, 2);
        if (!minute) {
            return std::nullopt;
        }
        result.hour = *hour;
        result.minute = *minute;
        if (Expect(text, pos, ':')) {
            auto second = ReadDigits(text, pos, 2);
            if (!second) {
                return std::nullopt;
            }
            result.second = *second;
        }
        if (pos != text.size()) {
            return std::nullopt;
        }
    }
    if (!IsPossible(result)) {
        return std::nullopt;
    }
    return result;
}

bool DateTime::IsBeforeCommonEra(std::string_view text) {
    text = Trim(text);
    return text.size() > 3 && std::isdigit(static_cast<unsigned char>(text.front())) &&
           ToUpperAscii(text.substr(text.size() - 3)) == " BC";
}

std::string DateTime::ToDayMonthYear() const {
    std::string_view name = month >= 1 && month <= 12 ? kMonthNames[month - 1] : "???";
    return fmt::format("{:02} {} {:04}", day, name, year);
}

std::string DateTime::ToIso() const {
    if (hour == 0 && minute == 0 && second == 0) {
        return fmt::format("{:04}-{:02}-{:02}", year, month, day);
    }
    return fmt::format("{:04}-{:02}-{:02} {:02}:{:02}:{:02}", year, month, day, hour, minute,
                       second);
}

std::string_view VariantTypeName(VariantType type) {
    switch (type) {
        case VariantType::Empty:
            return "Empty";
        case VariantType::Null:
            return "Null";
        case VariantType::Int16:
            return "Integer";
        case VariantType::Int32:
            return "Long";
        case VariantType::Int64:
            return "BigInt";
        case VariantType::Double:
            return "Double";
        case VariantType::Bool:
            return "Boolean";
        case VariantType::Text:
            return "Text";
        case VariantType::Binary:
            return "Binary";
        case VariantType::Date:
            return "Date";
    }
    return "Unknown";
}

bool Variant::IsNumeric() const {
    switch (Type()) {
        case VariantType::Int16:
        case VariantType::Int32:
        case VariantType::Int64:
        case VariantType::Double:
            return true;
        default:
            return false;
    }
}

std::string Variant::ToText() const {
    switch (Type()) {
        case VariantType::Empty:
        case VariantType::Null:
            return {};
        case VariantType::Int16:
            return std::to_string(std::get<std::int16_t>(m_value));
        case VariantType::Int32:
            return std::to_string(std::get<std::int32_t>(m_value));
        case VariantType::Int64:
            return std::to_string(std::get<std::int64_t>(m_value));
        case VariantType::Double:
            return fmt::format("{}", std::get<double>(m_value));
        case VariantType::Bool:
            return std::get<bool>(m_value) ? "True" : "False";
        case VariantType::Text:
            return std::get<std::string>(m_value);
        case VariantType::Binary: {
            const Bytes& bytes = std::get<Bytes>(m_value);
            return std::string(bytes.begin(), bytes.end());
        }
        case VariantType::Date:
            return std::get<DateTime>(m_value).ToIso();
    }
    return {};
}

double Variant::ToDouble() const {
    switch (Type()) {
        case VariantType::Int16:
            return std::get<std::int16_t>(m_value);
        case VariantType::Int32:
            return std::get<std::int32_t>(m_value);
        case VariantType::Int64:
            return static_cast<double>(std::get<std::int64_t>(m_value));
        case VariantType::Double:
            return std::get<double>(m_value);
        case VariantType::Bool:
            return std::get<bool>(m_value) ? -1.0 : 0.0;
        case VariantType::Text:
            if (auto number = NumberFromText(std::get<std::string>(m_value))) {
                return *number;
            }
            break;
        default:
            break;
    }
    ThrowNotConvertible(Type(), "a number");
}

std::int64_t Variant::ToInt64() const {
    switch (Type()) {
        case VariantType::Int16:
            return std::get<std::int16_t>(m_value);
        case VariantType::Int32:
            return std::get<std::int32_t>(m_value);
        case VariantType::Int64:
            return std::get<std::int64_t>(m_value);
        default:
            break;
    }
    double number = ToDouble();
    if (!std::isfinite(number) || std::fabs(number) >= 9.2e18) {
        throw DataAccessError(fmt::format("Overflow: {} is not a whole number in range", number));
    }
    return static_cast<std::int64_t>(std::llround(number));
}

bool Variant::ToBool() const {
    if (Type() == VariantType::Bool) {
        return std::get<bool>(m_value);
    }
    if (IsNumeric()) {
        return ToDouble() != 0;
    }
    if (const std::string* text = AsText()) {
        std::string upper = ToUpperAscii(Trim(*text));
        if (upper == "TRUE" || upper == "YES" || upper == "ON") {
            return true;
        }
        if (upper == "FALSE" || upper == "NO" || upper == "OFF") {
            return false;
        }
        if (auto number = NumberFromText(*text)) {
            return *number != 0;
        }
    }
    ThrowNotConvertible(Type(), "a Boolean");
}

Bytes Variant::ToBytes() const {
    if (const Bytes* bytes = AsBytes()) {
        return *bytes;
    }
    if (IsMissing()) {
        return {};
    }
    std::string text = ToText();
    return Bytes(text.begin(), text.end());
}

}  // namespace vesk::data_access
