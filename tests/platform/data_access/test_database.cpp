#include "test_database.h"

#include <cstdlib>

namespace vesk::data_access::testing {

void DatabaseTest::SetUp() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vesk-test-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    m_folder = pattern;
    if (OnServer()) {
        m_cluster = RequireServerCluster().value_or("");
    }
}

void DatabaseTest::TearDown() {
    m_serverDatabases.clear();
    std::filesystem::remove_all(m_folder);
}

std::string DatabaseTest::ConnectionTextOf(const std::string& name, const std::string& password) {
    if (!OnServer()) {
        return EmbeddedConnectionText(PathOf(name), password);
    }
    auto& database = m_serverDatabases[name];
    if (!database) {
        database = std::make_unique<ScratchServerDatabase>(m_cluster);
    }
    return database->ConnectionText();
}

ConnectionPtr DatabaseTest::CreateDatabase(const std::string& name, const std::string& password) {
    if (OnServer()) {
        m_serverDatabases.erase(name);
        auto connection = std::make_shared<Connection>();
        connection->Open(ConnectionTextOf(name));
        return connection;
    }
    Catalog catalog;
    return catalog.Create(ConnectionTextOf(name, password));
}

ConnectionPtr DatabaseTest::OpenDatabase(const std::string& name, const std::string& password) {
    auto connection = std::make_shared<Connection>();
    connection->Open(ConnectionTextOf(name, password));
    return connection;
}

RecordsetPtr DatabaseTest::OpenRows(const ConnectionPtr& connection, const std::string& sql) {
    auto rows = std::make_shared<Recordset>();
    rows->SetActiveConnection(connection);
    rows->SetCursorType(adOpenKeyset);
    rows->SetLockType(adLockOptimistic);
    rows->SetSource(sql);
    rows->Open();
    return rows;
}

std::string DatabaseTest::Scalar(const ConnectionPtr& connection, const std::string& sql) {
    Recordset rows;
    rows.Open(sql, connection, adOpenStatic, adLockReadOnly);
    return rows.Fields().Item(0L).Value().ToText();
}

std::string DatabaseTest::Joined(const ConnectionPtr& connection, const std::string& sql,
                                 CursorTypeEnum type) {
    Recordset rows;
    rows.Open(sql, connection, type, adLockReadOnly);
    std::string joined;
    for (; !rows.IsEOF(); rows.MoveNext()) {
        joined += (joined.empty() ? "" : "|") + rows.Fields().Item(0L).Value().ToText();
    }
    return joined;
}

}  // namespace vesk::data_access::testing
