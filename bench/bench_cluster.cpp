#include "bench_cluster.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>

#include <fmt/format.h>

#include "staff_rows.h"
#include "vesk/data_access/catalog.h"
#include "vesk/data_access/connection.h"
#include "vesk/data_access/recordset.h"

namespace vesk::bench {

namespace {

std::string Script() {
    return VESK_SOURCE_DIR "/tests/scripts/pg_cluster.sh";
}

}  // namespace

void Shell(const std::string& command) {
    if (std::system(command.c_str()) != 0) {
        throw std::runtime_error("failed: " + command);
    }
}

BenchCluster::BenchCluster(const std::string& state) : m_state(state) {
    Shell(fmt::format("bash '{}' start '{}' > /dev/null", Script(), m_state));
    std::ifstream connection(m_state + "/connection");
    std::getline(connection, m_connectionText);
    std::ifstream folder(m_state + "/folder");
    std::getline(folder, m_socketFolder);
    if (m_connectionText.empty()) {
        throw std::runtime_error("no PostgreSQL cluster could be started");
    }
}

BenchCluster::~BenchCluster() {
    std::system(fmt::format("bash '{}' stop '{}'", Script(), m_state).c_str());
}

std::string BenchCluster::MakeDatabase(const std::string& name) const {
    std::string text = m_connectionText + ";Database=" + name;
    data_access::Catalog().Create(text);
    return text;
}

std::string BenchCluster::PgloaderCommands(const std::string& plainFile, const std::string& name,
                                           const std::string& commandFile) const {
    std::ofstream(commandFile) << fmt::format(
        "LOAD DATABASE FROM sqlite://{} INTO postgresql://postgres@unix:{}:5432/{}\n"
        " WITH data only;\n",
        plainFile, m_socketFolder, name);
    return commandFile;
}

void BenchCluster::LoadWithPgloader(const std::string& plainFile, const std::string& name,
                                    const std::string& logFile) const {
    Shell(fmt::format("pgloader --quiet '{}' > '{}' 2>&1",
                      PgloaderCommands(plainFile, name, logFile + ".load"), logFile));
}

long CountRows(const std::string& connectionText, const std::string& table) {
    auto connection = std::make_shared<data_access::Connection>();
    connection->Open(connectionText);
    data_access::Recordset count;
    count.Open("SELECT COUNT(*) FROM " + table, connection);
    return static_cast<long>(count.Fields().Item(0L).Value().ToInt64());
}

void RequireRows(const std::string& connectionText, const std::string& table, long rows,
                 const std::string& who) {
    const long found = CountRows(connectionText, table);
    if (found != rows) {
        throw std::runtime_error(
            fmt::format("{} left {} rows in {} instead of {}", who, found, table, rows));
    }
}

std::string UnkeyedCopy(const std::string& source, const std::string& plain) {
    Shell(
        fmt::format("printf \"PRAGMA key = '{}';\\nATTACH '{}' AS plain KEY '';\\nSELECT "
                    "sqlcipher_export('plain');\\nDETACH plain;\\n\" | sqlcipher '{}' > /dev/null",
                    kBenchPassword, plain, source));
    return plain;
}

}  // namespace vesk::bench
