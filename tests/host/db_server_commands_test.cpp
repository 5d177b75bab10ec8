#include <gtest/gtest.h>

#include "host_test.h"

#include <memory>

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

}  // namespace
}  // namespace vesk::host
