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
    // pgloader's address of the database `name`: over the cluster's Unix socket.
    std::string PgloaderTarget(const std::string& name) const;

private:
    std::string m_state;
    std::string m_connectionText;
    std::string m_socketFolder;
};

// Runs `command` through the shell; throws when it fails.
void Shell(const std::string& command);

}  // namespace vesk::bench
