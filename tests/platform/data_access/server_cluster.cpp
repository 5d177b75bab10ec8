#include "server_cluster.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "vesk/data_access/catalog.h"
#include "vesk/data_access/connection.h"
#include "vesk/data_access/connection_text.h"
#include "vesk/data_access/data_access_error.h"
#include "vesk/data_access/sql_text.h"

namespace vesk::data_access::testing {

namespace {

std::string FirstLine(const std::filesystem::path& path) {
    std::ifstream file(path);
    std::string line;
    std::getline(file, line);
    return line;
}

bool RunningUnderCi() {
    const char* ci = std::getenv("CI");
    return ci && std::string(ci) == "true";
}

std::string ClusterProblem(const std::filesystem::path& state) {
    if (std::filesystem::exists(state / "unavailable")) {
        return "no PostgreSQL test cluster: " + FirstLine(state / "unavailable");
    }
    return "no PostgreSQL test cluster is running: run the tests through ctest, which starts "
           "it with tests/scripts/pg_cluster.sh (state folder " +
           state.string() + ")";
}

// Fatal, so that the test body does not run on a missing cluster.
void FailTest(const std::string& why) {
    FAIL() << why;
}

void SkipTest(const std::string& why) {
    GTEST_SKIP() << why;
}

}  // namespace

std::optional<std::string> RequireServerCluster() {
    std::filesystem::path state = VESK_PG_STATE_DIR;
    std::string text = FirstLine(state / "connection");
    if (!text.empty()) {
        return text;
    }
    if (RunningUnderCi()) {
        FailTest(ClusterProblem(state));
    } else {
        SkipTest(ClusterProblem(state));
    }
    return std::nullopt;
}

ScratchServerDatabase::ScratchServerDatabase(const std::string& clusterText)
    : m_clusterText(clusterText) {
    static int counter = 0;
    m_name = "vesk_test_" + std::to_string(::getpid()) + "_" + std::to_string(++counter);
    m_connectionText = clusterText + ";Database=" + m_name;
    Catalog().Create(m_connectionText);
}

ScratchServerDatabase::~ScratchServerDatabase() {
    try {
        Connection maintenance;
        maintenance.Open(m_clusterText + ";Database=postgres");
        maintenance.Execute("DROP DATABASE IF EXISTS " + m_name + " WITH (FORCE)");
    } catch (const std::exception& error) {
        ADD_FAILURE() << "cannot drop the scratch database " << m_name << ": " << error.what();
    }
}

ServerLogin::ServerLogin(const std::string& clusterText, const ScratchServerDatabase& database,
                         std::string password)
    : m_clusterText(clusterText),
      m_databaseText(database.ConnectionText()),
      m_database(database.Name()),
      m_user(database.Name() + "_login"),
      m_password(std::move(password)) {
    Connection superuser;
    superuser.Open(m_databaseText);
    superuser.Execute("CREATE ROLE " + m_user + " LOGIN PASSWORD '" + EscapeSqlText(m_password) +
                      "'");
    superuser.Execute("ALTER DATABASE " + m_database + " OWNER TO " + m_user);
}

ServerLogin::~ServerLogin() {
    try {
        try {
            Connection owned;
            owned.Open(m_databaseText);
            owned.Execute("REASSIGN OWNED BY " + m_user + " TO CURRENT_USER");
            owned.Execute("DROP OWNED BY " + m_user);
        } catch (const DataAccessError&) {
            // The database went first, and with it all the role owned.
        }
        Connection maintenance;
        maintenance.Open(m_clusterText + ";Database=postgres");
        maintenance.Execute("DROP ROLE IF EXISTS " + m_user);
    } catch (const std::exception& error) {
        ADD_FAILURE() << "cannot drop the role " << m_user << ": " << error.what();
    }
}

std::string ServerLogin::ConnectionText() const {
    ConnectionSettings settings = ParseConnectionText(m_databaseText);
    return "Provider=PostgreSQL;Host=" + settings.host + ";Port=" + settings.port +
           ";Database=" + settings.database + ";User ID=" + m_user;
}

std::string ServerLogin::Uri() const {
    ConnectionSettings settings = ParseConnectionText(m_databaseText);
    return "postgresql:///" + settings.database + "?host=" + settings.host +
           "&port=" + settings.port + "&user=" + m_user;
}

}  // namespace vesk::data_access::testing
