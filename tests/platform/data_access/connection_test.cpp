#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "test_database.h"
#include "vesk/data_access/data_access_error.h"

namespace vesk::data_access::testing {
namespace {

class ConnectionTest : public DatabaseTest {};
class EngineConnectionTest : public EngineTest {};

std::string FileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

TEST_P(EngineConnectionTest, ExecuteReportsRowsAffectedAndZeroForDataDefinition) {
    auto connection = CreateDatabase("pay.mdb");
    EXPECT_EQ(connection->Execute("CREATE TABLE Employees (Code varchar(10), Name varchar(50))"),
              0);
    EXPECT_EQ(connection->Execute("INSERT INTO Employees VALUES ('A1', 'Ann')"), 1);
    EXPECT_EQ(connection->Execute("INSERT INTO Employees VALUES ('B2', 'Bob')"), 1);
    EXPECT_EQ(connection->Execute("UPDATE Employees SET Name = Name || '!'"), 2);
    EXPECT_EQ(connection->Execute("DELETE FROM Employees WHERE Code = 'A1'"), 1);
    EXPECT_EQ(connection->Execute("SELECT * FROM Employees"), 0);  // rows discarded
}

TEST_P(EngineConnectionTest, FailingStatementCarriesEngineText) {
    auto connection = CreateDatabase("pay.mdb");
    try {
        connection->Execute("DELETE FROM Missing");
        FAIL() << "no error";
    } catch (const DataAccessError& error) {
        std::string expected =
            OnServer() ? "relation \"missing\" does not exist" : "no such table: Missing";
        EXPECT_NE(error.Description().find(expected), std::string::npos) << error.Description();
        EXPECT_EQ(error.Statement(), "DELETE FROM Missing");
    }
    EXPECT_THROW(connection->Execute("CREATE TABLE a (x integer); CREATE TABLE b (y integer)"),
                 DataAccessError);
    EXPECT_THROW(OpenRows(connection, "SELECT * FROM a"), DataAccessError)
        << "a rejected script must not have run its first statement";
}

TEST_P(EngineConnectionTest, StateAttributesAndClose) {
    auto connection = CreateDatabase("pay.mdb");
    EXPECT_EQ(connection->State(), adStateOpen);
    connection->SetAttributes(128);
    EXPECT_EQ(connection->Attributes(), 128);
    connection->Close();
    EXPECT_EQ(connection->State(), adStateClosed);
    EXPECT_THROW(connection->Execute("SELECT 1"), DataAccessError);
    connection->Open();  // reopens from ConnectionString
    EXPECT_EQ(connection->State(), adStateOpen);
    EXPECT_THROW(connection->Open(), DataAccessError);
}

TEST_F(ConnectionTest, MissingFileIsAnErrorAndCreatesNothing) {
    auto connection = std::make_shared<Connection>();
    EXPECT_THROW(connection->Open(EmbeddedConnectionText(PathOf("none.mdb"))), DataAccessError);
    EXPECT_EQ(connection->State(), adStateClosed);
    EXPECT_FALSE(std::filesystem::exists(PathOf("none.mdb")));
}

TEST_F(ConnectionTest, KeyedFileNeedsTheRightKeyAndIsNotReadableWithout) {
    {
        auto connection = CreateDatabase("keyed.mdb", "s3cret");
        connection->Execute("CREATE TABLE Secrets (Value Text (20))");
        connection->Execute("INSERT INTO Secrets VALUES ('payroll-secret')");
    }
    std::string before = FileBytes(PathOf("keyed.mdb"));
    EXPECT_EQ(before.find("payroll-secret"), std::string::npos) << "the file is not encrypted";
    EXPECT_EQ(before.find("Secrets"), std::string::npos);

    for (const std::string& wrong : {std::string(), std::string("wrong")}) {
        try {
            OpenDatabase("keyed.mdb", wrong);
            FAIL() << "opened with key '" << wrong << "'";
        } catch (const DataAccessError& error) {
            EXPECT_NE(error.Description().find("password"), std::string::npos)
                << error.Description();
        }
    }
    EXPECT_EQ(FileBytes(PathOf("keyed.mdb")), before) << "a failed open changed the file";

    auto connection = OpenDatabase("keyed.mdb", "s3cret");
    EXPECT_EQ(Scalar(connection, "SELECT Value FROM Secrets"), "payroll-secret");

    std::string command =
        "sqlite3 '" + PathOf("keyed.mdb") + "' 'SELECT * FROM Secrets' >/dev/null 2>&1";
    EXPECT_NE(std::system(command.c_str()), 0) << "the plain shell read the keyed file";
}

TEST_F(ConnectionTest, AccessDriverTextOpensTheSameKeyedFile) {
    CreateDatabase("keyed.mdb", "pw")->Execute("CREATE TABLE T (X Integer)");
    auto connection = std::make_shared<Connection>();
    connection->Open("Driver={Microsoft Access Driver (*.mdb)};DBQ=" + PathOf("keyed.mdb") +
                     ";PWD=pw");
    EXPECT_EQ(Scalar(connection, "SELECT count(*) FROM T"), "0");
}

TEST_P(EngineConnectionTest, TraceSeesCommandsAndQueries) {
    auto connection = CreateDatabase("pay.mdb");
    std::vector<std::pair<StatementKind, std::string>> seen;
    connection->SetStatementTrace([&](StatementKind kind, std::string_view sql) {
        seen.emplace_back(kind, std::string(sql));
    });
    connection->Execute("CREATE TABLE T (X Integer)");
    OpenRows(connection, "SELECT * FROM T");
    try {
        connection->Execute("bogus statement");
    } catch (const DataAccessError&) {
    }
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0],
              std::make_pair(StatementKind::Command, std::string("CREATE TABLE T (X Integer)")));
    EXPECT_EQ(seen[1], std::make_pair(StatementKind::Query, std::string("SELECT * FROM T")));
    EXPECT_EQ(seen[2].second, "bogus statement");
}

