#include "sql_command.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <stdexcept>

#include <fmt/format.h>

#include "connection_option.h"
#include "row_printer.h"
#include "vesk/errors/error.h"

namespace vesk::host {

namespace {

struct SqlOptions {
    DatabaseOptions database;
    std::string statement;
    std::string file;
    std::string format = "text";
    std::string blobs = "size";
    bool header = true;
};

std::string ReadAll(std::istream& in) {
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The statement the options give: on the command line, from a file, or ("-") from standard
// input.
std::string StatementOf(const SqlOptions& options) {
    if (!options.file.empty()) {
        std::ifstream file(options.file, std::ios::binary);
        if (!file) {
            throw Error("cannot read the statement file " + options.file);
        }
        return ReadAll(file);
    }
    if (options.statement == "-") {
        return ReadAll(std::cin);
    }
    return options.statement;
}

// The statement's first word, upper-cased, after blanks, comments and opening parentheses.
std::string FirstWord(const std::string& statement) {
    std::size_t pos = 0;
    while (pos < statement.size()) {
        if (std::isspace(static_cast<unsigned char>(statement[pos])) || statement[pos] == '(') {
            ++pos;
        } else if (statement.compare(pos, 2, "--") == 0) {
            pos = statement.find('\n', pos);
        } else if (statement.compare(pos, 2, "/*") == 0) {
            std::size_t end = statement.find("*/", pos + 2);
            pos = end == std::string::npos ? end : end + 2;
        } else {
            break;
        }
    }
    std::string word;
    for (; pos < statement.size() && std::isalpha(static_cast<unsigned char>(statement[pos]));
         ++pos) {
        word += static_cast<char>(std::toupper(static_cast<unsigned char>(statement[pos])));
    }
    return word;
}

// Whether the statement changes rows or the schema and gives no rows back (a RETURNING
// clause, in any letter case, gives rows).
bool ChangesRows(const std::string& statement) {
    std::string word = FirstWord(statement);
    std::string upper(statement.size(), ' ');
    std::transform(statement.begin(), statement.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    bool changes = word == "INSERT" || word == "UPDATE" || word == "DELETE" || word == "CREATE" ||
                   word == "DROP" || word == "ALTER" || word == "REPLACE";
    return changes && upper.find("RETURNING") == std::string::npos;
}

void RunSql(const SqlOptions& options, Output& output) {
    std::string statement = StatementOf(options);
    data_access::ConnectionPtr connection = OpenDatabase(options.database);
    if (ChangesRows(statement)) {
        long changed = connection->Execute(statement);
        output.err << fmt::format("{} {} changed\n", changed, changed == 1 ? "row" : "rows");
        return;
    }
    data_access::Recordset rows;
    rows.Open(statement, connection, data_access::adOpenKeyset, data_access::adLockReadOnly);
    if (rows.State() == data_access::adStateOpen) {
        RowFormat format{RowStyleNamed(options.format), options.header, options.blobs == "hex"};
        PrintRows(rows, output.out, format);
    }
}

}  // namespace

void InstallSqlCommand(CLI::App& app, CommandAction& action) {
    auto options = std::make_shared<SqlOptions>();
    CLI::App* command = app.add_subcommand("sql", "run one SQL statement and print its rows");
    AddDatabaseOptions(*command, options->database);
    CLI::Option_group* source = command->add_option_group("statement");
    source->add_option("statement", options->statement,
                       "the statement to run (- reads it from standard input)");
    source->add_option("--file", options->file, "read the statement from this file");
    source->require_option(1);
    AddRowFormatOptions(*command, options->format, options->header);
    command->add_option("--blobs", options->blobs, "binary values as their size or as hex")
        ->check(CLI::IsMember({"size", "hex"}));
    command->callback(
        [options, &action] { action = [options](Output& output) { RunSql(*options, output); }; });
}

}  // namespace vesk::host
