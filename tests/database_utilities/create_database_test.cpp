#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "utilities_fixture.h"
#include "vesk/data_access/connection_text.h"
#include "vesk/data_access/data_access_error.h"

namespace vesk::database_utilities::testing {
namespace {

std::string FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

using CreateDatabaseTest = BuildTest;

INSTANTIATE_TEST_SUITE_P(Builds, CreateDatabaseTest, kBothBuilds, BuildName);

TEST_P(CreateDatabaseTest, MakesAnEmptyKeyedFileAndTellsEachListenerOnce) {
    RecordingListener second;
    m_utilities.Advise(&m_listener);  // already advised: still told once
    m_utilities.Advise(&second);
    m_utilities.TemplatePWD = "pw";
    std::string path = m_folder.Path("new.mdb");
    EXPECT_TRUE(m_utilities.CreateDatabase(path));
    EXPECT_EQ(m_listener.events, std::vector<std::string>{"DatabaseCreated()"});
    EXPECT_EQ(second.events, std::vector<std::string>{"DatabaseCreated()"});
    EXPECT_TRUE(m_ui.MessageBoxes().empty());

    data_access::Catalog catalog;
    EXPECT_THROW(catalog.SetActiveConnection(data_access::EmbeddedConnectionText(path)),
                 data_access::DataAccessError);
    catalog.SetActiveConnection(data_access::EmbeddedConnectionText(path, "pw"));
    EXPECT_EQ(catalog.Tables().Count(), 0);

    m_utilities.Unadvise(&second);
    m_utilities.TemplatePWD = "";
    EXPECT_TRUE(m_utilities.CreateDatabase(m_folder.Path("plain.mdb")));
    EXPECT_EQ(second.events.size(), 1u);
    EXPECT_NO_THROW(catalog.SetActiveConnection(
        data_access::EmbeddedConnectionText(m_folder.Path("plain.mdb"))));
}

TEST_P(CreateDatabaseTest, ExistingFileIsReportedAndLeftUntouched) {
    std::string path = m_folder.Path("pay.mdb");
    MakeDatabase("pay.mdb", "old", {"CREATE TABLE Kept (X Integer)"});
    std::string before = FileBytes(path);
    m_utilities.TemplatePWD = "new";
    EXPECT_FALSE(m_utilities.CreateDatabase(path));
    RecordedMessageBox expected{"Database already exists: '" + path + "'", 64,
                                "Error Creating Database"};
    EXPECT_EQ(m_ui.MessageBoxes(), std::vector<RecordedMessageBox>{expected});
    EXPECT_TRUE(m_listener.events.empty());
    EXPECT_EQ(FileBytes(path), before);
}

TEST_P(CreateDatabaseTest, MissingFolderIsReportedAndLeavesNothing) {
    EXPECT_FALSE(m_utilities.CreateDatabase(m_folder.Path("no/such.mdb")));
    ASSERT_EQ(m_ui.MessageBoxes().size(), 1u);
    EXPECT_NE(m_ui.MessageBoxes()[0].text.find("No such file or directory"), std::string::npos);
    EXPECT_EQ(m_ui.MessageBoxes()[0].flags, 64);
    EXPECT_EQ(m_ui.MessageBoxes()[0].title, "Error Creating Database");
    EXPECT_TRUE(m_listener.events.empty());
    EXPECT_FALSE(std::filesystem::exists(m_folder.Path("no")));
}

}  // namespace
}  // namespace vesk::database_utilities::testing
