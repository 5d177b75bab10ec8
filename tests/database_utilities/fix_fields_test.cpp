#include <gtest/gtest.h>

#include <QImage>

#include "utilities_fixture.h"

namespace vesk::dbutil::testing {
namespace {

using Texts = std::vector<std::string>;

class FixFieldsTest : public UtilitiesTest {
protected:
    // Three catalog entries: two tables and a view.
    const Texts kTemplate = {
        "CREATE TABLE Employees (Code Text (50), Name Text (50), Salary Currency)",
        "CREATE TABLE Grades (Grade Integer)",
        "CREATE VIEW Rich AS SELECT * FROM Employees WHERE Salary > 1000",
    };
    const Texts kEmployeesCreated = {
        "CREATE TABLE Employees (Code Text (50))",
        "ALTER Table Employees ADD COLUMN Name Text (50)",
        "ALTER Table Employees ADD COLUMN Salary FLOAT",
    };
};

TEST_F(FixFieldsTest, MainLikeTheTemplateGetsNoStatementAndAllProgress) {
    MakeTemplate(kTemplate);
    MakeMain(kTemplate);
    m_ui.SetClipboardPicture(platform::Picture(QImage(2, 2, QImage::Format_RGB32)));
    m_utilities.FixFields();
    EXPECT_TRUE(m_statements.empty());
    EXPECT_EQ(m_listener.events,
              (Texts{"Progress(Employees,3,3,1,1)", "Progress(Employees,3,3,2,1)",
                     "Progress(Employees,3,3,3,1)", "Progress(Employees,3,0,0,1)",
                     "Progress(Grades,3,1,1,2)", "Progress(Grades,3,0,0,2)",
                     "Progress(Rich,3,0,0,3)", "Progress(,3,0,0,3)", "ProcessDone(0,0)"}));
    EXPECT_EQ(m_ui.GetClipboardPicture().Handle(), 0u) << "the clipboard is cleared";
    EXPECT_TRUE(m_ui.MessageBoxes().empty());
}

TEST_F(FixFieldsTest, MissingTableIsCreatedWithItsFirstColumnThenTheOthersAdded) {
    MakeTemplate({kTemplate[0]});
    MakeMain({});
    m_utilities.FixFields();
    EXPECT_EQ(m_statements, kEmployeesCreated);
    EXPECT_EQ(Events("ProcessDone"), Texts{"ProcessDone(1,2)"});
    EXPECT_TRUE(m_utilities.FailedStatements().empty());
}

TEST_F(FixFieldsTest, MissingAndSmallerColumnsInEachDialectAndSameSizeLeftAlone) {
    MakeTemplate({"CREATE TABLE Staff (Code Text (50), Rate Integer, Name Text (50))"});
    const Texts mainStaff = {"CREATE TABLE Staff (Code Text (30), Rate REAL)"};
    struct Dialect {
        DBTypes type;
        Texts statements;
    };
    const Dialect dialects[] = {
        {DBDefault,
         {"ALTER Table Staff ALTER COLUMN Code Text (50)",
          "ALTER Table Staff ADD COLUMN Name Text (50)"}},
        {DBSqlServer,
         {"ALTER Table Staff ALTER Code nVARCHAR (50)",
          "ALTER Table Staff ADD Name nVARCHAR (50)"}},
    };
    for (const Dialect& dialect : dialects) {
        m_utilities.MainFileConnection =
            MakeDatabase("main" + std::to_string(dialect.type) + ".mdb", "mpw", mainStaff);
        m_utilities.DBType = dialect.type;
        m_utilities.DoCleanUp();
        m_statements.clear();
        m_listener.events.clear();
        m_utilities.FixFields();
        EXPECT_EQ(m_statements, dialect.statements);
        EXPECT_EQ(Events("ProcessDone"), Texts{"ProcessDone(0,2)"});
        EXPECT_TRUE(m_utilities.FailedStatements().empty());
    }
    EXPECT_EQ(m_ui.EventPumpCount(), 2) << "once after each alteration";
}

TEST_F(FixFieldsTest, TableNameSelectsOneTableByItsExactName) {
    MakeTemplate(kTemplate);
    MakeMain({});
    m_utilities.FixFields("Grades");
    EXPECT_EQ(m_statements, Texts{"CREATE TABLE Grades (Grade Integer)"});
    EXPECT_EQ(m_listener.events, (Texts{"Progress(Employees,3,0,0,1)", "Progress(Grades,3,1,1,2)",
                                        "Progress(Grades,3,0,0,2)", "Progress(Rich,3,0,0,3)",
                                        "Progress(,3,0,0,3)", "ProcessDone(1,0)"}));
    for (const char* name : {"employees", "Nobody", "Rich"}) {
        m_statements.clear();
        m_listener.events.clear();
        m_utilities.FixFields(name);
        EXPECT_TRUE(m_statements.empty()) << name;
        EXPECT_EQ(Events("Progress").size(), 4u);
        EXPECT_EQ(Events("ProcessDone"), Texts{"ProcessDone(0,0)"});
    }
}

TEST_F(FixFieldsTest, CancelStopsBeforeTheNextTableAndStaysSet) {
    MakeTemplate(kTemplate);
    MakeMain({});
    m_utilities.OperationCancelled = true;
    m_utilities.FixFields();
    EXPECT_TRUE(m_statements.empty());
    EXPECT_EQ(m_listener.events, (Texts{"Progress(,3,0,0,3)", "ProcessDone(0,0)"}));
    EXPECT_TRUE(m_utilities.OperationCancelled);

    m_utilities.OperationCancelled = false;
    m_listener.events.clear();
    m_listener.onProgress = [this](std::string& table) {
        m_utilities.OperationCancelled = table == "Employees";
    };
    m_utilities.FixFields();
    EXPECT_EQ(m_statements, kEmployeesCreated);
    EXPECT_EQ(Texts(m_listener.events.end() - 3, m_listener.events.end()),
              (Texts{"Progress(Employees,3,0,0,1)", "Progress(,3,0,0,3)", "ProcessDone(1,2)"}));
}

TEST_F(FixFieldsTest, HostMayCancelFromTheEventPumpAfterAnAlteration) {
    MakeTemplate(kTemplate);
    MakeMain({"CREATE TABLE Employees (Code Text (10), Name Text (50), Salary Currency)"});
    m_ui.SetEventPumpHook([this] { m_utilities.OperationCancelled = true; });
    m_utilities.FixFields();
    EXPECT_EQ(m_statements, Texts{"ALTER Table Employees ALTER COLUMN Code Text (50)"});
    EXPECT_EQ(Events("ProcessDone"), Texts{"ProcessDone(0,1)"});
}

TEST_F(FixFieldsTest, ListenersShareTheRunningCounters) {
    MakeTemplate(kTemplate);
    MakeMain(kTemplate);
    struct Renumber : DatabaseUtilitiesEvents {
        void Progress(std::string&, std::int16_t&, std::int16_t&, std::int16_t&,
                      std::int16_t& TableNo) override {
            TableNo = TableNo == 1 ? 10 : TableNo;
        }
    } renumber;
    m_utilities.Advise(&renumber);
    m_utilities.FixFields();
    EXPECT_EQ(Events("Progress")[1], "Progress(Employees,3,3,2,10)");
    EXPECT_EQ(Events("Progress")[4], "Progress(Grades,3,1,1,11)");
    EXPECT_EQ(Events("Progress").back(), "Progress(,3,0,0,3)");
}

// The embedded engine takes a column without a type, of defined size 0: so the new first
// column differs from the template's in size and is altered at once.
TEST_F(FixFieldsTest, OracleStatementsHaveNoTypesAndAreAllCounted) {
    MakeTemplate({kTemplate[0]});
    MakeMain({});
    m_utilities.DBType = DBOracle;
    m_utilities.FixFields();
    EXPECT_EQ(m_statements,
              (Texts{"CREATE TABLE Employees (Code )", "ALTER Table Employees ALTER Code ",
                     "ALTER Table Employees ADD Name ", "ALTER Table Employees ADD Salary "}));
    EXPECT_EQ(Events("ProcessDone"), Texts{"ProcessDone(1,3)"});
}

// Names go into the statements as the catalog gives them, so a column named with a keyword
// is refused; the repair counts it, names it in FailedStatements and goes on.
TEST_F(FixFieldsTest, RefusedStatementIsCountedReportedAndSkipped) {
    MakeTemplate({"CREATE TABLE Orders (\"Order\" Integer, Code Text (5))"});
    MakeMain({"CREATE TABLE Orders (Id Integer)"});
    m_utilities.FixFields();
    EXPECT_EQ(m_statements, (Texts{"ALTER Table Orders ADD COLUMN Order Integer",
                                   "ALTER Table Orders ADD COLUMN Code Text (5)"}));
    EXPECT_EQ(Events("ProcessDone"), Texts{"ProcessDone(0,2)"});
    ASSERT_EQ(m_utilities.FailedStatements().size(), 1u);
    EXPECT_EQ(m_utilities.FailedStatements()[0].statement, m_statements[0]);
    EXPECT_NE(m_utilities.FailedStatements()[0].description.find("syntax error"),
              std::string::npos);
    EXPECT_TRUE(m_ui.MessageBoxes().empty());
}

}  // namespace
}  // namespace vesk::dbutil::testing
