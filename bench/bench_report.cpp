#include "bench_report.h"

#include <stdlib.h>
#include <sys/resource.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <stdexcept>
#include <vector>

#include <fmt/format.h>

#include "vesk/data_access/catalog.h"
#include "vesk/data_access/connection_text.h"

namespace vesk::bench {

namespace {

std::string currentBenchmark;
std::vector<BenchResult> recorded;

std::string JsonString(const std::string& text) {
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            quoted += fmt::format("\\u{:04x}", static_cast<int>(c));
        } else {
            quoted += c;
        }
    }
    return quoted + "\"";
}

// JSON has no infinities or NaN: a figure that is not finite is written as null.
std::string JsonNumber(double value) {
    return std::isfinite(value) ? fmt::format("{:.6g}", value) : "null";
}

}  // namespace

bool Goal::MetBy(double value) const {
    if (relation == ">=") {
        return value >= limit;
    }
    if (relation == "<=") {
        return value <= limit;
    }
    return value < limit;
}

std::string Goal::Text() const {
    return fmt::format("{} {:.2f}", relation, limit);
}

Goal AtLeast(double limit) {
    return {">=", limit};
}
Goal AtMost(double limit) {
    return {"<=", limit};
}
Goal Below(double limit) {
    return {"<", limit};
}

void BeginBenchmark(const std::string& name) {
    currentBenchmark = name;
}

const char* RecordResult(BenchResult result) {
    result.name = currentBenchmark + ": " + result.name;
    bool met = result.goal.MetBy(result.ratio);
    recorded.push_back(std::move(result));
    return met ? "met" : "MISSED";
}

void WriteResults(const std::string& path) {
    std::ofstream out(path, std::ios::trunc);
    for (const BenchResult& result : recorded) {
        out << fmt::format(
            "{{\"name\": {}, \"ours\": {}, \"peer\": {}, \"unit\": {}, \"ratio\": {}, "
            "\"goal\": {}, \"met\": {}}}\n",
            JsonString(result.name), JsonNumber(result.ours), JsonNumber(result.peer),
            JsonString(result.unit), JsonNumber(result.ratio), JsonString(result.goal.Text()),
            result.goal.MetBy(result.ratio) ? "true" : "false");
    }
    out.close();
    if (!out) {
        throw std::runtime_error("cannot write the results to " + path);
    }
}

std::string NumberedRowsInsert(const std::string& table, const std::string& selectList, int rows) {
    return fmt::format(
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < {}) "
        "INSERT INTO {} SELECT {} FROM n",
        rows, table, selectList);
}

std::string CreateNumberedDatabase(const std::string& path, const std::string& password,
                                   const std::string& schema, const std::string& table,
                                   const std::string& selectList, int rows) {
    data_access::Catalog catalog;
    data_access::ConnectionPtr connection =
        catalog.Create(data_access::EmbeddedConnectionText(path, password));
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
    std::string name = what.substr(std::min(what.find_first_not_of(' '), what.size()));
    const char* verdict = RecordResult({name, ours, peer, "MB/s", ratio, AtLeast(goalRatio)});
    fmt::print("{:<34} vesk {:8.1f} MB/s   {} {:8.1f} MB/s   ratio {:5.2f}  (goal >= {:.2f}: {})\n",
               what, ours, peerName, peer, ratio, goalRatio, verdict);
}

}  // namespace vesk::bench
