// Copying data between databases: adds to each destination table the source rows whose
// first-column value it lacks. Every step that fails is skipped and the copy goes on.
#include <charconv>
#include <cmath>
#include <optional>
#include <set>
#include <unordered_set>

#include <fmt/format.h>

#include "new_rows.h"
#include "sql_names.h"
#include "vesk/data_access/data_access_error.h"
#include "vesk/data_access/sql_text.h"
#include "vesk/dbutil/database_utilities.h"
#include "vesk/events/ignoring_failures.h"
#include "vesk/ui/current_ui.h"

namespace vesk::dbutil {

namespace {

using data::Variant;
using platform::IgnoringFailure;

// New rows sent together and committed in one transaction: spares a sync per row, and a
// server takes the group in a few round trips.
constexpr long kRowsPerCommit = 5000;
// Source rows read together: one read of the database serves this many rows.
constexpr long kRowsReadTogether = 500;

enum class FieldGroup { Numeric, Date, Text, Boolean, Binary, NotCopied };

FieldGroup GroupOf(data::DataTypeEnum code) {
    using namespace data;
    switch (code) {
        case adSmallInt:
        case adInteger:
        case adSingle:
        case adDouble:
        case adCurrency:
        case adDecimal:
        case adTinyInt:
        case adUnsignedTinyInt:
        case adUnsignedSmallInt:
        case adUnsignedInt:
        case adBigInt:
        case adUnsignedBigInt:
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

// The number at the start of `text`: a sign, digits with at most one '.', an exponent; 0 when
// no digit was read. The decimal point is always '.', whatever the locale.
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

// The value a destination field gets for `value` of a field of `group`; nothing when the field
// is left unassigned. Throws when the value cannot be converted.
std::optional<Variant> DestinationValue(FieldGroup group, const Variant& value) {
    switch (group) {
        case FieldGroup::Numeric:
            if (value.IsNull() || IsEmptyText(value)) {
                return Variant(std::int16_t{0});
            }
            if (value.IsNumeric()) {
                // What its text form would read back as; NaN and the infinities go on as they
                // are, for the destination to hold or refuse, never as 0.
                return Variant(value.ToDouble());
            }
            return Variant(LeadingNumber(TrimBlanks(value.ToText())));
        case FieldGroup::Text:
            if (value.IsNull() || IsEmptyText(value)) {
                return Variant();
            }
            return Variant(value.AsText() ? TrimBlanks(*value.AsText())
                                          : TrimBlanks(value.ToText()));
        case FieldGroup::Date: {
            if (value.IsNull()) {
                return Variant();
            }
            if (value.AsText() && data::DateTime::IsBeforeCommonEra(*value.AsText())) {
                return value;  // the destination holds it, or refuses it with its reason
            }
            std::optional<data::DateTime> date =
                value.AsDate() ? *value.AsDate()
                               : data::DateTime::Parse(TrimBlanks(value.ToText()));
            if (!date) {
                throw data::DataAccessError("Type mismatch: \"" + value.ToText() + "\" is no date");
            }
            return Variant(date->ToDayMonthYear());
        }
        case FieldGroup::Boolean:
            return Variant(std::int16_t{
                value.IsNull() || value.ToDouble() == 0 ? std::int16_t{0} : std::int16_t{-1}});
        default:
            return std::nullopt;
    }
}

std::string LowerAscii(std::string text) {
    for (char& c : text) {
        c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return text;
}

// A key the database may compare as a number (a numeric column converts the quoted text).
bool LooksNumeric(std::string_view text) {
    std::size_t first = text.find_first_not_of(" \t\n\r");
    return first != std::string_view::npos &&
           (IsDigit(text[first]) || text[first] == '+' || text[first] == '-' || text[first] == '.');
}

// The number a whole key spells, blanks around it allowed; nothing for any other text.
std::optional<double> WholeNumber(std::string_view text) {
    std::size_t first = text.find_first_not_of(" \t\n\r");
    std::size_t last = text.find_last_not_of(" \t\n\r");
    if (first == std::string_view::npos) {
        return std::nullopt;
    }
    text = text.substr(first, last - first + 1);
    text.remove_prefix(text.starts_with('+') && text.size() > 1 ? 1 : 0);
    double value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || std::isnan(value)) {
        return std::nullopt;
    }
    return value;
}

// The first-column values of a destination table, read once, so that a key it cannot hold
// costs no query (the column has no index: each query would read the whole table). Keys are
// compared ignoring letter case, and numbers by their value (a key that looks like a number
// without being one is never ruled out), so that every key the database might find equal
// goes on to the database's own query. Only text and number columns are read; a key of any
// other column always goes to the database, which alone knows how it compares its values.
class DestinationKeys {
public:
    DestinationKeys(const data::ConnectionPtr& destination, const std::string& table,
                    const std::string& column) {
        m_known = IgnoringFailure([&] {
            data::Recordset rows;
            rows.Open("SELECT " + column + " FROM " + table, destination, data::adOpenKeyset,
                      data::adLockReadOnly);
            data::Field field = rows.Fields().Item(0L);
            const FieldGroup group = GroupOf(field.Type());
            if (group != FieldGroup::Text && group != FieldGroup::Numeric) {
                throw data::DataAccessError("not a text or number column");
            }
            for (; !rows.IsEOF(); rows.MoveNext()) {
                Claim(rows.Fields().Item(0L).Value().ToText());
            }
        });
    }

    // Whether the destination may hold `key`. The key counts as held from now on: its row is
    // about to be added, or the database is asked about it.
    bool MayHoldElseClaim(const std::string& key) { return !m_known || Claim(key); }

private:
    // Counts `key` as held; returns whether it may have been held before.
    bool Claim(const std::string& key) {
        const std::optional<double> number = WholeNumber(key);
        bool mayHold = !m_keys.insert(LowerAscii(key)).second;
        if (!mayHold && LooksNumeric(key)) {
            mayHold = !number || m_numbers.contains(*number);
        }
        if (number) {
            m_numbers.insert(*number);
        }
        return mayHold;
    }

    bool m_known = false;
    std::unordered_set<std::string> m_keys;
    std::set<double> m_numbers;
};

// Whether the destination holds a row whose `column` equals `key`; nothing when that cannot
// be told (a missing table or column, a lost connection), with the reason in `failure`.
std::optional<bool> FoundInDestination(const data::ConnectionPtr& destination,
                                       const std::string& table, const std::string& column,
                                       const std::string& key, std::string& failure) {
    try {
        data::Recordset rows;
        rows.Open(
            "SELECT * FROM " + table + " WHERE " + column + "='" + data::EscapeSqlText(key) + "'",
            destination, data::adOpenKeyset, data::adLockOptimistic);
        return rows.RecordCount() > 0;
    } catch (const std::exception& error) {
        failure = error.what();
        return std::nullopt;
    }
}

// Whether `connection` still answers: a step that failed on a database that does not is no
// refused row but the end of the copy.
bool Answers(data::Connection& connection) {
    return IgnoringFailure([&] { connection.Execute("SELECT 1"); });
}

long FieldCount(data::Recordset& rows) {
    long count = 0;
    IgnoringFailure([&] { count = rows.State() == data::adStateOpen ? rows.Fields().Count() : 0; });
    return count;
}

bool IsTableEntry(const data::Tables& tables, std::int16_t index) {
    bool table = false;
    IgnoringFailure([&] { table = LowerAscii(tables.Item(index).Type()) == "table"; });
    return table;
}

}  // namespace

namespace detail {

// The destination side of one table's copy: its names as they stand in statements, the keys
// it holds and the new rows on their way.
struct RowCopy {
    RowCopy(const data::ConnectionPtr& destinationConnection, const std::string& tableName,
            const std::string& columnName)
        : destination(destinationConnection),
          table(SqlName(tableName)),
          column(SqlName(columnName)),
          keys(destination, table, column),
          rows(destination, table, kRowsPerCommit) {}

    const data::ConnectionPtr& destination;
    const std::string table;
    const std::string column;
    DestinationKeys keys;
    NewRows rows;
};

}  // namespace detail

void DatabaseUtilities::CopyDataFromDBtoDB(const data::ConnectionPtr& SourceConnection,
                                           const data::ConnectionPtr& DestConnection) {
    m_copyFailure.clear();
    data::Catalog catalog;
    std::optional<data::Tables> tables;
    if (!SourceConnection || !DestConnection || !IgnoringFailure([&] {
            catalog.SetActiveConnection(SourceConnection);
            tables = catalog.Tables();
        })) {
        return;
    }
    SourceConnection->SetAttributes(128);
    DestConnection->SetAttributes(128);
    const auto entries = static_cast<std::int16_t>(tables->Count());
    data::Recordset source;
    source.SetActiveConnection(SourceConnection);
    source.SetCacheSize(kRowsReadTogether);
    std::int16_t TableNo = 0;
    for (; TableNo < entries && m_copyFailure.empty(); ++TableNo) {
        CopyTable(source, *tables, TableNo, DestConnection);
    }
    if (entries > 0 && m_copyFailure.empty()) {
        FireProgressUpsize(tables->Item(entries - 1).Name(), entries,
                           static_cast<std::int16_t>(FieldCount(source)), TableNo);
    }
}

// One catalog entry: opens its rows, reports it, and copies them when it is a table. A
// listener that moves TableNo moves the rest of the pass to the entry it names.
void DatabaseUtilities::CopyTable(data::Recordset& source, const data::Tables& tables,
                                  std::int16_t& TableNo, const data::ConnectionPtr& destination) {
    source.Close();
    const std::string name = tables.Item(TableNo).Name();
    IgnoringFailure([&] {
        source.Open("SELECT * FROM " + detail::SqlName(name), source.ActiveConnection(),
                    data::adOpenKeyset, data::adLockOptimistic);
    });
    FireProgressUpsize(name, static_cast<std::int16_t>(tables.Count()),
                       static_cast<std::int16_t>(FieldCount(source)), TableNo);
    if (source.State() != data::adStateOpen || !IsTableEntry(tables, TableNo) || source.IsEOF() ||
        source.IsBOF()) {
        return;
    }
    CopyRows(source, tables.Item(TableNo).Name(), destination);
}

// The rows of one non-empty table, in the source's order, with one event pump per row. Ends
// early when the destination no longer answers.
void DatabaseUtilities::CopyRows(data::Recordset& source, const std::string& table,
                                 const data::ConnectionPtr& destination) {
    std::string column;
    if (!IgnoringFailure([&] { column = source.Fields().Item(0L).Name(); })) {
        return;
    }
    detail::RowCopy copy(destination, table, column);
    bool atEnd = !IgnoringFailure([&] { source.MoveFirst(); });
    while (!atEnd && IgnoringFailure([&] { atEnd = source.IsEOF(); }) && !atEnd) {
        if (DestinationLost(table, CopyRow(source, copy), *destination)) {
            return;
        }
        atEnd = !IgnoringFailure([&] { source.MoveNext(); });
        if (!atEnd) {
            platform::Ui().DoEvents();
        }
    }
    DestinationLost(table, copy.rows.Finish(), *destination);
}

// Whether a step that failed for `failure` (none when empty) failed because the destination
// no longer answers; the copy then stops with that reason.
bool DatabaseUtilities::DestinationLost(const std::string& table, const std::string& failure,
                                        data::Connection& destination) {
    if (failure.empty() || Answers(destination)) {
        return false;
    }
    m_copyFailure = fmt::format(
        "The copy stopped in the table {}: the destination database no longer answers: {}", table,
        failure);
    return true;
}

// Adds the source's current row unless the destination holds its key, or may hold it and
// cannot tell. Returns why a step failed (a row then not stored), or nothing.
std::string DatabaseUtilities::CopyRow(data::Recordset& source, detail::RowCopy& copy) {
    std::string failure;
    try {
        std::string key = source.Fields().Item(0L).Value().ToText();
        std::optional<bool> found = false;
        if (copy.keys.MayHoldElseClaim(key)) {
            failure = copy.rows.Store();  // the rows on their way count as held
            found = FoundInDestination(copy.destination, copy.table, copy.column, key, failure);
        }
        if (found == false) {
            const bool binary = AddRow(source, copy.rows.Target());
            std::string refused = copy.rows.RowAdded(binary);
            failure = failure.empty() ? refused : failure;
        }
    } catch (const std::exception& error) {
        failure = error.what();
    }
    return failure;
}

// Adds a copy of the source's current row; a row the database refuses is dropped whole.
// Returns whether the row holds a binary value.
bool DatabaseUtilities::AddRow(data::Recordset& source, data::Recordset& added) {
    added.AddNew();
    const bool binary = CopyFields(source, added);
    try {
        added.Update();
    } catch (const std::exception&) {
        added.CancelUpdate();
        throw;
    }
    return binary;
}

// Each field by its group; one that fails is left unassigned and the others still go.
// Returns whether a binary value was copied.
bool DatabaseUtilities::CopyFields(data::Recordset& source, data::Recordset& destination) {
    data::Fields from = source.Fields();
    data::Fields to = destination.Fields();
    const long count = from.Count();
    bool binary = false;
    for (long column_idx = 0; column_idx < count; ++column_idx) {
        IgnoringFailure([&] {
            data::Field field = from.Item(column_idx);
            const FieldGroup group = GroupOf(field.Type());
            if (group == FieldGroup::Binary) {
                if (field.ActualSize() > 0 || !field.Value().IsNull()) {
                    binary = true;
                    data::Field target = to.Item(column_idx);
                    CopyLargeField(field, target, source);
                }
                return;
            }
            if (std::optional<Variant> value = DestinationValue(group, field.Value())) {
                to.Item(field.Name()).SetValue(*value);
            }
        });
    }
    return binary;
}

void DatabaseUtilities::FireProgressUpsize(std::string TableName, std::int16_t TotalTables,
                                           std::int16_t TotalFields, std::int16_t& TableNo) {
    Fire([&](DatabaseUtilitiesEvents& listener) {
        listener.ProgressUpsize(TableName, TotalTables, TotalFields, TableNo);
    });
}

}  // namespace vesk::dbutil
