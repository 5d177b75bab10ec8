#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "engine_param.h"
#include "server_cluster.h"
#include "vesk/data_access/catalog.h"
#include "vesk/data_access/connection.h"
#include "vesk/data_access/connection_text.h"
#include "vesk/data_access/recordset.h"

namespace vesk::data_access::testing {

// A fresh place for each test's databases: a temporary folder for database files, and on the
// server a scratch database per name on the test cluster; all removed afterwards.
class DatabaseTest : public ::testing::Test {
protected:
    explicit DatabaseTest(Engine engine = Engine::Embedded) : m_engine(engine) {}
    void SetUp() override;
    void TearDown() override;

    bool OnServer() const { return m_engine == Engine::Server; }
    std::string PathOf(const std::string& name) const { return (m_folder / name).string(); }
    // The connection text of database `name` (a file in the folder, or a scratch database).
    std::string ConnectionTextOf(const std::string& name, const std::string& password = {});
    // Creates a new, empty database and returns a connection open on it.
    ConnectionPtr CreateDatabase(const std::string& name, const std::string& password = {});
    ConnectionPtr OpenDatabase(const std::string& name, const std::string& password = {});
    // Opens `sql` the way the components do: keyset cursor, optimistic locks.
    RecordsetPtr OpenRows(const ConnectionPtr& connection, const std::string& sql);
    // The first column of the first row of `sql`, as text.
    std::string Scalar(const ConnectionPtr& connection, const std::string& sql);
    // The values of the first column of `sql`, as texts joined by '|', in the order a record
    // set of `type` gives them.
    std::string Joined(const ConnectionPtr& connection, const std::string& sql,
                       CursorTypeEnum type = adOpenStatic);
    // The engine's name of a column type for large binary values.
    std::string BinaryType() const { return OnServer() ? "bytea" : "LONGBINARY"; }

private:
    Engine m_engine;
    std::filesystem::path m_folder;
    std::string m_cluster;
    std::map<std::string, std::unique_ptr<ScratchServerDatabase>> m_serverDatabases;
};

// A test that runs once on each engine: instantiate it with VESK_ON_EACH_ENGINE.
class EngineTest : public DatabaseTest, public ::testing::WithParamInterface<Engine> {
protected:
    EngineTest() : DatabaseTest(GetParam()) {}
};

// A test of the server engine alone. Suites derived from it are named Server...
class ServerTest : public DatabaseTest {
protected:
    ServerTest() : DatabaseTest(Engine::Server) {}
};

}  // namespace vesk::data_access::testing
