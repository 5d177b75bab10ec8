#include <gtest/gtest.h>

#include <string>

#include "test_database.h"

namespace vesk::data_access::testing {
namespace {

// The set's keys under a filter, after deletions, and when another connection changes the
// table: what the set shows must stay what the table and the filter say.
class RecordsetKeySetTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        if (IsSkipped() || HasFailure()) {
            return;
        }
        m_connection = CreateDatabase("keys.mdb");
        m_connection->Execute("CREATE TABLE Staff (Code varchar(10), Team varchar(10))");
        for (const char* row : {"('S1', 'Straße')", "('S2', 'Ops')", "('S3', 'STRASSE')",
                                "('S4', 'Ops')", "('S5', 'straße')"}) {
            m_connection->Execute(std::string("INSERT INTO Staff VALUES ") + row);
        }
    }

    // The codes of the rows the set shows, walked from the first.
    static std::string Codes(Recordset& rows) {
        std::string codes;
        if (rows.RecordCount() == 0) {
            return codes;
        }
        for (rows.MoveFirst(); !rows.IsEOF(); rows.MoveNext()) {
            codes += (codes.empty() ? "" : ",") + rows.Fields()["Code"].Value().ToText();
        }
        return codes;
    }

    ConnectionPtr m_connection;
};

TEST_P(RecordsetKeySetTest, RequeryKeepsTheFilterAndSeesOtherWriters) {
    auto rows = OpenRows(m_connection, "SELECT * FROM Staff ORDER BY Code");
    rows->SetFilter("Team = 'Ops'");
    ASSERT_EQ(Codes(*rows), "S2,S4");
    auto other = OpenDatabase("keys.mdb");
    other->Execute("INSERT INTO Staff VALUES ('S6', 'Ops')");
    other->Execute("INSERT INTO Staff VALUES ('S7', 'Pay')");
    other->Execute("DELETE FROM Staff WHERE Code = 'S2'");
    rows->Requery();
    EXPECT_EQ(rows->Filter(), "Team = 'Ops'");
    EXPECT_EQ(rows->RecordCount(), 2);
    EXPECT_EQ(Codes(*rows), "S4,S6");
    rows->SetFilter("");
    EXPECT_EQ(Codes(*rows), "S1,S3,S4,S5,S6,S7");
}

TEST_P(RecordsetKeySetTest, RowDeletedUnderAFilterIsGoneWhenTheFilterIsCleared) {
    auto rows = OpenRows(m_connection, "SELECT * FROM Staff ORDER BY Code");
    rows->SetFilter("Team = 'Ops'");
    rows->MoveLast();
    rows->Delete();
    EXPECT_EQ(rows->RecordCount(), 1);
    rows->SetFilter("");
    EXPECT_EQ(rows->RecordCount(), 4);
    EXPECT_EQ(Codes(*rows), "S1,S2,S3,S5");
    rows->SetFilter("Team = 'Ops'");
    EXPECT_EQ(Codes(*rows), "S2");
}

TEST_P(RecordsetKeySetTest, RowsAddedUnderAFilterJoinBothSetsOnce) {
    auto rows = OpenRows(m_connection, "SELECT * FROM Staff ORDER BY Code");
    rows->SetFilter("Team = 'Pay'");
    EXPECT_EQ(rows->RecordCount(), 0);
    rows->AddNew();
    rows->Fields()["Code"].SetValue("S8");
    rows->Fields()["Team"].SetValue("Pay");
    rows->Update();
    EXPECT_EQ(rows->RecordCount(), 1);
    rows->SetFilter("");
    EXPECT_EQ(Codes(*rows), "S1,S2,S3,S4,S5,S8");
}

VESK_ON_EACH_ENGINE(RecordsetKeySetTest);

class EmbeddedRecordsetKeySetTest : public DatabaseTest {};

// The embedded engine gives a new row the key after the largest in the table, so a row added
// through the set can take the key of a row another connection deleted: the set must hold
// that key once, for the new row, and not show the new row twice.
TEST_F(EmbeddedRecordsetKeySetTest, KeyOfARowDeletedElsewhereIsHeldOnceForTheNewRow) {
    auto connection = CreateDatabase("reuse.mdb");
    connection->Execute("CREATE TABLE Staff (Code varchar(10))");
    connection->Execute("INSERT INTO Staff VALUES ('S1')");
    connection->Execute("INSERT INTO Staff VALUES ('S2')");
    auto rows = OpenRows(connection, "SELECT * FROM Staff");
    OpenDatabase("reuse.mdb")->Execute("DELETE FROM Staff WHERE Code = 'S2'");
    rows->AddNew();
    rows->Fields()["Code"].SetValue("Ş3");
    rows->Update();
    EXPECT_EQ(Scalar(connection, "SELECT rowid FROM Staff WHERE Code = 'Ş3'"), "2");
    EXPECT_EQ(rows->RecordCount(), 2);
    EXPECT_EQ(rows->Fields()["Code"].Value().ToText(), "Ş3");
    rows->MoveFirst();
    EXPECT_EQ(rows->Fields()["Code"].Value().ToText(), "S1");
    rows->MoveNext();
    EXPECT_EQ(rows->Fields()["Code"].Value().ToText(), "Ş3");
    rows->MoveNext();
    EXPECT_TRUE(rows->IsEOF());
}

// A row whose INTEGER PRIMARY KEY changes moves to another rowid; the set follows it, and holds
// it once when the new key is that of a row deleted elsewhere.
TEST_F(EmbeddedRecordsetKeySetTest, RowWhoseIntegerKeyChangesStaysInTheSetOnce) {
    auto connection = CreateDatabase("rekey.mdb");
    connection->Execute("CREATE TABLE Staff (Id INTEGER PRIMARY KEY, Code varchar(10))");
    for (const char* row : {"(1, 'S1')", "(2, 'S2')", "(3, 'S3')"}) {
        connection->Execute(std::string("INSERT INTO Staff VALUES ") + row);
    }
    auto rows = OpenRows(connection, "SELECT * FROM Staff");
    OpenDatabase("rekey.mdb")->Execute("DELETE FROM Staff WHERE Id = 3");
    rows->Fields()["Id"].SetValue(3);
    rows->Update();
    EXPECT_EQ(rows->RecordCount(), 2);
    std::string seen;
    for (rows->MoveFirst(); !rows->IsEOF(); rows->MoveNext()) {
        seen += rows->Fields()["Id"].Value().ToText() + rows->Fields()["Code"].Value().ToText();
    }
    EXPECT_EQ(seen, "3S12S2");
    rows->MoveFirst();
    rows->Fields()["Id"].SetValue("10");  // the column's type makes the text a number
    rows->Update();
    EXPECT_EQ(rows->Fields()["Code"].Value().ToText(), "S1");
    EXPECT_EQ(Scalar(connection, "SELECT rowid FROM Staff WHERE Code = 'S1'"), "10");
    rows->Requery();
    EXPECT_EQ(rows->RecordCount(), 2);
}

}  // namespace
}  // namespace vesk::data_access::testing
