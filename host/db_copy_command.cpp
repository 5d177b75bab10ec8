#include "db_copy_command.h"

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <vector>

#include <fmt/format.h>

#include "command_ui.h"
#include "connection_option.h"
#include "db_build_option.h"
#include "progress_bar.h"
#include "vesk/data_access/catalog.h"
#include "vesk/data_access/connection_text.h"
#include "vesk/data_access/recordset.h"
#include "vesk/dbutil/database_utilities.h"

namespace vesk::host {

namespace {

namespace fs = std::filesystem;

struct CopyOptions {
    DatabaseOptions from;
    DatabaseOptions to;
    bool legacy = false;
};

// Draws the progress bar from ProgressUpsize: the table and how many tables are done.
class CopyProgress : public dbutil::DatabaseUtilitiesEvents {
public:
    CopyProgress(dbutil::DatabaseUtilities& utilities, Output& output)
        : m_utilities(utilities), m_bar(output) {
        m_utilities.Advise(this);
    }
    ~CopyProgress() override { m_utilities.Unadvise(this); }
    CopyProgress(const CopyProgress&) = delete;
    CopyProgress& operator=(const CopyProgress&) = delete;

    void ProgressUpsize(std::string& TableName, std::int16_t& TotalTables, std::int16_t&,
                        std::int16_t& TableNo) override {
        m_bar.Show(TableNo, TotalTables, TableName);
    }

private:
    dbutil::DatabaseUtilities& m_utilities;
    ProgressBar m_bar;
};

// The names of the tables (not views) of a database, in catalog order.
std::vector<std::string> TableNames(const data::ConnectionPtr& connection) {
    data::Catalog catalog;
    catalog.SetActiveConnection(connection);
    std::vector<std::string> names;
    const data::Tables& tables = catalog.Tables();
    for (long table_idx = 0; table_idx < tables.Count(); ++table_idx) {
        if (tables.Item(table_idx).Type() == "TABLE") {
            names.push_back(tables.Item(table_idx).Name());
        }
    }
    return names;
}

// Rows in `table`; 0 when it cannot be read (a table missing in the destination).
long RowCount(const data::ConnectionPtr& connection, const std::string& table) {
    try {
        data::Recordset rows;
        rows.Open("SELECT * FROM " + table, connection, data::adOpenKeyset, data::adLockReadOnly);
        return rows.RecordCount();
    } catch (const std::exception&) {
        return 0;
    }
}

// Copies `from` into `to` through the build `legacy` names and prints, per source table, the
// rows read and the rows added. Throws with the reason when the copy stopped early.
void CopyAndReport(const data::ConnectionPtr& from, const data::ConnectionPtr& to, bool legacy,
                   Output& output) {
    std::vector<std::string> names = TableNames(from);
    std::vector<long> before;
    for (const std::string& name : names) {
        before.push_back(RowCount(to, name));
    }
    {
        std::unique_ptr<dbutil::DatabaseUtilities> utilities = MakeUtilities(legacy);
        CopyProgress progress(*utilities, output);
        utilities->CopyDataFromDBtoDB(from, to);
        if (!utilities->CopyFailure().empty()) {
            throw std::runtime_error(utilities->CopyFailure());
        }
    }
    for (std::size_t table_idx = 0; table_idx < names.size(); ++table_idx) {
        output.out << fmt::format("{}: {} rows read, {} rows added\n", names[table_idx],
                                  RowCount(from, names[table_idx]),
                                  RowCount(to, names[table_idx]) - before[table_idx]);
    }
}

void RunCopy(const CopyOptions& options, Output& output) {
    CommandUi ui(output.err);
    data::ConnectionPtr from = OpenDatabase(options.from);
    data::ConnectionPtr to = OpenDatabase(options.to);
    CopyAndReport(from, to, options.legacy, output);
}

constexpr const char* kDemoPassword = "vesk-demo";

const std::vector<std::string> kDemoSchema = {
    "CREATE TABLE Employees (EmployeeCode Text (10), FullName Text (60), Salary DOUBLE, "
    "Active YESNO, HireDate Date)",
    "CREATE TABLE Departments (DeptCode Text (10), DeptName Text (60))",
};

const std::vector<std::string> kDemoRows = {
    "INSERT INTO Employees VALUES ('EMP001', '  Amara Okafor ', 52000, 1, '2019-04-01 09:00')",
    "INSERT INTO Employees VALUES ('EMP002', 'Chiara O''Neill', 48500.5, 0, '2021-11-15')",
    "INSERT INTO Employees VALUES ('O''B01', 'Liam O''Brien', NULL, NULL, NULL)",
    "INSERT INTO Departments VALUES ('FIN', 'Finance')",
};

data::ConnectionPtr MakeDemoFile(const fs::path& path, const std::vector<std::string>& statements,
                                 Output& output) {
    fs::remove(path);
    data::Catalog catalog;
    data::ConnectionPtr connection =
        catalog.Create(data::EmbeddedConnectionText(path.string(), kDemoPassword));
    for (const std::string& statement : statements) {
        connection->Execute(statement);
    }
    output.out << fmt::format("Created {} (password \"{}\")\n", path.string(), kDemoPassword);
    return connection;
}

void InstallCopy(CLI::App& db, CommandAction& action) {
    auto options = std::make_shared<CopyOptions>();
    CLI::App* command = db.add_subcommand(
        "copy", "add the rows of every table of one database that another one lacks");
    command->add_option("--from", options->from.database, "the source database")->required();
    command->add_option("--to", options->to.database, "the destination database")->required();
    command->add_option("--from-password", options->from.password, "the source's password");
    command->add_option("--to-password", options->to.password, "the destination's password");
    AddLegacyOption(*command, options->legacy);
    command->callback(
        [options, &action] { action = [options](Output& output) { RunCopy(*options, output); }; });
}

}  // namespace

void InstallDbCopyCommand(CLI::App& db, CommandAction& action) {
    InstallCopy(db, action);
}

void RunDataCopyDemo(const std::string& folder, Output& output) {
    CommandUi ui(output.err);
    fs::create_directories(folder);
    output.out << "\nDatabase utilities: copying data into a new database\n";
    std::vector<std::string> source = kDemoSchema;
    source.insert(source.end(), kDemoRows.begin(), kDemoRows.end());
    data::ConnectionPtr from = MakeDemoFile(fs::path(folder) / "copy-source.mdb", source, output);
    data::ConnectionPtr to =
        MakeDemoFile(fs::path(folder) / "copy-upsized.mdb", kDemoSchema, output);
    output.out << "\nCopying every table:\n";
    CopyAndReport(from, to, false, output);
    output.out << "\nCopying again: rows already there are left alone:\n";
    CopyAndReport(from, to, false, output);
}

}  // namespace vesk::host
