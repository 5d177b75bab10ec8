#include "db_command.h"

#include <stdlib.h>

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>

#include <fmt/format.h>

#include "command_ui.h"
#include "connection_option.h"
#include "db_build_option.h"
#include "db_compact_command.h"
#include "db_copy_command.h"
#include "progress_bar.h"
#include "row_printer.h"
#include "vesk/data_access/catalog.h"
#include "vesk/data_access/connection_text.h"
#include "vesk/data_access/data_access_error.h"
#include "vesk/data_access/password_mask.h"
#include "vesk/data_access/recordset.h"
#include "vesk/data_access/transaction.h"
#include "vesk/database_utilities/database_utilities.h"
#include "vesk/errors/error.h"
#include "vesk/files/temp_names.h"
#include "vesk/ui/console_ui_services.h"
#include "vesk/ui/current_ui.h"

namespace vesk::host {

namespace {

namespace fs = std::filesystem;
using database_utilities::DatabaseUtilities;

struct CreateOptions {
    std::string path;
    PasswordInput password;
    bool quiet = false;
};

struct FixOptions {
    std::string templatePath;
    PasswordInput templatePassword;
    DatabaseOptions database;
    database_utilities::DBTypes type = database_utilities::DBDefault;
    std::string table;
    bool dryRun = false;
    bool legacy = false;
    bool quiet = false;
};

// Follows one repair: prints each statement as it is issued, draws a progress bar on standard
// error while that is a terminal, and keeps the totals.
class RepairReport : public database_utilities::DatabaseUtilitiesEvents {
public:
    RepairReport(DatabaseUtilities& utilities, Output& output)
        : m_utilities(utilities), m_output(output), m_bar(output) {
        m_utilities.Advise(this);
        m_utilities.SetStatementTrace(
            [this](data_access::StatementKind kind, std::string_view sql) {
                if (kind == data_access::StatementKind::Command) {
                    m_bar.Clear();
                    m_output.out << sql << '\n';
                }
            });
    }
    ~RepairReport() override {
        m_utilities.Unadvise(this);
        m_utilities.SetStatementTrace({});
    }
    RepairReport(const RepairReport&) = delete;
    RepairReport& operator=(const RepairReport&) = delete;

    void Progress(std::string& TableName, std::int16_t& TotalTables, std::int16_t&, std::int16_t&,
                  std::int16_t& TableNo) override {
        m_bar.Show(TableNo, TotalTables, TableName);
    }
    void ProcessDone(std::int16_t& TablesCreates, std::int16_t& FieldsCreated) override {
        m_totals =
            fmt::format("tables created: {}, fields created: {}", TablesCreates, FieldsCreated);
    }

    // Prints the totals (which count refused statements too, as the events do), how many
    // statements were refused, and each of them. Throws when the repair could not run or a
    // statement was refused.
    void Finish() {
        m_bar.Clear();
        if (!m_totals) {
            throw Error("the database was not repaired");
        }
        const auto& failures = m_utilities.FailedStatements();
        m_output.out << *m_totals
                     << (failures.empty()
                             ? std::string()
                             : fmt::format(", statements refused: {}", failures.size()))
                     << '\n';
        for (const database_utilities::FailedStatement& failure : failures) {
            m_output.err << fmt::format("refused: {}: {}\n", failure.statement,
                                        failure.description);
        }
        if (!failures.empty()) {
            throw Error(fmt::format("the database refused {} of the statements", failures.size()));
        }
    }

private:
    DatabaseUtilities& m_utilities;
    Output& m_output;
    ProgressBar m_bar;
    std::optional<std::string> m_totals;
};

// Throws when the template has no table `table` (compared ignoring case), which a repair of
// that table alone would pass over without a word.
void RequireTemplateTable(const FixOptions& options) {
    if (options.table.empty()) {
        return;
    }
    RequireDatabaseFile(options.templatePath);
    auto connection = std::make_shared<data_access::Connection>();
    connection->Open(data_access::EmbeddedConnectionText(options.templatePath,
                                                         options.templatePassword.Value()));
    data_access::Catalog catalog;
    catalog.SetActiveConnection(connection);
    try {
        catalog.Tables().Item(options.table);
    } catch (const data_access::DataAccessError&) {
        throw Error(
            fmt::format("the template {} has no table {}", options.templatePath, options.table));
    }
}

// Repairs the database open on `main` against `templatePath`, reporting as RepairReport does.
// With a `fixConnection` the statements go through it instead of a connection of their own.
void Repair(const data_access::ConnectionPtr& main, const FixOptions& options, Output& output,
            const data_access::ConnectionPtr& fixConnection = {}) {
    std::unique_ptr<DatabaseUtilities> utilities = MakeUtilities(options.legacy);
    utilities->SetTemplateFilePath(options.templatePath);
    utilities->TemplatePWD = options.templatePassword.Value();
    utilities->DBType = options.type;
    utilities->MainFileConnection = main;
    utilities->SetFixConnection(fixConnection);
    RepairReport report(*utilities, output);
    utilities->FixFields(options.table);
    report.Finish();
}

// A dry run on a server database: the repair reads the catalog and runs its statements on
// one connection inside a transaction, which is rolled back whatever happens.
void DryRunOnServer(const FixOptions& options, Output& output) {
    data_access::ConnectionPtr main = OpenDatabase(options.database);
    data_access::Transaction dryRun(main);
    Repair(main, options, output, main);
    dryRun.Rollback();
}

// A copy of an embedded database (with its rollback journal, if one is left) in a fresh
// temporary folder, which goes away with the object.
class ThrowawayCopy {
public:
    explicit ThrowawayCopy(const DatabaseOptions& original) {
        data_access::ConnectionSettings settings = data_access::ParseConnectionText(
            ConnectionTextFor(original.database, original.password.Value()));
        if (settings.provider != data_access::Provider::EmbeddedFile) {
            throw Error("--dry-run needs a main database file");
        }
        std::string folder = files::TempFolder() + "vesk-dry-run-XXXXXX";
        if (::mkdtemp(folder.data()) == nullptr) {
            throw Error("cannot make a temporary folder for the dry run");
        }
        m_folder = folder;
        fs::path copy = m_folder / fs::path(settings.path).filename();
        fs::copy_file(settings.path, copy);
        if (fs::exists(settings.path + "-journal")) {
            fs::copy_file(settings.path + "-journal", copy.string() + "-journal");
        }
        const std::string& password = original.password.Value();
        m_options = {copy.string(), PasswordInput(password.empty() ? settings.password : password)};
    }
    ~ThrowawayCopy() {
        std::error_code ignored;
        fs::remove_all(m_folder, ignored);
    }
    ThrowawayCopy(const ThrowawayCopy&) = delete;
    ThrowawayCopy& operator=(const ThrowawayCopy&) = delete;

