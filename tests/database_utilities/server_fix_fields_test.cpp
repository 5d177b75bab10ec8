#include <gtest/gtest.h>

#include <memory>

#include "server_cluster.h"
#include "utilities_fixture.h"
#include "vesk/data_access/recordset.h"

namespace vesk::database_utilities::testing {
namespace {

using Texts = std::vector<std::string>;

// Schema repair of a main database on the server, against an embedded template.
class ServerFixFieldsTest : public UtilitiesTest {
protected:
    void SetUp() override {
        auto cluster = data_access::testing::RequireServerCluster();
        if (!cluster) {
            return;
        }
        m_server = std::make_unique<data_access::testing::ScratchServerDatabase>(*cluster);
        m_utilities.MainFileConnection = std::make_shared<data_access::Connection>();
        m_utilities.MainFileConnection->Open(m_server->ConnectionText());
        m_utilities.DBType = DBPostgreSQL;
    }

    // Runs `statements` on the main database.
    void OnMain(const Texts& statements) {
        for (const std::string& statement : statements) {
            m_utilities.MainFileConnection->Execute(statement);
        }
    }

    // Repairs again from fresh catalogs, with the statements and events of this run only.
    void Repair() {
        m_statements.clear();
        m_listener.events.clear();
        m_utilities.DoCleanUp();
        m_utilities.FixFields();
    }

    std::unique_ptr<data_access::testing::ScratchServerDatabase> m_server;
};

TEST_F(ServerFixFieldsTest, MissingTableIsCreatedInThePostgresDialectAndASecondRepairDoesNothing) {
    MakeTemplate(
        {"CREATE TABLE Employees (Code Text (10), Salary DOUBLE, Rate REAL, Pay Currency, "
         "Grade Integer, Small smallint, Big BIGINT, Active YESNO, Hired Date, Notes Memo, "
         "Photo IMAGE, Id GUID, Initial CHAR (1), Amount NUMERIC)"});
    Repair();
    EXPECT_EQ(m_statements, (Texts{
                                "CREATE TABLE Employees (Code varchar(10))",
                                "ALTER TABLE Employees ADD COLUMN Salary double precision",
                                "ALTER TABLE Employees ADD COLUMN Rate real",
                                "ALTER TABLE Employees ADD COLUMN Pay numeric(19,4)",
                                "ALTER TABLE Employees ADD COLUMN Grade integer",
                                "ALTER TABLE Employees ADD COLUMN Small smallint",
                                "ALTER TABLE Employees ADD COLUMN Big bigint",
                                "ALTER TABLE Employees ADD COLUMN Active boolean",
                                "ALTER TABLE Employees ADD COLUMN Hired timestamp",
                                "ALTER TABLE Employees ADD COLUMN Notes text",
                                "ALTER TABLE Employees ADD COLUMN Photo bytea",
                                "ALTER TABLE Employees ADD COLUMN Id uuid",
                                "ALTER TABLE Employees ADD COLUMN Initial char(1)",
                                "ALTER TABLE Employees ADD COLUMN Amount numeric",
                            }));
    EXPECT_EQ(Events("ProcessDone"), Texts{"ProcessDone(1,13)"});
    EXPECT_TRUE(m_utilities.FailedStatements().empty());

    Repair();
    EXPECT_TRUE(m_statements.empty()) << m_statements.front();
    EXPECT_EQ(Events("ProcessDone"), Texts{"ProcessDone(0,0)"});
}

// Only a size the type is written with counts: an integer column where the template has
// text is altered, a timestamp where the template has a date is not.
TEST_F(ServerFixFieldsTest, SmallerColumnIsAlteredToTheTemplatesTypeAndSize) {
    MakeTemplate({"CREATE TABLE Staff (Code Text (50), Rate Integer, Name Text (50), Hired Date)"});
    OnMain({"CREATE TABLE staff (code varchar(30), rate integer, name integer, hired date)",
            "INSERT INTO staff VALUES ('A1', 1, 7, '2009-03-05')"});
    Repair();
    EXPECT_EQ(m_statements, (Texts{"ALTER TABLE Staff ALTER COLUMN Code TYPE varchar(50)",
                                   "ALTER TABLE Staff ALTER COLUMN Name TYPE varchar(50)"}));
    EXPECT_TRUE(m_utilities.FailedStatements().empty());
    EXPECT_EQ(m_ui.EventPumpCount(), 2);
    data_access::Recordset rows;
    rows.Open("SELECT * FROM staff", m_utilities.MainFileConnection, data_access::adOpenKeyset,
              data_access::adLockReadOnly);
    EXPECT_EQ(rows.Fields()["name"].Value().ToText(), "7") << "kept through the alteration";
    EXPECT_EQ(rows.Fields()["code"].DefinedSize(), 50);
}

// Names the server would fold or refuse are quoted, and so kept letter for letter.
TEST_F(ServerFixFieldsTest, NamesThatNeedItAreQuoted) {
    MakeTemplate({"CREATE TABLE \"Pay Slips\" (\"Order\" Integer, \"Net \"\"Pay\"\"\" DOUBLE)"});
    Repair();
    EXPECT_EQ(m_statements,
              (Texts{"CREATE TABLE \"Pay Slips\" (\"Order\" integer)",
                     "ALTER TABLE \"Pay Slips\" ADD COLUMN \"Net \"\"Pay\"\"\" double precision"}));
    EXPECT_TRUE(m_utilities.FailedStatements().empty());
    Repair();
    EXPECT_TRUE(m_statements.empty());
}

// A statement the server refuses does not spoil the ones after it.
TEST_F(ServerFixFieldsTest, RefusedAlterationIsReportedAndTheRepairGoesOn) {
    MakeTemplate({"CREATE TABLE T (Code Text (5), Name Text (20))"});
    OnMain({"CREATE TABLE t (code varchar(10))", "INSERT INTO t VALUES ('abcdefghij')"});
    Repair();
    EXPECT_EQ(m_statements, (Texts{"ALTER TABLE T ALTER COLUMN Code TYPE varchar(5)",
                                   "ALTER TABLE T ADD COLUMN Name varchar(20)"}));
    EXPECT_EQ(Events("ProcessDone"), Texts{"ProcessDone(0,2)"});
    EXPECT_EQ(m_utilities.FailedStatements(),
              (std::vector<FailedStatement>{
                  {m_statements[0], "value too long for type character varying(5)"}}));
}

}  // namespace
}  // namespace vesk::database_utilities::testing
