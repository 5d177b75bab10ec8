// CopyDataFromDBtoDB between database files of ten columns (one a 2 KB binary value) into an
// empty destination without an index on the first column, beside the sqlcipher shell:
// - in groups of 5000 rows a commit, as `vesk db copy` does, beside the shell's keyed copy
//   INSERT ... SELECT ... WHERE NOT EXISTS;
// - one commit a row, the library's default, beside the shell running one INSERT a row, each
//   its own commit.
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iostream>
#include <stdexcept>

#include <fmt/format.h>

#include "bench_cluster.h"
#include "bench_report.h"
#include "staff_rows.h"
#include "vesk/data_access/catalog.h"
#include "vesk/data_access/connection_text.h"
#include "vesk/database_utilities/database_utilities.h"

namespace vesk::bench {

namespace {

constexpr const char* kPassword = "pw";
constexpr const char* kSchema =
    "CREATE TABLE Staff (Code Text (20), Name Text (60), Dept Text (20), Salary DOUBLE, "
    "Bonus DOUBLE, Grade Integer, Hired Date, Active YESNO, Notes Memo, Photo IMAGE)";

std::string MakeSource(const std::string& path, int rows) {
    return CreateNumberedDatabase(
        path, kPassword, kSchema, "Staff",
        "'EMP' || i, 'Name ' || i, 'D' || (i % 17), i * 1.5, i % 100, "
        "i % 9, '2020-01-02 10:30', i % 2, 'note ' || i, randomblob(2048)",
        rows);
}

std::string MakeEmptyDestination(const std::string& path) {
    std::filesystem::remove(path);
    data_access::Catalog catalog;
    catalog.Create(data_access::EmbeddedConnectionText(path, kPassword))->Execute(kSchema);
    return path;
}

data_access::ConnectionPtr Open(const std::string& path) {
    auto connection = std::make_shared<data_access::Connection>();
    connection->Open(data_access::EmbeddedConnectionText(path, kPassword));
    return connection;
}

void Copy(const std::string& source, const std::string& destination, long rowsPerCommit) {
    database_utilities::DatabaseUtilities utilities;
    utilities.RowsPerCommit = rowsPerCommit;
    utilities.CopyDataFromDBtoDB(Open(source), Open(destination));
    if (utilities.CopyFailure()) {
        throw *utilities.CopyFailure();
    }
}

// The shell's statements on `destination`, keyed, with `source` attached as src.
void ShellOn(const std::string& destination, const std::string& source,
             const std::string& statements) {
    Shell(
        fmt::format("printf \"PRAGMA key = '{0}';\\nATTACH '{1}' AS src KEY '{0}';\\n{2}\\n\" | "
                    "sqlcipher '{3}' > /dev/null",
                    kPassword, source, statements, destination));
}

void ShellKeyedCopy(const std::string& source, const std::string& destination) {
    ShellOn(destination, source,
            "INSERT INTO Staff SELECT * FROM src.Staff s WHERE NOT EXISTS (SELECT 1 FROM Staff "
            "d WHERE d.Code = s.Code);");
}

// One INSERT statement a source row, with its values written out, in the file `script`.
void WriteInsertScript(const std::string& source, const std::string& script) {
    ShellOn(source, source,
            fmt::format(".output {}\\nSELECT 'INSERT INTO Staff VALUES (' || quote(Code) || ',' "
                        "|| quote(Name) || ',' || quote(Dept) || ',' || quote(Salary) || ',' || "
                        "quote(Bonus) || ',' || quote(Grade) || ',' || quote(Hired) || ',' || "
                        "quote(Active) || ',' || quote(Notes) || ',' || quote(Photo) || ');' "
                        "FROM Staff;",
                        script));
}

void ShellInsertEach(const std::string& script, const std::string& destination) {
    Shell(fmt::format("(printf \"PRAGMA key = '{}';\\n\"; cat '{}') | sqlcipher '{}' > /dev/null",
                      kPassword, script, destination));
}

void ReportRows(const std::string& what, int rows, double ours, double peer,
                const std::string& peerName, double goal) {
    const char* verdict =
        RecordResult({what, rows / ours, rows / peer, "rows/s", peer / ours, AtLeast(goal)});
    std::cout << fmt::format(
        "  {:<44} vesk {:8.0f} rows/s   {} {:8.0f} rows/s   ratio {:.2f} (goal >= {:.1f}: {})\n",
        what, rows / ours, peerName, rows / peer, peer / ours, goal, verdict);
}

// Copies `rows` rows into an empty destination, `rowsPerCommit` a commit, beside `peer` doing
// the same work.
void CompareCopy(
    const std::string& folder, const std::string& name, int rows, long rowsPerCommit,
    const std::function<void(const std::string& source, const std::string& destination)>& peer,
    double goal) {
    const std::string source = MakeSource(folder + "/" + name + "-source.mdb", rows);
    const std::string destination = folder + "/" + name + "-dest.mdb";
    double ours = BestSeconds(1, [&] {
        MakeEmptyDestination(destination);
        Copy(source, destination, rowsPerCommit);
    });
    double theirs = BestSeconds(1, [&] {
        MakeEmptyDestination(destination);
        peer(source, destination);
    });
    ReportRows(rowsPerCommit == 1
                   ? fmt::format("Copy of {} rows, one commit a row", rows)
                   : fmt::format("Copy of {} rows, {} a commit", rows, rowsPerCommit),
               rows, ours, theirs, "sqlcipher shell", goal);
}

}  // namespace

void RunCopyDataBench() {
    std::string folder = MakeBenchFolder();
    CompareCopy(folder, "grouped", RowsFromEnvironment("VESK_COPY_BENCH_ROWS", 100000), 5000,
                ShellKeyedCopy, 0.6);
    CompareCopy(
        folder, "each", RowsFromEnvironment("VESK_COPY_EACH_BENCH_ROWS", 1000), 1,
        [&](const std::string& source, const std::string& destination) {
            const std::string script = folder + "/each-inserts.sql";
            if (!std::filesystem::exists(script)) {
                WriteInsertScript(source, script);
            }
            ShellInsertEach(script, destination);
        },
        0.8);
    std::filesystem::remove_all(folder);
}

}  // namespace vesk::bench
