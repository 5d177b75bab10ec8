#pragma once

#include <chrono>
#include <functional>
#include <string>

namespace vesk::bench {

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