    // The options that open the copy.
    const DatabaseOptions& Options() const { return m_options; }

private:
    fs::path m_folder;
    DatabaseOptions m_options;
};

bool IsServerDatabase(const DatabaseOptions& options) {
    return data_access::ParseConnectionText(
               ConnectionTextFor(options.database, options.password.Value()))
               .provider == data_access::Provider::PostgreSql;
}

// Every connection of the repair is opened with the password given: the host's own, and the
// one the repair opens for its statements alike.
void RunFix(const FixOptions& options, Output& output) {
    CommandUi ui(output.err);
    RequireTemplateTable(options);
    if (options.dryRun && IsServerDatabase(options.database)) {
        DryRunOnServer(options, output);
        return;
    }
    std::optional<ThrowawayCopy> copy;
    const DatabaseOptions& database =
        options.dryRun ? copy.emplace(options.database).Options() : options.database;
    Repair(OpenDatabase(database), options, output);
}

// Creates the database file `path` keyed with `password` through the utilities.
void CreateDatabaseFile(const std::string& path, const std::string& password) {
    DatabaseUtilities utilities;
    utilities.TemplatePWD = password;
    if (!utilities.CreateDatabase(path)) {
        throw Error("no database was created at " + path);
    }
}

// A path makes a file; a connection text makes the database it names, a file (keyed with its
// password) or a database on the server. --password stands in place of the text's.
void RunCreate(const CreateOptions& options, Output& output) {
    CommandUi ui(output.err);
    const std::string& given = options.password.Value();
    if (!IsConnectionText(options.path)) {
        CreateDatabaseFile(options.path, given);
        output.out << fmt::format("Created {}{}\n", options.path,
                                  given.empty() ? "" : " (encrypted)");
        return;
    }
    data_access::ConnectionSettings settings = data_access::ParseConnectionText(options.path);
    std::string password = given.empty() ? settings.password : given;
    if (settings.provider == data_access::Provider::EmbeddedFile) {
        CreateDatabaseFile(settings.path, password);
        output.out << fmt::format("Created {}{}\n", settings.path,
                                  password.empty() ? "" : " (encrypted)");
        return;
    }
    data_access::Catalog().Create(options.path, given);
    output.out << fmt::format("Created the server database of {}\n",
                              data_access::MaskPasswords(options.path));
}

void InstallCreate(CLI::App& db, CommandAction& action) {
    auto options = std::make_shared<CreateOptions>();
    CLI::App* command = db.add_subcommand(
        "create", "create a new, empty database: a file, or the database a connection text names");
    command->add_option("path,--db", options->path, "the file to create, or a connection text")
        ->required();
    options->password.AddTo(*command, "password", "VESK_PASSWORD", "the new database's");
    AddQuietOption(*command, options->quiet);
    command->callback([options, &action] {
        action = [options](Output& output) {
            Output shown = QuietIf(options->quiet, output);
            RunCreate(*options, shown);
        };
    });
}

void InstallFix(CLI::App& db, CommandAction& action) {
    auto options = std::make_shared<FixOptions>();
    CLI::App* command =
        db.add_subcommand("fix", "bring a database's tables and columns into line with a template");
    command->add_option("--template", options->templatePath, "the template database file")
        ->required();
    options->templatePassword.AddTo(*command, "template-password", "VESK_TEMPLATE_PASSWORD",
                                    "the template's");
    AddDatabaseOptions(*command, options->database);
    const std::map<std::string, database_utilities::DBTypes> types = {
        {"default", database_utilities::DBDefault},
        {"sqlserver", database_utilities::DBSqlServer},
        {"oracle", database_utilities::DBOracle},
        {"postgresql", database_utilities::DBPostgreSQL}};
    command
        ->add_option("--type", options->type,
                     "the main database's SQL dialect: default, sqlserver, oracle or postgresql")
        ->transform(CLI::CheckedTransformer(types, CLI::ignore_case).description(""));
    command->add_option("--table", options->table, "repair only this template table");
    command->add_flag("--dry-run", options->dryRun,
                      "print the statements a repair would run, changing nothing (a file is "
                      "repaired as a copy, a server database in a transaction rolled back)");
    AddLegacyOption(*command, options->legacy);
    AddQuietOption(*command, options->quiet);
    command->callback([options, &action] {
        action = [options](Output& output) {
            Output shown = QuietIf(options->quiet, output);
            RunFix(*options, shown);
        };
    });
}

constexpr const char* kDemoPassword = "vesk-demo";

const std::vector<std::string> kDemoTemplate = {
    "CREATE TABLE Employees (EmployeeCode Text (10), FirstName Text (50), LastName Text (50), "
    "Salary DOUBLE, Active YESNO, HireDate Date, Notes Memo)",
    "CREATE TABLE Departments (DeptCode Text (10), DeptName Text (60))",
    "CREATE TABLE Payslips (EmployeeCode Text (10), PayDate Date, Gross DOUBLE, Net DOUBLE)",
};

const std::vector<std::string> kDemoOlderPayroll = {
    "CREATE TABLE Employees (EmployeeCode Text (10), FirstName Text (20), LastName Text (20))",
    "INSERT INTO Employees VALUES ('EMP001', 'Amara', 'Okafor')",
    "INSERT INTO Employees VALUES ('EMP003', 'Chiara', 'O''Neill')",
};

data_access::ConnectionPtr OpenDemoDatabase(const fs::path& path) {
    auto connection = std::make_shared<data_access::Connection>();
    connection->Open(data_access::EmbeddedConnectionText(path.string(), kDemoPassword));
    return connection;
}

// A new demo database made by the utilities, in place of an earlier one, holding `statements`.
fs::path MakeDemoDatabase(const std::string& folder, const std::string& name,
                          const std::vector<std::string>& statements, Output& output) {
    fs::path path = fs::path(folder) / name;
    fs::remove(path);
    CreateDatabaseFile(path.string(), kDemoPassword);
    data_access::ConnectionPtr connection = OpenDemoDatabase(path);
    for (const std::string& statement : statements) {
        connection->Execute(statement);
    }
    output.out << fmt::format(
        "Created {} (password \"{}\"){}\n", path.string(), kDemoPassword,
        statements.empty() ? ""
                           : fmt::format(" and filled it with {} statements", statements.size()));
    return path;
}

void RepairDemoDatabase(const fs::path& templatePath, const fs::path& path, Output& output) {
    output.out << fmt::format("\nRepairing {} against {}:\n", path.filename().string(),
                              templatePath.filename().string());
    FixOptions options;
    options.templatePath = templatePath.string();
    options.templatePassword = PasswordInput(kDemoPassword);
    data_access::ConnectionPtr main = OpenDemoDatabase(path);
    Repair(main, options, output);
}

}  // namespace

void InstallDbCommands(CLI::App& app, CommandAction& action) {
    CLI::App* db = app.add_subcommand("db", "database utilities: new databases, schema repair");
    db->require_subcommand(1);
    InstallCreate(*db, action);
    InstallFix(*db, action);
    InstallDbCopyCommand(*db, action);
    InstallDbCompactCommands(*db, action);
}

void RunDatabaseUtilitiesDemo(const std::string& folder, Output& output) {
    CommandUi ui(output.err);
    fs::create_directories(folder);
    output.out << "\nDatabase utilities: schema repair against a template\n";
    fs::path templatePath = MakeDemoDatabase(folder, "template.mdb", kDemoTemplate, output);
    fs::path olderPath = MakeDemoDatabase(folder, "payroll-2019.mdb", kDemoOlderPayroll, output);
    RepairDemoDatabase(templatePath, olderPath, output);
    data_access::Recordset rows;
    rows.Open("SELECT * FROM Employees", OpenDemoDatabase(olderPath), data_access::adOpenKeyset,
              data_access::adLockReadOnly);
    output.out << "\nThe older rows, kept through the repair:\n";
    PrintRows(rows, output.out);
    RepairDemoDatabase(templatePath, olderPath, output);  // finds nothing left to do

    fs::path newPath = MakeDemoDatabase(folder, "payroll-new.mdb", {}, output);
    RepairDemoDatabase(templatePath, newPath, output);
}

}  // namespace vesk::host
