// Schema repair: brings the main database's tables and columns into line with the template's.
// Every step that fails is skipped and the repair goes on; what the database refuses is
// collected in FailedStatements.
#include <algorithm>
#include <cctype>
#include <exception>
#include <memory>
#include <optional>

#include "build_flavour.h"
#include "messages.h"
#include "schema_statements.h"
#include "vesk/database_utilities/database_utilities.h"
#include "vesk/errors/ignoring_failures.h"
#include "vesk/ui/current_ui.h"

namespace vesk::database_utilities {

namespace detail {

struct FixRun {
    SchemaStatements statements{DBDefault};  // in the main database's dialect
    data_access::ConnectionPtr connection;   // the fix connection: carries every statement
    // Both held for the whole call, so that a listener that releases or refreshes the
    // catalogs meanwhile cannot pull them from under the loops.
    std::optional<data_access::Tables> templateTables;
    data_access::CatalogPtr mainCatalog;
    std::int16_t TotalTables = 0;
    std::int16_t TableNo = 0;
    std::int16_t TotalFields = 0;
    std::int16_t FieldNo = 0;
    std::int16_t TablesCreates = 0;
    std::int16_t FieldsCreated = 0;
    bool createRefused = false;  // the database refused the CREATE TABLE of the current table
};

}  // namespace detail

namespace {

bool IsTableEntry(const data_access::Table& entry) {
    std::string type = entry.Type();
    std::ranges::transform(type, type.begin(),
                           [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return type == "TABLE";
}

// A lookup that fails means the table is missing.
bool MainTableExists(data_access::Catalog& main, const std::string& table) {
    try {
        return !main.Tables().Item(table).Name().empty();
    } catch (const std::exception&) {
        return false;
    }
}

// The main column's defined size; nothing when any part of the lookup fails.
std::optional<std::int64_t> MainColumnSize(data_access::Catalog& main, const std::string& table,
                                           const std::string& column) {
    try {
        const data_access::Column& found = main.Tables().Item(table).Columns().Item(column);
        return found.Name().empty() ? std::nullopt : std::optional(found.DefinedSize());
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

void ShowCannotFix() {
    ui::Ui().MessageBox(messages::kCannotFixFields, messages::kExclamation,
                        messages::kFixFieldsErrorTitle);
}

}  // namespace

void DatabaseUtilities::FixFields(const std::string& TableName) {
    m_failedStatements.clear();
    detail::FixRun run;
    if (!StartFix(run)) {
        return;
    }
    run.TotalTables = static_cast<std::int16_t>(run.templateTables->Count());
    if (m_flavour->clearsClipboard) {
        IgnoringFailure([] { ui::Ui().ClearClipboard(); });
    }
    const std::int16_t entries = run.TotalTables;
    for (std::int16_t index = 0; index < entries && !OperationCancelled; ++index) {
        ++run.TableNo;
        FixCatalogEntry(run, index, TableName);
    }
    FireEntryProgress({}, run.TotalTables, run.TotalTables);
    Fire([&](DatabaseUtilitiesEvents& listener) {
        listener.ProcessDone(run.TablesCreates, run.FieldsCreated);
    });
}

// Opens the fix connection and makes sure both catalogs can be read. When either fails the
// user is told, and nothing else happens: no event, no statement, the clipboard untouched.
// A repair without its connection or its catalogs would report counts of statements that
// never ran.
bool DatabaseUtilities::StartFix(detail::FixRun& run) {
    run.statements = detail::SchemaStatements(DBType);
    std::string connectionFailure;
    if (m_fixConnection) {
        m_fixConnection->SetStatementTrace(m_statementTrace);
        run.connection = m_fixConnection;
    }
    try {
        if (!run.connection) {
            run.connection = OpenFixConnection();
        }
    } catch (const std::exception& error) {
        connectionFailure = error.what();
    }
    if (!CheckConnections() || !ReadCatalogs(run)) {
        ShowCannotFix();
        return false;
    }
    if (!run.connection) {
        ui::Ui().MessageBox(connectionFailure, messages::kExclamation,
                            messages::kConnectionErrorTitle);
        ShowCannotFix();
        return false;
    }
    return true;
}

// Reads both catalogs afresh: the main database may have changed since the last call, and
// catalogs left unconnected by a failed MakeConnections cannot be read at all.
bool DatabaseUtilities::ReadCatalogs(detail::FixRun& run) {
    return IgnoringFailure([&] {
        m_templateCatalog->Refresh();
        m_mainCatalog->Refresh();
        run.templateTables = m_templateCatalog->Tables();
        m_mainCatalog->Tables();
        run.mainCatalog = m_mainCatalog;
    });
}

// The name picks the entry; whether a view or system table is picked too is the build's
// choice. Either way only a table ever gets a statement.
void DatabaseUtilities::FixCatalogEntry(detail::FixRun& run, long index,
                                        const std::string& TableName) {
    const data_access::Table& entry = run.templateTables->Item(index);
    const bool isTable = IsTableEntry(entry);
    if ((isTable || !m_flavour->picksTablesOnly) &&
        (TableName.empty() || entry.Name() == TableName)) {
        run.createRefused = false;
        if (isTable && !MainTableExists(*run.mainCatalog, entry.Name())) {
            CreateMissingTable(run, entry);
        }
        FixColumns(run, entry, isTable);
    }
    FireEntryProgress(entry.Name(), run.TotalTables, run.TableNo);
}

// The table is created with the template's first column; the other columns are then added
// one by one as missing.
void DatabaseUtilities::CreateMissingTable(detail::FixRun& run, const data_access::Table& table) {
    std::string statement;
    bool built = IgnoringFailure([&] {
        const data_access::Column& first = table.Columns().Item(0L);
        statement = run.statements.CreateTable(table.Name(), first.Name(), ColumnTypeText(first));
    });
    if (!built) {
        return;
    }
    run.createRefused = !RunStatement(run, statement);
    ++run.TablesCreates;
    // The catalog keeps the table list it read; without a new reading every column of the new
    // table would look missing, and its first column would be added a second time.
    run.mainCatalog->Refresh();
}

// Each column is counted and reported; only a table's columns are looked up and fixed.
void DatabaseUtilities::FixColumns(detail::FixRun& run, const data_access::Table& table,
                                   bool isTable) {
    const data_access::Columns* columns = nullptr;
    IgnoringFailure([&] { columns = &table.Columns(); });
    run.TotalFields = columns ? static_cast<std::int16_t>(columns->Count()) : 0;
    run.FieldNo = 0;
    const std::int16_t fields = run.TotalFields;
    for (std::int16_t column_idx = 0; column_idx < fields; ++column_idx) {
        ++run.FieldNo;
        if (isTable && column_idx == 0 && run.createRefused) {
            // The refused CREATE TABLE carried this column; an ADD of it would only be refused
            // again. It is counted all the same: hosts rely on the totals the events carry.
            ++run.FieldsCreated;
        } else if (isTable) {
            FixColumn(run, table, columns->Item(column_idx));
        }
        FireProgress(table.Name(), run.TotalTables, run.TotalFields, run.FieldNo, run.TableNo);
    }
}

// Adds a missing column, or alters one whose defined size differs from the template's. A
// column of the same size is left alone, whatever its type.
void DatabaseUtilities::FixColumn(detail::FixRun& run, const data_access::Table& table,
                                  const data_access::Column& column) {
    std::optional<std::int64_t> mainSize =
        MainColumnSize(*run.mainCatalog, table.Name(), column.Name());
    std::string suffix;
    std::string type =
        GetFieldTypeName(column.Type(), static_cast<double>(column.DefinedSize()), suffix);
    if (mainSize == column.DefinedSize() ||
        (mainSize && !run.statements.AltersForSize(!suffix.empty()))) {
        return;
    }
    RunStatement(run, mainSize
                          ? run.statements.AlterColumn(table.Name(), column.Name(), type + suffix)
                          : run.statements.AddColumn(table.Name(), column.Name(), type + suffix));
    if (mainSize) {
        IgnoringFailure([] { ui::Ui().DoEvents(); });
    }
    ++run.FieldsCreated;
}

// A connection of its own on the main database, opened as the host's connection was: from
// its text, with the user and password the host gave beside the text.
data_access::ConnectionPtr DatabaseUtilities::OpenFixConnection() const {
    auto connection = std::make_shared<data_access::Connection>();
    connection->SetStatementTrace(m_statementTrace);
    if (MainFileConnection) {
        connection->OpenAlike(*MainFileConnection);
    } else {
        connection->Open();
    }
    return connection;
}

std::string DatabaseUtilities::ColumnTypeText(const data_access::Column& column) const {
    std::string suffix;
    std::string type =
        GetFieldTypeName(column.Type(), static_cast<double>(column.DefinedSize()), suffix);
    return type + suffix;
}

bool DatabaseUtilities::RunStatement(detail::FixRun& run, const std::string& statement) {
    try {
        run.connection->Execute(statement);
        return true;
    } catch (const std::exception& error) {
        m_failedStatements.push_back({statement, error.what()});
        return false;
    }
}

void DatabaseUtilities::FireProgress(std::string TableName, std::int16_t& TotalTables,
                                     std::int16_t& TotalFields, std::int16_t& FieldNo,
                                     std::int16_t& TableNo) {
    Fire([&](DatabaseUtilitiesEvents& listener) {
        listener.Progress(TableName, TotalTables, TotalFields, FieldNo, TableNo);
    });
}

void DatabaseUtilities::FireEntryProgress(std::string TableName, std::int16_t& TotalTables,
                                          std::int16_t& TableNo) {
    std::int16_t noFields = 0;
    std::int16_t noField = 0;
    FireProgress(std::move(TableName), TotalTables, noFields, noField, TableNo);
}

}  // namespace vesk::database_utilities
