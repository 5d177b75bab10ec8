#include <gtest/gtest.h>

#include "test_database.h"
#include "vesk/data_access/data_access_error.h"

namespace vesk::data_access::testing {
namespace {

class RecordsetNavigationTest : public EngineTest {
protected:
    // A keyed table: on the server, rows that other sessions change keep their identity.
    ConnectionPtr WithRows(int count) {
        auto connection = CreateDatabase("nav.mdb");
        connection->Execute("CREATE TABLE Photos (PhotoCode varchar(20) PRIMARY KEY, Seq Integer)");
        for (int row = 1; row <= count; ++row) {
            connection->Execute("INSERT INTO Photos VALUES ('E" + std::to_string(row) + "', " +
                                std::to_string(row) + ")");
        }
        return connection;
    }

    static long Seq(Recordset& rows) {
        return static_cast<long>(rows.Fields()["Seq"].Value().ToInt64());
    }
};

TEST_P(RecordsetNavigationTest, EmptySetIsAtBothEndsAndRefusesMoves) {
    auto rows = OpenRows(WithRows(0), "SELECT * FROM Photos");
    EXPECT_EQ(rows->State(), adStateOpen);
    EXPECT_EQ(rows->RecordCount(), 0);
    EXPECT_TRUE(rows->IsBOF());
    EXPECT_TRUE(rows->IsEOF());
    EXPECT_THROW(rows->MoveFirst(), DataAccessError);
    EXPECT_THROW(rows->MoveLast(), DataAccessError);
    EXPECT_THROW(rows->MoveNext(), DataAccessError);
    EXPECT_THROW(rows->MovePrevious(), DataAccessError);
    EXPECT_THROW(rows->Fields()["Seq"].Value(), DataAccessError);
    EXPECT_EQ(rows->Fields().Count(), 2);
}

TEST_P(RecordsetNavigationTest, OneRowReachesEachEndAfterOneMove) {
    auto rows = OpenRows(WithRows(1), "SELECT * FROM Photos");
    EXPECT_EQ(rows->RecordCount(), 1);
    EXPECT_FALSE(rows->IsBOF());
    EXPECT_FALSE(rows->IsEOF());
    rows->MoveNext();
    EXPECT_TRUE(rows->IsEOF());
    EXPECT_FALSE(rows->IsBOF());
    EXPECT_THROW(rows->MoveNext(), DataAccessError);
    rows->MovePrevious();
    EXPECT_EQ(Seq(*rows), 1);
    rows->MovePrevious();
    EXPECT_TRUE(rows->IsBOF());
    EXPECT_FALSE(rows->IsEOF());
    EXPECT_THROW(rows->MovePrevious(), DataAccessError);
    rows->MoveLast();
    EXPECT_EQ(Seq(*rows), 1);
}

TEST_P(RecordsetNavigationTest, MovesWalkTheSetInOrder) {
    auto rows = OpenRows(WithRows(3), "SELECT * FROM Photos ORDER BY Seq DESC");
    EXPECT_EQ(rows->RecordCount(), 3);
    EXPECT_EQ(Seq(*rows), 3);
    rows->MoveNext();
    EXPECT_EQ(Seq(*rows), 2);
    rows->MoveLast();
    EXPECT_EQ(Seq(*rows), 1);
    EXPECT_FALSE(rows->IsEOF());
    rows->MovePrevious();
    EXPECT_EQ(Seq(*rows), 2);
    rows->MoveFirst();
    EXPECT_EQ(Seq(*rows), 3);
    EXPECT_FALSE(rows->IsBOF());
}

TEST_P(RecordsetNavigationTest, WhereClauseFixesTheKeys) {
    auto rows = OpenRows(WithRows(5), "SELECT * FROM Photos WHERE Seq > 2 ORDER BY Seq");
    EXPECT_EQ(rows->RecordCount(), 3);
    EXPECT_EQ(Seq(*rows), 3);
}

TEST_P(RecordsetNavigationTest, BookmarkReturnsToTheSameRow) {
    auto rows = OpenRows(WithRows(4), "SELECT * FROM Photos");
    rows->MoveNext();
    rows->MoveNext();
    Variant mark = rows->Bookmark();
    rows->MoveFirst();
    rows->SetBookmark(mark);
    EXPECT_EQ(Seq(*rows), 3);
    EXPECT_THROW(rows->SetBookmark(Variant(std::int64_t{999})), DataAccessError);
    rows->MoveLast();
    rows->MoveNext();
    EXPECT_THROW(rows->Bookmark(), DataAccessError);
}

TEST_P(RecordsetNavigationTest, RequerySeesRowsAddedAndRemovedFromOutside) {
    auto connection = WithRows(2);
    auto rows = OpenRows(connection, "SELECT * FROM Photos ORDER BY Seq");
    auto other = OpenDatabase("nav.mdb");
    other->Execute("INSERT INTO Photos VALUES ('E9', 9)");
    EXPECT_EQ(rows->RecordCount(), 2) << "the keyset is fixed until Requery";
    rows->Requery();
    EXPECT_EQ(rows->RecordCount(), 3);
    EXPECT_EQ(Seq(*rows), 1);
    rows->MoveLast();
    EXPECT_EQ(Seq(*rows), 9);

    other->Execute("UPDATE Photos SET Seq = 10 WHERE Seq = 9");
    EXPECT_EQ(Seq(*rows), 9) << "a visited row keeps the values it was read with";
    rows->MoveFirst();
    rows->MoveLast();
    EXPECT_EQ(Seq(*rows), 10) << "a revisited row is read again";

    other->Execute("DELETE FROM Photos WHERE Seq = 1");
    rows->MoveFirst();
    EXPECT_THROW(rows->Fields()["Seq"].Value(), DataAccessError);
    rows->Requery();
    EXPECT_EQ(rows->RecordCount(), 2);
}

TEST_P(RecordsetNavigationTest, StatementWithoutRowsRunsAndLeavesSetClosed) {
    auto connection = WithRows(0);
    Recordset rows;
    rows.Open("INSERT INTO Photos VALUES ('X', 1)", connection, adOpenKeyset, adLockOptimistic);
    EXPECT_EQ(rows.State(), adStateClosed);
    EXPECT_EQ(Scalar(connection, "SELECT count(*) FROM Photos"), "1");
    EXPECT_THROW(rows.RecordCount(), DataAccessError);
}

TEST_P(RecordsetNavigationTest, OpenNeedsAnOpenConnectionAndASource) {
    Recordset rows;
    rows.SetSource("SELECT * FROM Photos");
    EXPECT_THROW(rows.Open(), DataAccessError);
    auto connection = WithRows(1);
    rows.SetActiveConnection(connection);
    connection->Close();
    EXPECT_THROW(rows.Open(), DataAccessError);
    EXPECT_EQ(rows.State(), adStateClosed);
}

TEST_P(RecordsetNavigationTest, JoinGivesReadOnlySnapshot) {
    auto connection = WithRows(2);
    connection->Execute("CREATE TABLE Names (Code varchar(20), Name varchar(50))");
    connection->Execute("INSERT INTO Names VALUES ('E1', 'Ann')");
    auto rows = OpenRows(connection,
                         "SELECT p.Seq, n.Name FROM Photos p JOIN Names n ON n.Code = p.PhotoCode");
    EXPECT_EQ(rows->RecordCount(), 1);
    EXPECT_EQ(rows->Fields()["name"].Value(), Variant("Ann"));
    EXPECT_THROW(rows->AddNew(), DataAccessError);
    EXPECT_THROW(rows->Fields()["Name"].SetValue("Bea"), DataAccessError);
    connection->Execute("INSERT INTO Names VALUES ('E2', 'Cid')");
    rows->Requery();
    EXPECT_EQ(rows->RecordCount(), 2);
}

TEST_P(RecordsetNavigationTest, ClosedConnectionMakesRowsUnreadable) {
    auto connection = WithRows(2);
    auto rows = OpenRows(connection, "SELECT * FROM Photos");
    connection->Close();
    EXPECT_THROW(rows->Fields()["Seq"].Value(), DataAccessError);
    rows->Close();
    EXPECT_EQ(rows->State(), adStateClosed);
}

VESK_ON_EACH_ENGINE(RecordsetNavigationTest);

}  // namespace
}  // namespace vesk::data_access::testing
