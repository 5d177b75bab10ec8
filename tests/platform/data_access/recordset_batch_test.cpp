// New rows kept back and stored together (batch mode), and rows read ahead (CacheSize).
#include <gtest/gtest.h>

#include <fmt/format.h>

#include <thread>

#include "test_database.h"
#include "vesk/data_access/data_access_error.h"

namespace vesk::data_access::testing {
namespace {

class RecordsetBatchTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        if (IsSkipped() || HasFailure()) {
            return;
        }
        m_connection = CreateDatabase("batch.mdb");
        m_connection->Execute("CREATE TABLE Staff (Code varchar(10) NOT NULL, Grade integer)");
        m_connection->Execute("INSERT INTO Staff VALUES ('A', 1)");
    }

    RecordsetPtr BatchRows(const std::string& sql = "SELECT * FROM Staff") {
        auto rows = std::make_shared<Recordset>();
        rows->Open(sql, m_connection, adOpenKeyset, adLockBatchOptimistic);
        return rows;
    }
    // Adds a row and keeps it back; a Null code is refused by the table.
    static void Keep(Recordset& rows, const Variant& code, const Variant& grade) {
        rows.AddNew();
        rows.Fields()["Code"].SetValue(code);
        rows.Fields()["Grade"].SetValue(grade);
        rows.Update();
    }
    // The codes of the set from its first row, joined by '|'.
    static std::string Codes(Recordset& rows) {
        std::string codes;
        for (rows.MoveFirst(); !rows.IsEOF(); rows.MoveNext()) {
            codes += (codes.empty() ? "" : "|") + rows.Fields()["Code"].Value().ToText();
        }
        return codes;
    }
    std::string Stored() { return Joined(m_connection, "SELECT Code FROM Staff ORDER BY Code"); }

    ConnectionPtr m_connection;
};

TEST_P(RecordsetBatchTest, KeptRowsWaitOutsideTheSetUntilUpdateBatchStoresThemInOrder) {
    auto rows = BatchRows();
    Keep(*rows, Variant("B"), Variant(2));
    Keep(*rows, Variant("C"), Variant(3));
    Keep(*rows, Variant("D"), Variant::Null());
    EXPECT_EQ(rows->PendingBatchRows(), 3);
    EXPECT_EQ(rows->RecordCount(), 1);
    EXPECT_TRUE(rows->IsEOF());
    EXPECT_EQ(Stored(), "A");

    rows->UpdateBatch();
    EXPECT_EQ(rows->PendingBatchRows(), 0);
    EXPECT_EQ(rows->RecordCount(), 4);
    EXPECT_EQ(rows->Fields()["Code"].Value(), Variant("D")) << "the last row stored is current";
    EXPECT_EQ(Codes(*rows), "A|B|C|D");
    EXPECT_EQ(Stored(), "A|B|C|D");
    EXPECT_EQ(Scalar(m_connection, "SELECT Grade FROM Staff WHERE Code = 'C'"), "3");
    rows->UpdateBatch();  // nothing kept: nothing happens
    EXPECT_EQ(rows->RecordCount(), 4);
    EXPECT_TRUE(rows->BatchRefusals().empty());
}

TEST_P(RecordsetBatchTest, RefusedRowUndoesNoOtherAndIsReportedAfterTheOthersAreStored) {
    auto rows = BatchRows();
    Keep(*rows, Variant("B"), Variant(2));
    Keep(*rows, Variant::Null(), Variant(3));
    Keep(*rows, Variant("D"), Variant(4));
    rows->AddNew();  // a row being added goes with the batch
    rows->Fields()["Code"].SetValue("E");
    EXPECT_THROW(rows->UpdateBatch(), DataAccessError);
    ASSERT_EQ(rows->BatchRefusals().size(), 1u);
    EXPECT_EQ(rows->BatchRefusals()[0].first, 1u) << "the second row kept";
    EXPECT_EQ(rows->PendingBatchRows(), 0);
    EXPECT_EQ(rows->EditMode(), adEditNone);
    EXPECT_EQ(Stored(), "A|B|D|E");
    EXPECT_EQ(Codes(*rows), "A|B|D|E");
}

