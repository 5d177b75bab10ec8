// What a copy promises whichever side the server is on: the destination decides which keys it
// holds, each row is committed before the next event pump unless rows are grouped on request,
// whole numbers keep every digit, and every row is accounted for.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include <fmt/format.h>

#include "copy_fixture.h"

namespace vesk::database_utilities::testing {
namespace {

class CopyPromisesTest : public CopyTest {
protected:
    // A source whose table T (Code, Name) holds K1 .. K`rows`, named N1 ...
    data_access::ConnectionPtr SmallSource(int rows) {
        std::vector<std::string> statements = {kTable};
        for (int number = 1; number <= rows; ++number) {
            statements.push_back(fmt::format("INSERT INTO T VALUES ('K{0}', 'N{0}')", number));
        }
        return MakeSource("source.mdb", statements);
    }
    // The counts of the only table of the last copy: read, added, already there, refused.
    std::vector<long> Counts() const {
        EXPECT_EQ(m_utilities.CopyReports().size(), 1u);
        const TableCopyReport& report = m_utilities.CopyReports().at(0);
        return {report.rowsRead, report.rowsAdded, report.rowsAlreadyThere, report.rowsRefused};
    }
    // Copies twice from a source to a destination both made by `schema`, the source also
    // holding `rows`; the first copy's counts go to m_firstCounts. Returns the destination.
    data_access::ConnectionPtr CopyTwice(const std::string& schema, std::vector<std::string> rows) {
        rows.insert(rows.begin(), schema);
        data_access::ConnectionPtr from = MakeSource("source.mdb", rows);
        data_access::ConnectionPtr to = MakeDestination("dest.mdb", {schema});
        m_utilities.CopyDataFromDBtoDB(from, to);
        m_firstCounts = Counts();
        m_utilities.CopyDataFromDBtoDB(from, to);
        return to;
    }
    static std::vector<std::string> Sorted(std::vector<std::string> values) {
        std::sort(values.begin(), values.end());
        return values;
    }
    // The first column of `sql` on `connection`, as text.
    static std::string Scalar(const data_access::ConnectionPtr& connection,
                              const std::string& sql) {
        data_access::Recordset rows;
        rows.Open(sql, connection, data_access::adOpenStatic, data_access::adLockReadOnly);
        return rows.Fields().Item(0L).Value().ToText();
    }

