#include <gtest/gtest.h>

#include "host_test.h"

#include <sstream>

#include "command_registry.h"
#include "db_copy_command.h"
#include "scratch_folder.h"
#include "vesk/data_access/catalog.h"
#include "vesk/data_access/connection_text.h"

namespace vesk::host {
namespace {

class DbCopyCommandsTest : public HostTest {
protected:
};

TEST_F(DbCopyCommandsTest, CopyPrintsRowsReadAndAddedPerTable) {
    std::string from =
        MakeDatabase("from.mdb", "fpw",
                     {"CREATE TABLE T (Code Text (10))", "INSERT INTO T VALUES ('A')",
                      "INSERT INTO T VALUES ('B')", "CREATE TABLE Missing (Code Text (10))",
                      "INSERT INTO Missing VALUES ('C')"});
    std::string to = MakeDatabase(
        "to.mdb", "tpw", {"CREATE TABLE T (Code Text (10))", "INSERT INTO T VALUES ('A')"});
    std::vector<std::string> copy = {
        "db", "copy", "--from", from, "--from-password", "fpw", "--to", to, "--to-password", "tpw"};
    EXPECT_EQ(Run(copy), kSuccess);
    EXPECT_EQ(m_out.str(), "T: 2 rows read, 1 rows added\nMissing: 1 rows read, 0 rows added\n");
    EXPECT_EQ(m_err.str(), "");
    EXPECT_EQ(Run(copy), kSuccess);
    EXPECT_EQ(m_out.str(), "T: 2 rows read, 0 rows added\nMissing: 1 rows read, 0 rows added\n");
}

TEST_F(DbCopyCommandsTest, WrongPasswordFailsWithTheDescription) {
    std::string from = MakeDatabase("from.mdb", "fpw", {"CREATE TABLE T (Code Text (10))"});
    std::string to = MakeDatabase("to.mdb", "", {"CREATE TABLE T (Code Text (10))"});
    EXPECT_EQ(Run({"db", "copy", "--from", from, "--from-password", "wrong", "--to", to}),
              kFailure);
    EXPECT_TRUE(m_err.str().starts_with("vesk: ")) << m_err.str();
    EXPECT_EQ(Run({"db", "copy", "--from", from}), kUsage);
}

TEST_F(DbCopyCommandsTest, DemoUpsizesAndASecondCopyAddsNothing) {
    std::ostringstream out;
    std::ostringstream err;
    Output output{out, err};
    RunDataCopyDemo(m_folder.Path("demo"), output);
    const std::string text = out.str();
    EXPECT_NE(text.find("Employees: 3 rows read, 3 rows added\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Employees: 3 rows read, 0 rows added\n"), std::string::npos) << text;
    EXPECT_EQ(err.str(), "");
}

}  // namespace
}  // namespace vesk::host
