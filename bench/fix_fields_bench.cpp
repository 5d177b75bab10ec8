// Schema repair of a template of 300 tables of 20 columns into an empty database: FixFields,
// beside the same statements run as one script by the sqlcipher shell, on the same kind of
// keyed files, in the same run.
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <fmt/format.h>

#include "bench_report.h"
#include "vesk/data_access/catalog.h"
#include "vesk/data_access/connection_text.h"
#include "vesk/database_utilities/database_utilities.h"

namespace vesk::bench {

namespace {

constexpr int kTables = 300;
constexpr int kColumns = 20;
constexpr int kRounds = 3;
constexpr double kGoalRatio = 1.5;
constexpr const char* kPassword = "bench";
constexpr const char* kColumnTypes[] = {"Text (50)", "Integer", "DOUBLE",    "Date",
                                        "YESNO",     "Memo",    "Text (10)", "IMAGE"};

std::string TableDefinition(int table) {
    std::string columns;
    for (int column_idx = 0; column_idx < kColumns; ++column_idx) {
        columns += fmt::format("{}Col{:02} {}", column_idx == 0 ? "" : ", ", column_idx,
                               kColumnTypes[column_idx % std::size(kColumnTypes)]);
    }
    return fmt::format("CREATE TABLE Table{:03} ({})", table, columns);
}

data_access::ConnectionPtr CreateDatabase(const std::string& path) {
    std::filesystem::remove(path);
    data_access::Catalog catalog;
    return catalog.Create(data_access::EmbeddedConnectionText(path, kPassword));
}

void CreateTemplate(const std::string& path) {
    data_access::ConnectionPtr connection = CreateDatabase(path);
    connection->BeginTrans();
    for (int table = 0; table < kTables; ++table) {
        connection->Execute(TableDefinition(table));
    }
    connection->CommitTrans();
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// FixFields into a new, empty database; `statements` receives what it ran.
double TimeFixFields(const std::string& templatePath, const std::string& mainPath,
                     std::vector<std::string>& statements) {
    CreateDatabase(mainPath);
    auto main = std::make_shared<data_access::Connection>();
    main->Open(data_access::EmbeddedConnectionText(mainPath, kPassword));
    database_utilities::DatabaseUtilities utilities;
    utilities.SetTemplateFilePath(templatePath);
    utilities.TemplatePWD = kPassword;
    utilities.MainFileConnection = main;
    statements.clear();
    utilities.SetStatementTrace(
        [&](data_access::StatementKind, std::string_view sql) { statements.emplace_back(sql); });
    auto start = std::chrono::steady_clock::now();
    utilities.FixFields();
    double seconds = SecondsSince(start);
    if (!utilities.FailedStatements().empty()) {
        throw std::runtime_error("FixFields: " + utilities.FailedStatements()[0].description);
    }
    return seconds;
}

// The same statements, one transaction each as FixFields runs them, through the shell.
double TimeShell(const std::string& scriptPath, const std::string& mainPath) {
    CreateDatabase(mainPath);
    std::string command =
        fmt::format("sqlcipher -bail '{}' < '{}' > /dev/null", mainPath, scriptPath);
    auto start = std::chrono::steady_clock::now();
    if (std::system(command.c_str()) != 0) {
        throw std::runtime_error("the sqlcipher shell failed: " + command);
    }
    return SecondsSince(start);
}

void WriteScript(const std::string& path, const std::vector<std::string>& statements) {
    std::ofstream script(path);
    script << "PRAGMA key = '" << kPassword << "';\n";
    for (const std::string& statement : statements) {
        script << statement << ";\n";
    }
}

}  // namespace

void RunFixFieldsBench() {
    std::string folder = MakeBenchFolder();
    fmt::print("Schema repair: template of {} tables of {} columns into an empty keyed file\n",
               kTables, kColumns);
    CreateTemplate(folder + "/template.mdb");
    std::vector<std::string> statements;
    double ours = std::numeric_limits<double>::max();
    double peer = std::numeric_limits<double>::max();
    for (int round = 0; round < kRounds; ++round) {
        ours = std::min(ours,
                        TimeFixFields(folder + "/template.mdb", folder + "/main.mdb", statements));
        WriteScript(folder + "/repair.sql", statements);
        peer = std::min(peer, TimeShell(folder + "/repair.sql", folder + "/peer.mdb"));
    }
    double ratio = ours / peer;
    const char* verdict = RecordResult({fmt::format("FixFields, {} statements", statements.size()),
                                        ours, peer, "s", ratio, AtMost(kGoalRatio)});
    fmt::print(
        "  FixFields, {} statements         vesk {:7.2f} s   sqlcipher shell {:7.2f} s   "
        "ratio {:5.2f}  (goal <= {:.2f}: {})\n",
        statements.size(), ours, peer, ratio, kGoalRatio, verdict);
    std::filesystem::remove_all(folder);
    fmt::print("\n");
}

}  // namespace vesk::bench
