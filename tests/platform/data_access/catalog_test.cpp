#include <gtest/gtest.h>

#include "test_database.h"
#include "vesk/data_access/data_access_error.h"

namespace vesk::data_access::testing {
namespace {

class CatalogTest : public DatabaseTest {};
class EngineCatalogTest : public EngineTest {};

TEST_F(CatalogTest, CreateMakesAnEmptyKeyedFileAndRefusesAnExistingOne) {
    Catalog catalog;
    std::string text = EmbeddedConnectionText(PathOf("new.mdb"), "pw");
    ConnectionPtr connection = catalog.Create(text);
    ASSERT_EQ(connection->State(), adStateOpen);
    EXPECT_EQ(catalog.Tables().Count(), 0);
    EXPECT_THROW(OpenDatabase("new.mdb"), DataAccessError) << "the new file is not keyed";
    EXPECT_NO_THROW(OpenDatabase("new.mdb", "pw"));

    connection->Execute("CREATE TABLE Kept (X Integer)");
    auto sizeBefore = std::filesystem::file_size(PathOf("new.mdb"));
    Catalog second;
    try {
        second.Create(text);
        FAIL() << "an existing file was replaced";
    } catch (const DataAccessError& error) {
        EXPECT_NE(error.Description().find("already exists"), std::string::npos);
    }
    EXPECT_EQ(std::filesystem::file_size(PathOf("new.mdb")), sizeBefore);
    EXPECT_EQ(Scalar(OpenDatabase("new.mdb", "pw"), "SELECT count(*) FROM Kept"), "0");
}

TEST_F(CatalogTest, CreateWithoutPasswordMakesAPlainFile) {
    Catalog catalog;
    catalog.Create(EmbeddedConnectionText(PathOf("plain.mdb")));
    EXPECT_NO_THROW(OpenDatabase("plain.mdb"));
}

TEST_F(CatalogTest, CreateInAMissingFolderFailsAndLeavesNothing) {
    Catalog catalog;
    EXPECT_THROW(catalog.Create(EmbeddedConnectionText(PathOf("no/such/dir.mdb"))),
                 DataAccessError);
    EXPECT_FALSE(std::filesystem::exists(PathOf("no")));
}

TEST_F(CatalogTest, TablesAndColumnsByPositionAndNameWithTypes) {
    auto connection = CreateDatabase("cat.mdb", "pw");
    connection->Execute("CREATE TABLE Employees (Code Text (10), Salary Currency)");
    connection->Execute("CREATE TABLE Photos (PhotoCode Text (50), Photo LONGBINARY)");
    connection->Execute("CREATE VIEW Rich AS SELECT * FROM Employees WHERE Salary > 1000");
    connection->Execute("CREATE TABLE Counter (Id INTEGER PRIMARY KEY AUTOINCREMENT)");

    Catalog catalog;
    catalog.SetActiveConnection(EmbeddedConnectionText(PathOf("cat.mdb"), "pw"));
    const Tables& tables = catalog.Tables();
    ASSERT_EQ(tables.Count(), 5);
    EXPECT_EQ(tables.Item(0L).Name(), "Employees");
    EXPECT_EQ(tables.Item(0L).Type(), "TABLE");
    EXPECT_EQ(tables.Item("rich").Type(), "VIEW");
    EXPECT_EQ(tables.Item("sqlite_sequence").Type(), "SYSTEM TABLE");
    EXPECT_EQ(tables.Item("PHOTOS").Name(), "Photos");
    EXPECT_THROW(tables.Item("Missing"), DataAccessError);
    EXPECT_THROW(tables.Item(5L), DataAccessError);

    const Columns& columns = tables.Item("Photos").Columns();
    ASSERT_EQ(columns.Count(), 2);
    EXPECT_EQ(columns.Item(0L).Name(), "PhotoCode");
    EXPECT_EQ(columns.Item(0L).Type(), adVarWChar);
    EXPECT_EQ(columns.Item(0L).DefinedSize(), 50);
    EXPECT_EQ(columns.Item("photo").Type(), adLongVarBinary);
    EXPECT_THROW(columns.Item("Missing"), DataAccessError);
    EXPECT_EQ(tables.Item("Rich").Columns().Count(), 2);
}

TEST_P(EngineCatalogTest, TablesAreKeptUntilRefresh) {
    auto connection = CreateDatabase("cat.mdb");
    Catalog catalog;
    catalog.SetActiveConnection(connection);
    EXPECT_EQ(catalog.Tables().Count(), 0);
    connection->Execute("CREATE TABLE Later (X Integer)");
    EXPECT_EQ(catalog.Tables().Count(), 0);
    catalog.Refresh();
    ASSERT_EQ(catalog.Tables().Count(), 1);
    EXPECT_EQ(catalog.Tables().Item("LATER").Columns().Item("x").Type(), adInteger);
    EXPECT_THROW(catalog.Tables().Item("Missing"), DataAccessError);
    EXPECT_THROW(catalog.Tables().Item(1L), DataAccessError);
}

TEST_P(EngineCatalogTest, ClosedConnectionIsRefused) {
    Catalog catalog;
    EXPECT_THROW(catalog.Tables(), DataAccessError);
    auto connection = CreateDatabase("cat.mdb");
    connection->Close();
    EXPECT_THROW(catalog.SetActiveConnection(connection), DataAccessError);
}

TEST_F(CatalogTest, ConnectingToAMissingOrClosedDatabaseFails) {
    Catalog catalog;
    EXPECT_THROW(catalog.SetActiveConnection(EmbeddedConnectionText(PathOf("none.mdb"))),
                 DataAccessError);
    EXPECT_THROW(catalog.Tables(), DataAccessError);
    auto connection = std::make_shared<Connection>();
    EXPECT_THROW(catalog.SetActiveConnection(connection), DataAccessError);
}

VESK_ON_EACH_ENGINE(EngineCatalogTest);

}  // namespace
}  // namespace vesk::data_access::testing
