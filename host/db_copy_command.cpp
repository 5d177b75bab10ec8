#include "db_copy_command.h"

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <vector>

#include <fmt/format.h>

#include "command_ui.h"
#include "connection_option.h"
#include "copy_summary.h"
#include "db_build_option.h"
#include "progress_bar.h"
#include "vesk/data_access/catalog.h"
#include "vesk/data_access/connection_text.h"
#include "vesk/data_access/recordset.h"
#include "vesk/database_utilities/database_utilities.h"
#include "vesk/errors/error.h"

namespace vesk::host {

namespace {

namespace fs = std::filesystem;

// New rows the command commits together: it has no host that re-enters it during the event
// pumps, so it takes the faster way unless told otherwise.
constexpr long kRowsPerCommit = 5000;

struct CopyOptions {
    DatabaseOptions from;
    DatabaseOptions to;
    bool legacy = false;
    long rowsPerCommit = kRowsPerCommit;
    bool quiet = false;
};

// Draws the progress bar from ProgressUpsize: the table and how many tables are done.
class CopyProgress : public database_utilities::DatabaseUtilitiesEvents {
public:
    CopyProgress(database_utilities::DatabaseUtilities& utilities, Output& output)
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
    database_utilities::DatabaseUtilities& m_utilities;
    ProgressBar m_bar;
};

// Copies `from` into `to` through the build `options.legacy` names and prints, per source
// table, what became of its rows. Throws with the reason when the copy stopped early or left
// rows behind.
void CopyAndReport(const data_access::ConnectionPtr& from, const data_access::ConnectionPtr& to,
                   const CopyOptions& options, Output& output) {
    std::unique_ptr<database_utilities::DatabaseUtilities> utilities =
        MakeUtilities(options.legacy);
    utilities->RowsPerCommit = options.rowsPerCommit;
    {
        CopyProgress progress(*utilities, output);
        utilities->CopyDataFromDBtoDB(from, to);
    }
    PrintCopySummary(utilities->CopyReports(), output.out);
    if (utilities->CopyFailure()) {
        throw *utilities->CopyFailure();
    }
    RequireNothingLeftBehind(utilities->CopyReports());
}

void RunCopy(const CopyOptions& options, Output& output) {
    CommandUi ui(output.err);
    data_access::ConnectionPtr from = OpenDatabase(options.from);
    data_access::ConnectionPtr to = OpenDatabase(options.to);
    CopyAndReport(from, to, options, output);
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

data_access::ConnectionPtr MakeDemoFile(const fs::path& path,
                                        const std::vector<std::string>& statements,
                                        Output& output) {
    fs::remove(path);
    data_access::Catalog catalog;
    data_access::ConnectionPtr connection =
        catalog.Create(data_access::EmbeddedConnectionText(path.string(), kDemoPassword));
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
    options->from.password.AddTo(*command, "from-password", "VESK_PASSWORD", "the source's");
    options->to.password.AddTo(*command, "to-password", "VESK_TO_PASSWORD", "the destination's");
    command
        ->add_option("--rows-per-commit", options->rowsPerCommit,
                     "new rows committed together (default 5000, faster; the rows of a group "
                     "are seen by other connections only once it is committed, and an "
                     "interruption loses the group being filled. 1 commits every row before "
                     "the next, as the library does by default)")
        ->check(CLI::PositiveNumber);
    AddLegacyOption(*command, options->legacy);
    AddQuietOption(*command, options->quiet);
    command->callback([options, &action] {
        action = [options](Output& output) {
            Output shown = QuietIf(options->quiet, output);
            RunCopy(*options, shown);
        };
    });
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
    data_access::ConnectionPtr from =
        MakeDemoFile(fs::path(folder) / "copy-source.mdb", source, output);
    data_access::ConnectionPtr to =
        MakeDemoFile(fs::path(folder) / "copy-upsized.mdb", kDemoSchema, output);
    output.out << "\nCopying every table:\n";
    CopyAndReport(from, to, CopyOptions{}, output);
    output.out << "\nCopying again: rows already there are left alone:\n";
    CopyAndReport(from, to, CopyOptions{}, output);
}

}  // namespace vesk::host