TEST_P(EngineConnectionTest, TransactionsNestAndRollBackOnlyTheirOwnChanges) {
    auto connection = CreateDatabase("pay.mdb");
    connection->Execute("CREATE TABLE T (X Integer)");
    EXPECT_THROW(connection->CommitTrans(), DataAccessError);
    EXPECT_EQ(connection->BeginTrans(), 1);
    connection->Execute("INSERT INTO T VALUES (1)");
    EXPECT_EQ(connection->BeginTrans(), 2);
    auto rows = OpenRows(connection, "SELECT * FROM T");
    rows->Delete();
    rows->AddNew();
    rows->Fields()["X"].SetValue(2);
    rows->Update();
    connection->RollbackTrans();
    connection->CommitTrans();
    EXPECT_EQ(Joined(OpenDatabase("pay.mdb"), "SELECT X FROM T"), "1");
    EXPECT_THROW(connection->RollbackTrans(), DataAccessError);
}

TEST_P(EngineConnectionTest, FailingStatementInATransactionUndoesOnlyItself) {
    auto connection = CreateDatabase("pay.mdb");
    connection->Execute("CREATE TABLE T (X Integer)");
    connection->BeginTrans();
    connection->Execute("INSERT INTO T VALUES (1)");
    EXPECT_THROW(connection->Execute("INSERT INTO Missing VALUES (2)"), DataAccessError);
    EXPECT_THROW(OpenRows(connection, "SELECT * FROM Missing"), DataAccessError);
    connection->Execute("INSERT INTO T VALUES (3)");
    connection->CommitTrans();
    EXPECT_EQ(Joined(OpenDatabase("pay.mdb"), "SELECT X FROM T ORDER BY X"), "1|3");
}

TEST_P(EngineConnectionTest, SecondConnectionWritesWhileFirstHasIdleRecordset) {
    auto reader = CreateDatabase("shared.mdb");
    reader->Execute("CREATE TABLE T (X Integer)");
    reader->Execute("INSERT INTO T VALUES (1)");
    auto rows = OpenRows(reader, "SELECT * FROM T");
    EXPECT_EQ(rows->Fields()["X"].Value().ToInt64(), 1);

    auto writer = OpenDatabase("shared.mdb");
    EXPECT_EQ(writer->Execute("INSERT INTO T VALUES (2)"), 1);
    writer->Execute("CREATE TABLE U (Y Integer)");
}

// The count of writes in the process moves with every statement, stored row and commit of any
// connection, and stands still while record sets only read.
TEST_P(EngineConnectionTest, WritesInProcessMoveWithWritesAloneOfAnyConnection) {
    auto first = CreateDatabase("writes.mdb");
    first->Execute("CREATE TABLE T (X Integer)");
    auto second = OpenDatabase("writes.mdb");
    auto rows = OpenRows(first, "SELECT * FROM T");
    std::uint64_t before = Connection::WritesInProcess();
    rows->Requery();
    EXPECT_TRUE(rows->IsEOF());
    EXPECT_EQ(Connection::WritesInProcess(), before) << "reading is no write";
    rows->AddNew();
    rows->Fields()["X"].SetValue(1);
    rows->Update();
    EXPECT_GT(Connection::WritesInProcess(), before);
    before = Connection::WritesInProcess();
    second->Execute("INSERT INTO T VALUES (2)");
    EXPECT_GT(Connection::WritesInProcess(), before);
}

VESK_ON_EACH_ENGINE(EngineConnectionTest);

}  // namespace
}  // namespace vesk::data_access::testing
