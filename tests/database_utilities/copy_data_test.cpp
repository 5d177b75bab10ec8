#include <gtest/gtest.h>

#include <regex>

#include <fmt/format.h>

#include "server_cluster.h"
#include "utilities_fixture.h"
#include "vesk/data_access/recordset.h"

namespace vesk::dbutil::testing {
namespace {

using data::Variant;

// Records each ProgressUpsize as "Name,TotalTables,TotalFields,TableNo"; `onUpsize` runs
// inside, as a host's handler would.
class UpsizeListener : public DatabaseUtilitiesEvents {
public:
    std::vector<std::string> events;
    std::function<void(std::int16_t&)> onUpsize;

    void ProgressUpsize(std::string& TableName, std::int16_t& TotalTables,
                        std::int16_t& TotalFields, std::int16_t& TableNo) override {
        events.push_back(fmt::format("{},{},{},{}", TableName, TotalTables, TotalFields, TableNo));
        if (onUpsize) {
            onUpsize(TableNo);
        }
    }
};

// Where a copy's destination is: a file of its own, or a database on the server.
enum class Destination { File, Server };

struct CopyCase {
    Build build;
    Destination destination;
};

std::string CopyCaseName(const ::testing::TestParamInfo<CopyCase>& info) {
    return info.param.destination == Destination::Server
               ? "ToServer"
               : BuildName(::testing::TestParamInfo<Build>(info.param.build, info.index));
}

// The server's names for the file dialect's types in the statements of these tests.
std::string InServerDialect(const std::string& statement) {
    static const std::pair<std::regex, const char*> kNames[] = {
        {std::regex(R"(\bText \((\d+)\))"), "varchar($1)"},
        {std::regex(R"(\bDOUBLE\b)"), "double precision"},
        {std::regex(R"(\bYESNO\b)"), "boolean"},
        {std::regex(R"(\bDate\b)"), "timestamp"},
        {std::regex(R"(\bIMAGE\b)"), "bytea"},
        {std::regex(R"(\bGUID\b)"), "uuid"},
    };
    std::string result = statement;
    for (const auto& [pattern, name] : kNames) {
        result = std::regex_replace(result, pattern, name);
    }
    return result;
}

// Both builds copy between files; the current one also into a database on the server, where
// the same bodies must give the same rows.
class CopyDataTest : public UtilitiesTest, public ::testing::WithParamInterface<CopyCase> {
protected:
    CopyDataTest() : UtilitiesTest(GetParam().build) { m_utilities.Advise(&m_upsize); }
    ~CopyDataTest() override { m_utilities.Unadvise(&m_upsize); }

    void SetUp() override {
        if (GetParam().destination == Destination::Server) {
            if (auto cluster = data::testing::RequireServerCluster()) {
                m_server = std::make_unique<data::testing::ScratchServerDatabase>(*cluster);
            }
        }
    }

    // The destination database holding `statements`: the file `name`, or the server database
    // with the statements in its dialect.
    data::ConnectionPtr MakeDestination(const std::string& name,
                                        const std::vector<std::string>& statements) {
        if (!m_server) {
            return MakeDatabase(name, "", statements);
        }
        auto connection = std::make_shared<data::Connection>();
        connection->Open(m_server->ConnectionText());
        for (const std::string& statement : statements) {
            connection->Execute(InServerDialect(statement));
        }
        return connection;
    }

    // The values of `column` in `table`, in row order, as their type and text.
    static std::vector<std::string> Column(const data::ConnectionPtr& connection,
                                           const std::string& table, const std::string& column) {
        data::Recordset rows;
        rows.Open("SELECT * FROM " + table, connection, data::adOpenKeyset, data::adLockReadOnly);
        std::vector<std::string> values;
        for (; !rows.IsEOF(); rows.MoveNext()) {
            Variant value = rows.Fields()[column].Value();
            values.push_back(
                fmt::format("{}:{}", data::VariantTypeName(value.Type()), value.ToText()));
        }
        return values;
    }

    // A source of `rows` numbered rows "K1", "K2", ... in table T; the row numbered `unnamed` has
    // no name, which the destinations of these tests refuse.
    data::ConnectionPtr NumberedSource(int rows, int unnamed) {
        data::ConnectionPtr from =
            MakeDatabase("source.mdb", "", {"CREATE TABLE T (Code Text (10), Name Text (20))"});
        from->Execute(fmt::format(
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < {}) "
            "INSERT INTO T SELECT 'K' || i, CASE WHEN i = {} THEN NULL ELSE 'N' || i END FROM n",
            rows, unnamed));
        return from;
    }

