#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "command_registry.h"
#include "host_test.h"

namespace vesk::host {
namespace {

namespace fs = std::filesystem;

// `vesk db ... --legacy`: the same commands through the legacy build of the utilities.
class DbLegacyCommandsTest : public HostTest {
protected:
    const std::vector<std::string> kTable = {"CREATE TABLE T (Code Text (10))"};
};

// The legacy build's own type names show that the repair went through it; the template's
// view, missing from the main database, gets no statement there either.
TEST_F(DbLegacyCommandsTest, FixUsesTheLegacyTypeNames) {
    MakeDatabase("template.mdb", "tpw",
                 {"CREATE TABLE T (Code Text (10), Rate DOUBLE, Scan IMAGE)",
                  "CREATE VIEW Scans AS SELECT Code, Scan FROM T"});
    std::string main = MakeDatabase("main.mdb", "mpw", kTable);
    ASSERT_EQ(Run({"db", "fix", "--template", m_folder.Path("template.mdb"), "--template-password",
                   "tpw", "--db", main, "--password", "mpw", "--legacy"}),
              kSuccess)
        << m_err.str();
    EXPECT_EQ(m_out.str(),
              "ALTER Table T ADD COLUMN Rate Currency\n"
              "ALTER Table T ADD COLUMN Scan Binary\n"
              "tables created: 0, fields created: 2\n");
    EXPECT_EQ(m_err.str(), "");
}

TEST_F(DbLegacyCommandsTest, CompactTakesNoPasswordAndRefusesAKeyedFile) {
    std::string plain = MakeDatabase("plain.mdb", "", kTable);
    ASSERT_EQ(Run({"db", "compact", plain, "--legacy"}), kSuccess) << m_err.str();
    EXPECT_NE(m_out.str().find(plain + ": "), std::string::npos) << m_out.str();
    EXPECT_FALSE(fs::exists(m_folder.Path("Temp.mdb")));

    std::string keyed = MakeDatabase("keyed.mdb", "pw", kTable);
    EXPECT_EQ(Run({"db", "compact", keyed, "--legacy"}), kFailure);
    EXPECT_EQ(m_err.str(), "Error Compacting Database: Cannot open '" + keyed +
                               "': it is protected by a password or is not a database file "
                               "(file is encrypted or is not a database)\nvesk: " +
                               keyed + " was not compacted\n");
    EXPECT_EQ(Run({"db", "compact", keyed, "--legacy", "--password", "pw"}), kUsage);
}

TEST_F(DbLegacyCommandsTest, CopyAndRepairRunAsInTheCurrentBuild) {
    std::string from = MakeDatabase("from.mdb", "", {kTable[0], "INSERT INTO T VALUES ('A')"});
    std::string to = MakeDatabase("to.mdb", "", kTable);
    EXPECT_EQ(Run({"db", "copy", "--from", from, "--to", to, "--legacy"}), kSuccess) << m_err.str();
    EXPECT_EQ(m_out.str(), "T: 1 rows read, 1 added, 0 already there, 0 refused\n");

    EXPECT_EQ(Run({"db", "repair", to, "--legacy"}), kSuccess) << m_err.str();
    std::string missing = m_folder.Path("none.mdb");
    EXPECT_EQ(Run({"db", "repair", missing, "--legacy"}), kFailure);
    EXPECT_EQ(m_err.str(), "File Not Found: Database file not found to repair\nvesk: " + missing +
                               " was not repaired\n");
}

}  // namespace
}  // namespace vesk::host
