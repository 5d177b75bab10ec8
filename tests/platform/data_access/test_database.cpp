#include "test_database.h"

#include <cstdlib>

namespace vesk::data::testing {

void DatabaseTest::SetUp() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vesk-test-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    m_folder = pattern;
}

void DatabaseTest::TearDown() {
    std::filesystem::remove_all(m_folder);
}

ConnectionPtr DatabaseTest::CreateDatabase(const std::string& name, const std::string& password) {
    Catalog catalog;
    return catalog.Create(EmbeddedConnectionText(PathOf(name), password));
}

ConnectionPtr DatabaseTest::OpenDatabase(const std::string& name, const std::string& password) {
    auto connection = std::make_shared<Connection>();
    connection->Open(EmbeddedConnectionText(PathOf(name), password));
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

}  // namespace vesk::data::testing
