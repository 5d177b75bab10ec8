#include <gtest/gtest.h>

#include <fmt/format.h>

#include "copy_fixture.h"
#include "vesk/data_access/connection_text.h"
#include "vesk/data_access/recordset.h"

namespace vesk::database_utilities::testing {
namespace {

using data_access::Variant;

// Both builds copy between files; the current one also into a database on the server, where
// the same bodies must give the same rows.
class CopyDataTest : public CopyTest {};

const std::vector<std::string> kEmployees = {
    "CREATE TABLE Employees (Code Text (10), Name Text (50), Salary DOUBLE, Active YESNO, "
    "HireDate Date, Photo IMAGE, Id GUID)",
};

INSTANTIATE_TEST_SUITE_P(Builds, CopyDataTest,
                         ::testing::Values(CopyCase{Build::Current, Route::FileToFile},
                                           CopyCase{Build::Legacy, Route::FileToFile}),
                         CopyCaseName);
INSTANTIATE_TEST_SUITE_P(Server, CopyDataTest,
                         ::testing::Values(CopyCase{Build::Current, Route::FileToServer}),
                         CopyCaseName);

TEST_P(CopyDataTest, UpsizingAddsOnlyMissingRowsConvertedByColumnType) {
    std::vector<std::string> source = kEmployees;
    source.insert(
        source.end(),
        {
            "INSERT INTO Employees VALUES ('E1', 'Replacement', 9, 1, NULL, NULL, NULL)",
            "INSERT INTO Employees VALUES ('E2', '  abc  ', 2.5, 1, '2009-03-05 14:30', X'00FF01', "
            "'{6F9619FF-8B86-D011-B42D-00C04FC964FF}')",
            "INSERT INTO Employees VALUES ('E3', '   ', NULL, NULL, NULL, NULL, NULL)",
            "INSERT INTO Employees VALUES ('E4', '', 7, 0, NULL, NULL, NULL)",
            "INSERT INTO Employees VALUES ('O''Brien', 'it''s', 1, 1, NULL, NULL, NULL)",
            "CREATE TABLE Departments (DeptCode Text (10), DeptName Text (60))",
            "CREATE VIEW ActiveStaff AS SELECT Code FROM Employees",
        });
    data_access::ConnectionPtr from = MakeDatabase("source.mdb", "spw", source);
    data_access::ConnectionPtr to = MakeDestination(
        "dest.mdb", {"CREATE TABLE Employees (Code Text (10), Name Text (50), Salary DOUBLE, "
                     "Active YESNO, HireDate Date, Picture IMAGE, Id GUID)",
                     "INSERT INTO Employees (Code, Name) VALUES ('E1', 'Kept')",
                     "CREATE TABLE Departments (DeptCode Text (10), DeptName Text (60))",
                     "CREATE TABLE ActiveStaff (Code Text (10))"});

    m_utilities.CopyDataFromDBtoDB(from, to);

    EXPECT_EQ(m_upsize.events,
              (std::vector<std::string>{"Employees,3,7,0", "Departments,3,2,1", "ActiveStaff,3,1,2",
                                        "ActiveStaff,3,1,3"}));
    EXPECT_EQ(
        Column(to, "Employees", "Code"),
        (std::vector<std::string>{"Text:E1", "Text:E2", "Text:E3", "Text:E4", "Text:O'Brien"}));
    EXPECT_EQ(Column(to, "Employees", "Name"),
              (std::vector<std::string>{"Text:Kept", "Text:abc", "Text:", "Null:", "Text:it's"}));
    EXPECT_EQ(
        Column(to, "Employees", "Salary"),
        (std::vector<std::string>{"Null:", "Double:2.5", "Double:0", "Double:7", "Double:1"}));
    EXPECT_EQ(Column(to, "Employees", "Active"),
              (std::vector<std::string>{"Null:", "Boolean:True", "Boolean:False", "Boolean:False",
                                        "Boolean:True"}));
    EXPECT_EQ(Column(to, "Employees", "HireDate"),
              (std::vector<std::string>{"Null:", "Date:2009-03-05", "Null:", "Null:", "Null:"}));
    EXPECT_EQ(Column(to, "Employees", "Picture"),
              (std::vector<std::string>{"Null:", std::string("Binary:\0\xFF\x01", 10),
                                        "Null:", "Null:", "Null:"}));
    EXPECT_EQ(Column(to, "Employees", "Id"), std::vector<std::string>(5, "Null:"));
    EXPECT_TRUE(Column(to, "ActiveStaff", "Code").empty());
    EXPECT_TRUE(Column(to, "Departments", "DeptCode").empty());
    EXPECT_EQ(m_ui.EventPumpCount(), 5);
    EXPECT_TRUE(m_ui.MessageBoxes().empty());
}

TEST_P(CopyDataTest, DateIsStoredAsDayMonthYearTextInATextColumn) {
    std::vector<std::string> source = {"CREATE TABLE T (Code Text (10), Hired Date)",
                                       "INSERT INTO T VALUES ('A', '2009-03-05 14:30')"};
    data_access::ConnectionPtr from = MakeDatabase("source.mdb", "", source);
    data_access::ConnectionPtr to =
        MakeDestination("dest.mdb", {"CREATE TABLE T (Code Text (10), Hired Text (20))"});
    m_utilities.CopyDataFromDBtoDB(from, to);
    EXPECT_EQ(Column(to, "T", "Hired"), std::vector<std::string>{"Text:05 Mar 2009"});
}

TEST_P(CopyDataTest, NumbersKeepTheirLeadingNumberAndDuplicateSourceKeysAreAddedOnce) {
    data_access::ConnectionPtr from = MakeDatabase(
        "source.mdb", "",
        {"CREATE TABLE T (Code Text (10), Amount DOUBLE)", "INSERT INTO T VALUES ('A', '12.5kg')",
         "INSERT INTO T VALUES ('a', '-1.5E2x')", "INSERT INTO T VALUES ('A', 'none')",
         "INSERT INTO T VALUES ('7', 3)", "INSERT INTO T VALUES ('7', 4)"});
    data_access::ConnectionPtr to =
        MakeDestination("dest.mdb", {"CREATE TABLE T (Code Text (10), Amount DOUBLE)"});
    m_utilities.CopyDataFromDBtoDB(from, to);
    EXPECT_EQ(Column(to, "T", "Amount"),
              (std::vector<std::string>{"Double:12.5", "Double:-150", "Double:3"}));
}

TEST_P(CopyDataTest, TableMissingInDestinationIsSkippedWithoutAMessageAndReported) {
    data_access::ConnectionPtr from =
        MakeDatabase("source.mdb", "",
                     {"CREATE TABLE Archive (Code Text (10))", "INSERT INTO Archive VALUES ('A')",
                      "INSERT INTO Archive VALUES ('B')", "CREATE TABLE T (Code Text (10))",
                      "INSERT INTO T VALUES ('B')", "CREATE TABLE Wide (Id Text (10))",
                      "INSERT INTO Wide VALUES ('C')"});
    data_access::ConnectionPtr to = MakeDestination(
        "dest.mdb", {"CREATE TABLE T (Code Text (10))", "CREATE TABLE Wide (Code Text (10))"});
    m_utilities.CopyDataFromDBtoDB(from, to);
    EXPECT_EQ(Column(to, "T", "Code"), std::vector<std::string>{"Text:B"});
    EXPECT_EQ(m_upsize.events.size(), 4U);
    EXPECT_EQ(m_ui.EventPumpCount(), 4) << "a skipped table's rows are still walked";
    EXPECT_TRUE(m_ui.MessageBoxes().empty());
    const std::vector<TableCopyReport>& reports = m_utilities.CopyReports();
    ASSERT_EQ(reports.size(), 3u);
    EXPECT_TRUE(reports[0].skipped);
    EXPECT_EQ(reports[0].rowsRead, 2);
    EXPECT_EQ(reports[0].RowsLeftBehind(), 2);
    EXPECT_TRUE(reports[0].skipReason.starts_with("the destination cannot open it: "))
        << reports[0].skipReason;
    EXPECT_FALSE(reports[1].skipped);
    EXPECT_EQ(reports[1].rowsAdded, 1);
    EXPECT_EQ(reports[2].skipReason, "the destination table has no column Id");
}

TEST_P(CopyDataTest, ListenerThatWritesTableNoMovesTheLoop) {
    data_access::ConnectionPtr from =
        MakeDatabase("source.mdb", "",
                     {"CREATE TABLE A (Code Text (10))", "INSERT INTO A VALUES ('1')",
                      "CREATE TABLE B (Code Text (10))", "INSERT INTO B VALUES ('2')",
                      "CREATE TABLE C (Code Text (10))", "INSERT INTO C VALUES ('3')"});
    data_access::ConnectionPtr to = MakeDestination(
        "dest.mdb", {"CREATE TABLE A (Code Text (10))", "CREATE TABLE B (Code Text (10))",
                     "CREATE TABLE C (Code Text (10))"});
    m_upsize.onUpsize = [](std::int16_t& TableNo) {
        if (TableNo == 0) {
            TableNo = 1;
        }
    };
    m_utilities.CopyDataFromDBtoDB(from, to);
    // The pass over A went on as entry B; the loop then went on with C.
    EXPECT_EQ(m_upsize.events, (std::vector<std::string>{"A,3,1,0", "C,3,1,2", "C,3,1,3"}));
    EXPECT_EQ(Column(to, "B", "Code"), std::vector<std::string>{"Text:1"});
    EXPECT_TRUE(Column(to, "A", "Code").empty());
    EXPECT_EQ(Column(to, "C", "Code"), std::vector<std::string>{"Text:3"});
}

TEST_P(CopyDataTest, ClosedSourceCopiesNothingAndRaisesNoEvent) {
    data_access::ConnectionPtr from = MakeDatabase(
        "source.mdb", "", {"CREATE TABLE T (Code Text (10))", "INSERT INTO T VALUES ('A')"});
    data_access::ConnectionPtr to =
        MakeDestination("dest.mdb", {"CREATE TABLE T (Code Text (10))"});
    from->Close();
    m_utilities.CopyDataFromDBtoDB(from, to);
    m_utilities.CopyDataFromDBtoDB(nullptr, to);
    EXPECT_TRUE(m_upsize.events.empty());
    EXPECT_TRUE(Column(to, "T", "Code").empty());
    EXPECT_TRUE(m_ui.MessageBoxes().empty());
}

TEST_P(CopyDataTest, RowTheDestinationRefusesIsDroppedAndTheOthersStay) {
    data_access::ConnectionPtr from = MakeDatabase(
        "source.mdb", "",
        {"CREATE TABLE T (Code Text (10), Name Text (50))", "INSERT INTO T VALUES ('A', 'x')",
         "INSERT INTO T VALUES ('B', NULL)", "INSERT INTO T VALUES ('C', 'z')"});
    data_access::ConnectionPtr to =
        MakeDestination("dest.mdb", {"CREATE TABLE T (Code Text (10), Name Text (50) NOT NULL)"});
    m_utilities.CopyDataFromDBtoDB(from, to);
    EXPECT_EQ(Column(to, "T", "Code"), (std::vector<std::string>{"Text:A", "Text:C"}));
    ASSERT_EQ(m_utilities.CopyReports().size(), 1u);
    EXPECT_EQ(m_utilities.CopyReports()[0].rowsRefused, 1);
    EXPECT_EQ(m_utilities.CopyReports()[0].rowsAdded, 2);
    EXPECT_FALSE(m_utilities.CopyFailure()) << "a refused row does not stop the copy";
}

TEST_P(CopyDataTest, EmptyCatalogRaisesNoEvent) {
    data_access::ConnectionPtr from = MakeDatabase("source.mdb", "", {});
    data_access::ConnectionPtr to = MakeDestination("dest.mdb", {});
    m_utilities.CopyDataFromDBtoDB(from, to);
    EXPECT_TRUE(m_upsize.events.empty());
}

const std::vector<std::string> kNamedT = {
    "CREATE TABLE T (Code Text (10), Name Text (20) NOT NULL)"};

// More rows than one stretch of keys asked about and than one group: each new key once, in the
// source's order; a key seen before and a row the destination refuses are left out, and
// nothing else is.
TEST_P(CopyDataTest, RowsOfManyGroupsAreAddedOnceInTheSourcesOrder) {
    data_access::ConnectionPtr from = NumberedSource(1200, 700);
    from->Execute("INSERT INTO T VALUES ('K3', 'again')");
    data_access::ConnectionPtr to = MakeDestination("dest.mdb", kNamedT);
    m_utilities.RowsPerCommit = 100;
    m_utilities.CopyDataFromDBtoDB(from, to);
    EXPECT_FALSE(m_utilities.CopyFailure());
    EXPECT_EQ(Column(to, "T", "Code"), NumberedCodes(1200, 700));
    EXPECT_EQ(Column(to, "T", "Name")[2], "Text:N3");
    ASSERT_EQ(m_utilities.CopyReports().size(), 1u);
    const TableCopyReport& report = m_utilities.CopyReports()[0];
    EXPECT_EQ(
        std::tie(report.rowsRead, report.rowsAdded, report.rowsAlreadyThere, report.rowsRefused),
        std::make_tuple(1201L, 1199L, 1L, 1L));
    EXPECT_NE(report.firstRefusal.find(GetParam().route == Route::FileToServer ? "null value"
                                                                               : "NOT NULL"),
              std::string::npos)
        << report.firstRefusal;
}

}  // namespace
}  // namespace vesk::database_utilities::testing

