#pragma once

#include <string>

namespace vesk::bench {

// A throwaway PostgreSQL cluster of the benchmarks (tests/scripts/pg_cluster.sh), started in
// the state folder given and stopped when the object goes.
class BenchCluster {
public:
    // Throws when no cluster can be started.
    explicit BenchCluster(const std::string& state);
    ~BenchCluster();
    BenchCluster(const BenchCluster&) = delete;
    BenchCluster& operator=(const BenchCluster&) = delete;

    // A new, empty database `name` and the connection text that opens it.
    std::string MakeDatabase(const std::string& name) const;
    // Loads the rows of the plain (unkeyed) file `plainFile` into the tables of the same names
    // that the database `name` already holds, with pgloader ("data only": pgloader cannot make
    // the file dialect's tables itself). Its report goes to `logFile`. Throws when it fails.
    void LoadWithPgloader(const std::string& plainFile, const std::string& name,
                          const std::string& logFile) const;
    // Writes the pgloader command file of that load to `commandFile`; returns its path.
    std::string PgloaderCommands(const std::string& plainFile, const std::string& name,
                                 const std::string& commandFile) const;

private:
    std::string m_state;
    std::string m_connectionText;
    std::string m_socketFolder;
};

// Runs `command` through the shell; throws when it fails.
void Shell(const std::string& command);

// The rows of `table` in the database `connectionText` opens.
long CountRows(const std::string& connectionText, const std::string& table);

// Throws unless `table` of `connectionText` holds `rows` rows: a side that loaded fewer did
// not do the work it is timed for.
void RequireRows(const std::string& connectionText, const std::string& table, long rows,
                 const std::string& who);

// Writes an unkeyed copy of the keyed file `source` (password kBenchPassword) to `plain`, as
// readers without the key (pgloader) need it. Returns `plain`.
std::string UnkeyedCopy(const std::string& source, const std::string& plain);

}  // namespace vesk::bench
