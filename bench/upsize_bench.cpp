// Upsizing: the rows of an embedded database (ten columns) added to an empty database on the
// server by CopyDataFromDBtoDB (after schema repair made the table), keyed on the first
// column, beside pgloader loading the same rows into the same server (making its table
// itself). The benchmark starts a throwaway cluster of its own (tests/scripts/pg_cluster.sh)
// and stops it at the end.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <vector>

#include <fmt/format.h>

#include "bench_report.h"
#include "vesk/data_access/catalog.h"
#include "vesk/data_access/connection_text.h"
#include "vesk/dbutil/database_utilities.h"

namespace vesk::bench {

namespace {

constexpr const char* kPassword = "pw";
constexpr const char* kSchema =
    "CREATE TABLE Staff (Code Text (20), Name Text (60), Dept Text (20), Salary DOUBLE, "
    "Bonus DOUBLE, Grade Integer, Hired Date, Active YESNO, Notes Memo, Ref Integer)";

int Rows() {
    const char* rows = std::getenv("VESK_UPSIZE_BENCH_ROWS");
    return rows != nullptr ? std::atoi(rows) : 100000;
}

void Shell(const std::string& command) {
    if (std::system(command.c_str()) != 0) {
        throw std::runtime_error("failed: " + command);
    }
}

// The throwaway cluster, stopped when the object goes.
class Cluster {
public:
    explicit Cluster(const std::string& state) : m_state(state) {
        Shell(fmt::format("bash '{}' start '{}' > /dev/null", Script(), m_state));
        std::ifstream connection(m_state + "/connection");
        std::getline(connection, m_connectionText);
        std::ifstream folder(m_state + "/folder");
        std::getline(folder, m_socketFolder);
        if (m_connectionText.empty()) {
            throw std::runtime_error("no PostgreSQL cluster could be started");
        }
    }
    ~Cluster() { std::system(fmt::format("bash '{}' stop '{}'", Script(), m_state).c_str()); }
    Cluster(const Cluster&) = delete;
    Cluster& operator=(const Cluster&) = delete;

    // A new, empty database `name` and the connection text that opens it.
    std::string MakeDatabase(const std::string& name) const {
        std::string text = m_connectionText + ";Database=" + name;
        data::Catalog().Create(text);
        return text;
    }
    // pgloader's address of the database `name`: over the cluster's Unix socket.
    std::string PgloaderTarget(const std::string& name) const {
        return fmt::format("postgresql://postgres@unix:{}:5432/{}", m_socketFolder, name);
    }

private:
    static std::string Script() { return VESK_SOURCE_DIR "/tests/scripts/pg_cluster.sh"; }

    std::string m_state;
    std::string m_connectionText;
    std::string m_socketFolder;
};

std::string MakeSource(const std::string& folder, int rows) {
    return CreateNumberedDatabase(folder + "/upsize-source.mdb", kPassword, kSchema, "Staff",
                                  "'EMP' || i, 'Name ' || i, 'D' || (i % 17), i * 1.5, i % 100, "
                                  "i % 9, '2020-01-02 10:30', i % 2, 'note ' || i, i",
                                  rows);
}

// pgloader reads plain SQLite files: the encrypted source, exported without a key.
std::string UnkeyedCopy(const std::string& source) {
    std::string plain = source + ".plain.db";
    Shell(
        fmt::format("printf \"PRAGMA key = '{}';\\nATTACH '{}' AS plain KEY '';\\nSELECT "
                    "sqlcipher_export('plain');\\nDETACH plain;\\n\" | sqlcipher '{}' > /dev/null",
                    kPassword, plain, source));
    return plain;
}

// The server database made ready by schema repair against the source, then upsized.
void Upsize(const std::string& source, const std::string& destinationText) {
    auto destination = std::make_shared<data::Connection>();
    destination->Open(destinationText);
    dbutil::DatabaseUtilities utilities;
    utilities.SetTemplateFilePath(source);
    utilities.TemplatePWD = kPassword;
    utilities.DBType = dbutil::DBPostgreSQL;
    utilities.MainFileConnection = destination;
    utilities.FixFields();
    utilities.DoCleanUp();
    auto from = std::make_shared<data::Connection>();
    from->Open(data::EmbeddedConnectionText(source, kPassword));
    utilities.CopyDataFromDBtoDB(from, destination);
    if (!utilities.CopyFailure().empty()) {
        throw std::runtime_error(utilities.CopyFailure());
    }
}

}  // namespace

// Each side loads into a database made before its timing starts; the best of kRounds runs.
// The cluster stops before the folder that holds its state goes.
void RunUpsizeBench() {
    constexpr int kRounds = 3;
    const int rows = Rows();
    std::string folder = MakeBenchFolder();
    double ours = 0;
    double peer = 0;
    {
        Cluster cluster(folder + "/cluster");
        std::string source = MakeSource(folder, rows);
        std::vector<std::string> targets;
        for (int round = 0; round < kRounds; ++round) {
            targets.push_back(cluster.MakeDatabase(fmt::format("upsize_vesk_{}", round)));
        }
        ours = BestSeconds(kRounds, [&, round = 0]() mutable { Upsize(source, targets[round++]); });
        std::string plain = UnkeyedCopy(source);
        cluster.MakeDatabase("upsize_pgloader");
        peer = BestSeconds(kRounds, [&] {
            Shell(fmt::format("pgloader --quiet 'sqlite://{}' '{}' > '{}/pgloader.log' 2>&1", plain,
                              cluster.PgloaderTarget("upsize_pgloader"), folder));
        });
    }
    std::cout << fmt::format(
        "  Upsizing {} rows into PostgreSQL   vesk {:8.0f} rows/s   pgloader {:8.0f} rows/s   "
        "ratio {:.2f} (goal 0.5; pgloader reads an unkeyed copy made with sqlcipher_export)\n",
        rows, rows / ours, rows / peer, peer / ours);
    std::filesystem::remove_all(folder);
}

}  // namespace vesk::bench