namespace vesk::database_utilities::testing {
namespace {

// Copies with the server on one side, and losing it.
class ServerCopyDataTest : public CopyTest {};

INSTANTIATE_TEST_SUITE_P(Server, ServerCopyDataTest,
                         ::testing::Values(CopyCase{Build::Current, Route::FileToServer}),
                         CopyCaseName);

TEST_P(ServerCopyDataTest, RowsCopiedToTheServerComeBackIntoAFileUnchanged) {
    const std::vector<std::string> schema = {
        "CREATE TABLE T (Code Text (10), Name Text (50), Salary DOUBLE, Active YESNO, "
        "Hired Date, Photo IMAGE)"};
    std::vector<std::string> source = schema;
    source.insert(source.end(), {"INSERT INTO T VALUES ('A', 'x', 2.5, 1, '2009-03-05', X'00FF')",
                                 "INSERT INTO T VALUES ('O''B', 'it''s', 0, 0, NULL, NULL)"});
    data_access::ConnectionPtr file = MakeDatabase("source.mdb", "", source);
    data_access::ConnectionPtr server = MakeDestination("server", schema);
    m_utilities.CopyDataFromDBtoDB(file, server);
    data_access::ConnectionPtr back = MakeDatabase("back.mdb", "", schema);
    m_utilities.CopyDataFromDBtoDB(server, back);

    EXPECT_FALSE(m_utilities.CopyFailure());
    for (const char* column : {"Code", "Name", "Salary", "Active", "Hired", "Photo"}) {
        EXPECT_EQ(Column(back, "T", column), Column(file, "T", column)) << column;
    }
    m_utilities.CopyDataFromDBtoDB(server, back);
    EXPECT_EQ(Column(back, "T", "Code").size(), 2u) << "a second copy adds nothing";
}

// The server refuses a fraction as an integer's text; the copy stores it rounded, as the
// server's own cast from a fraction does, rather than losing the row.
TEST_P(ServerCopyDataTest, FractionIntoAnIntegerColumnIsRoundedHalfAwayFromZero) {
    data_access::ConnectionPtr from = MakeDatabase(
        "source.mdb", "",
        {"CREATE TABLE T (Code Text (10), Grade DOUBLE)", "INSERT INTO T VALUES ('A', 2.5)",
         "INSERT INTO T VALUES ('B', -2.5)", "INSERT INTO T VALUES ('C', 1e10)"});
    data_access::ConnectionPtr to =
        MakeDestination("dest", {"CREATE TABLE T (Code varchar(10), Grade integer)"});
    m_utilities.CopyDataFromDBtoDB(from, to);
    EXPECT_EQ(Column(to, "T", "Grade"), (std::vector<std::string>{"Long:3", "Long:-3"}))
        << "10000000000 is out of an integer's range: that row is refused";
}

TEST_P(ServerCopyDataTest, LostDestinationStopsTheCopyKeepingTheRowsCommitted) {
    data_access::ConnectionPtr from =
        MakeDatabase("source.mdb", "",
                     {"CREATE TABLE A (Code Text (10))", "INSERT INTO A VALUES ('1')",
                      "INSERT INTO A VALUES ('2')", "CREATE TABLE B (Code Text (10))",
                      "INSERT INTO B VALUES ('3')"});
    data_access::ConnectionPtr to = MakeDestination(
        "dest", {"CREATE TABLE A (Code Text (10))", "CREATE TABLE B (Code Text (10))"});
    m_upsize.onUpsize = [this](std::int16_t& TableNo) {
        if (TableNo == 1) {
            TerminateOtherSessions();
        }
    };
    m_utilities.CopyDataFromDBtoDB(from, to);

    EXPECT_TRUE(m_utilities.CopyFailure()->Description().starts_with(
        "The copy stopped in the table B: the destination database no longer answers: "))
        << m_utilities.CopyFailure()->Description();
    EXPECT_EQ(m_upsize.events, (std::vector<std::string>{"A,2,1,0", "B,2,1,1"}));
    m_upsize.onUpsize = nullptr;
    data_access::ConnectionPtr again = MakeDestination("dest", {});
    EXPECT_EQ(Column(again, "A", "Code"), (std::vector<std::string>{"Text:1", "Text:2"}));
    EXPECT_TRUE(Column(again, "B", "Code").empty());

    m_utilities.CopyDataFromDBtoDB(from, again);
    EXPECT_FALSE(m_utilities.CopyFailure()) << "a copy that runs to its end clears it";
    EXPECT_EQ(Column(again, "B", "Code"), std::vector<std::string>{"Text:3"});
}

// A user who may read the destination but not write it: every row is refused, counted, and
// the first reason kept; the keys are still compared.
TEST_P(ServerCopyDataTest, RowsAUserMayNotWriteAreRefusedAndCounted) {
    data_access::ConnectionPtr from = NumberedSource(3, 0);
    MakeDestination("dest", kNamedT);
    ServerConnection()->Execute(
        "DO $$ BEGIN CREATE ROLE vesk_reader LOGIN; EXCEPTION WHEN duplicate_object THEN NULL; "
        "END $$");
    ServerConnection()->Execute("ALTER ROLE vesk_reader PASSWORD 'reader;pw'");
    ServerConnection()->Execute("GRANT SELECT ON T TO vesk_reader");
    auto reader = std::make_shared<data_access::Connection>();
    data_access::ConnectionSettings settings =
        data_access::ParseConnectionText(m_server->ConnectionText());
    reader->Open("Provider=PostgreSQL;Host=" + settings.host + ";Port=" + settings.port +
                 ";Database=" + settings.database + ";User ID=vesk_reader;Password=\"reader;pw\"");
    m_utilities.CopyDataFromDBtoDB(from, reader);
    EXPECT_FALSE(m_utilities.CopyFailure());
    ASSERT_EQ(m_utilities.CopyReports().size(), 1u);
    const TableCopyReport& report = m_utilities.CopyReports()[0];
    EXPECT_EQ(report.rowsRead, 3);
    EXPECT_EQ(report.rowsRefused, 3);
    EXPECT_EQ(report.RowsLeftBehind(), 3);
    EXPECT_EQ(report.firstRefusal, "permission denied for table t");
}

// The connection lost in the middle of a table: the copy stops with the reason, every row
// committed before that pump stays, and a copy run again completes the table without doubles.
TEST_P(ServerCopyDataTest, LostDestinationInTheMiddleOfATableKeepsEveryRowCopiedBeforeIt) {
    data_access::ConnectionPtr from = NumberedSource(1200, 0);
    data_access::ConnectionPtr to = MakeDestination("dest", kNamedT);
    int pumps = 0;
    m_ui.SetEventPumpHook([&] {
        if (++pumps == 700) {
            TerminateOtherSessions();
        }
    });
    m_utilities.CopyDataFromDBtoDB(from, to);
    m_ui.SetEventPumpHook(nullptr);

    EXPECT_TRUE(m_utilities.CopyFailure()->Description().starts_with(
        "The copy stopped in the table T: the destination database no longer answers: "))
        << m_utilities.CopyFailure()->Description();
    data_access::ConnectionPtr again = MakeDestination("dest", {});
    EXPECT_EQ(Column(again, "T", "Code"), NumberedCodes(700, 0));
    m_utilities.CopyDataFromDBtoDB(from, again);
    EXPECT_FALSE(m_utilities.CopyFailure());
    EXPECT_EQ(Column(again, "T", "Code"), NumberedCodes(1200, 0));
}

}  // namespace
}  // namespace vesk::database_utilities::testing
