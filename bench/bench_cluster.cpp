#include "bench_cluster.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>

#include <fmt/format.h>

#include "vesk/data_access/catalog.h"

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
    data::Catalog().Create(text);
    return text;
}

std::string BenchCluster::PgloaderTarget(const std::string& name) const {
    return fmt::format("postgresql://postgres@unix:{}:5432/{}", m_socketFolder, name);
}

}  // namespace vesk::bench
