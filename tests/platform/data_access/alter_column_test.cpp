#include <gtest/gtest.h>

#include "sqlite/alter_column.h"
#include "test_database.h"
#include "vesk/data_access/data_access_error.h"
#include "vesk/data_access/recordset.h"

namespace vesk::data_access::testing {
namespace {

class AlterColumnTest : public DatabaseTest {
protected:
    void SetUp() override {
        DatabaseTest::SetUp();
        m_connection = CreateDatabase("alter.mdb", "pw");
        m_connection->Execute(
            "CREATE TABLE Employees (Code Text (10) NOT NULL UNIQUE, Name Text (30) DEFAULT 'x', "
            "Notes Memo, CHECK (length(Code) > 0))");
        m_connection->Execute("CREATE INDEX EmployeesByName ON Employees (Name)");
        m_connection->Execute("CREATE TABLE Log (Entry Text (60))");
        m_connection->Execute(
            "CREATE TRIGGER EmployeesAdded AFTER INSERT ON Employees BEGIN "
            "INSERT INTO Log VALUES ('added ' || NEW.Code); END");
        m_connection->Execute("INSERT INTO Employees VALUES ('E1', 'Ann Lee', 'n1')");
        m_connection->Execute("INSERT INTO Employees VALUES ('E2', 'Bob Ray', NULL)");
    }

    ColumnType TypeOf(const std::string& table, const std::string& column) {
        Catalog catalog;
        catalog.SetActiveConnection(m_connection);
        const Column& found = catalog.Tables().Item(table).Columns().Item(column);
        return {found.Type(), found.DefinedSize()};
    }

    std::string Schema() {
        return Scalar(m_connection,
                      "SELECT group_concat(type || ':' || name || ':' || sql, '|') FROM "
                      "(SELECT * FROM sqlite_master ORDER BY name)");
    }

