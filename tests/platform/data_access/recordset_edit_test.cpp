#include <gtest/gtest.h>

#include "test_database.h"
#include "vesk/data_access/data_access_error.h"

namespace vesk::data_access::testing {
namespace {

// Runs on each engine; EmbeddedRecordsetEditTest holds what the embedded engine alone does.
class RecordsetEditTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        if (IsSkipped() || HasFailure()) {
            return;
        }
        m_connection = CreateDatabase("edit.mdb");
        m_connection->Execute(
            "CREATE TABLE Photos (PhotoCode varchar(20), PhotoDescription varchar(100), "
            "DefaultPhoto BOOLEAN, Taken TIMESTAMP, Amount MONEY)");
        m_connection->Execute(
            "INSERT INTO Photos VALUES ('EMP1', 'Front', '1', '2024-01-31', '1.5')");
        m_connection->Execute("INSERT INTO Photos VALUES ('EMP1', 'Side', '0', NULL, NULL)");
        m_connection->Execute("INSERT INTO Photos VALUES ('O''BRIEN', 'Élodie', '0', NULL, NULL)");
    }

    RecordsetPtr Photos() { return OpenRows(m_connection, "SELECT * FROM Photos"); }
    std::string Description(Recordset& rows) {
        return rows.Fields()["PhotoDescription"].Value().ToText();
    }

    ConnectionPtr m_connection;
};

TEST_P(RecordsetEditTest, AddNewJoinsTheEndAndCountsAtOnce) {
    auto rows = Photos();
    rows->AddNew();
    EXPECT_EQ(rows->EditMode(), adEditAdd);
    rows->Fields()["PhotoCode"].SetValue("EMP2");
    rows->Fields()["photodescription"].SetValue("New");
    rows->Fields()["DefaultPhoto"].SetValue(true);
    EXPECT_EQ(rows->Fields()["PhotoDescription"].Value(), Variant("New"));
    rows->Update();
    EXPECT_EQ(rows->EditMode(), adEditNone);
    EXPECT_EQ(rows->RecordCount(), 4);
    EXPECT_EQ(Description(*rows), "New");
    rows->MoveNext();
    EXPECT_TRUE(rows->IsEOF());
    EXPECT_EQ(Scalar(m_connection, "SELECT DefaultPhoto FROM Photos WHERE PhotoCode = 'EMP2'"),
              "True");
}

TEST_P(RecordsetEditTest, ChangedRowIsStoredByUpdateOrByMovingAway) {
    auto rows = Photos();
    rows->Fields()["PhotoDescription"].SetValue("Front left");
    EXPECT_EQ(rows->EditMode(), adEditInProgress);
    rows->Update();
    rows->MoveNext();
    rows->Fields()["PhotoDescription"].SetValue("Side right");
    rows->MoveNext();  // stores the change first
    EXPECT_EQ(Joined(m_connection,
                     "SELECT PhotoDescription FROM Photos ORDER BY PhotoCode, PhotoDescription"),
              "Front left|Side right|Élodie");
    rows->MovePrevious();
    rows->Fields()["PhotoDescription"].SetValue("dropped");
    rows->CancelUpdate();
    EXPECT_EQ(Description(*rows), "Side right");
}

TEST_P(RecordsetEditTest, DeleteKeepsPositionUntilTheNextMove) {
    auto rows = Photos();
    rows->MoveNext();
    rows->Delete();
    EXPECT_EQ(rows->RecordCount(), 2);
    EXPECT_FALSE(rows->IsBOF());
    EXPECT_FALSE(rows->IsEOF());
    EXPECT_THROW(rows->Fields()["PhotoCode"].Value(), DataAccessError);
    rows->MoveNext();
    EXPECT_EQ(Description(*rows), "Élodie");
    rows->MoveFirst();
    rows->Delete();
    rows->MovePrevious();
    EXPECT_TRUE(rows->IsBOF());
    rows->MoveNext();
    EXPECT_EQ(Description(*rows), "Élodie");
    rows->Delete();
    EXPECT_EQ(rows->RecordCount(), 0);
    rows->MoveNext();
    EXPECT_TRUE(rows->IsEOF());
    EXPECT_TRUE(rows->IsBOF());
    EXPECT_EQ(Scalar(m_connection, "SELECT count(*) FROM Photos"), "0");
}

TEST_P(RecordsetEditTest, ValuesKeepTheirTypes) {
    auto rows = Photos();
    EXPECT_EQ(rows->Fields()["DefaultPhoto"].Value(), Variant(true));
    EXPECT_EQ(rows->Fields()["Taken"].Value(), Variant(DateTime{2024, 1, 31}));
    EXPECT_EQ(rows->Fields()["Amount"].Value(), Variant(1.5));
    rows->MoveNext();
    EXPECT_EQ(rows->Fields()["DefaultPhoto"].Value(), Variant(false));
    EXPECT_TRUE(rows->Fields()["Taken"].Value().IsNull());
    rows->Fields()["Taken"].SetValue("2025-02-28 13:45:00");
    rows->Update();
    EXPECT_EQ(rows->Fields()["Taken"].Value(), Variant(DateTime{2025, 2, 28, 13, 45, 0}));
    rows->Fields()["Taken"].SetValue("not a date");
    EXPECT_THROW(rows->Update(), DataAccessError);
    EXPECT_EQ(rows->EditMode(), adEditInProgress) << "a failed Update keeps the edit";
    rows->CancelUpdate();
    EXPECT_EQ(Scalar(m_connection, "SELECT Taken FROM Photos WHERE PhotoDescription = 'Side'"),
              "2025-02-28 13:45:00");
}

