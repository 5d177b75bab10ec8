// Upsizing: the rows of an embedded database (ten columns) added by CopyDataFromDBtoDB to a
// server database whose table schema repair made, keyed on the first column, beside pgloader
// loading the same rows into a database prepared the same way. pgloader cannot make the file
// dialect's table itself ("Text (20)", "YESNO"), so both sides load data only; each side's
// rows are counted after each round. The benchmark starts a throwaway cluster of its own
// (tests/scripts/pg_cluster.sh) and stops it at the end.
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <stdexcept>
#include <vector>

#include <fmt/format.h>

#include "bench_cluster.h"
#include "bench_report.h"
#include "staff_rows.h"
#include "vesk/data_access/connection_text.h"
#include "vesk/database_utilities/database_utilities.h"

namespace vesk::bench {

namespace {

data_access::ConnectionPtr Open(const std::string& text) {
    auto connection = std::make_shared<data_access::Connection>();
    connection->Open(text);
    return connection;
}

// A new server database `name` whose tables schema repair made after those of `source`.
std::string PreparedDatabase(const BenchCluster& cluster, const std::string& name,
                             const std::string& source) {
    std::string text = cluster.MakeDatabase(name);
    database_utilities::DatabaseUtilities utilities;
    utilities.SetTemplateFilePath(source);
    utilities.TemplatePWD = kBenchPassword;
    utilities.DBType = database_utilities::DBPostgreSQL;
    utilities.MainFileConnection = Open(text);
    utilities.FixFields();
    utilities.DoCleanUp();
    return text;
}

// The rows of `source` copied into `destinationText` as `vesk db copy` copies them.
void Upsize(const std::string& source, const std::string& destinationText) {
    database_utilities::DatabaseUtilities utilities;
    utilities.RowsPerCommit = 5000;
    utilities.CopyDataFromDBtoDB(Open(data_access::EmbeddedConnectionText(source, kBenchPassword)),
                                 Open(destinationText));
    if (utilities.CopyFailure()) {
        throw *utilities.CopyFailure();
    }
}

}  // namespace

// Each side loads into a database prepared before its timing starts; the best of kRounds runs.
// The cluster stops before the folder that holds its state goes.
void RunUpsizeBench() {
    constexpr int kRounds = 3;
    const int rows = RowsFromEnvironment("VESK_UPSIZE_BENCH_ROWS", 100000);
    std::string folder = MakeBenchFolder();
    double ours = 0;
    double peer = 0;
    {
        BenchCluster cluster(folder + "/cluster");
        std::string source = MakeStaffSource(folder + "/upsize-source.mdb", rows);
        std::string plain = UnkeyedCopy(source, folder + "/upsize-plain.db");
        std::vector<std::string> vesk;
        std::vector<std::string> pgloader;
        for (int round = 0; round < kRounds; ++round) {
            vesk.push_back(PreparedDatabase(cluster, fmt::format("upsize_vesk_{}", round), source));
            pgloader.push_back(
                PreparedDatabase(cluster, fmt::format("upsize_pgloader_{}", round), source));
        }
        ours = BestSeconds(kRounds, [&, round = 0]() mutable { Upsize(source, vesk[round++]); });
        peer = BestSeconds(kRounds, [&, round = 0]() mutable {
            cluster.LoadWithPgloader(plain, fmt::format("upsize_pgloader_{}", round++),
                                     folder + "/pgloader.log");
        });
        for (int round = 0; round < kRounds; ++round) {
            RequireRows(vesk[round], "Staff", rows, "vesk");
            RequireRows(pgloader[round], "Staff", rows, "pgloader");
        }
    }
    const char* verdict =
        RecordResult({fmt::format("Upsizing {} rows into PostgreSQL", rows), rows / ours,
                      rows / peer, "rows/s", peer / ours, AtLeast(1.0)});
    std::cout << fmt::format(
        "  Upsizing {} rows into PostgreSQL   vesk {:8.0f} rows/s   pgloader {:8.0f} rows/s   "
        "ratio {:.2f} (goal >= 1.0: {}; both into a table schema repair made; pgloader reads an "
        "unkeyed copy made with sqlcipher_export)\n",
        rows, rows / ours, rows / peer, peer / ours, verdict);
    std::filesystem::remove_all(folder);
}

}  // namespace vesk::bench