    ConnectionPtr m_connection;
};

TEST_F(AlterColumnTest, EveryStatementPathAltersAColumnAndSizedTextKeepsItsSize) {
    Recordset statement;
    statement.Open("ALTER TABLE Employees ALTER COLUMN Name TEXT(50)", m_connection);
    EXPECT_EQ(statement.State(), adStateClosed);
    EXPECT_EQ(TypeOf("Employees", "Name"), (ColumnType{adVarWChar, 50}));
    m_connection->Execute("ALTER TABLE Employees ALTER COLUMN Name text (60)");
    EXPECT_EQ(TypeOf("Employees", "Name"), (ColumnType{adVarWChar, 60}));
}

TEST_F(AlterColumnTest, AlterColumnKeepsRowsIndexesTriggersAndConstraints) {
    m_connection->Execute("ALTER Table Employees ALTER COLUMN Name Text (50)");
    EXPECT_EQ(TypeOf("Employees", "Name"), (ColumnType{adVarWChar, 50}));
    EXPECT_EQ(Scalar(m_connection, "SELECT group_concat(Code || '=' || Name, ',') FROM Employees"),
              "E1=Ann Lee,E2=Bob Ray");
    EXPECT_EQ(Scalar(m_connection,
                     "SELECT count(*) FROM sqlite_master WHERE name IN "
                     "('EmployeesByName', 'EmployeesAdded')"),
              "2");
    m_connection->Execute("INSERT INTO Employees (Code) VALUES ('E3')");
    EXPECT_EQ(Scalar(m_connection, "SELECT group_concat(Entry) FROM Log"),
              "added E1,added E2,added E3");
    EXPECT_EQ(Scalar(m_connection, "SELECT Name FROM Employees WHERE Code = 'E3'"), "x");
    EXPECT_THROW(m_connection->Execute("INSERT INTO Employees (Code) VALUES ('E3')"),
                 DataAccessError)
        << "the UNIQUE constraint was lost";
    EXPECT_THROW(m_connection->Execute("INSERT INTO Employees (Code) VALUES ('')"), DataAccessError)
        << "the CHECK constraint was lost";
}

TEST_F(AlterColumnTest, KeywordIsOptionalAndNamesIgnoreCase) {
    m_connection->Execute("ALTER TABLE employees ALTER notes nVARCHAR (20);");
    EXPECT_EQ(TypeOf("Employees", "Notes"), (ColumnType{adVarWChar, 20}));
    m_connection->Execute("ALTER TABLE [Employees] ALTER COLUMN \"Code\" Text (12)");
    EXPECT_EQ(TypeOf("Employees", "Code"), (ColumnType{adVarWChar, 12}));
}

TEST_F(AlterColumnTest, RowKeysOfOpenRecordsetsSurviveTheRebuild) {
    // A gap in the row ids: a rebuild that numbered the rows afresh would move E3's key.
    m_connection->Execute("INSERT INTO Employees (Code, Name) VALUES ('E3', 'Cy Dee')");
    m_connection->Execute("DELETE FROM Employees WHERE Code = 'E2'");
    auto rows = OpenRows(m_connection, "SELECT * FROM Employees ORDER BY Code");
    rows->MoveLast();
    m_connection->Execute("ALTER TABLE Employees ALTER COLUMN Name Text (40)");
    EXPECT_EQ(Scalar(m_connection, "SELECT group_concat(rowid || Code) FROM Employees"), "1E1,3E3");
    rows->Fields()["Name"].SetValue("Cy Dee Jr");
    rows->Update();
    EXPECT_EQ(Scalar(m_connection, "SELECT Name FROM Employees WHERE Code = 'E3'"), "Cy Dee Jr");
}

TEST_F(AlterColumnTest, MissingTableOrColumnIsAClearError) {
    try {
        m_connection->Execute("ALTER TABLE Nobody ALTER COLUMN Name Text (5)");
        FAIL();
    } catch (const DataAccessError& error) {
        EXPECT_NE(error.Description().find("no such table: Nobody"), std::string::npos);
    }
    try {
        m_connection->Execute("ALTER TABLE Employees ALTER COLUMN Nothing Text (5)");
        FAIL();
    } catch (const DataAccessError& error) {
        EXPECT_NE(error.Description().find("no such column"), std::string::npos);
    }
}

TEST_F(AlterColumnTest, FailureAtAnyStepLeavesTheTableAsItWas) {
    std::string before = Schema();
    for (int failingStep = 1; failingStep <= 6; ++failingStep) {
        detail::SetAlterColumnFaultHook([failingStep](int step) {
            if (step == failingStep) {
                throw DataAccessError("injected failure");
            }
        });
        EXPECT_THROW(m_connection->Execute("ALTER TABLE Employees ALTER COLUMN Name Text (99)"),
                     DataAccessError)
            << "step " << failingStep;
        EXPECT_EQ(Schema(), before) << "after a failure at step " << failingStep;
        EXPECT_EQ(Scalar(m_connection, "SELECT count(*) FROM Employees"), "2");
    }
    detail::SetAlterColumnFaultHook({});
    m_connection->Execute("ALTER TABLE Employees ALTER COLUMN Name Text (99)");
    EXPECT_EQ(TypeOf("Employees", "Name"), (ColumnType{adVarWChar, 99}));
}

TEST(ReplaceColumnType, ReplacesOnlyTheTypeOfTheNamedColumn) {
    EXPECT_EQ(detail::ReplaceColumnType("CREATE TABLE t (a Text (5) NOT NULL, b INT)", "A", "Memo"),
              "CREATE TABLE t (a Memo NOT NULL, b INT)");
    EXPECT_EQ(detail::ReplaceColumnType("CREATE TABLE t (a, b DECIMAL(10, 2))", "a", "INT"),
              "CREATE TABLE t (a INT, b DECIMAL(10, 2))");
    EXPECT_EQ(
        detail::ReplaceColumnType("CREATE TABLE t (a INT, PRIMARY KEY (a))", "PRIMARY", "INT"),
        std::nullopt);
}

}  // namespace
}  // namespace vesk::data_access::testing
