#include "db_compact_command.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <stdexcept>

#include <fmt/format.h>

#include "command_ui.h"
#include "connection_option.h"
#include "db_build_option.h"
#include "password_input.h"
#include "vesk/data_access/connection.h"
#include "vesk/data_access/connection_text.h"
#include "vesk/database_utilities/database_utilities.h"
#include "vesk/database_utilities/legacy_database_utilities.h"
#include "vesk/errors/error.h"

namespace vesk::host {

namespace {

namespace fs = std::filesystem;

struct CompactOptions {
    std::string path;
    std::string tempFolder;
    PasswordInput password;
    bool legacy = false;
    bool quiet = false;
    bool byRename = false;
};

struct RepairOptions {
    std::string path;
    PasswordInput password;
    bool legacy = false;
    bool quiet = false;
};

// Adds the password options, which the legacy build (taking no password) excludes.
void AddPasswordOptions(CLI::App& command, PasswordInput& password, bool& legacy) {
    CLI::Option* legacyOption = AddLegacyOption(command, legacy);
    for (CLI::Option* option :
         password.AddTo(command, "password", "VESK_PASSWORD", "the database's")) {
        legacyOption->excludes(option);
    }
}

// Adds the file, given as the first word or as --db.
void AddFileOption(CLI::App& command, std::string& path, const std::string& what) {
    command.add_option("path,--db", path, what)->required();
}

// Runs `work` on the file `path`, printing its size before and after. Throws with `failure`
// when the work reports false.
void WithSizes(const std::string& path, const std::string& failure, Output& output,
               const std::function<bool()>& work) {
    std::error_code ignored;
    auto before = fs::file_size(path, ignored);
    if (!work()) {
        throw Error(failure);
    }
    output.out << fmt::format("{}: {} bytes before, {} bytes after\n", path, before,
                              fs::file_size(path));
}

// The legacy build's compaction takes no password: --legacy and --password exclude each other.
bool Compact(const CompactOptions& options, std::string& tempFolder) {
    if (options.legacy) {
        database_utilities::legacy::DatabaseUtilities utilities;
        utilities.CompactByRename = options.byRename;
        return utilities.CompactDatabase(options.path, tempFolder);
    }
    database_utilities::DatabaseUtilities utilities;
    utilities.CompactByRename = options.byRename;
    return utilities.CompactDatabase(options.path, tempFolder, options.password.Value());
}

// A file named without a folder is compacted in the current folder, its own.
void RunCompact(const CompactOptions& options, Output& output) {
    CommandUi ui(output.err);
    RequireDatabaseFile(options.path);
    std::string ownFolder = fs::path(options.path).parent_path().string();
    std::string tempFolder = !options.tempFolder.empty() ? options.tempFolder
                             : ownFolder.empty()         ? "."
                                                         : ownFolder;
    WithSizes(options.path, options.path + " was not compacted", output,
              [&] { return Compact(options, tempFolder); });
}

// One line per table of a rebuilt file: what it kept and what it lost, and why.
void PrintRepairReport(const std::vector<data_access::TableSalvageReport>& report, Output& output) {
    for (const data_access::TableSalvageReport& table : report) {
        output.out << fmt::format("{}: {} rows kept, {} rows lost", table.table, table.rowsKept,
                                  table.RowsLost());
        if (table.rowsUnreadable > 0) {
            output.out << fmt::format(", {} listed by an index but unreadable",
                                      table.rowsUnreadable);
        }
        if (table.rowsSetAside > 0) {
            output.out << fmt::format(", {} set aside ({})", table.rowsSetAside,
                                      table.firstSetAsideReason);
        }
        if (table.rowIdsUnreadable > 0) {
            output.out << fmt::format(", up to {} more in damaged pages", table.rowIdsUnreadable);
        }
        if (table.damagedStretches > 0) {
            output.out << fmt::format(
                "; {} damaged stretches could not be read{}", table.damagedStretches,
                table.rowIdsUnreadable > 0 ? std::string() : ", their rows are not counted");
        }
        output.out << "\n";
    }
}

void RunRepair(const RepairOptions& options, Output& output) {
    CommandUi ui(output.err);
    std::unique_ptr<database_utilities::DatabaseUtilities> utilities =
        MakeUtilities(options.legacy);
    WithSizes(options.path, options.path + " was not repaired", output,
              [&] { return utilities->RepairDatabase(options.path, options.password.Value()); });
    PrintRepairReport(utilities->RepairReport(), output);
    if (!utilities->RepairKeptAs().empty()) {
        output.out << fmt::format("The damaged file is kept as {}\n", utilities->RepairKeptAs());
    }
}

void InstallCompact(CLI::App& db, CommandAction& action) {
    auto options = std::make_shared<CompactOptions>();
    CLI::App* command = db.add_subcommand("compact", "compact a database file in place");
    AddFileOption(*command, options->path, "the database file");
    command->add_option("--temp", options->tempFolder,
                        "folder for the temporary copy (default: the file's folder)");
    command->add_flag("--by-rename", options->byRename,
                      "rename the checked copy over the file instead of writing it back: "
                      "faster, for a file no other program has open");
    AddPasswordOptions(*command, options->password, options->legacy);
    AddQuietOption(*command, options->quiet);
    command->callback([options, &action] {
        action = [options](Output& output) {
            Output shown = QuietIf(options->quiet, output);
            RunCompact(*options, shown);
        };
    });
}

void InstallRepair(CLI::App& db, CommandAction& action) {
    auto options = std::make_shared<RepairOptions>();
    CLI::App* command = db.add_subcommand(
        "repair", "check a database file and rebuild it from its readable rows when damaged");
    AddFileOption(*command, options->path, "the database file");
    AddPasswordOptions(*command, options->password, options->legacy);
    AddQuietOption(*command, options->quiet);
    command->callback([options, &action] {
        action = [options](Output& output) {
            Output shown = QuietIf(options->quiet, output);
            RunRepair(*options, shown);
        };
    });
}

}  // namespace

void InstallDbCompactCommands(CLI::App& db, CommandAction& action) {
    InstallCompact(db, action);
    InstallRepair(db, action);
}

void RunCompactionDemo(const std::string& databasePath, const std::string& password,
                       Output& output) {
    {
        data_access::Connection connection;
        connection.Open(data_access::EmbeddedConnectionText(databasePath, password));
        connection.Execute("DROP TABLE IF EXISTS DemoFiller");
        connection.Execute("CREATE TABLE DemoFiller (Id INTEGER PRIMARY KEY, Filler Memo)");
        connection.Execute(
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2000) "
            "INSERT INTO DemoFiller SELECT i, hex(randomblob(200)) FROM n");
        connection.Execute("DELETE FROM DemoFiller WHERE Id % 10 <> 0");
    }
    output.out << fmt::format("\nCompacting {} after deleting 1800 of 2000 rows:\n",
                              fs::path(databasePath).filename().string());
    CompactOptions options{databasePath, {}, PasswordInput(password), false, false};
    RunCompact(options, output);
}

}  // namespace vesk::host
