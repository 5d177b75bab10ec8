// Copying data between databases: adds to each destination table the source rows whose
// first-column value it lacks. Every step that fails is skipped and the copy goes on, except
// that a database that no longer answers ends it.
#include <optional>

#include "sql_names.h"
#include "table_copy.h"
#include "vesk/database_utilities/database_utilities.h"
#include "vesk/errors/ignoring_failures.h"

namespace vesk::database_utilities {

namespace {

// Source rows read together: one read of the database serves this many rows.
constexpr long kRowsReadTogether = 500;

long FieldCount(data_access::Recordset& rows) {
    long count = 0;
    IgnoringFailure(
        [&] { count = rows.State() == data_access::adStateOpen ? rows.Fields().Count() : 0; });
    return count;
}

// The entry's type, upper-cased, is "TABLE": views and system tables are not copied.
bool IsTableEntry(const data_access::Tables& tables, std::int16_t index) {
    std::string type;
    IgnoringFailure([&] { type = tables.Item(index).Type(); });
    for (char& c : type) {
        c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    }
    return type == "TABLE";
}

}  // namespace

void DatabaseUtilities::CopyDataFromDBtoDB(const data_access::ConnectionPtr& SourceConnection,
                                           const data_access::ConnectionPtr& DestConnection) {
    m_copyFailure.reset();
    m_copyReports.clear();
    data_access::Catalog catalog;
    std::optional<data_access::Tables> tables;
    if (!SourceConnection || !DestConnection || !IgnoringFailure([&] {
            catalog.SetActiveConnection(SourceConnection);
            tables = catalog.Tables();
        })) {
        return;
    }
    SourceConnection->SetAttributes(128);
    DestConnection->SetAttributes(128);
    const auto entries = static_cast<std::int16_t>(tables->Count());
    data_access::Recordset source;
    source.SetActiveConnection(SourceConnection);
    source.SetCacheSize(kRowsReadTogether);
    std::int16_t TableNo = 0;
    for (; TableNo < entries && !m_copyFailure; ++TableNo) {
        CopyTable(source, *tables, TableNo, DestConnection);
    }
    if (entries > 0 && !m_copyFailure) {
        FireProgressUpsize(tables->Item(entries - 1).Name(), entries,
                           static_cast<std::int16_t>(FieldCount(source)), TableNo);
    }
}

// One catalog entry: opens its rows, reports it, and copies them when it is a table. A
// listener that moves TableNo moves the rest of the pass to the entry it names.
void DatabaseUtilities::CopyTable(data_access::Recordset& source, const data_access::Tables& tables,
                                  std::int16_t& TableNo,
                                  const data_access::ConnectionPtr& destination) {
    source.Close();
    const std::string name = tables.Item(TableNo).Name();
    IgnoringFailure([&] {
        source.Open("SELECT * FROM " + detail::SqlName(name), source.ActiveConnection(),
                    data_access::adOpenKeyset, data_access::adLockOptimistic);
    });
    FireProgressUpsize(name, static_cast<std::int16_t>(tables.Count()),
                       static_cast<std::int16_t>(FieldCount(source)), TableNo);
    if (source.State() != data_access::adStateOpen || !IsTableEntry(tables, TableNo)) {
        return;
    }
    TableCopyReport& report = m_copyReports.emplace_back();
    report.table = tables.Item(TableNo).Name();
    if (source.IsEOF() || source.IsBOF()) {
        return;
    }
    detail::TableCopy copy(*this, source, destination, report.table, RowsPerCommit, report);
    m_copyFailure = copy.Run();
}

void DatabaseUtilities::FireProgressUpsize(std::string TableName, std::int16_t TotalTables,
                                           std::int16_t TotalFields, std::int16_t& TableNo) {
    Fire([&](DatabaseUtilitiesEvents& listener) {
        listener.ProgressUpsize(TableName, TotalTables, TotalFields, TableNo);
    });
}

}  // namespace vesk::database_utilities
