#include <gtest/gtest.h>

#include "host_test.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "command_registry.h"
#include "db_command.h"
#include "scratch_folder.h"
#include "vesk/data_access/catalog.h"
#include "vesk/data_access/connection_text.h"

namespace vesk::host {
namespace {

const char* const kCannotFix =
    "Fix Fields Error: Cannot fix table fields because database connections could not be "
    "made.\n";

class DbCommandsTest : public HostTest {
protected:
    std::vector<std::string> Fix(const std::string& main) {
        return {"db",
                "fix",
                "--template",
                m_folder.Path("template.mdb"),
                "--template-password",
                "tpw",
                "--db",
                main,
                "--password",
                "mpw"};
    }

    std::string FileBytes(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
};

TEST_F(DbCommandsTest, CreateMakesAKeyedFileAndRefusesAnExistingOne) {
    std::string path = m_folder.Path("new.mdb");
    ASSERT_EQ(Run({"db", "create", path, "--password", "pw"}), kSuccess) << m_err.str();
    EXPECT_EQ(m_out.str(), "Created " + path + " (encrypted)\n");
    data_access::Catalog catalog;
    EXPECT_NO_THROW(catalog.SetActiveConnection(data_access::EmbeddedConnectionText(path, "pw")));

    EXPECT_EQ(Run({"db", "create", path}), kFailure);
    EXPECT_EQ(m_err.str(), "Error Creating Database: Database already exists: '" + path +
                               "'\nvesk: no database was created at " + path + "\n");
}

TEST_F(DbCommandsTest, FixPrintsEachStatementAndTheTotals) {
    MakeDatabase("template.mdb", "tpw", {"CREATE TABLE T (Code Text (20), Name Text (20))"});
    std::string main = MakeDatabase("main.mdb", "mpw", {"CREATE TABLE T (Code Text (10))"});
    std::string mainText = data_access::EmbeddedConnectionText(main, "other");
    ASSERT_EQ(Run(Fix(mainText)), kSuccess) << m_err.str();
    EXPECT_EQ(m_out.str(),
              "ALTER Table T ALTER COLUMN Code Text (20)\n"
              "ALTER Table T ADD COLUMN Name Text (20)\n"
              "tables created: 0, fields created: 2\n");
    EXPECT_EQ(m_err.str(), "");
    ASSERT_EQ(Run(Fix(main)), kSuccess) << m_err.str();
    EXPECT_EQ(m_out.str(), "tables created: 0, fields created: 0\n");
}

TEST_F(DbCommandsTest, DryRunPrintsTheSameStatementsAndChangesNothing) {
    MakeDatabase("template.mdb", "tpw",
                 {"CREATE TABLE T (Code Text (20))", "CREATE TABLE U (Id Integer, V Memo)"});
    std::string main = MakeDatabase("main.mdb", "mpw", {"CREATE TABLE T (Code Text (10))"});
    std::string before = FileBytes(main);
    std::vector<std::string> dryRun = Fix(main);
    dryRun.push_back("--dry-run");
    ASSERT_EQ(Run(dryRun), kSuccess) << m_err.str();
    std::string printed = m_out.str();
    EXPECT_EQ(FileBytes(main), before);
    ASSERT_EQ(Run(Fix(main)), kSuccess) << m_err.str();
    EXPECT_EQ(m_out.str(), printed);
    EXPECT_NE(printed.find("tables created: 1, fields created: 2"), std::string::npos);
}

TEST_F(DbCommandsTest, FixFailuresExitOneWithTheirMessages) {
    std::string main = MakeDatabase("main.mdb", "mpw", {"CREATE TABLE T (Id Integer)"});
    EXPECT_EQ(Run(Fix(main)), kFailure);
    EXPECT_EQ(m_err.str(), std::string("Vesk Database Utilities: Template file not found\n") +
                               kCannotFix + "vesk: the database was not repaired\n");

    MakeDatabase("template.mdb", "tpw", {"CREATE TABLE T (Id Integer, \"Order\" Integer)"});
    EXPECT_EQ(Run(Fix(main)), kFailure);
    EXPECT_EQ(m_out.str(),
              "ALTER Table T ADD COLUMN Order Integer\n"
              "tables created: 0, fields created: 1, statements refused: 1\n");
    EXPECT_NE(m_err.str().find("refused: ALTER Table T ADD COLUMN Order Integer: "),
              std::string::npos);
    EXPECT_NE(m_err.str().find("vesk: the database refused 1 of the statements"),
              std::string::npos);

    std::vector<std::string> oneTable = Fix(main);
    oneTable.insert(oneTable.end(), {"--table", "Nope"});
    EXPECT_EQ(Run(oneTable), kFailure);
    EXPECT_EQ(m_err.str(),
              "vesk: the template " + m_folder.Path("template.mdb") + " has no table Nope\n");
}

TEST_F(DbCommandsTest, UsageErrorsExitTwo) {
    EXPECT_EQ(Run({"db"}), kUsage);
    EXPECT_EQ(Run({"db", "create"}), kUsage);
    EXPECT_EQ(Run({"db", "fix", "--db", "x.mdb"}), kUsage);
    EXPECT_EQ(Run({"db", "fix", "--template", "t", "--db", "x.mdb", "--type", "access"}), kUsage);
}

TEST_F(DbCommandsTest, DemoRepairsAnOlderAndANewDatabaseAndCanRunAgain) {
    for (int run = 0; run < 2; ++run) {
        m_out.str("");
        Output output{m_out, m_err};
        ASSERT_NO_THROW(RunDatabaseUtilitiesDemo(m_folder.Path("demo"), output));
    }
    EXPECT_NE(m_out.str().find("tables created: 2, fields created: 10\n"), std::string::npos);
    EXPECT_NE(m_out.str().find("EMP003\tChiara\tO'Neill"), std::string::npos);
    EXPECT_NE(m_out.str().find("tables created: 0, fields created: 0\n"), std::string::npos);
    EXPECT_NE(m_out.str().find("tables created: 3, fields created: 10\n"), std::string::npos);
    EXPECT_EQ(m_err.str(), "");
}

}  // namespace
}  // namespace vesk::host
