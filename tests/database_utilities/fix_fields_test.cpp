#include <gtest/gtest.h>

#include <QImage>

#include <fmt/format.h>

#include "utilities_fixture.h"

namespace vesk::database_utilities::testing {
namespace {

using Texts = std::vector<std::string>;

// Both builds run every test; where they differ on the same input, ForBuild sets the two
// expectations side by side.
class FixFieldsTest : public BuildTest {
protected:
    // Three catalog entries: two tables and a view of three columns.
    const Texts kTemplate = {
        "CREATE TABLE Employees (Code Text (50), Name Text (50), Salary Integer)",
        "CREATE TABLE Grades (Grade Integer)",
        "CREATE VIEW Rich AS SELECT * FROM Employees WHERE Salary > 1000",
    };
    const Texts kEmployeesCreated = {
        "CREATE TABLE Employees (Code Text (50))",
        "ALTER Table Employees ADD COLUMN Name Text (50)",
        "ALTER Table Employees ADD COLUMN Salary Integer",
    };

    // `events`, then those of the view, whose columns the legacy build walks as well, and the
    // closing ones.
    Texts EndingWithTheView(Texts events) const {
        if (m_build == Build::Legacy) {
            events.insert(events.end(), {"Progress(Rich,3,3,1,3)", "Progress(Rich,3,3,2,3)",
                                         "Progress(Rich,3,3,3,3)"});
        }
        events.insert(events.end(),
                      {"Progress(Rich,3,0,0,3)", "Progress(,3,0,0,3)", "ProcessDone(0,0)"});
        return events;
    }
};

INSTANTIATE_TEST_SUITE_P(Builds, FixFieldsTest, kBothBuilds, BuildName);

TEST_P(FixFieldsTest, MainLikeTheTemplateGetsNoStatementAndAllProgress) {
    MakeTemplate(kTemplate);
    MakeMain(kTemplate);
    m_ui.SetClipboardPicture(picture::Picture(QImage(2, 2, QImage::Format_RGB32)));
    m_utilities.FixFields();
    EXPECT_TRUE(m_statements.empty());
    EXPECT_EQ(m_listener.events,
              EndingWithTheView({"Progress(Employees,3,3,1,1)", "Progress(Employees,3,3,2,1)",
                                 "Progress(Employees,3,3,3,1)", "Progress(Employees,3,0,0,1)",
                                 "Progress(Grades,3,1,1,2)", "Progress(Grades,3,0,0,2)"}));
    EXPECT_EQ(m_ui.GetClipboardPicture().Handle() == 0u, ForBuild(true, false))
        << "only the current build clears the clipboard";
    EXPECT_TRUE(m_ui.MessageBoxes().empty());
}

// The legacy build picks entries by name alone and tests the type before each statement: a
// view, missing from the main database with all its columns, still gets none.
TEST_P(FixFieldsTest, AViewIsWalkedOnlyByTheLegacyBuildAndNeverGetsAStatement) {
    MakeTemplate(kTemplate);
    MakeMain({});
    m_utilities.FixFields("Rich");
    EXPECT_TRUE(m_statements.empty());
    EXPECT_EQ(m_listener.events,
              EndingWithTheView({"Progress(Employees,3,0,0,1)", "Progress(Grades,3,0,0,2)"}));

    m_statements.clear();
    m_utilities.FixFields();
    Texts created = kEmployeesCreated;
    created.push_back("CREATE TABLE Grades (Grade Integer)");
    EXPECT_EQ(m_statements, created);
}

TEST_P(FixFieldsTest, MissingTableIsCreatedWithItsFirstColumnThenTheOthersAdded) {
    MakeTemplate({kTemplate[0]});
    MakeMain({});
    m_utilities.FixFields();
    EXPECT_EQ(m_statements, kEmployeesCreated);
    EXPECT_EQ(Events("ProcessDone"), Texts{"ProcessDone(1,2)"});
    EXPECT_TRUE(m_utilities.FailedStatements().empty());
}

// No column is declared as adDecimal (14); GetFieldTypeNameTest covers that code.
TEST_P(FixFieldsTest, LegacyBuildNamesNumbersAndLargeBinariesApartInTheFileDialect) {
    MakeTemplate(
        {"CREATE TABLE Rates (Code Text (10), Hours REAL, Rate DOUBLE, Pay Currency, "
         "Amount NUMERIC, Scan IMAGE)"});
    MakeMain({});
    m_utilities.FixFields();
    struct Added {
        const char* column;
        const char* current;  // the type names of each build
        const char* legacy;
    };
    const Added added[] = {{"Hours", "FLOAT", "Integer"},
                           {"Rate", "FLOAT", "Currency"},
                           {"Pay", "FLOAT", "Currency"},
                           {"Amount", "FLOAT", "Integer"},
                           {"Scan", "IMAGE", "Binary"}};
    Texts expected = {"CREATE TABLE Rates (Code Text (10))"};
    for (const Added& column : added) {
        expected.push_back(fmt::format("ALTER Table Rates ADD COLUMN {} {}", column.column,
                                       ForBuild(column.current, column.legacy)));
    }
    EXPECT_EQ(m_statements, expected);
    EXPECT_TRUE(m_utilities.FailedStatements().empty());
}

TEST_P(FixFieldsTest, MissingAndSmallerColumnsInEachDialectAndSameSizeLeftAlone) {
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

TEST_P(FixFieldsTest, TableNameSelectsOneTableByItsExactName) {
    MakeTemplate(kTemplate);
    MakeMain({});
    m_utilities.FixFields("Grades");
    EXPECT_EQ(m_statements, Texts{"CREATE TABLE Grades (Grade Integer)"});
    EXPECT_EQ(m_listener.events, (Texts{"Progress(Employees,3,0,0,1)", "Progress(Grades,3,1,1,2)",
                                        "Progress(Grades,3,0,0,2)", "Progress(Rich,3,0,0,3)",
                                        "Progress(,3,0,0,3)", "ProcessDone(1,0)"}));
    for (const char* name : {"employees", "Nobody"}) {
        m_statements.clear();
        m_listener.events.clear();
        m_utilities.FixFields(name);
        EXPECT_TRUE(m_statements.empty()) << name;
        EXPECT_EQ(Events("Progress").size(), 4u);
        EXPECT_EQ(Events("ProcessDone"), Texts{"ProcessDone(0,0)"});
    }
}

TEST_P(FixFieldsTest, CancelStopsBeforeTheNextTableAndStaysSet) {
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

TEST_P(FixFieldsTest, HostMayCancelFromTheEventPumpAfterAnAlteration) {
    MakeTemplate(kTemplate);
    MakeMain({"CREATE TABLE Employees (Code Text (10), Name Text (50), Salary Integer)"});
    m_ui.SetEventPumpHook([this] { m_utilities.OperationCancelled = true; });
    m_utilities.FixFields();
    EXPECT_EQ(m_statements, Texts{"ALTER Table Employees ALTER COLUMN Code Text (50)"});
    EXPECT_EQ(Events("ProcessDone"), Texts{"ProcessDone(0,1)"});
}

TEST_P(FixFieldsTest, ListenersShareTheRunningCounters) {
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
TEST_P(FixFieldsTest, OracleStatementsHaveNoTypesAndAreAllCounted) {
    MakeTemplate({kTemplate[0]});
    MakeMain({});
    m_utilities.DBType = DBOracle;
    m_utilities.FixFields();
    EXPECT_EQ(m_statements,
              (Texts{"CREATE TABLE Employees (Code )", "ALTER Table Employees ALTER Code ",
                     "ALTER Table Employees ADD Name ", "ALTER Table Employees ADD Salary "}));
    EXPECT_EQ(Events("ProcessDone"), Texts{"ProcessDone(1,3)"});
}

// Names go into the statements as the catalog gives them, so a name that is a keyword is
// refused; the repair counts each refused statement, names it in FailedStatements and goes
// on. A refused CREATE TABLE carried the first column: no ADD of it follows, yet the totals
// count it as they always have.
TEST_P(FixFieldsTest, RefusedStatementIsCountedReportedAndSkipped) {
    MakeTemplate({"CREATE TABLE Orders (\"Order\" Integer, Code Text (5))",
                  "CREATE TABLE \"Order\" (Code Text (5), Name Text (9))"});
    MakeMain({"CREATE TABLE Orders (Id Integer)"});
    m_utilities.FixFields();
    EXPECT_EQ(m_statements, (Texts{"ALTER Table Orders ADD COLUMN Order Integer",
                                   "ALTER Table Orders ADD COLUMN Code Text (5)",
                                   "CREATE TABLE Order (Code Text (5))",
                                   "ALTER Table Order ADD COLUMN Name Text (9)"}));
    EXPECT_EQ(Events("ProcessDone"), Texts{"ProcessDone(1,4)"});
    ASSERT_EQ(m_utilities.FailedStatements().size(), 3u);
    EXPECT_EQ(m_utilities.FailedStatements()[0].statement, m_statements[0]);
    EXPECT_NE(m_utilities.FailedStatements()[0].description.find("syntax error"),
              std::string::npos);
    EXPECT_EQ(m_utilities.FailedStatements()[1].statement, m_statements[2]);
    EXPECT_TRUE(m_ui.MessageBoxes().empty());
}

}  // namespace
}  // namespace vesk::database_utilities::testing
