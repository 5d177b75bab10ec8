#include "demo_command.h"

#include <filesystem>
#include <fstream>
#include <memory>
#include <ostream>
#include <stdexcept>

#include <fmt/format.h>

#include "db_command.h"
#include "db_compact_command.h"
#include "db_copy_command.h"
#include "photo_command.h"
#include "row_printer.h"
#include "vesk/data_access/catalog.h"
#include "vesk/data_access/connection_text.h"
#include "vesk/data_access/data_access_error.h"
#include "vesk/data_access/recordset.h"
#include "vesk/errors/error.h"

namespace vesk::host {

namespace {

constexpr const char* kDemoPassword = "vesk-demo";
constexpr const char* kDemoMarker = ".vesk-demo";

struct DemoEmployee {
    const char* code;
    const char* firstName;
    const char* lastName;
    double salary;
    const char* hired;
};

const DemoEmployee kEmployees[] = {
    {"EMP001", "Amara", "Okafor", 4250.00, "2019-03-01"},
    {"EMP002", "Bjorn", "Lindqvist", 3890.50, "2020-07-15"},
    {"EMP003", "Chiara", "O'Neill", 5120.75, "2018-11-05"},
    {"EMP004", "Dmitri", "Volkov", 3600.00, "2023-01-09"},
};

data_access::ConnectionPtr CreateDemoDatabase(const std::filesystem::path& path, Output& output) {
    if (std::filesystem::exists(path)) {
        std::filesystem::remove(path);
        output.out << fmt::format("Removed the previous demo database {}\n", path.string());
    }
    data_access::Catalog catalog;
    data_access::ConnectionPtr connection =
        catalog.Create(data_access::EmbeddedConnectionText(path.string(), kDemoPassword));
    output.out << fmt::format("Created {} (encrypted, password \"{}\")\n", path.string(),
                              kDemoPassword);
    connection->Execute(
        "CREATE TABLE Employees (EmployeeCode Text (10) NOT NULL UNIQUE, FirstName Text (50), "
        "LastName Text (50), Salary Currency, Active YESNO, HireDate Date)");
    output.out << "Created table Employees\n";
    return connection;
}

void AddEmployees(const data_access::ConnectionPtr& connection, Output& output) {
    data_access::Recordset rows;
    rows.Open("SELECT * FROM Employees", connection, data_access::adOpenKeyset,
              data_access::adLockOptimistic);
    for (const DemoEmployee& employee : kEmployees) {
        rows.AddNew();
        rows.Fields()["EmployeeCode"].SetValue(employee.code);
        rows.Fields()["FirstName"].SetValue(employee.firstName);
        rows.Fields()["LastName"].SetValue(employee.lastName);
        rows.Fields()["Salary"].SetValue(employee.salary);
        rows.Fields()["Active"].SetValue(true);
        rows.Fields()["HireDate"].SetValue(employee.hired);
        rows.Update();
    }
    output.out << fmt::format("Added {} employees through a keyset record set\n",
                              rows.RecordCount());
}

void ShowEmployees(const data_access::ConnectionPtr& connection, Output& output) {
    data_access::Recordset rows;
    rows.Open("SELECT * FROM Employees ORDER BY EmployeeCode", connection,
              data_access::adOpenKeyset, data_access::adLockReadOnly);
    output.out << "\n";
    PrintRows(rows, output.out);
    rows.MoveFirst();
    rows.Find("LastName='o''neill'");
    output.out << fmt::format("\nFind LastName='o''neill' (letter case ignored): {} {}\n",
                              rows.Fields()["EmployeeCode"].Value().ToText(),
                              rows.Fields()["FirstName"].Value().ToText());
}

void ShowProtection(const std::filesystem::path& path, Output& output) {
    data_access::Connection withoutKey;
    try {
        withoutKey.Open(data_access::EmbeddedConnectionText(path.string()));
        output.out << "Warning: the demo database opened without its password\n";
    } catch (const data_access::DataAccessError& error) {
        output.out << fmt::format("Opening without the password is refused: {}\n",
                                  error.Description());
    }
}

// The demo replaces its own files when it runs again, so it works only in a folder that is
// new, empty, or marked as one it made: any other folder is refused before anything in it is
// touched. The marker is written into a folder the demo takes.
void ClaimDemoFolder(const std::string& folder) {
    namespace fs = std::filesystem;
    fs::path marker = fs::path(folder) / kDemoMarker;
    if (fs::is_regular_file(fs::symlink_status(marker))) {
        return;
    }
    fs::create_directories(folder);
    fs::directory_iterator entries(folder);
    if (entries != fs::directory_iterator()) {
        throw Error(fmt::format(
            "The folder {} holds files the demo did not make (such as {}); give --dir a new or "
            "empty folder",
            folder, entries->path().filename().string()));
    }
    std::ofstream(marker) << "This folder holds the files of vesk demo, which replaces them when "
                             "it runs here again.\n";
    if (!fs::is_regular_file(marker)) {
        throw Error("Cannot mark the demo folder " + folder);
    }
}

void RunDemo(const std::string& folder, Output& output) {
    ClaimDemoFolder(folder);
    std::filesystem::path path = std::filesystem::path(folder) / "payroll.mdb";
    data_access::ConnectionPtr connection = CreateDemoDatabase(path, output);
    AddEmployees(connection, output);
    ShowEmployees(connection, output);
    ShowProtection(path, output);
    RunPhotoDemo(connection, folder, output);
    RunDatabaseUtilitiesDemo(folder, output);
    RunDataCopyDemo(folder, output);
    RunCompactionDemo(path.string(), kDemoPassword, output);
    output.out << fmt::format("\nTry: vesk sql --db {} --password {} \"SELECT * FROM Employees\"\n",
                              path.string(), kDemoPassword);
}

}  // namespace

void InstallDemoCommand(CLI::App& app, CommandAction& action) {
    auto folder = std::make_shared<std::string>("./vesk-demo");
    CLI::App* command = app.add_subcommand("demo", "build a demo payroll database and tour it");
    command->add_option("--dir", *folder,
                        "folder for the demo files (default ./vesk-demo): a new or empty folder, "
                        "or one the demo made before");
    command->callback(
        [folder, &action] { action = [folder](Output& output) { RunDemo(*folder, output); }; });
}

}  // namespace vesk::host
