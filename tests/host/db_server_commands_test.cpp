#include <gtest/gtest.h>

#include "host_test.h"

#include <memory>

#include <fmt/format.h>

#include "server_cluster.h"
#include "vesk/data_access/catalog.h"
#include "vesk/data_access/connection_text.h"
#include "vesk/data_access/recordset.h"

namespace vesk::host {
namespace {

// `vesk db fix` and `vesk db copy` on a database on the server.
class ServerDbCommandsTest : public HostTest {
protected:
    void SetUp() override {
        if (auto cluster = data_access::testing::RequireServerCluster()) {
            m_cluster = *cluster;
            m_server = std::make_unique<data_access::testing::ScratchServerDatabase>(*cluster);
        }
    }

    std::vector<std::string> Fix(const std::string& main = {}) {
        return {"db",         "fix",
                "--template", m_folder.Path("template.mdb"),
                "--db",       main.empty() ? m_server->ConnectionText() : main,
                "--type",     "postgresql"};
    }

    // `arguments` followed by `more`.
    static std::vector<std::string> With(std::vector<std::string> arguments,
                                         const std::vector<std::string>& more) {
        arguments.insert(arguments.end(), more.begin(), more.end());
        return arguments;
    }

    // Whether `secret` appears in anything the last command printed.
    bool Printed(const std::string& secret) const {
        return (m_out.str() + m_err.str()).find(secret) != std::string::npos;
    }

    // The tables of the server database.
    std::vector<std::string> ServerTables() {
        data_access::Catalog catalog;
        catalog.SetActiveConnection(m_server->ConnectionText());
        std::vector<std::string> names;
        for (long table_idx = 0; table_idx < catalog.Tables().Count(); ++table_idx) {
            names.push_back(catalog.Tables().Item(table_idx).Name());
        }
        return names;
    }