    UpsizeListener m_upsize;
    std::unique_ptr<data::testing::ScratchServerDatabase> m_server;
};

const std::vector<std::string> kEmployees = {
    "CREATE TABLE Employees (Code Text (10), Name Text (50), Salary DOUBLE, Active YESNO, "
    "HireDate Date, Photo IMAGE, Id GUID)",
};

INSTANTIATE_TEST_SUITE_P(Builds, CopyDataTest,
                         ::testing::Values(CopyCase{Build::Current, Destination::File},
                                           CopyCase{Build::Legacy, Destination::File}),
                         CopyCaseName);
INSTANTIATE_TEST_SUITE_P(Server, CopyDataTest,
                         ::testing::Values(CopyCase{Build::Current, Destination::Server}),
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
    data::ConnectionPtr from = MakeDatabase("source.mdb", "spw", source);
    data::ConnectionPtr to = MakeDestination(
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
    data::ConnectionPtr from = MakeDatabase("source.mdb", "", source);
    data::ConnectionPtr to =
        MakeDestination("dest.mdb", {"CREATE TABLE T (Code Text (10), Hired Text (20))"});
    m_utilities.CopyDataFromDBtoDB(from, to);
    EXPECT_EQ(Column(to, "T", "Hired"), std::vector<std::string>{"Text:05 Mar 2009"});
}

TEST_P(CopyDataTest, NumbersKeepTheirLeadingNumberAndDuplicateSourceKeysAreAddedOnce) {
    data::ConnectionPtr from = MakeDatabase(
        "source.mdb", "",
        {"CREATE TABLE T (Code Text (10), Amount DOUBLE)", "INSERT INTO T VALUES ('A', '12.5kg')",
         "INSERT INTO T VALUES ('a', '-1.5E2x')", "INSERT INTO T VALUES ('A', 'none')",
         "INSERT INTO T VALUES ('7', 3)", "INSERT INTO T VALUES ('7', 4)"});
    data::ConnectionPtr to =
        MakeDestination("dest.mdb", {"CREATE TABLE T (Code Text (10), Amount DOUBLE)"});
    m_utilities.CopyDataFromDBtoDB(from, to);
    EXPECT_EQ(Column(to, "T", "Amount"),
              (std::vector<std::string>{"Double:12.5", "Double:-150", "Double:3"}));
}

TEST_P(CopyDataTest, TableMissingInDestinationIsSkippedSilently) {
    data::ConnectionPtr from =
        MakeDatabase("source.mdb", "",
                     {"CREATE TABLE Archive (Code Text (10))", "INSERT INTO Archive VALUES ('A')",
                      "CREATE TABLE T (Code Text (10))", "INSERT INTO T VALUES ('B')"});
    data::ConnectionPtr to = MakeDestination("dest.mdb", {"CREATE TABLE T (Code Text (10))"});
    m_utilities.CopyDataFromDBtoDB(from, to);
    EXPECT_EQ(Column(to, "T", "Code"), std::vector<std::string>{"Text:B"});
    EXPECT_EQ(m_upsize.events.size(), 3U);
    EXPECT_TRUE(m_ui.MessageBoxes().empty());
}

TEST_P(CopyDataTest, ListenerThatWritesTableNoMovesTheLoop) {
    data::ConnectionPtr from =
        MakeDatabase("source.mdb", "",
                     {"CREATE TABLE A (Code Text (10))", "INSERT INTO A VALUES ('1')",
                      "CREATE TABLE B (Code Text (10))", "INSERT INTO B VALUES ('2')",
                      "CREATE TABLE C (Code Text (10))", "INSERT INTO C VALUES ('3')"});
    data::ConnectionPtr to = MakeDestination(
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
    data::ConnectionPtr from = MakeDatabase(
        "source.mdb", "", {"CREATE TABLE T (Code Text (10))", "INSERT INTO T VALUES ('A')"});
    data::ConnectionPtr to = MakeDestination("dest.mdb", {"CREATE TABLE T (Code Text (10))"});
    from->Close();
    m_utilities.CopyDataFromDBtoDB(from, to);
    m_utilities.CopyDataFromDBtoDB(nullptr, to);
    EXPECT_TRUE(m_upsize.events.empty());
    EXPECT_TRUE(Column(to, "T", "Code").empty());
    EXPECT_TRUE(m_ui.MessageBoxes().empty());
}

TEST_P(CopyDataTest, RowTheDestinationRefusesIsDroppedAndTheOthersStay) {
    data::ConnectionPtr from = MakeDatabase(
        "source.mdb", "",
        {"CREATE TABLE T (Code Text (10), Name Text (50))", "INSERT INTO T VALUES ('A', 'x')",
         "INSERT INTO T VALUES ('B', NULL)", "INSERT INTO T VALUES ('C', 'z')"});
    data::ConnectionPtr to =
        MakeDestination("dest.mdb", {"CREATE TABLE T (Code Text (10), Name Text (50) NOT NULL)"});
    m_utilities.CopyDataFromDBtoDB(from, to);
    EXPECT_EQ(Column(to, "T", "Code"), (std::vector<std::string>{"Text:A", "Text:C"}));
}

TEST_P(CopyDataTest, EmptyCatalogRaisesNoEvent) {
    data::ConnectionPtr from = MakeDatabase("source.mdb", "", {});
    data::ConnectionPtr to = MakeDestination("dest.mdb", {});
    m_utilities.CopyDataFromDBtoDB(from, to);
    EXPECT_TRUE(m_upsize.events.empty());
}

std::vector<std::string> NumberedCodes(int rows, int leftOut) {
    std::vector<std::string> codes;
    for (int number = 1; number <= rows; ++number) {
        if (number != leftOut) {
            codes.push_back(fmt::format("Text:K{}", number));
        }
    }
    return codes;
}

const std::vector<std::string> kNamedT = {
    "CREATE TABLE T (Code Text (10), Name Text (20) NOT NULL)"};

// More rows than one group: each new key once, in the source's order; a key seen before and a
// row the destination refuses are left out, and nothing else is.
TEST_P(CopyDataTest, RowsOfManyGroupsAreAddedOnceInTheSourcesOrder) {
    data::ConnectionPtr from = NumberedSource(12000, 7000);
    from->Execute("INSERT INTO T VALUES ('K3', 'again')");
    data::ConnectionPtr to = MakeDestination("dest.mdb", kNamedT);
    m_utilities.CopyDataFromDBtoDB(from, to);
    EXPECT_EQ(m_utilities.CopyFailure(), "");
    EXPECT_EQ(Column(to, "T", "Code"), NumberedCodes(12000, 7000));
    EXPECT_EQ(Column(to, "T", "Name")[2], "Text:N3");
}

}  // namespace
}  // namespace vesk::dbutil::testing

namespace vesk::dbutil::testing {
namespace {

// Copies that need the server on both sides of the test: from it, and losing it.
class ServerCopyDataTest : public CopyDataTest {
protected:
    // Drops every other session on the destination database, waiting until they are gone.
    void TerminateOtherSessions() {
        data::Connection admin;
        admin.Open(m_server->ConnectionText());
        admin.Execute(
            "SELECT pg_terminate_backend(pid, 5000) FROM pg_stat_activity "
            "WHERE datname = current_database() AND pid <> pg_backend_pid()");
    }
};

INSTANTIATE_TEST_SUITE_P(Server, ServerCopyDataTest,
                         ::testing::Values(CopyCase{Build::Current, Destination::Server}),
                         CopyCaseName);

TEST_P(ServerCopyDataTest, RowsCopiedToTheServerComeBackIntoAFileUnchanged) {
    const std::vector<std::string> schema = {
        "CREATE TABLE T (Code Text (10), Name Text (50), Salary DOUBLE, Active YESNO, "
        "Hired Date, Photo IMAGE)"};
    std::vector<std::string> source = schema;
    source.insert(source.end(), {"INSERT INTO T VALUES ('A', 'x', 2.5, 1, '2009-03-05', X'00FF')",
                                 "INSERT INTO T VALUES ('O''B', 'it''s', 0, 0, NULL, NULL)"});
    data::ConnectionPtr file = MakeDatabase("source.mdb", "", source);
    data::ConnectionPtr server = MakeDestination("server", schema);
    m_utilities.CopyDataFromDBtoDB(file, server);
    data::ConnectionPtr back = MakeDatabase("back.mdb", "", schema);
    m_utilities.CopyDataFromDBtoDB(server, back);

    EXPECT_EQ(m_utilities.CopyFailure(), "");
    for (const char* column : {"Code", "Name", "Salary", "Active", "Hired", "Photo"}) {
        EXPECT_EQ(Column(back, "T", column), Column(file, "T", column)) << column;
    }
    m_utilities.CopyDataFromDBtoDB(server, back);
    EXPECT_EQ(Column(back, "T", "Code").size(), 2u) << "a second copy adds nothing";
}

// The server refuses a fraction as an integer's text; the copy stores it rounded, as the
// server's own cast from a fraction does, rather than losing the row.
TEST_P(ServerCopyDataTest, FractionIntoAnIntegerColumnIsRoundedHalfAwayFromZero) {
    data::ConnectionPtr from = MakeDatabase(
        "source.mdb", "",
        {"CREATE TABLE T (Code Text (10), Grade DOUBLE)", "INSERT INTO T VALUES ('A', 2.5)",
         "INSERT INTO T VALUES ('B', -2.5)", "INSERT INTO T VALUES ('C', 1e10)"});
    data::ConnectionPtr to =
        MakeDestination("dest", {"CREATE TABLE T (Code varchar(10), Grade integer)"});
    m_utilities.CopyDataFromDBtoDB(from, to);
    EXPECT_EQ(Column(to, "T", "Grade"), (std::vector<std::string>{"Long:3", "Long:-3"}))
        << "10000000000 is out of an integer's range: that row is refused";
}

TEST_P(ServerCopyDataTest, LostDestinationStopsTheCopyKeepingTheRowsCommitted) {
    data::ConnectionPtr from =
        MakeDatabase("source.mdb", "",
                     {"CREATE TABLE A (Code Text (10))", "INSERT INTO A VALUES ('1')",
                      "INSERT INTO A VALUES ('2')", "CREATE TABLE B (Code Text (10))",
                      "INSERT INTO B VALUES ('3')"});
    data::ConnectionPtr to = MakeDestination(
        "dest", {"CREATE TABLE A (Code Text (10))", "CREATE TABLE B (Code Text (10))"});
    m_upsize.onUpsize = [this](std::int16_t& TableNo) {
        if (TableNo == 1) {
            TerminateOtherSessions();
        }
    };
    m_utilities.CopyDataFromDBtoDB(from, to);

    EXPECT_TRUE(m_utilities.CopyFailure().starts_with(
        "The copy stopped in the table B: the destination database no longer answers: "))
        << m_utilities.CopyFailure();
    EXPECT_EQ(m_upsize.events, (std::vector<std::string>{"A,2,1,0", "B,2,1,1"}));
    m_upsize.onUpsize = nullptr;
    data::ConnectionPtr again = MakeDestination("dest", {});
    EXPECT_EQ(Column(again, "A", "Code"), (std::vector<std::string>{"Text:1", "Text:2"}));
    EXPECT_TRUE(Column(again, "B", "Code").empty());

    m_utilities.CopyDataFromDBtoDB(from, again);
    EXPECT_EQ(m_utilities.CopyFailure(), "") << "a copy that runs to its end clears it";
    EXPECT_EQ(Column(again, "B", "Code"), std::vector<std::string>{"Text:3"});
}

// The host's own statements on the destination during the event pumps wait for the group on
// its way, and the copy goes on.
TEST_P(ServerCopyDataTest, HostStatementsDuringThePumpsTakeTurnsWithTheGroupOnItsWay) {
    data::ConnectionPtr from = NumberedSource(12000, 0);
    data::ConnectionPtr to = MakeDestination("dest", kNamedT);
    to->Execute("CREATE TABLE Pumps (Pump integer)");
    int pumps = 0;
    m_ui.SetEventPumpHook([&] {
        if (++pumps % 250 == 0) {
            to->Execute(fmt::format("INSERT INTO Pumps VALUES ({})", pumps));
            to->Execute("SELECT count(*) FROM T");
        }
    });
    m_utilities.CopyDataFromDBtoDB(from, to);
    m_ui.SetEventPumpHook(nullptr);
    EXPECT_EQ(m_utilities.CopyFailure(), "");
    EXPECT_EQ(Column(to, "T", "Code").size(), 12000u);
    EXPECT_EQ(Column(to, "Pumps", "Pump").size(), static_cast<std::size_t>(pumps / 250));
}

// The connection lost in the middle of a table: the copy stops with the reason, every row
// committed before that pump stays, and a copy run again completes the table without doubles.
TEST_P(ServerCopyDataTest, LostDestinationInTheMiddleOfATableKeepsEveryRowCopiedBeforeIt) {
    data::ConnectionPtr from = NumberedSource(1200, 0);
    data::ConnectionPtr to = MakeDestination("dest", kNamedT);
    int pumps = 0;
    m_ui.SetEventPumpHook([&] {
        if (++pumps == 700) {
            TerminateOtherSessions();
        }
    });
    m_utilities.CopyDataFromDBtoDB(from, to);
    m_ui.SetEventPumpHook(nullptr);

    EXPECT_TRUE(m_utilities.CopyFailure().starts_with(
        "The copy stopped in the table T: the destination database no longer answers: "))
        << m_utilities.CopyFailure();
    data::ConnectionPtr again = MakeDestination("dest", {});
    EXPECT_EQ(Column(again, "T", "Code"), NumberedCodes(700, 0));
    m_utilities.CopyDataFromDBtoDB(from, again);
    EXPECT_EQ(m_utilities.CopyFailure(), "");
    EXPECT_EQ(Column(again, "T", "Code"), NumberedCodes(1200, 0));
}

}  // namespace
}  // namespace vesk::dbutil::testing
