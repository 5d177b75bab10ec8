#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace vesk::data_access {

using Bytes = std::vector<std::uint8_t>;

// A calendar date and time of day, to the second. Stored on the embedded engine as
// ISO-8601 text ("YYYY-MM-DD HH:MM:SS").
struct DateTime {
    int year = 1899;
    int month = 12;
    int day = 30;
    int hour = 0;
    int minute = 0;
    int second = 0;

    // Parses "YYYY-MM-DD", "YYYY-MM-DD HH:MM[:SS]", the same with a 'T' separator, or
    // "DD Mon YYYY" (English month abbreviation). Returns nothing when the text is not such a
    // date or names an impossible day.
    static std::optional<DateTime> Parse(std::string_view text);
    // Whether `text` is a date of the server's form for a day before the common era
    // ("4713-01-01 BC", "0044-03-15 12:00:00 BC"), which a DateTime cannot hold.
    static bool IsBeforeCommonEra(std::string_view text);
    // The day alone as "DD Mon YYYY" ("05 Mar 2009"), with the English month abbreviation.
    std::string ToDayMonthYear() const;
    // The ISO-8601 text of this value; the time part is left out when it is midnight.
    std::string ToIso() const;

    friend bool operator==(const DateTime&, const DateTime&) = default;
};

enum class VariantType { Empty, Null, Int16, Int32, Int64, Double, Bool, Text, Binary, Date };

// The tagged value that fields take and give. Text is UTF-8.
class Variant {
public:
    struct NullTag {
        friend bool operator==(NullTag, NullTag) = default;
    };

    Variant() = default;
    Variant(std::int16_t value) : m_value(value) {}
    Variant(std::int32_t value) : m_value(value) {}
    Variant(std::int64_t value) : m_value(value) {}
    Variant(double value) : m_value(value) {}
    Variant(bool value) : m_value(value) {}
    Variant(std::string value) : m_value(std::move(value)) {}
    Variant(std::string_view value) : m_value(std::string(value)) {}
    Variant(const char* value) : m_value(std::string(value)) {}
    Variant(Bytes value) : m_value(std::move(value)) {}
    Variant(DateTime value) : m_value(value) {}

    // The Null value: a column that holds no value.
    static Variant Null() { return Variant(NullTag{}); }

    VariantType Type() const { return static_cast<VariantType>(m_value.index()); }
    bool IsEmpty() const { return Type() == VariantType::Empty; }
    bool IsNull() const { return Type() == VariantType::Null; }
    // True for Empty and Null alike: the value carries nothing.
    bool IsMissing() const { return IsEmpty() || IsNull(); }
    bool IsNumeric() const;

    // The value as text under the "C" locale: numbers in shortest form, booleans as
    // "True"/"False", dates in ISO form, bytes as their raw content; Empty and Null give "".
    std::string ToText() const;
    // The value as a whole number. Throws DataAccessError when it is not numeric or boolean
    // (a numeric text is accepted).
    std::int64_t ToInt64() const;
    // The value as a double; same rules as ToInt64.
    double ToDouble() const;
    // Booleans as themselves, numbers as non-zero, texts "True"/"False"/"-1"/"0"/"1"
    // (any case). Throws DataAccessError otherwise.
    bool ToBool() const;
    // Bytes as themselves; text as its UTF-8 bytes; Empty and Null as no bytes.
    Bytes ToBytes() const;

    const std::string* AsText() const { return std::get_if<std::string>(&m_value); }
    const Bytes* AsBytes() const { return std::get_if<Bytes>(&m_value); }
    const DateTime* AsDate() const { return std::get_if<DateTime>(&m_value); }

    friend bool operator==(const Variant&, const Variant&) = default;

private:
    explicit Variant(NullTag tag) : m_value(tag) {}

    std::variant<std::monostate, NullTag, std::int16_t, std::int32_t, std::int64_t, double, bool,
                 std::string, Bytes, DateTime>
        m_value;
};

// A short name of the type, for messages ("Null", "Text", ...).
std::string_view VariantTypeName(VariantType type);

}  // namespace vesk::data_access
