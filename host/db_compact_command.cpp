#include "db_compact_command.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <stdexcept>

#include <fmt/format.h>

#include "command_ui.h"
#include "db_build_option.h"
#include "password_input.h"
#include "vesk/data_access/connection.h"
#include "vesk/data_access/connection_text.h"
#include "vesk/dbutil/database_utilities.h"
#include "vesk/dbutil/legacy_database_utilities.h"

namespace vesk::host {

namespace {

namespace fs = std::filesystem;

struct CompactOptions {
    std::string path;
    std::string tempFolder;
    PasswordInput password;
    bool legacy = false;
};

struct RepairOptions {
    std::string path;
    bool legacy = false;
};

// Runs `work` on the file `path`, printing its size before and after. Throws with `failure`
// when the work reports false.
void WithSizes(const std::string& path, const std::string& failure, Output& output,
               const std::function<bool()>& work) {
    std::error_code ignored;
    auto before = fs::file_size(path, ignored);
    if (!work()) {
        throw std::runtime_error(failure);
    }
    output.out << fmt::format("{}: {} bytes before, {} bytes after\n", path, before,
                              fs::file_size(path));
}

// The legacy build's compaction takes no password: --legacy and --password exclude each other.
bool Compact(const CompactOptions& options, std::string& tempFolder) {
    if (options.legacy) {
        dbutil::legacy::DatabaseUtilities utilities;
        return utilities.CompactDatabase(options.path, tempFolder);
    }
    dbutil::DatabaseUtilities utilities;
    return utilities.CompactDatabase(options.path, tempFolder, options.password.Value());
}

// A file named without a folder is compacted in the current folder, its own.
void RunCompact(const CompactOptions& options, Output& output) {
    CommandUi ui(output.err);
    std::string ownFolder = fs::path(options.path).parent_path().string();
    std::string tempFolder = !options.tempFolder.empty() ? options.tempFolder
                             : ownFolder.empty()         ? "."
                                                         : ownFolder;
    WithSizes(options.path, options.path + " was not compacted", output,
              [&] { return Compact(options, tempFolder); });
}

// One line per table of a rebuilt file: what it kept and what it lost, and why.
void PrintRepairReport(const std::vector<data::TableSalvageReport>& report, Output& output) {
    for (const data::TableSalvageReport& table : report) {
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
        if (table.damagedStretches > 0) {
            output.out << fmt::format(
                "; {} damaged stretches could not be read, their rows are not counted",
                table.damagedStretches);
        }
        output.out << "\n";
    }
}

void RunRepair(const RepairOptions& options, Output& output) {
    CommandUi ui(output.err);
    std::unique_ptr<dbutil::DatabaseUtilities> utilities = MakeUtilities(options.legacy);
    WithSizes(options.path, options.path + " was not repaired", output,
              [&] { return utilities->RepairDatabase(options.path); });
    PrintRepairReport(utilities->RepairReport(), output);
}

void InstallCompact(CLI::App& db, CommandAction& action) {
    auto options = std::make_shared<CompactOptions>();
    CLI::App* command = db.add_subcommand("compact", "compact a database file in place");
    command->add_option("path", options->path, "the database file")->required();
    command->add_option("--temp", options->tempFolder,
                        "folder for the temporary copy (default: the file's folder)");
    CLI::Option* legacy = AddLegacyOption(*command, options->legacy);
    for (CLI::Option* password :
         options->password.AddTo(*command, "password", "VESK_PASSWORD", "the database's")) {
        legacy->excludes(password);
    }
    command->callback([options, &action] {
        action = [options](Output& output) { RunCompact(*options, output); };
    });
}

void InstallRepair(CLI::App& db, CommandAction& action) {
    auto options = std::make_shared<RepairOptions>();
    CLI::App* command = db.add_subcommand(
        "repair", "check a database file and rebuild it from its readable rows when damaged");
    command->add_option("path", options->path, "the database file (without a password)")
        ->required();
    AddLegacyOption(*command, options->legacy);
    command->callback([options, &action] {
        action = [options](Output& output) { RunRepair(*options, output); };
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
        data::Connection connection;
        connection.Open(data::EmbeddedConnectionText(databasePath, password));
        connection.Execute("DROP TABLE IF EXISTS DemoFiller");
        connection.Execute("CREATE TABLE DemoFiller (Id INTEGER PRIMARY KEY, Filler Memo)");
        connection.Execute(
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2000) "
            "INSERT INTO DemoFiller SELECT i, hex(randomblob(200)) FROM n");
        connection.Execute("DELETE FROM DemoFiller WHERE Id % 10 <> 0");
    }
    output.out << fmt::format("\nCompacting {} after deleting 1800 of 2000 rows:\n",
                              fs::path(databasePath).filename().string());
    CompactOptions options{databasePath, {}, PasswordInput(password), false};
    RunCompact(options, output);
}

}  // namespace vesk::host
