#include <gtest/gtest.h>

#include "host_test.h"

#include <memory>

#include <fmt/format.h>

#include "server_cluster.h"
#include "vesk/data_access/catalog.h"
#include "vesk/data_access/recordset.h"

namespace vesk::host {
namespace {

// `vesk db fix` and `vesk db copy` on a database on the server.
class ServerDbCommandsTest : public HostTest {
protected:
    void SetUp() override {
        if (auto cluster = data::testing::RequireServerCluster()) {
            m_server = std::make_unique<data::testing::ScratchServerDatabase>(*cluster);
        }
    }

    std::vector<std::string> Fix() {
        return {"db",         "fix",
                "--template", m_folder.Path("template.mdb"),
                "--db",       m_server->ConnectionText(),
                "--type",     "postgresql"};
    }

    // The tables of the server database.
    std::vector<std::string> ServerTables() {
        data::Catalog catalog;
        catalog.SetActiveConnection(m_server->ConnectionText());
        std::vector<std::string> names;
        for (long table_idx = 0; table_idx < catalog.Tables().Count(); ++table_idx) {
            names.push_back(catalog.Tables().Item(table_idx).Name());
        }
        return names;
    }

    std::unique_ptr<data::testing::ScratchServerDatabase> m_server;
};

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
    data::testing::ScratchServerDatabase source(*data::testing::RequireServerCluster());
    data::Connection sourceConnection;
    sourceConnection.Open(source.ConnectionText());
    sourceConnection.Execute("CREATE TABLE t (code varchar(10), name varchar(20))");
    sourceConnection.Execute(
        "INSERT INTO t SELECT 'K' || i, 'N' || i FROM generate_series(1, 1200) AS i");
    sourceConnection.Close();
    auto destination = std::make_shared<data::Connection>();
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
    data::Recordset codes;
    codes.Open("SELECT count(DISTINCT code) FROM t", destination, data::adOpenStatic);
    EXPECT_EQ(codes.RecordCount(), 1);
    EXPECT_EQ(codes.Fields().Item(0L).Value().ToText(), "1200");
}

}  // namespace
}  // namespace vesk::host
