#include "sql_command.h"

#include <memory>

#include "connection_option.h"
#include "row_printer.h"

namespace vesk::host {

namespace {

struct SqlOptions {
    DatabaseOptions database;
    std::string statement;
};

void RunSql(const SqlOptions& options, Output& output) {
    data::ConnectionPtr connection = OpenDatabase(options.database);
    data::Recordset rows;
    rows.Open(options.statement, connection, data::adOpenKeyset, data::adLockReadOnly);
    if (rows.State() == data::adStateOpen) {
        PrintRows(rows, output.out);
    }
}

}  // namespace

void InstallSqlCommand(CLI::App& app, CommandAction& action) {
    auto options = std::make_shared<SqlOptions>();
    CLI::App* command = app.add_subcommand("sql", "run one SQL statement and print its rows");
    AddDatabaseOptions(*command, options->database);
    command->add_option("statement", options->statement, "the statement to run")->required();
    command->callback(
        [options, &action] { action = [options](Output& output) { RunSql(*options, output); }; });
}

}  // namespace vesk::host
