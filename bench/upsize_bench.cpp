// Upsizing: the rows of an embedded database (ten columns) added to an empty database on the
// server by CopyDataFromDBtoDB (after schema repair made the table), keyed on the first
// column, beside pgloader loading the same rows into the same server (making its table
// itself). The benchmark starts a throwaway cluster of its own (tests/scripts/pg_cluster.sh)
// and stops it at the end.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <vector>

#include <fmt/format.h>

#include "bench_cluster.h"
#include "bench_report.h"
#include "staff_rows.h"
#include "vesk/data_access/catalog.h"
#include "vesk/data_access/connection_text.h"
#include "vesk/dbutil/database_utilities.h"

namespace vesk::bench {

namespace {

// pgloader reads plain SQLite files: the encrypted source, exported without a key.
std::string UnkeyedCopy(const std::string& source) {
    std::string plain = source + ".plain.db";
    Shell(
        fmt::format("printf \"PRAGMA key = '{}';\\nATTACH '{}' AS plain KEY '';\\nSELECT "
                    "sqlcipher_export('plain');\\nDETACH plain;\\n\" | sqlcipher '{}' > /dev/null",
                    kBenchPassword, plain, source));
    return plain;
}

// The server database made ready by schema repair against the source, then upsized.
void Upsize(const std::string& source, const std::string& destinationText) {
    auto destination = std::make_shared<data::Connection>();
    destination->Open(destinationText);
    dbutil::DatabaseUtilities utilities;
    utilities.SetTemplateFilePath(source);
    utilities.TemplatePWD = kBenchPassword;
    utilities.DBType = dbutil::DBPostgreSQL;
    utilities.MainFileConnection = destination;
    utilities.RowsPerCommit = 5000;  // as vesk db copy copies
    utilities.FixFields();
    utilities.DoCleanUp();
    auto from = std::make_shared<data::Connection>();
    from->Open(data::EmbeddedConnectionText(source, kBenchPassword));
    utilities.CopyDataFromDBtoDB(from, destination);
    if (!utilities.CopyFailure().empty()) {
        throw std::runtime_error(utilities.CopyFailure());
    }
}

}  // namespace

// Each side loads into a database made before its timing starts; the best of kRounds runs.
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
        std::vector<std::string> targets;
        for (int round = 0; round < kRounds; ++round) {
            targets.push_back(cluster.MakeDatabase(fmt::format("upsize_vesk_{}", round)));
        }
        ours = BestSeconds(kRounds, [&, round = 0]() mutable { Upsize(source, targets[round++]); });
        std::string plain = UnkeyedCopy(source);
        cluster.MakeDatabase("upsize_pgloader");
        peer = BestSeconds(kRounds, [&] {
            Shell(fmt::format("pgloader --quiet 'sqlite://{}' '{}' > '{}/pgloader.log' 2>&1", plain,
                              cluster.PgloaderTarget("upsize_pgloader"), folder));
        });
    }
    std::cout << fmt::format(
        "  Upsizing {} rows into PostgreSQL   vesk {:8.0f} rows/s   pgloader {:8.0f} rows/s   "
        "ratio {:.2f} (goal >= 1.0; pgloader reads an unkeyed copy made with sqlcipher_export)\n",
        rows, rows / ours, rows / peer, peer / ours);
    std::filesystem::remove_all(folder);
}

}  // namespace vesk::bench
