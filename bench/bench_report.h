#pragma once

#include <chrono>
#include <functional>
#include <string>

namespace vesk::bench {

// What a figure is held to: `relation` (">=", "<=" or "<") `limit`.
struct Goal {
    std::string relation;
    double limit = 0;

    bool MetBy(double value) const;
    std::string Text() const;  // ">= 0.80"
};

Goal AtLeast(double limit);
Goal AtMost(double limit);
Goal Below(double limit);

// One figure of a run as kept in the results file. `ratio` is what the goal reads: ours as a
// share of the peer for speeds, ours over the peer for times, ours itself where the goal is an
// absolute limit (then `peer` is 0 or a figure shown for comparison only).
struct BenchResult {
    std::string name;
    double ours = 0;
    double peer = 0;
    std::string unit;
    double ratio = 0;
    Goal goal;
};

// Names the benchmark whose figures follow; recorded names start with it.
void BeginBenchmark(const std::string& name);

// Keeps `result` (its name prefixed with the current benchmark) for WriteResults and returns
// "met" or "MISSED" for the printed line.
const char* RecordResult(BenchResult result);

// Writes every result recorded so far to `path`, one JSON object per line (name, ours, peer,
// unit, ratio, goal, met), replacing the file of an earlier run. Throws when it cannot.
void WriteResults(const std::string& path);

// Runs `work` `rounds` times and returns the fastest run in seconds.
double BestSeconds(int rounds, const std::function<void()>& work);

// "INSERT INTO `table` SELECT `selectList` FROM n" over the numbers i = 1 .. `rows` of n, for
// the embedded engine.
std::string NumberedRowsInsert(const std::string& table, const std::string& selectList, int rows);

// Creates the embedded database `path` keyed with `password`, runs `schema` in it and fills
// `table` with NumberedRowsInsert(table, selectList, rows). Returns `path`.
std::string CreateNumberedDatabase(const std::string& path, const std::string& password,
                                   const std::string& schema, const std::string& table,
                                   const std::string& selectList, int rows);

// A fresh folder under the system's temporary folder; throws when none can be made.
std::string MakeBenchFolder();

// The peak resident memory of the process so far, in kilobytes.
long PeakResidentKb();

// Prints one comparison: what was measured, both throughputs in MB/s and ours as a share of
// the peer's, with the goal it is held to.
void ReportThroughput(const std::string& what, double megabytes, double oursSeconds,
                      double peerSeconds, const std::string& peerName, double goalRatio);

}  // namespace vesk::bench
