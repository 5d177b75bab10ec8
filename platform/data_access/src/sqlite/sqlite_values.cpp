#include "sqlite/sqlite_values.h"

#include <sqlite3.h>

#include <cmath>
#include <limits>

#include <fmt/format.h>

#include "sqlite/sqlite_handle.h"
#include "vesk/data_access/data_access_error.h"

namespace vesk::data_access::detail {

namespace {

Variant SmallestInteger(std::int64_t value, bool allowInt16) {
    if (allowInt16 && value >= std::numeric_limits<std::int16_t>::min() &&
        value <= std::numeric_limits<std::int16_t>::max()) {
        return Variant(static_cast<std::int16_t>(value));
    }
    if (value >= std::numeric_limits<std::int32_t>::min() &&
        value <= std::numeric_limits<std::int32_t>::max()) {
        return Variant(static_cast<std::int32_t>(value));
    }
    return Variant(value);
}

std::string TextOf(sqlite3_stmt* statement, int index) {
    const unsigned char* text = sqlite3_column_text(statement, index);
    int size = sqlite3_column_bytes(statement, index);
    return std::string(reinterpret_cast<const char*>(text), static_cast<std::size_t>(size));
}

Bytes BytesOf(sqlite3_stmt* statement, int index) {
    const auto* data = static_cast<const std::uint8_t*>(sqlite3_column_blob(statement, index));
    int size = sqlite3_column_bytes(statement, index);
    return data ? Bytes(data, data + size) : Bytes();
}

// A value by its storage class alone, for columns whose declared type does not decide.
Variant ByStorageClass(sqlite3_stmt* statement, int index) {
    switch (sqlite3_column_type(statement, index)) {
        case SQLITE_INTEGER:
            return SmallestInteger(sqlite3_column_int64(statement, index), false);
        case SQLITE_FLOAT:
            return Variant(sqlite3_column_double(statement, index));
        case SQLITE_TEXT:
            return Variant(TextOf(statement, index));
        case SQLITE_BLOB:
            return Variant(BytesOf(statement, index));
        default:
            return Variant::Null();
    }
}

bool IsNumberStorage(int storage) {
    return storage == SQLITE_INTEGER || storage == SQLITE_FLOAT;
}

// The ISO text a date column stores for `text`. Throws DataAccessError naming `column` for a
// text that is no date, and for a day before the common era, which the stored form cannot
// tell from the same day after it.
std::string DateText(const std::string& text, std::string_view column) {
    if (DateTime::IsBeforeCommonEra(text)) {
        throw DataAccessError(fmt::format(
            "Data type mismatch: \"{}\" lies before the common era, which the column {} cannot "
            "hold",
            text, column));
    }
    auto date = DateTime::Parse(text);
    if (!date) {
        throw DataAccessError(fmt::format(
            "Data type mismatch: \"{}\" is not a date for the column {}", text, column));
    }
    return date->ToIso();
}

// The engine keeps the infinities but stores NaN as Null, losing it: NaN throws
// DataAccessError naming `column` instead.
double FiniteOrInfinite(const Variant& value, std::string_view column) {
    double number = value.ToDouble();
    if (std::isnan(number)) {
        throw DataAccessError(fmt::format(
            "Data type mismatch: NaN (not a number) cannot be stored in the column {}", column));
    }
    return number;
}

}  // namespace

Variant ReadColumnValue(sqlite3_stmt* statement, int index, ColumnType type) {
    int storage = sqlite3_column_type(statement, index);
    if (storage == SQLITE_NULL) {
        return Variant::Null();
    }
    switch (type.code) {
        case adBoolean:
            if (IsNumberStorage(storage)) {
                return Variant(sqlite3_column_double(statement, index) != 0);
            }
            break;
        case adSmallInt:
        case adTinyInt:
        case adUnsignedTinyInt:
        case adInteger:
        case adBigInt:
            if (storage == SQLITE_INTEGER) {
                std::int64_t value = sqlite3_column_int64(statement, index);
                return type.code == adBigInt ? Variant(value)
                                             : SmallestInteger(value, type.code != adInteger);
            }
            break;
        case adSingle:
        case adDouble:
        case adCurrency:
        case adNumeric:
        case adDecimal:
            if (IsNumberStorage(storage)) {
                return Variant(sqlite3_column_double(statement, index));
            }
            break;
        case adDate:
            if (storage == SQLITE_TEXT) {
                if (auto date = DateTime::Parse(TextOf(statement, index))) {
                    return Variant(*date);
                }
            }
            break;
        default:
            if (IsTextType(type.code) && storage != SQLITE_BLOB) {
                return Variant(TextOf(statement, index));
            }
            if (IsBinaryType(type.code)) {
                return Variant(BytesOf(statement, index));
            }
            break;
    }
    return ByStorageClass(statement, index);
}

void BindColumnValue(SqliteStatement& statement, int index, const Variant& value, ColumnType type,
                     std::string_view column) {
    if (value.IsMissing()) {
        statement.BindNull(index);
        return;
    }
    if (type.code == adBoolean && value.Type() != VariantType::Binary) {
        statement.BindInt64(index, value.ToBool() ? 1 : 0);
        return;
    }
    if (type.code == adDate && value.AsText()) {
        statement.BindText(index, DateText(*value.AsText(), column));
        return;
    }
    switch (value.Type()) {
        case VariantType::Bool:
            statement.BindInt64(index, value.ToBool() ? 1 : 0);
            return;
        case VariantType::Int16:
        case VariantType::Int32:
        case VariantType::Int64:
            statement.BindInt64(index, value.ToInt64());
            return;
        case VariantType::Double:
            sqlite3_bind_double(statement.Handle(), index, FiniteOrInfinite(value, column));
            return;
        case VariantType::Binary:
            statement.BindBlob(index, *value.AsBytes());
            return;
        case VariantType::Date:
            statement.BindText(index, value.AsDate()->ToIso());
            return;
        default:
            statement.BindText(index, value.ToText());
            return;
    }
}

}  // namespace vesk::data_access::detail