TEST_P(RecordsetBatchTest, CancelBatchAndCloseDropKeptRowsWhileChangesToStoredRowsGoAtOnce) {
    auto rows = BatchRows();
    rows->Fields()["Grade"].SetValue(7);
    rows->Update();
    EXPECT_EQ(Scalar(m_connection, "SELECT Grade FROM Staff WHERE Code = 'A'"), "7");
    Keep(*rows, Variant("B"), Variant(2));
    rows->CancelBatch();
    rows->UpdateBatch();
    Keep(*rows, Variant("C"), Variant(3));
    rows->Close();
    EXPECT_EQ(Stored(), "A");
}

TEST_P(RecordsetBatchTest, RowsReadAheadGiveTheValuesOfEachVisit) {
    m_connection->Execute("INSERT INTO Staff VALUES ('B', 2)");
    m_connection->Execute("INSERT INTO Staff VALUES ('C', 3)");
    m_connection->Execute("INSERT INTO Staff VALUES ('D', 4)");
    m_connection->Execute("INSERT INTO Staff VALUES ('E', 5)");
    m_connection->Execute("DELETE FROM Staff WHERE Code = 'B'");  // a gap in the stored rows
    auto rows = OpenRows(m_connection, "SELECT * FROM Staff");
    EXPECT_THROW(rows->SetCacheSize(0), DataAccessError);
    rows->SetCacheSize(2);
    EXPECT_EQ(Codes(*rows), "A|C|D|E");
    rows->MoveFirst();  // reads A and C
    m_connection->Execute("DELETE FROM Staff WHERE Code = 'E'");
    rows->MoveNext();
    EXPECT_EQ(rows->Fields()["Grade"].Value().ToText(), "3");
    rows->MoveNext();
    rows->MoveNext();
    EXPECT_THROW(rows->Fields()["Code"].Value(), DataAccessError) << "E was deleted meanwhile";

    auto backwards = OpenRows(m_connection, "SELECT * FROM Staff ORDER BY Code DESC");
    backwards->SetCacheSize(10);
    EXPECT_EQ(Codes(*backwards), "D|C|A");
}

// Rows that need not join the set are stored all the same (the server copies them straight
// into the table), and a refused one is still named; the set holds none of them.
TEST_P(RecordsetBatchTest, RowsLeftOutOfTheSetAreStoredAndRefusalsStillNamed) {
    auto rows = BatchRows();
    rows->SetBatchRowsJoin(false);
    for (int number = 1; number <= 30; ++number) {
        Keep(*rows, number == 20 ? Variant::Null() : Variant(fmt::format("K{}", number)),
             Variant(number));
    }
    EXPECT_THROW(rows->UpdateBatch(), DataAccessError);
    ASSERT_EQ(rows->BatchRefusals().size(), 1u);
    EXPECT_EQ(rows->BatchRefusals()[0].first, 19u);
    EXPECT_EQ(rows->RecordCount(), 1);
    EXPECT_EQ(Scalar(m_connection, "SELECT count(*) FROM Staff"), "30");
    Keep(*rows, Variant("L"), Variant(1));
    Keep(*rows, Variant("M"), Variant(2));
    rows->UpdateBatch();
    EXPECT_TRUE(rows->BatchRefusals().empty());
    EXPECT_EQ(Scalar(m_connection, "SELECT count(*) FROM Staff"), "32");
}

