#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "command_registry.h"
#include "vesk/data_access/catalog.h"
#include "vesk/data_access/connection_text.h"

namespace vesk::host {
namespace {

class HostCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "vesk-host-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        m_folder = pattern;
        m_database = (m_folder / "pay.mdb").string();
        data_access::Catalog catalog;
        auto connection = catalog.Create(data_access::EmbeddedConnectionText(m_database, "pw"));
        connection->Execute("CREATE TABLE People (Code Text (10), Note Memo, Photo IMAGE)");
        connection->Execute("INSERT INTO People VALUES ('A1', 'first', x'000102')");
        connection->Execute("INSERT INTO People VALUES ('B2', NULL, NULL)");
    }
    void TearDown() override { std::filesystem::remove_all(m_folder); }

    int Run(std::vector<std::string> arguments) {
        m_out.str("");
        m_err.str("");
        return RunCommandLine(arguments, {m_out, m_err});
    }

    std::filesystem::path m_folder;
    std::string m_database;
    std::ostringstream m_out;
    std::ostringstream m_err;
};

TEST_F(HostCommandsTest, SqlPrintsHeaderAndTabSeparatedRows) {
    EXPECT_EQ(Run({"sql", "--db", m_database, "--password", "pw", "SELECT * FROM People"}),
              kSuccess);
    EXPECT_EQ(m_out.str(), "Code\tNote\tPhoto\nA1\tfirst\t<3 bytes>\nB2\t\t\n");
    EXPECT_EQ(m_err.str(), "");
}

TEST_F(HostCommandsTest, SqlTakesAFullConnectionText) {
    std::string text = "Driver={Microsoft Access Driver (*.mdb)};DBQ=" + m_database + ";PWD=pw";
    EXPECT_EQ(Run({"sql", "--db", text, "DELETE FROM People WHERE Code = 'B2'"}), kSuccess);
    EXPECT_EQ(m_out.str(), "");
    EXPECT_EQ(Run({"sql", "--db", text, "SELECT count(*) AS N FROM People"}), kSuccess);
    EXPECT_EQ(m_out.str(), "N\n1\n");
}

TEST_F(HostCommandsTest, FailuresExitOneWithTheDescription) {
    EXPECT_EQ(Run({"sql", "--db", m_database, "--password", "wrong", "SELECT 1"}), kFailure);
    EXPECT_NE(m_err.str().find("not a valid password"), std::string::npos) << m_err.str();
    EXPECT_EQ(Run({"sql", "--db", m_database, "--password", "pw", "SELECT * FROM Nobody"}),
              kFailure);
    EXPECT_NE(m_err.str().find("no such table: Nobody"), std::string::npos) << m_err.str();
    EXPECT_EQ(Run({"sql", "--db", (m_folder / "none.mdb").string(), "SELECT 1"}), kFailure);
    EXPECT_FALSE(std::filesystem::exists(m_folder / "none.mdb"));
}

TEST_F(HostCommandsTest, UsageErrorsExitTwo) {
    EXPECT_EQ(Run({}), kUsage);
    EXPECT_EQ(Run({"sql", "SELECT 1"}), kUsage);
    EXPECT_EQ(Run({"sql", "--db", m_database}), kUsage);
    EXPECT_EQ(Run({"nonsense"}), kUsage);
    EXPECT_EQ(Run({"--help"}), kSuccess);
    EXPECT_NE(m_out.str().find("sql"), std::string::npos);
}

TEST_F(HostCommandsTest, SqlFormatsForScriptsKeepNullApartAndEscapeWhatTheyMust) {
    ASSERT_EQ(Run({"sql", "--db", m_database, "--password", "pw",
                   "INSERT INTO People VALUES ('C3', 'a\tb\nc\\d \"q\", é', x'')"}),
              kSuccess);
    EXPECT_EQ(m_err.str(), "1 row changed\n");
    ASSERT_EQ(Run({"sql", "--db", m_database, "--password", "pw",
                   "UPDATE People SET Note = '' "
                   "WHERE Code = 'A1'"}),
              kSuccess);
    const std::string select = "SELECT Code, Note, Photo FROM People ORDER BY Code";

    ASSERT_EQ(Run({"sql", "--db", m_database, "--password", "pw", "--format", "tsv", select}),
              kSuccess);
    EXPECT_EQ(m_out.str(),
              "Code\tNote\tPhoto\nA1\t\t<3 bytes>\nB2\t\\N\t\\N\n"
              "C3\ta\\tb\\nc\\\\d \"q\", é\t<0 bytes>\n");

    ASSERT_EQ(Run({"sql", "--db", m_database, "--password", "pw", "--format", "csv", "--blobs",
                   "hex", select}),
              kSuccess);
    EXPECT_EQ(m_out.str(),
              "Code,Note,Photo\r\nA1,\"\",\\x000102\r\nB2,,\r\n"
              "C3,\"a\tb\nc\\d \"\"q\"\", é\",\\x\r\n");

    ASSERT_EQ(Run({"sql", "--db", m_database, "--password", "pw", "--format", "json",
                   "SELECT Code, Note, Photo, length(Code) AS N FROM People ORDER BY Code"}),
              kSuccess);
    EXPECT_EQ(m_out.str(),
              "[\n{\"Code\": \"A1\", \"Note\": \"\", \"Photo\": {\"bytes\": 3}, \"N\": 2},\n"
              "{\"Code\": \"B2\", \"Note\": null, \"Photo\": null, \"N\": 2},\n"
              "{\"Code\": \"C3\", \"Note\": \"a\\u0009b\\u000ac\\\\d \\\"q\\\", é\", "
              "\"Photo\": {\"bytes\": 0}, \"N\": 2}\n]\n");

    std::string file = (m_folder / "statement.sql").string();
    std::ofstream(file) << "-- the codes\nSELECT Code FROM People WHERE Code < 'B'";
    ASSERT_EQ(Run({"sql", "--db", m_database, "--password", "pw", "--no-header", "--file", file}),
              kSuccess);
    EXPECT_EQ(m_out.str(), "A1\n");
    EXPECT_EQ(Run({"sql", "--db", m_database, "--password", "pw"}), kUsage);
}

