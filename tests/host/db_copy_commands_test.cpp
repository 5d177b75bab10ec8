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

// Per table: rows read, added, already there and refused; a table the destination lacks is
// named as skipped, and its rows make the command fail.
TEST_F(DbCopyCommandsTest, CopyPrintsWhatBecameOfEachTablesRows) {
    std::string from =
        MakeDatabase("from.mdb", "fpw",
                     {"CREATE TABLE T (Code Text (10))", "INSERT INTO T VALUES ('A')",
                      "INSERT INTO T VALUES ('B')", "CREATE TABLE Missing (Code Text (10))",
                      "INSERT INTO Missing VALUES ('C')"});
    std::string to = MakeDatabase(
        "to.mdb", "tpw", {"CREATE TABLE T (Code Text (10))", "INSERT INTO T VALUES ('A')"});
    std::vector<std::string> copy = {
        "db", "copy", "--from", from, "--from-password", "fpw", "--to", to, "--to-password", "tpw"};
    EXPECT_EQ(Run(copy), kFailure);
    EXPECT_EQ(m_out.str(),
              "T: 2 rows read, 1 added, 1 already there, 0 refused\n"
              "Missing: 1 rows read, skipped: the destination cannot open it: Cannot run "
              "\"SELECT * FROM Missing WHERE 1=0\": no such table: Missing\n");
    EXPECT_EQ(m_err.str(),
              "vesk: 1 rows were not copied (refused, or in a table the destination cannot "
              "take): Missing\n");
    std::string onlyT = MakeDatabase(
        "only-t.mdb", "fpw", {"CREATE TABLE T (Code Text (10))", "INSERT INTO T VALUES ('B')"});
    copy[3] = onlyT;
    EXPECT_EQ(Run(copy), kSuccess) << m_err.str();
    EXPECT_EQ(m_out.str(), "T: 1 rows read, 0 added, 1 already there, 0 refused\n");
}

// A row the destination refuses is counted with the first reason, and the command fails;
// --rows-per-commit takes a positive number.
TEST_F(DbCopyCommandsTest, RefusedRowsAreCountedAndTheCommandFails) {
    std::string from =
        MakeDatabase("from.mdb", "",
                     {"CREATE TABLE T (Code Text (10), Name Text (10))",
                      "INSERT INTO T VALUES ('A', 'x')", "INSERT INTO T VALUES ('B', NULL)"});
    std::string to =
        MakeDatabase("to.mdb", "", {"CREATE TABLE T (Code Text (10), Name Text (10) NOT NULL)"});
    for (const char* rowsPerCommit : {"1", "7"}) {
        EXPECT_EQ(
            Run({"db", "copy", "--from", from, "--to", to, "--rows-per-commit", rowsPerCommit}),
            kFailure);
        EXPECT_TRUE(m_out.str().starts_with("T: 2 rows read, ")) << m_out.str();
        EXPECT_NE(m_out.str().find(" already there, 1 refused (first: "), std::string::npos)
            << m_out.str();
        EXPECT_NE(m_out.str().find("NOT NULL constraint failed: T.Name"), std::string::npos);
        EXPECT_EQ(m_err.str(),
                  "vesk: 1 rows were not copied (refused, or in a table the destination cannot "
                  "take): T\n");
    }
    EXPECT_EQ(Run({"db", "copy", "--from", from, "--to", to, "--rows-per-commit", "0"}), kUsage);
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
    EXPECT_NE(text.find("Employees: 3 rows read, 3 added, 0 already there, 0 refused\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("Employees: 3 rows read, 0 added, 3 already there, 0 refused\n"),
              std::string::npos)
        << text;
    EXPECT_EQ(err.str(), "");
}

}  // namespace
}  // namespace vesk::host