// PeekColumn reads rows ahead without moving; their visits then give what it read, even of a
// row deleted meanwhile. A row already gone when it reads gives nothing; the rows it reads
// stop once they hold the bytes asked for (in blocks of CacheSize rows).
TEST_P(RecordsetBatchTest, PeekColumnReadsAheadWithoutMovingAndTheVisitsUseWhatItRead) {
    for (const char* code : {"B", "C", "D", "E"}) {
        m_connection->Execute(fmt::format("INSERT INTO Staff VALUES ('{}', 2)", code));
    }
    auto rows = OpenRows(m_connection, "SELECT * FROM Staff");
    rows->SetCacheSize(2);
    EXPECT_EQ(rows->PeekColumn(0, 10, 1 << 20),
              (std::vector<std::optional<Variant>>{Variant("A"), Variant("B"), Variant("C"),
                                                   Variant("D"), Variant("E")}));
    m_connection->Execute("DELETE FROM Staff WHERE Code = 'C'");
    std::string visited;
    for (; !rows->IsEOF(); rows->MoveNext()) {  // from the row it stood on
        visited += rows->Fields()["Code"].Value().ToText();
    }
    EXPECT_EQ(visited, "ABCDE");

    rows->MoveFirst();
    EXPECT_EQ(rows->PeekColumn(0, 10, 1).size(), 2u) << "one block of CacheSize rows";
    rows->MoveNext();
    rows->MoveNext();
    EXPECT_EQ(rows->PeekColumn(0, 2, 1 << 20),
              (std::vector<std::optional<Variant>>{std::nullopt, Variant("D")}));
    rows->MoveLast();
    rows->MoveNext();
    EXPECT_THROW(rows->PeekColumn(0, 1, 1), DataAccessError) << "no current row";
}

VESK_ON_EACH_ENGINE(RecordsetBatchTest);

// What the server does with a group of new rows: one COPY, unless something in it is refused.
class ServerRecordsetBatchTest : public ServerTest {
protected:
    void SetUp() override {
        ServerTest::SetUp();
        if (!IsSkipped() && !HasFailure()) {
            m_connection = CreateDatabase("server");
            m_connection->Execute(
                "CREATE TABLE Staff (Code varchar(10) PRIMARY KEY, Grade integer CHECK (Grade < "
                "100), Hired date, Photo bytea, Notes text)");
        }
    }

    RecordsetPtr BatchRows() {
        auto rows = std::make_shared<Recordset>();
        rows->Open("SELECT * FROM Staff", m_connection, adOpenKeyset, adLockBatchOptimistic);
        return rows;
    }
    static void Keep(Recordset& rows, int number, const Variant& grade) {
        rows.AddNew();
        rows.Fields()["Code"].SetValue(fmt::format("K{}", number));
        rows.Fields()["Grade"].SetValue(grade);
        rows.Update();
    }

    ConnectionPtr m_connection;
};

TEST_F(ServerRecordsetBatchTest, GroupKeepsTextsExactAndLeavesOutOnlyTheRefusedRows) {
    auto rows = BatchRows();
    for (int number = 1; number <= 40; ++number) {
        Keep(*rows, number, Variant(number == 17 ? 500 : number));
    }
    rows->AddNew();
    rows->Fields()["Code"].SetValue("T");
    rows->Fields()["Grade"].SetValue(1);
    rows->Fields()["Notes"].SetValue("tab\there\nback\\slash\rcr é \\N");
    rows->Update();
    rows->AddNew();
    rows->Fields()["Code"].SetValue("H");
    rows->Fields()["Grade"].SetValue(2);
    rows->Fields()["Hired"].SetValue("not a date");
    rows->Update();
    try {
        rows->UpdateBatch();
        ADD_FAILURE() << "the refused rows are reported";
    } catch (const DataAccessError& error) {
        EXPECT_NE(std::string(error.what()).find("staff_grade_check"), std::string::npos)
            << error.what();
    }
    EXPECT_EQ(rows->RecordCount(), 40) << "39 numbered rows and T";
    EXPECT_EQ(Scalar(m_connection, "SELECT count(*) FROM Staff WHERE Grade = 500"), "0");
    EXPECT_EQ(Scalar(m_connection, "SELECT Notes FROM Staff WHERE Code = 'T'"),
              "tab\there\nback\\slash\rcr é \\N");
    std::string expected;
    for (int number = 1; number <= 40; ++number) {
        expected += number == 17 ? "" : fmt::format("K{}|", number);
    }
    std::string codes;
    for (rows->MoveFirst(); !rows->IsEOF(); rows->MoveNext()) {
        codes += rows->Fields()["Code"].Value().ToText() + "|";
    }
    EXPECT_EQ(codes, expected + "T|") << "the rows stored join the set in order; H is no date";
}