TEST_P(RecordsetEditTest, FilterIgnoresCaseAndCountsOnlyMatches) {
    auto rows = Photos();
    rows->SetFilter("PHOTODESCRIPTION='SIDE'");
    EXPECT_EQ(rows->RecordCount(), 1);
    EXPECT_EQ(Description(*rows), "Side");
    rows->SetFilter("PhotoDescription='ÉLODIE'");
    EXPECT_EQ(rows->RecordCount(), 1);
    rows->SetFilter("PhotoCode='O''BRIEN'");
    EXPECT_EQ(rows->RecordCount(), 1);
    rows->SetFilter("PhotoCode='EMP1' AND DefaultPhoto=True");
    EXPECT_EQ(rows->RecordCount(), 1);
    rows->SetFilter("PhotoCode='NOBODY'");
    EXPECT_EQ(rows->RecordCount(), 0);
    EXPECT_TRUE(rows->IsEOF());
    rows->SetFilter("");
    EXPECT_EQ(rows->RecordCount(), 3);
    EXPECT_FALSE(rows->IsBOF());
}

TEST_P(RecordsetEditTest, BadFilterChangesNothing) {
    auto rows = Photos();
    rows->SetFilter("PhotoCode='EMP1'");
    EXPECT_THROW(rows->SetFilter("NoSuchColumn='x'"), DataAccessError);
    EXPECT_THROW(rows->SetFilter("PhotoCode 'x'"), DataAccessError);
    EXPECT_THROW(rows->SetFilter("PhotoCode='x' OR PhotoCode='y'"), DataAccessError);
    EXPECT_EQ(rows->Filter(), "PhotoCode='EMP1'");
    EXPECT_EQ(rows->RecordCount(), 2);
}

TEST_P(RecordsetEditTest, FindStopsAtFirstMatchOrAtTheEnd) {
    auto rows = Photos();
    rows->MoveFirst();
    rows->Find("PhotoDescription='SIDE'");
    EXPECT_FALSE(rows->IsEOF());
    EXPECT_EQ(Description(*rows), "Side");
    rows->Find("PhotoDescription='SIDE'", 1);
    EXPECT_TRUE(rows->IsEOF());
    rows->MoveLast();
    rows->Find("PhotoCode='emp1'", 0, adSearchBackward);
    EXPECT_EQ(Description(*rows), "Side");
    rows->MoveFirst();
    rows->Find("PhotoCode='O''Brien'");
    EXPECT_EQ(Description(*rows), "Élodie");
    rows->MoveFirst();
    Variant start = rows->Bookmark();
    rows->MoveLast();
    rows->Find("PhotoCode='EMP1'", 0, adSearchForward, start);
    EXPECT_EQ(Description(*rows), "Front");
    rows->Find("PhotoCode='NONE'", 0, adSearchBackward);
    EXPECT_TRUE(rows->IsBOF());
    rows->MoveFirst();
    rows->Find("PhotoCode='EMP1' AND PhotoDescription='side'");
    EXPECT_EQ(Description(*rows), "Side");
}

TEST_P(RecordsetEditTest, ReadOnlyLockRefusesChanges) {
    Recordset rows;
    rows.Open("SELECT * FROM Photos", m_connection, adOpenKeyset, adLockReadOnly);
    EXPECT_THROW(rows.AddNew(), DataAccessError);
    EXPECT_THROW(rows.Delete(), DataAccessError);
    EXPECT_THROW(rows.Fields()["PhotoCode"].SetValue("x"), DataAccessError);
}

TEST_P(RecordsetEditTest, FieldsByPositionAndMissingName) {
    auto rows = Photos();
    EXPECT_EQ(rows->Fields().Count(), 5);
    EXPECT_STRCASEEQ(rows->Fields().Item(1L).Name().c_str(), "PhotoDescription");
    EXPECT_EQ(rows->Fields().Item(0L).Type(), adVarWChar);
    EXPECT_EQ(rows->Fields().Item(0L).DefinedSize(), 20);
    EXPECT_THROW(rows->Fields().Item(5L), DataAccessError);
    EXPECT_THROW(rows->Fields().Item(-1L), DataAccessError);
    EXPECT_THROW(rows->Fields()["Missing"], DataAccessError);
}

TEST_P(RecordsetEditTest, UpdateOfRowDeletedElsewhereFailsAndKeepsTheEdit) {
    auto rows = Photos();
    rows->Fields()["PhotoDescription"].Value();
    OpenDatabase("edit.mdb")->Execute("DELETE FROM Photos WHERE PhotoDescription = 'Front'");
    rows->Fields()["PhotoDescription"].SetValue("Changed");
    EXPECT_THROW(rows->Update(), DataAccessError);
    EXPECT_EQ(rows->EditMode(), adEditInProgress);
}

VESK_ON_EACH_ENGINE(RecordsetEditTest);

class EmbeddedRecordsetEditTest : public DatabaseTest {};

TEST_F(EmbeddedRecordsetEditTest, BooleanIsStoredAsOneAndReadTrueForAnyNonZeroValue) {
    auto connection = CreateDatabase("edit.mdb");
    connection->Execute("CREATE TABLE Photos (PhotoCode Text (20), DefaultPhoto YESNO)");
    connection->Execute("INSERT INTO Photos VALUES ('EMP1', -1)");
    auto rows = OpenRows(connection, "SELECT * FROM Photos");
    EXPECT_EQ(rows->Fields()["DefaultPhoto"].Value(), Variant(true));
    rows->AddNew();
    rows->Fields()["PhotoCode"].SetValue("EMP2");
    rows->Fields()["DefaultPhoto"].SetValue(true);
    rows->Update();
    EXPECT_EQ(Scalar(connection, "SELECT DefaultPhoto + 0 FROM Photos WHERE PhotoCode = 'EMP2'"),
              "1");
}

}  // namespace
}  // namespace vesk::data_access::testing