TEST_F(HostCommandsTest, TheUsualConventions) {
    EXPECT_EQ(Run({"--version"}), kSuccess);
    EXPECT_TRUE(m_out.str().starts_with("vesk 1.")) << m_out.str();
    for (const char* part :
         {"VeskPhoto ", "VeskDatabaseUtilities ", "SQLCipher ", "libpq ", "Qt "}) {
        EXPECT_NE(m_out.str().find(part), std::string::npos) << part << " in " << m_out.str();
    }

    EXPECT_EQ(Run({"photo", "lst", "--db", m_database}), kUsage);
    EXPECT_NE(m_err.str().find("unknown command 'lst' (the closest is 'list')"), std::string::npos)
        << m_err.str();
    EXPECT_EQ(Run({"dv", "create", "x.mdb"}), kUsage);
    EXPECT_NE(m_err.str().find("unknown command 'dv' (the closest is 'db')"), std::string::npos)
        << m_err.str();

    std::string none = (m_folder / "none.mdb").string();
    EXPECT_EQ(Run({"sql", "--db", none, "SELECT 1"}), kFailure);
    EXPECT_NE(m_err.str().find("there is no database file " + none + " (vesk db create " + none),
              std::string::npos)
        << m_err.str();

    ASSERT_EQ(Run({"manual"}), kSuccess);
    EXPECT_TRUE(m_out.str().starts_with(".TH VESK 1")) << m_out.str();
    EXPECT_NE(m_out.str().find(".SS vesk db fix\n"), std::string::npos);
    EXPECT_NE(m_out.str().find(".B \\-\\-template\\-password\\-file"), std::string::npos);
    ASSERT_EQ(Run({"completion"}), kSuccess);
    EXPECT_NE(m_out.str().find("\"photo\") words=\"create-table add list"), std::string::npos)
        << m_out.str();
    EXPECT_NE(m_out.str().find("complete -F _vesk vesk"), std::string::npos);

    EXPECT_EQ(
        Run({"photo", "list", "--db", m_database, "--group", "E", "--code", "1", "--max-kb", "5"}),
        kUsage)
        << "an option the command would ignore is not offered";
    EXPECT_EQ(Run({"photo", "create-table", "--db", m_database, "--files", "f"}), kUsage);

    EXPECT_EQ(Run({"db", "fix", "--help"}), kSuccess);
    EXPECT_NE(m_out.str().find("default, sqlserver, oracle or postgresql"), std::string::npos);
    EXPECT_EQ(m_out.str().find("->"), std::string::npos) << m_out.str();
}

TEST_F(HostCommandsTest, QuietCommandsPrintOnlyErrors) {
    std::string copy = (m_folder / "copy.mdb").string();
    EXPECT_EQ(Run({"db", "create", copy, "--password", "pw", "-q"}), kSuccess);
    EXPECT_EQ(m_out.str() + m_err.str(), "");
    EXPECT_EQ(Run({"db", "fix", "--template", m_database, "--template-password", "pw", "--db", copy,
                   "--password", "pw", "--quiet"}),
              kSuccess);
    EXPECT_EQ(m_out.str() + m_err.str(), "");
    EXPECT_EQ(Run({"db", "copy", "--from", m_database, "--from-password", "pw", "--to", copy,
                   "--to-password", "pw", "--quiet"}),
              kSuccess);
    EXPECT_EQ(m_out.str() + m_err.str(), "");
    EXPECT_EQ(Run({"db", "copy", "--from", m_database, "--from-password", "wrong", "--to", copy,
                   "--to-password", "pw", "--quiet"}),
              kFailure);
    EXPECT_NE(m_err.str().find("not a valid password"), std::string::npos) << m_err.str();
}

TEST_F(HostCommandsTest, DemoBuildsAKeyedDatabaseAndCanRunAgain) {
    std::string folder = (m_folder / "demo").string();
    ASSERT_EQ(Run({"demo", "--dir", folder}), kSuccess) << m_err.str();
    ASSERT_EQ(Run({"demo", "--dir", folder}), kSuccess) << m_err.str();
    std::string demoDatabase = folder + "/payroll.mdb";
    EXPECT_EQ(Run({"sql", "--db", demoDatabase, "--password", "vesk-demo",
                   "SELECT count(*) AS N FROM Employees"}),
              kSuccess);
    EXPECT_EQ(m_out.str(), "N\n4\n");
    EXPECT_EQ(Run({"sql", "--db", demoDatabase, "SELECT 1"}), kFailure);
}

TEST_F(HostCommandsTest, DemoRefusesAFolderWithFilesItDidNotMake) {
    std::string folder = (m_folder / "mine").string();
    std::filesystem::create_directory(folder);
    std::ofstream(folder + "/payroll.mdb") << "my own payroll";
    EXPECT_EQ(Run({"demo", "--dir", folder}), kFailure);
    EXPECT_NE(m_err.str().find("holds files the demo did not make"), std::string::npos)
        << m_err.str();
    EXPECT_EQ(std::filesystem::file_size(folder + "/payroll.mdb"), 14u);
    EXPECT_FALSE(std::filesystem::exists(folder + "/template.mdb"));
}

}  // namespace
}  // namespace vesk::host
