#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "command_registry.h"
#include "db_compact_command.h"
#include "host_test.h"
#include "scratch_folder.h"
#include "vesk/data_access/catalog.h"
#include "vesk/data_access/connection_text.h"

namespace vesk::host {
namespace {

class DbCompactCommandsTest : public HostTest {
protected:
    // A database with one table, keyed with `password`.
    std::string MakeDatabase(const std::string& password) {
        return HostTest::MakeDatabase("db.mdb", password,
                                      {"CREATE TABLE t (id INTEGER PRIMARY KEY, v TEXT)"});
    }
};

TEST_F(DbCompactCommandsTest, DemoCompactsAfterDeletingAndPrintsBothSizes) {
    std::string path = MakeDatabase("pw");
    Output output{m_out, m_err};
    RunCompactionDemo(path, "pw", output);
    RunCompactionDemo(path, "pw", output);  // runs again on its own result
    EXPECT_NE(m_out.str().find("bytes before"), std::string::npos) << m_out.str();
    EXPECT_EQ(m_err.str(), "");
}

TEST_F(DbCompactCommandsTest, CompactWithPasswordAndTempFolderPrintsSizes) {
    std::string path = MakeDatabase("pw");
    EXPECT_EQ(Run({"db", "compact", path, "--temp", m_folder.Path(), "--password", "pw"}), 0);
    EXPECT_NE(m_out.str().find(path + ": "), std::string::npos) << m_out.str();
    EXPECT_NE(m_out.str().find("bytes after"), std::string::npos);
}

// --by-rename puts a new file in place; a path with a quote and a ';' goes through whole.
TEST_F(DbCompactCommandsTest, ByRenameReplacesTheFileAndKeepsItsRows) {
    std::string path = HostTest::MakeDatabase(
        "it's; mine.mdb", "p;w'",
        {"CREATE TABLE t (id INTEGER PRIMARY KEY, v TEXT)", "INSERT INTO t VALUES (1, 'Straße')"});
    auto inode = [&] {
        struct stat status {};
        ::stat(path.c_str(), &status);
        return status.st_ino;
    };
    auto before = inode();
    EXPECT_EQ(Run({"db", "compact", path, "--by-rename", "--password", "p;w'"}), 0) << m_err.str();
    EXPECT_NE(inode(), before);
    EXPECT_EQ(Run({"sql", "--db", path, "--password", "p;w'", "SELECT v FROM t"}), 0)
        << m_err.str();
    EXPECT_NE(m_out.str().find("Straße"), std::string::npos) << m_out.str();
}

TEST_F(DbCompactCommandsTest, FailuresShowTheBoxOnStandardErrorAndFail) {
    std::string path = MakeDatabase("pw");
    EXPECT_NE(Run({"db", "compact", path, "--password", "wrong"}), 0);
    EXPECT_NE(m_err.str().find("Error Compacting Database: "), std::string::npos) << m_err.str();
    EXPECT_NE(Run({"db", "repair", m_folder.Path("none.mdb")}), 0);
    EXPECT_NE(m_err.str().find("File Not Found: Database file not found to repair\n"),
              std::string::npos)
        << m_err.str();
    EXPECT_NE(Run({"db", "repair", path}), 0);  // keyed: the repair has no password
    EXPECT_NE(m_err.str().find("Error Repairing Database: "), std::string::npos) << m_err.str();
}

TEST_F(DbCompactCommandsTest, RepairOfASoundFileSucceeds) {
    std::string path = MakeDatabase("");
    EXPECT_EQ(Run({"db", "repair", path}), 0) << m_err.str();
    EXPECT_NE(m_out.str().find("bytes after"), std::string::npos);
}

// A file named without a folder is compacted beside itself, in the current folder.
TEST_F(DbCompactCommandsTest, AFileNamedWithoutAFolderCompactsInItsOwnFolder) {
    std::string path = HostTest::MakeDatabase("cwd.mdb", "", {"CREATE TABLE t (id INTEGER)"});
    auto previous = std::filesystem::current_path();
    std::filesystem::current_path(m_folder.Path());
    int status = Run({"db", "compact", "cwd.mdb"});
    std::filesystem::current_path(previous);
    EXPECT_EQ(status, 0) << m_err.str();
    EXPECT_EQ(m_out.str().rfind("cwd.mdb: ", 0), 0u) << m_out.str();
}

TEST_F(DbCompactCommandsTest, RepairNamesTheRowsKeptAndLostPerTable) {
    std::string path = HostTest::MakeDatabase(
        "db.mdb", "",
        {"CREATE TABLE t (id INTEGER PRIMARY KEY, v TEXT)", "CREATE INDEX t_v ON t (v)",
         "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000) "
         "INSERT INTO t SELECT i, printf('%0100d', i) FROM n"});
    std::fstream(path, std::ios::in | std::ios::out | std::ios::binary)
        .seekp(std::filesystem::file_size(path) / 2)
        .write(std::string(4096, '\xff').data(), 4096);
    EXPECT_EQ(Run({"db", "repair", path}), 0) << m_err.str();
    EXPECT_NE(m_out.str().find("\nt: "), std::string::npos) << m_out.str();
    EXPECT_NE(m_out.str().find(" rows kept, "), std::string::npos) << m_out.str();
    EXPECT_NE(m_out.str().find(" rows lost"), std::string::npos) << m_out.str();
}

// A keyed file is repaired with its password: the rebuilt file is keyed alike, and the
// command says where the damaged one is kept.
TEST_F(DbCompactCommandsTest, AKeyedFileIsRepairedWithItsPassword) {
    const std::string key = " k;ey\"' ";
    std::string path = HostTest::MakeDatabase(
        "keyed.mdb", key,
        {"CREATE TABLE t (id INTEGER PRIMARY KEY, v TEXT)",
         "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000) "
         "INSERT INTO t SELECT i, printf('%0100d', i) FROM n"});
    std::fstream(path, std::ios::in | std::ios::out | std::ios::binary)
        .seekp(std::filesystem::file_size(path) / 2)
        .write(std::string(4096, '\xff').data(), 4096);
    ASSERT_EQ(Run({"db", "repair", "--db", path, "--password", key}), 0) << m_err.str();
    EXPECT_NE(m_out.str().find("The damaged file is kept as " + path + ".damaged\n"),
              std::string::npos)
        << m_out.str();
    EXPECT_NE(m_out.str().find(" more in damaged pages"), std::string::npos)
        << "rows lost in the damaged pages are counted: " << m_out.str();
    ASSERT_EQ(Run({"sql", "--db", path, "--password", key, "SELECT count(*) AS n FROM t"}), 0)
        << m_err.str();
    long kept = std::stol(m_out.str().substr(2));
    EXPECT_GT(kept, 2000);
    EXPECT_LT(kept, 3000);
}

}  // namespace
}  // namespace vesk::host