TEST_F(ServerRecordsetBatchTest, RowsWithLargeValuesGoOneByOneBetweenTheGroups) {
    auto rows = BatchRows();
    const Bytes photo(100 * 1024, 0xAB);
    for (int number = 1; number <= 9; ++number) {
        rows->AddNew();
        rows->Fields()["Code"].SetValue(fmt::format("K{}", number));
        if (number == 5) {
            rows->Fields()["Photo"].AppendChunk(Variant(photo));
        }
        rows->Update();
    }
    rows->UpdateBatch();
    EXPECT_EQ(rows->RecordCount(), 9);
    EXPECT_EQ(Scalar(m_connection, "SELECT octet_length(Photo) FROM Staff WHERE Code = 'K5'"),
              "102400");
    EXPECT_EQ(Scalar(m_connection, "SELECT count(*) FROM Staff WHERE Photo IS NULL"), "8");
}

// A trigger that keeps rows out leaves the group's identities unknown: the rows go one by one,
// and those the table did not take are reported, the others join the set.
TEST_F(ServerRecordsetBatchTest, RowsATriggerKeepsOutAreReportedAndTheOthersJoinTheSet) {
    m_connection->Execute(
        "CREATE FUNCTION skip_odd() RETURNS trigger AS $$ BEGIN IF NEW.Grade % 2 = 1 THEN "
        "RETURN NULL; END IF; RETURN NEW; END $$ LANGUAGE plpgsql");
    m_connection->Execute(
        "CREATE TRIGGER skip_odd BEFORE INSERT ON Staff FOR EACH ROW EXECUTE FUNCTION "
        "skip_odd()");
    auto rows = BatchRows();
    for (int number = 1; number <= 6; ++number) {
        Keep(*rows, number, Variant(number));
    }
    try {
        rows->UpdateBatch();
        ADD_FAILURE() << "the rows kept out are reported";
    } catch (const DataAccessError& error) {
        EXPECT_STREQ(error.what(), "The new row was not stored: the table gave no row back.");
    }
    EXPECT_EQ(rows->RecordCount(), 3);
    EXPECT_EQ(Joined(m_connection, "SELECT Code FROM Staff ORDER BY Code"), "K2|K4|K6");
    EXPECT_EQ(rows->Fields()["Code"].Value(), Variant("K6"));
}

// A worker storing a group while another thread runs statements of its own on the same
// connection: each waits for the other's step, and both complete.
TEST_F(ServerRecordsetBatchTest, TwoThreadsTakeTurnsOnOneConnection) {
    ASSERT_TRUE(m_connection->SerializesUse());
    m_connection->Execute("CREATE TABLE Log (Line integer)");
    auto rows = BatchRows();
    for (int number = 1; number <= 3000; ++number) {
        Keep(*rows, number, Variant(number % 90));
    }
    std::thread worker([&] { rows->UpdateBatch(); });
    for (int line = 0; line < 200; ++line) {
        m_connection->Execute(fmt::format("INSERT INTO Log VALUES ({})", line));
    }
    worker.join();
    EXPECT_EQ(Scalar(m_connection, "SELECT count(*) FROM Staff"), "3000");
    EXPECT_EQ(Scalar(m_connection, "SELECT count(*) FROM Log"), "200");
    EXPECT_EQ(rows->RecordCount(), 3000);
}

}  // namespace
}  // namespace vesk::data_access::testing
