// What the server engine alone does: row identities, its types, its transactions and errors.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "test_database.h"
#include "vesk/data_access/data_access_error.h"

namespace vesk::data_access::testing {
namespace {

class ServerBackendTest : public ServerTest {
protected:
    void SetUp() override {
        ServerTest::SetUp();
        if (!IsSkipped() && !HasFailure()) {
            m_connection = CreateDatabase("server");
        }
    }

    // The error `run` throws; fails the test when it throws none.
    template <typename Run>
    DataAccessError ErrorOf(Run run) {
        try {
            run();
        } catch (const DataAccessError& error) {
            return error;
        }
        ADD_FAILURE() << "no error";
        return DataAccessError("");
    }

    ConnectionPtr m_connection;
};

TEST_F(ServerBackendTest, KeyedRowKeepsItsKeyThroughChangesHereAndElsewhere) {
    m_connection->Execute(
        "CREATE TABLE People (Grp varchar(5), Code integer, Name text, PRIMARY KEY (Grp, Code))");
    m_connection->Execute("INSERT INTO People VALUES ('A', 1, 'Ann'), ('A', 2, 'Bob')");
    auto rows = OpenRows(m_connection, "SELECT * FROM People ORDER BY Code");
    rows->MoveNext();
    Variant bob = rows->Bookmark();

    OpenDatabase("server")->Execute("UPDATE People SET Name = 'Robert' WHERE Code = 2");
    rows->Requery();
    rows->SetBookmark(bob);
    EXPECT_EQ(rows->Fields()["name"].Value(), Variant("Robert"))
        << "a row changed elsewhere keeps its bookmark across Requery and is read again";

    rows->Fields()["Code"].SetValue(7);  // the key itself changes: the row follows it
    rows->Update();
    EXPECT_EQ(rows->Fields()["Code"].Value(), Variant(std::int32_t{7}));
    EXPECT_EQ(rows->Fields()["Name"].Value(), Variant("Robert"));
    EXPECT_THROW(rows->SetBookmark(bob), DataAccessError);
}

TEST_F(ServerBackendTest, RowWithoutKeyFollowsItsOwnChangesAndSeesOthersAsGone) {
    m_connection->Execute("CREATE TABLE Loose (Name text)");
    m_connection->Execute("INSERT INTO Loose VALUES ('a'), ('b')");
    auto rows = OpenRows(m_connection, "SELECT * FROM Loose");
    rows->Fields()["Name"].SetValue("a2");
    rows->Update();
    rows->Fields()["Name"].SetValue("a3");
    rows->Update();  // the row is found again by the version its first change returned
    rows->MoveNext();
    OpenDatabase("server")->Execute("UPDATE Loose SET Name = 'b2' WHERE Name = 'b'");
    rows->MoveFirst();
    EXPECT_EQ(rows->Fields()["Name"].Value(), Variant("a3"));
    rows->MoveNext();
    EXPECT_THROW(rows->Fields()["Name"].Value(), DataAccessError)
        << "a row another session changed is a new row version";
    rows->Requery();
    EXPECT_EQ(Joined(m_connection, "SELECT Name FROM Loose ORDER BY Name"), "a3|b2");
}

TEST_F(ServerBackendTest, TiesOfTheOrderComeInKeyOrderOnEveryRequery) {
    m_connection->Execute("CREATE TABLE T (Id integer PRIMARY KEY, Code text)");
    m_connection->Execute("INSERT INTO T VALUES (3, 'x'), (1, 'x'), (2, 'x'), (0, 'a')");
    auto rows = OpenRows(m_connection, "SELECT * FROM T WHERE Code = 'x' ORDER BY Code;");
    m_connection->Execute("UPDATE T SET Code = 'x' WHERE Id = 1");  // moves the row on disk
    rows->Requery();
    std::string ids;
    for (; !rows->IsEOF(); rows->MoveNext()) {
        ids += rows->Fields()["Id"].Value().ToText();
    }
    EXPECT_EQ(ids, "123");
}

TEST_F(ServerBackendTest, RowAddedToATableWithoutKeyComesLastAlsoInReusedSpace) {
    m_connection->Execute("CREATE TABLE Loose (Code text, Name text)");
    m_connection->Execute("INSERT INTO Loose VALUES ('E1', 'a'), ('E1', 'b'), ('E1', 'c')");
    m_connection->Execute("DELETE FROM Loose WHERE Name = 'a'");
    m_connection->Execute("VACUUM Loose");
    auto rows = OpenRows(m_connection, "SELECT * FROM Loose WHERE Code = 'E1' ORDER BY Code");
    rows->AddNew();
    rows->Fields()["Code"].SetValue("E1");
    rows->Fields()["Name"].SetValue("d");
    rows->Update();
    ASSERT_EQ(Scalar(m_connection, "SELECT ctid::text FROM Loose WHERE Name = 'd'"), "(0,1)")
        << "the new row takes the deleted row's place on disk";
    rows->Requery();
    rows->MoveLast();
    EXPECT_EQ(rows->Fields()["Name"].Value(), Variant("d"));
}

TEST_F(ServerBackendTest, CatalogAndFieldsReportAdoCodesAndSizesOfServerTypes) {
    m_connection->Execute(
        "CREATE TABLE Typed (a varchar(30), b text, c integer, d smallint, e bigint, f boolean, "
        "g real, h double precision, i numeric(10,2), j money, k date, l timestamp, m bytea, "
        "n uuid, o char(4))");
    const std::vector<std::pair<DataTypeEnum, std::int64_t>> expected = {
        {adVarWChar, 30},     {adLongVarWChar, 0}, {adInteger, 4}, {adSmallInt, 2},
        {adBigInt, 8},        {adBoolean, 2},      {adSingle, 4},  {adDouble, 8},
        {adNumeric, 19},      {adCurrency, 8},     {adDBDate, 6},  {adDBTimeStamp, 16},
        {adLongVarBinary, 0}, {adGUID, 16},        {adWChar, 4}};
    Catalog catalog;
    catalog.SetActiveConnection(m_connection);
    const Columns& columns = catalog.Tables().Item("typed").Columns();
    auto rows = OpenRows(m_connection, "SELECT * FROM Typed");
    ASSERT_EQ(columns.Count(), static_cast<long>(expected.size()));
    for (long column_idx = 0; column_idx < columns.Count(); ++column_idx) {
        const Column& column = columns.Item(column_idx);
        const auto& [code, size] = expected[static_cast<std::size_t>(column_idx)];
        EXPECT_EQ(column.Type(), code) << column.Name();
        EXPECT_EQ(column.DefinedSize(), size) << column.Name();
        EXPECT_EQ(rows->Fields().Item(column_idx).Type(), code) << column.Name();
    }
    EXPECT_EQ(columns.Item("a").DeclaredType(), "character varying(30)");
    EXPECT_EQ(catalog.Tables().Item("Typed").Type(), "TABLE");
}

TEST_F(ServerBackendTest, ValuesOfServerTypesGoInAndComeBack) {
    m_connection->Execute(
        "CREATE TABLE Typed (s smallint, f boolean, k date, l timestamp, i numeric(10,2), "
        "j money, n uuid, e bigint)");
    auto rows = OpenRows(m_connection, "SELECT * FROM Typed");
    rows->AddNew();
    rows->Fields()["s"].SetValue(true);
    rows->Fields()["f"].SetValue(std::int16_t{-1});
    rows->Fields()["k"].SetValue("05 Mar 2009");
    rows->Fields()["l"].SetValue(DateTime{2024, 2, 29, 23, 59, 58});
    rows->Fields()["i"].SetValue(1234.5);
    rows->Fields()["j"].SetValue("-1234.25");
    rows->Fields()["n"].SetValue("a0eebc99-9c0b-4ef8-bb6d-6bb9bd380a11");
    rows->Fields()["e"].SetValue(std::int64_t{1} << 40);
    rows->Update();
    EXPECT_EQ(rows->Fields()["s"].Value(), Variant(std::int16_t{1})) << "true is stored as 1";
    EXPECT_EQ(rows->Fields()["f"].Value(), Variant(true));
    EXPECT_EQ(rows->Fields()["k"].Value(), Variant(DateTime{2009, 3, 5}));
    EXPECT_EQ(rows->Fields()["l"].Value(), Variant(DateTime{2024, 2, 29, 23, 59, 58}));
    EXPECT_EQ(rows->Fields()["i"].Value(), Variant(1234.5));
    EXPECT_EQ(rows->Fields()["j"].Value(), Variant(-1234.25));
    EXPECT_EQ(rows->Fields()["n"].Value(), Variant("a0eebc99-9c0b-4ef8-bb6d-6bb9bd380a11"));
    EXPECT_EQ(rows->Fields()["e"].Value(), Variant(std::int64_t{1} << 40));
    EXPECT_EQ(Scalar(m_connection, "SELECT count(*) FROM Typed WHERE s = 0 OR s = 1"), "1");

    rows->Fields()["k"].SetValue("not a date");
    EXPECT_THROW(rows->Update(), DataAccessError);
    rows->CancelUpdate();
}

TEST_F(ServerBackendTest, DatesBeforeTheCommonEraAndSpecialNumbersAreKeptOrRefusedNeverChanged) {
    m_connection->Execute("CREATE TABLE D (Day date, At timestamp, F double precision, I integer)");
    m_connection->Execute(
        "INSERT INTO D VALUES ('4713-01-01 BC', '4713-01-01 00:00:00 BC', 'NaN', 1)");
    auto rows = OpenRows(m_connection, "SELECT * FROM D");
    Variant day = rows->Fields()["Day"].Value();
    Variant at = rows->Fields()["At"].Value();
    EXPECT_EQ(day, Variant("4713-01-01 BC"));
    EXPECT_EQ(at, Variant("4713-01-01 00:00:00 BC"));
    EXPECT_TRUE(std::isnan(rows->Fields()["F"].Value().ToDouble()));
    rows->AddNew();
    rows->Fields()["Day"].SetValue(day);
    rows->Fields()["At"].SetValue(at);
    rows->Fields()["F"].SetValue(-std::numeric_limits<double>::infinity());
    rows->Update();
    EXPECT_EQ(Scalar(m_connection,
                     "SELECT count(*) FROM D WHERE At = '4713-01-01 00:00:00 BC' "
                     "AND Day = '4713-01-01 BC'"),
              "2");
    EXPECT_EQ(Scalar(m_connection, "SELECT F FROM D WHERE I IS NULL"), "-inf");
    rows->Fields()["I"].SetValue(std::numeric_limits<double>::quiet_NaN());
    EXPECT_NE(ErrorOf([&] { rows->Update(); }).Description().find("whole number column i"),
              std::string::npos);
    rows->CancelUpdate();

    auto file = Catalog().Create(EmbeddedConnectionText(PathOf("file.mdb")));
    file->Execute("CREATE TABLE E (Day Date, F DOUBLE)");
    auto fileRows = OpenRows(file, "SELECT * FROM E");
    fileRows->AddNew();
    fileRows->Fields()["Day"].SetValue(day);
    EXPECT_NE(ErrorOf([&] { fileRows->Update(); }).Description().find("before the common era"),
              std::string::npos);
    fileRows->Fields()["Day"].SetValue(Variant::Null());
    fileRows->Fields()["F"].SetValue(std::numeric_limits<double>::quiet_NaN());
    EXPECT_NE(ErrorOf([&] { fileRows->Update(); }).Description().find("NaN"), std::string::npos)
        << "the engine would keep NaN as Null";
    fileRows->Fields()["F"].SetValue(std::numeric_limits<double>::infinity());
    fileRows->Update();
    EXPECT_EQ(fileRows->Fields()["F"].Value(), Variant(std::numeric_limits<double>::infinity()));
}

TEST_F(ServerBackendTest, ErrorsCarryTheServersMessageStateAndStatement) {
    DataAccessError missing = ErrorOf([&] { m_connection->Execute("DELETE FROM Missing"); });
    EXPECT_EQ(missing.Description(), "relation \"missing\" does not exist");
    EXPECT_EQ(missing.EngineCode(), SqlStateCode("42P01"));
    EXPECT_EQ(missing.Statement(), "DELETE FROM Missing");

    m_connection->Execute("CREATE TABLE T (Id integer PRIMARY KEY)");
    m_connection->Execute("INSERT INTO T VALUES (1)");
    auto rows = OpenRows(m_connection, "SELECT * FROM T");
    rows->AddNew();
    rows->Fields()["Id"].SetValue(1);
    DataAccessError duplicate = ErrorOf([&] { rows->Update(); });
    EXPECT_NE(duplicate.Description().find("Key (id)=(1) already exists"), std::string::npos)
        << duplicate.Description();
    EXPECT_EQ(rows->EditMode(), adEditAdd);
}

TEST_F(ServerBackendTest, TransactionsInsideTheHostsOwnBlockAreSavepoints) {
    m_connection->Execute("CREATE TABLE T (X integer)");
    m_connection->Execute("BEGIN");
    m_connection->Execute("INSERT INTO T VALUES (1)");
    EXPECT_EQ(m_connection->BeginTrans(), 1);
    m_connection->Execute("INSERT INTO T VALUES (2)");
    m_connection->RollbackTrans();
    m_connection->BeginTrans();
    m_connection->Execute("INSERT INTO T VALUES (3)");
    m_connection->CommitTrans();
    EXPECT_EQ(Joined(OpenDatabase("server"), "SELECT X FROM T"), "") << "the host's block is open";
    m_connection->Execute("COMMIT");
    EXPECT_EQ(Joined(OpenDatabase("server"), "SELECT X FROM T ORDER BY X"), "1|3");
}

TEST_F(ServerBackendTest, FailedWriteOfASpooledValueStoresNothing) {
    m_connection->Execute("CREATE TABLE P (Code text CHECK (Code <> 'bad'), Photo bytea)");
    auto rows = OpenRows(m_connection, "SELECT * FROM P");
    Bytes big(300 * 1024, 0x5A);
    for (const char* code : {"bad", "good"}) {
        rows->AddNew();
        rows->Fields()["Code"].SetValue(code);
        rows->Fields()["Photo"].AppendChunk(big);
        if (std::string(code) == "bad") {
            EXPECT_THROW(rows->Update(), DataAccessError);
            rows->CancelUpdate();
        } else {
            rows->Update();
        }
    }
    EXPECT_EQ(Joined(m_connection, "SELECT Code FROM P"), "good");
    EXPECT_EQ(Scalar(m_connection, "SELECT octet_length(Photo) FROM P"), "307200");
    EXPECT_EQ(Scalar(m_connection, "SELECT count(*) FROM pg_temp.vesk_spool"), "0");
}

TEST_F(ServerBackendTest, ViewOpensAsAReadOnlySnapshot) {
    m_connection->Execute("CREATE TABLE T (X integer PRIMARY KEY)");
    m_connection->Execute("CREATE VIEW V AS SELECT X FROM T WHERE X > 1");
    m_connection->Execute("INSERT INTO T VALUES (1), (2)");
    auto rows = OpenRows(m_connection, "SELECT * FROM V");
    EXPECT_EQ(rows->RecordCount(), 1);
    EXPECT_THROW(rows->AddNew(), DataAccessError);
    m_connection->Execute("INSERT INTO T VALUES (3)");
    rows->Requery();
    EXPECT_EQ(rows->RecordCount(), 2);
    Catalog catalog;
    catalog.SetActiveConnection(m_connection);
    EXPECT_EQ(catalog.Tables().Item("v").Type(), "VIEW");
}

TEST_F(ServerBackendTest, CreateRefusesAnExistingDatabaseAndAUriOpensIt) {
    std::string text = ConnectionTextOf("server");
    DataAccessError exists = ErrorOf([&] { Catalog().Create(text); });
    EXPECT_NE(exists.Description().find("already exists"), std::string::npos);

    ConnectionSettings settings = ParseConnectionText(text);
    Connection byUri;
    byUri.Open("postgresql:///" + settings.database + "?host=" + settings.host +
               "&port=" + settings.port + "&user=" + settings.user);
    EXPECT_EQ(byUri.Execute("CREATE TABLE Seen (X integer)"), 0);
    Catalog catalog;
    catalog.SetActiveConnection(m_connection);
    EXPECT_EQ(catalog.Tables().Item(0L).Name(), "seen");
}

TEST_F(ServerBackendTest, MissingDatabaseOrServerIsAClearError) {
    ConnectionSettings settings = ParseConnectionText(ConnectionTextOf("server"));
    std::string base = "Provider=PostgreSQL;Host=" + settings.host + ";Port=" + settings.port +
                       ";User ID=" + settings.user;
    Connection connection;
    DataAccessError noDatabase = ErrorOf([&] { connection.Open(base + ";Database=nowhere"); });
    EXPECT_NE(noDatabase.Description().find("database \"nowhere\" does not exist"),
              std::string::npos)
        << noDatabase.Description();
    DataAccessError noServer = ErrorOf(
        [&] { connection.Open("Provider=PostgreSQL;Host=" + PathOf("none") + ";Database=x"); });
    EXPECT_NE(noServer.Description().find("Cannot connect to the PostgreSQL server"),
              std::string::npos);
    EXPECT_EQ(connection.State(), adStateClosed);
}

}  // namespace
}  // namespace vesk::data_access::testing
