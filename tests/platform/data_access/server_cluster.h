#pragma once

#include <optional>
#include <string>

namespace vesk::data_access::testing {

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

// A role of its own on the test cluster that logs in with a password, which the server checks
// (scram-sha-256), and owns the database `database`. Dropped when the object goes, after what
// it owns in that database has passed to the superuser.
class ServerLogin {
public:
    // Creates the role; throws DataAccessError.
    ServerLogin(const std::string& clusterText, const ScratchServerDatabase& database,
                std::string password);
    ~ServerLogin();
    ServerLogin(const ServerLogin&) = delete;
    ServerLogin& operator=(const ServerLogin&) = delete;

    const std::string& User() const { return m_user; }
    const std::string& Password() const { return m_password; }
    // The PostgreSQL provider text of the database as this role, without its password.
    std::string ConnectionText() const;
    // The postgresql:// URI of the database as this role, without its password.
    std::string Uri() const;

private:
    std::string m_clusterText;
    std::string m_databaseText;
    std::string m_database;
    std::string m_user;
    std::string m_password;
};

}  // namespace vesk::data_access::testing