    static constexpr const char* kTable = "CREATE TABLE T (Code Text (10), Name Text (20))";
    std::vector<long> m_firstCounts;
};

INSTANTIATE_TEST_SUITE_P(Builds, CopyPromisesTest,
                         ::testing::Values(CopyCase{Build::Current, Route::FileToFile},
                                           CopyCase{Build::Legacy, Route::FileToFile}),
                         CopyCaseName);
INSTANTIATE_TEST_SUITE_P(Server, CopyPromisesTest,
                         ::testing::Values(CopyCase{Build::Current, Route::FileToServer},
                                           CopyCase{Build::Current, Route::ServerToFile}),
                         CopyCaseName);

// The server gives char(n) values padded and compares them without the padding; a host-made
// table with boolean marks and texts in any script.
TEST_P(CopyPromisesTest, CharKeysCopiedTwiceAddNothingTheSecondTime) {
    data_access::ConnectionPtr to =
        CopyTwice("CREATE TABLE T (Code CHAR (10), Name Text (20), Active YESNO)",
                  {"INSERT INTO T VALUES ('A1', 'Zoë', '1')",
                   "INSERT INTO T VALUES ('B2', 'Ōsaka 大阪', '0')",
                   "INSERT INTO T VALUES ('O''B', 'x', NULL)"});
    EXPECT_EQ(m_firstCounts, (std::vector<long>{3, 3, 0, 0}));
    EXPECT_EQ(Counts(), (std::vector<long>{3, 0, 3, 0}));
    EXPECT_EQ(Column(to, "T", "Name"),
              (std::vector<std::string>{"Text:Zoë", "Text:Ōsaka 大阪", "Text:x"}));
    EXPECT_EQ(Column(to, "T", "Active"),
              (std::vector<std::string>{"Boolean:True", "Boolean:False", "Boolean:False"}));
}

// Keys the destination's type rules make equal ('007' and 7 in a whole-number column) are one
// key: the row already there stays alone, and of two equal source keys only the first goes,
// whether rows are committed one by one or kept back in groups.
TEST_P(CopyPromisesTest, KeysEqualByTheDestinationsRulesAreAddedOnce) {
    data_access::ConnectionPtr from =
        MakeSource("source.mdb",
                   {kTable, "INSERT INTO T VALUES ('007', 'a')", "INSERT INTO T VALUES ('8', 'b')",
                    "INSERT INTO T VALUES ('08', 'c')", "INSERT INTO T VALUES ('9', 'd')"});
    data_access::ConnectionPtr to = MakeDestination(
        "dest.mdb",
        {"CREATE TABLE T (Code Integer, Name Text (20))", "INSERT INTO T VALUES (7, 'x')"});
    for (long rowsPerCommit : {3L, 1L}) {
        m_utilities.RowsPerCommit = rowsPerCommit;
        m_utilities.CopyDataFromDBtoDB(from, to);
        EXPECT_EQ(Column(to, "T", "Name"),
                  (std::vector<std::string>{"Text:x", "Text:b", "Text:d"}));
        const long added = rowsPerCommit == 3 ? 2 : 0;
        EXPECT_EQ(Counts(), (std::vector<long>{4, added, 4 - added, 0}));
    }
}

// A key the host inserts from its ProgressUpsize handler (through the destination connection)
// and one it inserts through a connection of its own during an event pump are not added again.
TEST_P(CopyPromisesTest, KeysTheHostAddsDuringTheCopyAreNotAddedAgain) {
    data_access::ConnectionPtr from = SmallSource(8);
    data_access::ConnectionPtr to = MakeDestination("dest.mdb", {kTable});
    data_access::ConnectionPtr hostOwn = OpenDestinationAgain("dest.mdb");
    m_upsize.onUpsize = [&](std::int16_t& TableNo) {
        if (TableNo == 0) {
            to->Execute("INSERT INTO T VALUES ('K2', 'host')");
        }
    };
    int pumps = 0;
    m_ui.SetEventPumpHook([&] {
        if (++pumps == 3) {
            hostOwn->Execute("INSERT INTO T VALUES ('K5', 'host')");
        }
    });
    m_utilities.RowsPerCommit = 2;
    m_utilities.CopyDataFromDBtoDB(from, to);
    m_ui.SetEventPumpHook(nullptr);
    EXPECT_EQ(Sorted(Column(to, "T", "Code")), Sorted(NumberedCodes(8, 0)));
    EXPECT_EQ(Counts(), (std::vector<long>{8, 6, 2, 0}));
    EXPECT_EQ(Scalar(to, "SELECT Name FROM T WHERE Code = 'K5'"), "host");
}

// By default each row is committed before the next pump: another connection sees the rows
// copied so far and can write. In groups it sees a group once it is committed; a write of its
// own makes the copy store what it keeps back before it asks about keys again. No transaction
// is held across a pump either way.
TEST_P(CopyPromisesTest, DuringThePumpsAnotherConnectionSeesTheCommittedRowsAndWrites) {
    data_access::ConnectionPtr from = SmallSource(6);
    data_access::ConnectionPtr to =
        MakeDestination("dest.mdb", {kTable, "CREATE TABLE Log (Pump Integer)"});
    data_access::ConnectionPtr other = OpenDestinationAgain("dest.mdb");
    std::vector<std::string> seen;
    std::function<bool()> writes = [] { return true; };
    m_ui.SetEventPumpHook([&] {
        seen.push_back(Scalar(other, "SELECT count(*) FROM T"));
        if (writes()) {
            other->Execute(fmt::format("INSERT INTO Log VALUES ({})", seen.size()));
        }
    });
    m_utilities.CopyDataFromDBtoDB(from, to);
    EXPECT_EQ(seen, (std::vector<std::string>{"1", "2", "3", "4", "5", "6"}));

    to->Execute("DELETE FROM T");
    seen.clear();
    writes = [&] { return seen.size() == 2; };
    m_utilities.RowsPerCommit = 4;
    m_utilities.CopyDataFromDBtoDB(from, to);
    m_ui.SetEventPumpHook(nullptr);
    EXPECT_EQ(seen, (std::vector<std::string>{"0", "0", "2", "2", "2", "6"}));
    EXPECT_EQ(Scalar(other, "SELECT count(*) FROM T"), "6");
    EXPECT_EQ(Scalar(other, "SELECT count(*) FROM Log"), "7");
    EXPECT_FALSE(m_utilities.CopyFailure());
}

// Whole numbers between whole-number columns keep every digit, as keys too: 2^53 + 1 is not
// 2^53. Other numeric columns still take a double.
TEST_P(CopyPromisesTest, WholeNumbersAtTheEdgesOfSixtyFourBitsKeepEveryDigit) {
    data_access::ConnectionPtr to =
        CopyTwice("CREATE TABLE N (Id BIGINT, Amount BIGINT, Ratio DOUBLE)",
                  {"INSERT INTO N VALUES (9007199254740992, 1, 0.5)",
                   "INSERT INTO N VALUES (9007199254740993, 9223372036854775807, 2)",
                   "INSERT INTO N VALUES (-9223372036854775808, -1, NULL)"});
    EXPECT_EQ(m_firstCounts, (std::vector<long>{3, 3, 0, 0}));
    EXPECT_EQ(Counts(), (std::vector<long>{3, 0, 3, 0}));
    EXPECT_EQ(Column(to, "N", "Id"),
              (std::vector<std::string>{"BigInt:9007199254740992", "BigInt:9007199254740993",
                                        "BigInt:-9223372036854775808"}));
    EXPECT_EQ(Column(to, "N", "Amount"),
              (std::vector<std::string>{"BigInt:1", "BigInt:9223372036854775807", "BigInt:-1"}));
    EXPECT_EQ(Column(to, "N", "Ratio"),
              (std::vector<std::string>{"Double:0.5", "Double:2", "Double:0"}));
}

}  // namespace
}  // namespace vesk::database_utilities::testing
