#include "bench_report.h"

#include <stdlib.h>
#include <sys/resource.h>

#include <algorithm>
#include <filesystem>
#include <limits>
#include <stdexcept>

#include <fmt/format.h>

#include "vesk/data_access/catalog.h"
#include "vesk/data_access/connection_text.h"

namespace vesk::bench {

std::string NumberedRowsInsert(const std::string& table, const std::string& selectList, int rows) {
    return fmt::format(
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < {}) "
        "INSERT INTO {} SELECT {} FROM n",
        rows, table, selectList);
}

std::string CreateNumberedDatabase(const std::string& path, const std::string& password,
                                   const std::string& schema, const std::string& table,
                                   const std::string& selectList, int rows) {
    data::Catalog catalog;
    data::ConnectionPtr connection = catalog.Create(data::EmbeddedConnectionText(path, password));
    connection->Execute(schema);
    connection->Execute(NumberedRowsInsert(table, selectList, rows));
    return path;
}

std::string MakeBenchFolder() {
    std::string folder = (std::filesystem::temp_directory_path() / "vesk-bench-XXXXXX").string();
    if (!::mkdtemp(folder.data())) {
        throw std::runtime_error("cannot make a temporary folder");
    }
    return folder;
}

long PeakResidentKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

double BestSeconds(int rounds, const std::function<void()>& work) {
    double best = std::numeric_limits<double>::max();
    for (int round = 0; round < rounds; ++round) {
        auto start = std::chrono::steady_clock::now();
        work();
        std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        best = std::min(best, elapsed.count());
    }
    return best;
}

void ReportThroughput(const std::string& what, double megabytes, double oursSeconds,
                      double peerSeconds, const std::string& peerName, double goalRatio) {
    double ours = megabytes / oursSeconds;
    double peer = megabytes / peerSeconds;
    double ratio = ours / peer;
    fmt::print("{:<34} vesk {:8.1f} MB/s   {} {:8.1f} MB/s   ratio {:5.2f}  (goal >= {:.2f}: {})\n",
               what, ours, peerName, peer, ratio, goalRatio, ratio >= goalRatio ? "met" : "MISSED");
}

}  // namespace vesk::bench
