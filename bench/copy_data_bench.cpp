// CopyDataFromDBtoDB: rows of ten columns copied into an empty keyed destination without an
// index on the first column, beside the sqlcipher shell doing the same keyed copy with
// INSERT ... SELECT ... WHERE NOT EXISTS.
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <stdexcept>

#include <fmt/format.h>

#include "bench_report.h"
#include "vesk/data_access/catalog.h"
#include "vesk/data_access/connection_text.h"
#include "vesk/dbutil/database_utilities.h"

namespace vesk::bench {

namespace {

constexpr const char* kPassword = "pw";
constexpr const char* kSchema =
    "CREATE TABLE Staff (Code Text (20), Name Text (60), Dept Text (20), Salary DOUBLE, "
    "Bonus DOUBLE, Grade Integer, Hired Date, Active YESNO, Notes Memo, Photo IMAGE)";

int Rows() {
    const char* rows = std::getenv("VESK_COPY_BENCH_ROWS");
    return rows != nullptr ? std::atoi(rows) : 100000;
}

std::string MakeSource(const std::string& folder, int rows) {
    return CreateNumberedDatabase(
        folder + "/copy-source.mdb", kPassword, kSchema, "Staff",
        "'EMP' || i, 'Name ' || i, 'D' || (i % 17), i * 1.5, i % 100, "
        "i % 9, '2020-01-02 10:30', i % 2, 'note ' || i, randomblob(2048)",
        rows);
}

std::string MakeEmptyDestination(const std::string& path) {
    std::filesystem::remove(path);
    data::Catalog catalog;
    catalog.Create(data::EmbeddedConnectionText(path, kPassword))->Execute(kSchema);
    return path;
}

data::ConnectionPtr Open(const std::string& path) {
    auto connection = std::make_shared<data::Connection>();
    connection->Open(data::EmbeddedConnectionText(path, kPassword));
    return connection;
}

void ShellCopy(const std::string& source, const std::string& destination) {
    std::string command = fmt::format(
        "printf \"PRAGMA key = '{0}';\\nATTACH '{1}' AS src KEY '{0}';\\nINSERT INTO Staff "
        "SELECT * FROM src.Staff s WHERE NOT EXISTS (SELECT 1 FROM Staff d WHERE d.Code = "
        "s.Code);\\n\" | sqlcipher '{2}' > /dev/null",
        kPassword, source, destination);
    if (std::system(command.c_str()) != 0) {
        throw std::runtime_error("the sqlcipher shell failed: " + command);
    }
}

}  // namespace

void RunCopyDataBench() {
    const int rows = Rows();
    std::string folder = MakeBenchFolder();
    std::string source = MakeSource(folder, rows);
    std::string destination = folder + "/copy-dest.mdb";
    double ours = BestSeconds(1, [&] {
        MakeEmptyDestination(destination);
        dbutil::DatabaseUtilities utilities;
        utilities.CopyDataFromDBtoDB(Open(source), Open(destination));
    });
    double peer = BestSeconds(1, [&] {
        MakeEmptyDestination(destination);
        ShellCopy(source, destination);
    });
    std::cout << fmt::format(
        "  CopyDataFromDBtoDB, {} rows     vesk {:8.0f} rows/s   sqlcipher shell {:8.0f} rows/s   "
        "ratio {:.2f} (goal 0.25)\n",
        rows, rows / ours, rows / peer, peer / ours);
    std::filesystem::remove_all(folder);
}

}  // namespace vesk::bench
