// Compaction of a keyed database of about 200 MB with half of its rows deleted, written back
// (the default) and renamed over the file (CompactByRename), beside the
// sqlcipher shell doing the same export, measured in the same run.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <stdexcept>
#include <string>

#include <fmt/format.h>

#include "bench_report.h"
#include "vesk/database_utilities/database_utilities.h"

namespace vesk::bench {

namespace {

namespace fs = std::filesystem;

constexpr const char* kPassword = "bench-pw";
constexpr int kRows = 400000;             // of about 500 bytes: some 200 MB
constexpr double kGoalRatio = 1.0 / 1.3;  // at most 1.3 times the shell's time
constexpr long kMemoryGoalKb = 64 * 1024;
constexpr int kRounds = 3;  // the machine may be busy: the fastest of three runs counts

// Runs `script` in the sqlcipher shell on `database`; throws when the shell fails.
void RunShell(const std::string& folder, const std::string& database, const std::string& script) {
    std::string scriptPath = folder + "/script.sql";
    std::ofstream(scriptPath) << fmt::format("PRAGMA key = '{}';\n", kPassword) << script;
    std::string command =
        fmt::format("sqlcipher -bail '{}' < '{}' > /dev/null", database, scriptPath);
    if (std::system(command.c_str()) != 0) {
        throw std::runtime_error("the sqlcipher shell failed: " + command);
    }
}

// Made by the shell, so that the building does not count in this process's memory.
void MakeHalfDeletedDatabase(const std::string& folder, const std::string& path) {
    RunShell(folder, path,
             fmt::format("CREATE TABLE Payslips (Id INTEGER PRIMARY KEY, Code TEXT, Body TEXT);\n"
                         "CREATE INDEX Payslips_Code ON Payslips (Code);\n"
                         "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                         "WHERE i < {}) INSERT INTO Payslips SELECT i, 'EMP' || i, "
                         "hex(randomblob(230)) FROM n;\n"
                         "DELETE FROM Payslips WHERE Id % 2 = 0;\n",
                         kRows));
}

// Compacts a fresh copy of `original` as `ours` kRounds times and returns the fastest run's
// seconds (the copying untimed).
double TimeCompaction(const std::string& folder, const std::string& original,
                      const std::string& ours, bool byRename) {
    double best = std::numeric_limits<double>::max();
    for (int round = 0; round < kRounds; ++round) {
        fs::copy_file(original, ours, fs::copy_options::overwrite_existing);
        best = std::min(best, BestSeconds(1, [&] {
                            database_utilities::DatabaseUtilities utilities;
                            utilities.CompactByRename = byRename;
                            std::string temp = folder;
                            if (!utilities.CompactDatabase(ours, temp, kPassword)) {
                                throw std::runtime_error("the compaction failed");
                            }
                        }));
    }
    return best;
}

}  // namespace

void RunCompactBench() {
    std::string folder = MakeBenchFolder();
    std::string original = folder + "/original.mdb";
    std::string ours = folder + "/ours.mdb";
    MakeHalfDeletedDatabase(folder, original);
    double megabytes = static_cast<double>(fs::file_size(original)) / 1e6;

    double inPlaceSeconds = TimeCompaction(folder, original, ours, false);
    long peakKb = PeakResidentKb();
    double byRenameSeconds = TimeCompaction(folder, original, ours, true);
    double peerSeconds = BestSeconds(kRounds, [&] {
        fs::remove(folder + "/peer.mdb");
        RunShell(folder, original,
                 fmt::format("ATTACH DATABASE '{}/peer.mdb' AS compacted KEY '{}';\n"
                             "SELECT sqlcipher_export('compacted');\n"
                             "DETACH DATABASE compacted;\n",
                             folder, kPassword));
    });
    ReportThroughput(fmt::format("CompactDatabase, {:.0f} MB, half deleted", megabytes), megabytes,
                     inPlaceSeconds, peerSeconds, "sqlcipher shell", kGoalRatio);
    ReportThroughput("  the same, CompactByRename", megabytes, byRenameSeconds, peerSeconds,
                     "sqlcipher shell", kGoalRatio);
    const char* verdict = RecordResult({"CompactDatabase peak memory", peakKb / 1024.0, 0, "MB",
                                        peakKb / 1024.0, Below(kMemoryGoalKb / 1024.0)});
    fmt::print("  compacted {:.0f} MB to {:.0f} MB; peak memory {} MB (goal under {} MB: {})\n\n",
               megabytes, static_cast<double>(fs::file_size(ours)) / 1e6, peakKb / 1024,
               kMemoryGoalKb / 1024, verdict);
    fs::remove_all(folder);
}

}  // namespace vesk::bench
