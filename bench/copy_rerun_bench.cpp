// A copy run again after an interruption, and the memory of a large copy, file to file and
// file to server, in groups of 5000 rows a commit as `vesk db copy` copies:
// - the second run over 100,000 rows of which the first 50,000 are there already, beside the
//   first copy of those 50,000 rows into an empty table (goal: within twice its time);
// - the peak memory of `vesk db copy` of 1,000,000 narrow rows (goal: under 64 MB), beside
//   the peak memory of the sqlcipher shell's INSERT ... SELECT and of pgloader.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <stdexcept>

#include <fmt/format.h>

#include "bench_cluster.h"
#include "bench_report.h"
#include "child_process.h"
#include "staff_rows.h"
#include "vesk/data_access/catalog.h"
#include "vesk/data_access/connection_text.h"
#include "vesk/database_utilities/database_utilities.h"

namespace vesk::bench {

namespace {

constexpr const char* kNarrow =
    "CREATE TABLE Narrow (Code Text (20), Name Text (40), Grade Integer)";
constexpr const char* kServerNarrow =
    "CREATE TABLE Narrow (Code varchar(20), Name varchar(40), Grade integer)";

data_access::ConnectionPtr Open(const std::string& text) {
    auto connection = std::make_shared<data_access::Connection>();
    connection->Open(text);
    return connection;
}

// A new empty file database holding `schema`; its connection text.
std::string EmptyFile(const std::string& path, const std::string& schema) {
    std::filesystem::remove(path);
    std::string text = data_access::EmbeddedConnectionText(path, kBenchPassword);
    data_access::Catalog().Create(text)->Execute(schema);
    return text;
}

double TimedCopy(const std::string& source, const std::string& destination) {
    return BestSeconds(1, [&] {
        database_utilities::DatabaseUtilities utilities;
        utilities.RowsPerCommit = 5000;
        utilities.CopyDataFromDBtoDB(
            Open(data_access::EmbeddedConnectionText(source, kBenchPassword)), Open(destination));
        if (utilities.CopyFailure()) {
            throw *utilities.CopyFailure();
        }
    });
}

// The sources of the second run (`all`) and of the first (its first half).
struct RerunSources {
    int rows = 0;
    std::string half;
    std::string all;
};

RerunSources MakeRerunSources(const std::string& folder) {
    RerunSources sources;
    sources.rows = RowsFromEnvironment("VESK_RERUN_BENCH_ROWS", 100000);
    sources.half = MakeStaffSource(folder + "/rerun-half.mdb", sources.rows / 2);
    sources.all = MakeStaffSource(folder + "/rerun-all.mdb", sources.rows);
    return sources;
}

// The first copy of half the rows, then the copy of all of them into the same table.
void RunRerun(const std::string& what, const RerunSources& sources, const std::string& destination,
              const char* schema) {
    Open(destination)->Execute(schema);
    const double first = TimedCopy(sources.half, destination);
    const double again = TimedCopy(sources.all, destination);
    const char* verdict =
        RecordResult({fmt::format("Copy again, {}, {} rows, half there", what, sources.rows), again,
                      first, "s", again / first, AtMost(2.0)});
    std::cout << fmt::format(
        "  Copy again, {}, {} rows, half there   {:6.2f} s   first copy of the half {:6.2f} s   "
        "ratio {:.2f} (goal <= 2.0: {})\n",
        what, sources.rows, again, first, again / first, verdict);
}

void ReportMemory(const std::string& what, int rows, const ChildUsage& ours,
                  const std::string& peerName, const ChildUsage& peer) {
    const double oursMb = ours.peakKb / 1024.0;
    const char* verdict = RecordResult({fmt::format("Peak memory, {}, {} rows", what, rows), oursMb,
                                        peer.peakKb / 1024.0, "MB", oursMb, Below(64)});
    std::cout << fmt::format(
        "  Peak memory, {}, {} rows        vesk {:5.1f} MB ({:5.1f} s)   {} {:6.1f} MB ({:5.1f} s)"
        "   (goal < 64 MB: {})\n",
        what, rows, oursMb, ours.seconds, peerName, peer.peakKb / 1024.0, peer.seconds, verdict);
}

// `vesk db copy` from the keyed file `source` to the keyed file or server text `destination`.
ChildUsage HostCopy(const std::string& source, const std::string& destination) {
    return RunChild({VESK_HOST_BINARY, "db", "copy", "--from", source, "--from-password",
                     kBenchPassword, "--to", destination, "--to-password", kBenchPassword});
}

void RunMemory(const std::string& folder, const BenchCluster& cluster) {
    const int rows = RowsFromEnvironment("VESK_MEMORY_BENCH_ROWS", 1000000);
    const std::string source =
        CreateNumberedDatabase(folder + "/narrow.mdb", kBenchPassword, kNarrow, "Narrow",
                               "'EMP' || i, 'Name ' || i, i % 9", rows);
    EmptyFile(folder + "/narrow-dest.mdb", kNarrow);
    ChildUsage ours = HostCopy(source, folder + "/narrow-dest.mdb");
    EmptyFile(folder + "/narrow-dest.mdb", kNarrow);
    const std::string script = folder + "/narrow-copy.sql";
    std::ofstream(script) << fmt::format(
        "PRAGMA key = '{0}';\nATTACH '{1}' AS src KEY '{0}';\nINSERT INTO Narrow SELECT * FROM "
        "src.Narrow;\n",
        kBenchPassword, source);
    ChildUsage shell = RunChild({"sqlcipher", folder + "/narrow-dest.mdb"}, script);
    ReportMemory("file to file", rows, ours, "sqlcipher shell", shell);

    const std::string server = cluster.MakeDatabase("memory_vesk");
    Open(server)->Execute(kServerNarrow);
    ours = HostCopy(source, server);
    const std::string plain = UnkeyedCopy(source, folder + "/narrow-plain.db");
    const std::string peerServer = cluster.MakeDatabase("memory_pgloader");
    Open(peerServer)->Execute(kServerNarrow);
    ChildUsage pgloader =
        RunChild({"pgloader", "--quiet",
                  cluster.PgloaderCommands(plain, "memory_pgloader", folder + "/narrow.load")});
    RequireRows(server, "Narrow", rows, "vesk");
    RequireRows(peerServer, "Narrow", rows, "pgloader");
    ReportMemory("file to server", rows, ours, "pgloader", pgloader);
}

}  // namespace

void RunCopyRerunBench() {
    std::string folder = MakeBenchFolder();
    {
        BenchCluster cluster(folder + "/cluster");
        const RerunSources sources = MakeRerunSources(folder);
        RunRerun("file to file", sources,
                 EmptyFile(folder + "/rerun-dest.mdb", "CREATE TABLE x (y)"), kStaffSchema);
        RunRerun("file to server", sources, cluster.MakeDatabase("rerun"), kServerStaffSchema);
        RunMemory(folder, cluster);
    }
    std::filesystem::remove_all(folder);
}

}  // namespace vesk::bench