    std::string m_cluster;
    std::unique_ptr<data_access::testing::ScratchServerDatabase> m_server;
};

constexpr const char* kPassword = "p;w\"o'rd-ü1";

const char* const kRepairOfT =
    "CREATE TABLE T (Code varchar(20))\n"
    "ALTER TABLE T ADD COLUMN Salary double precision\n"
    "tables created: 1, fields created: 1\n";

TEST_F(ServerDbCommandsTest, DryRunRollsTheRepairBackAndTheRepairThenRunsTheSame) {
    MakeDatabase("template.mdb", "", {"CREATE TABLE T (Code Text (20), Salary DOUBLE)"});
    std::vector<std::string> dryRun = Fix();
    dryRun.push_back("--dry-run");
    ASSERT_EQ(Run(dryRun), kSuccess) << m_err.str();
    EXPECT_EQ(m_out.str(), kRepairOfT);
    EXPECT_TRUE(ServerTables().empty());

    ASSERT_EQ(Run(Fix()), kSuccess) << m_err.str();
    EXPECT_EQ(m_out.str(), kRepairOfT);
    EXPECT_EQ(ServerTables(), std::vector<std::string>{"t"});
    EXPECT_EQ(Run(Fix()), kSuccess);
    EXPECT_EQ(m_out.str(), "tables created: 0, fields created: 0\n");
}

TEST_F(ServerDbCommandsTest, CopyUpsizesAFileIntoTheServerAndBack) {
    MakeDatabase("template.mdb", "", {"CREATE TABLE T (Code Text (20), Salary DOUBLE)"});
    ASSERT_EQ(Run(Fix()), kSuccess) << m_err.str();
    std::string file =
        MakeDatabase("from.mdb", "pw",
                     {"CREATE TABLE T (Code Text (20), Salary DOUBLE)",
                      "INSERT INTO T VALUES ('A', 1.5)", "INSERT INTO T VALUES ('B', 2)"});
    ASSERT_EQ(Run({"db", "copy", "--from", file, "--from-password", "pw", "--to",
                   m_server->ConnectionText()}),
              kSuccess)
        << m_err.str();
    EXPECT_EQ(m_out.str(), "T: 2 rows read, 2 added, 0 already there, 0 refused\n");

    std::string back =
        MakeDatabase("back.mdb", "", {"CREATE TABLE T (Code Text (20), Salary DOUBLE)"});
    ASSERT_EQ(Run({"db", "copy", "--from", m_server->ConnectionText(), "--to", back}), kSuccess)
        << m_err.str();
    EXPECT_EQ(m_out.str(), "t: 2 rows read, 2 added, 0 already there, 0 refused\n");
}

// The source server stops answering halfway (its session ends when the destination stores the
// row K700): the command names the reason and fails, and a second run completes the table
// without doubles.
TEST_F(ServerDbCommandsTest, SourceThatStopsAnsweringFailsTheCopyAndASecondRunCompletesIt) {
    data_access::testing::ScratchServerDatabase source(
        *data_access::testing::RequireServerCluster());
    data_access::Connection sourceConnection;
    sourceConnection.Open(source.ConnectionText());
    sourceConnection.Execute("CREATE TABLE t (code varchar(10), name varchar(20))");
    sourceConnection.Execute(
        "INSERT INTO t SELECT 'K' || i, 'N' || i FROM generate_series(1, 1200) AS i");
    sourceConnection.Close();
    auto destination = std::make_shared<data_access::Connection>();
    destination->Open(m_server->ConnectionText());
    destination->Execute("CREATE TABLE t (code varchar(10), name varchar(20))");
    destination->Execute(fmt::format(
        "CREATE FUNCTION stop_source() RETURNS trigger AS $$ BEGIN PERFORM "
        "pg_terminate_backend(pid) FROM pg_stat_activity WHERE datname = '{}'; RETURN NEW; "
        "END $$ LANGUAGE plpgsql",
        source.Name()));
    destination->Execute(
        "CREATE TRIGGER stop_source AFTER INSERT ON t FOR EACH ROW WHEN (NEW.code = 'K700') "
        "EXECUTE FUNCTION stop_source()");
    std::vector<std::string> copy = {"db",
                                     "copy",
                                     "--from",
                                     source.ConnectionText(),
                                     "--to",
                                     m_server->ConnectionText(),
                                     "--rows-per-commit",
                                     "100"};

    EXPECT_EQ(Run(copy), kFailure);
    EXPECT_TRUE(m_err.str().starts_with(
        "vesk: The copy stopped in the table t: the source database no longer answers: "))
        << m_err.str();
    EXPECT_EQ(m_out.str(), "t: 1000 rows read, 1000 added, 0 already there, 0 refused\n");
    ASSERT_EQ(Run(copy), kSuccess) << m_err.str();
    EXPECT_EQ(m_out.str(), "t: 1200 rows read, 200 added, 1000 already there, 0 refused\n");
    data_access::Recordset codes;
    codes.Open("SELECT count(DISTINCT code) FROM t", destination, data_access::adOpenStatic);
    EXPECT_EQ(codes.RecordCount(), 1);
    EXPECT_EQ(codes.Fields().Item(0L).Value().ToText(), "1200");
}

TEST_F(ServerDbCommandsTest, FixTakesThePasswordForEveryFormOfTheMainDatabase) {
    data_access::testing::ServerLogin login(m_cluster, *m_server, kPassword);
    MakeDatabase("template.mdb", "", {"CREATE TABLE T (Code Text (20), Salary DOUBLE)"});
    const std::vector<std::vector<std::string>> runs = {
        With(Fix(login.ConnectionText()), {"--password", kPassword, "--dry-run"}),
        With(Fix(login.Uri()), {"--password", kPassword, "--dry-run", "--legacy"}),
        With(Fix(login.ConnectionText()), {"--password", kPassword, "--legacy"}),
        With(Fix(login.Uri()), {"--password", kPassword}),
    };
    for (const std::vector<std::string>& run : runs) {
        EXPECT_EQ(Run(run), kSuccess) << m_err.str();
        EXPECT_FALSE(Printed("rd-ü1"));
    }
    EXPECT_EQ(ServerTables(), std::vector<std::string>{"t"});
}

// A role that may read but not write: every statement is refused, and the refused CREATE
// TABLE is followed by no ADD of its first column.
TEST_F(ServerDbCommandsTest, RefusedStatementsAreCountedBesideTheTotals) {
    data_access::testing::ScratchServerDatabase other(m_cluster);
    data_access::testing::ServerLogin reader(m_cluster, other, kPassword);
    data_access::Connection owner;
    owner.Open(m_server->ConnectionText());
    owner.Execute("GRANT CONNECT ON DATABASE " + m_server->Name() + " TO " + reader.User());
    MakeDatabase("template.mdb", "", {"CREATE TABLE T (Code Text (20), Salary DOUBLE)"});
    data_access::ConnectionSettings cluster =
        data_access::ParseConnectionText(m_server->ConnectionText());
    std::string main = "Provider=PostgreSQL;Server=" + cluster.host + ";Port=" + cluster.port +
                       ";Database=" + m_server->Name() + ";Uid=" + reader.User() +
                       ";Pwd=" + data_access::ConnectionTextValue(kPassword);
    EXPECT_EQ(Run(Fix(main)), kFailure);
    EXPECT_EQ(m_out.str(),
              "CREATE TABLE T (Code varchar(20))\n"
              "ALTER TABLE T ADD COLUMN Salary double precision\n"
              "tables created: 1, fields created: 2, statements refused: 2\n");
    EXPECT_FALSE(Printed("rd-ü1"));
}

TEST_F(ServerDbCommandsTest, FailingCommandsShowNoPassword) {
    data_access::testing::ServerLogin login(m_cluster, *m_server, kPassword);
    std::string file = MakeDatabase("to.mdb", "", {"CREATE TABLE T (Code Text (20))"});
    const std::string wrong = "Wr0ng;\"pass'word";
    const std::string uri =
        "postgresql://" + login.User() + ":TopSecret1@/" + m_server->Name() +
        "?host=" + data_access::ParseConnectionText(m_server->ConnectionText()).host;
    const std::vector<std::vector<std::string>> runs = {
        {"sql", "--db", login.ConnectionText(), "--password", wrong, "SELECT 1"},
        {"sql", "--db",
         login.ConnectionText() + ";Password=" + data_access::ConnectionTextValue(wrong),
         "SELECT 1"},
        {"sql", "--db",
         "Provider=PostgreSQL;Host=h;Password=" + data_access::ConnectionTextValue(wrong),
         "SELECT 1"},
        {"db", "copy", "--from", uri, "--to", file},
        {"sql", "--db", "postgresql://u:Wr0ng%zz@/db", "SELECT 1"},
        {"db", "compact", uri},
        {"db", "create", uri},
    };
    for (const std::vector<std::string>& run : runs) {
        EXPECT_EQ(Run(run), kFailure) << run[2];
        EXPECT_FALSE(Printed("Wr0ng") || Printed("TopSecret1")) << m_out.str() << m_err.str();
        EXPECT_NE(m_err.str(), "");
    }
}

TEST_F(ServerDbCommandsTest, CreateMakesTheServerDatabaseAConnectionTextNames) {
    std::string name = m_server->Name() + "_made";
    std::string text = m_cluster + ";Database=" + name;
    ASSERT_EQ(Run({"db", "create", text}), kSuccess) << m_err.str();
    data_access::Connection made;
    EXPECT_NO_THROW(made.Open(text));
    made.Close();
    EXPECT_EQ(Run({"db", "create", text}), kFailure);
    EXPECT_NE(m_err.str().find("already exists"), std::string::npos) << m_err.str();
    data_access::Connection maintenance;
    maintenance.Open(m_cluster + ";Database=postgres");
    maintenance.Execute("DROP DATABASE " + name + " WITH (FORCE)");

    std::string path = m_folder.Path("a;b \"c'.mdb");
    ASSERT_EQ(Run({"db", "create", data_access::EmbeddedConnectionText(path, kPassword)}), kSuccess)
        << m_err.str();
    EXPECT_NO_THROW(data_access::Catalog().SetActiveConnection(
        data_access::EmbeddedConnectionText(path, kPassword)));
}

TEST_F(ServerDbCommandsTest, SqlPrintsRowsInTheOrderTheStatementAsks) {
    data_access::Connection server;
    server.Open(m_server->ConnectionText());
    server.Execute("CREATE TABLE Ob (K varchar(5), N integer)");
    server.Execute("INSERT INTO Ob VALUES ('c', 2), ('a', 3), ('b', 1)");
    ASSERT_EQ(
        Run({"sql", "--db", m_server->ConnectionText(), "SELECT K AS Label, N FROM Ob ORDER BY 2"}),
        kSuccess)
        << m_err.str();
    EXPECT_EQ(m_out.str(), "label\tn\nb\t1\nc\t2\na\t3\n");
}

}  // namespace
}  // namespace vesk::host
