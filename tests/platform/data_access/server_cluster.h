#pragma once

#include <optional>
#include <string>

namespace vesk::data::testing {

// The base connection text (server and user, no database) of the cluster that the test run
// started with tests/scripts/pg_cluster.sh. When there is none, the current test fails under
// CI (CI=true) and is skipped elsewhere, with the reason, and nothing is returned.
std::optional<std::string> RequireServerCluster();

// A database of its own on the test cluster, dropped (closing any session still on it) when
// the object goes.
class ScratchServerDatabase {
public:
    // Creates the database through Catalog::Create; throws DataAccessError.
    explicit ScratchServerDatabase(const std::string& clusterText);
    ~ScratchServerDatabase();
    ScratchServerDatabase(const ScratchServerDatabase&) = delete;
    ScratchServerDatabase& operator=(const ScratchServerDatabase&) = delete;

    const std::string& Name() const { return m_name; }
    // The connection text that opens the database.
    const std::string& ConnectionText() const { return m_connectionText; }

private:
    std::string m_clusterText;
    std::string m_name;
    std::string m_connectionText;
};

}  // namespace vesk::data::testing
