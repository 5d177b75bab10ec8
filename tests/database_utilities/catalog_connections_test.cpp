#include <gtest/gtest.h>

#include <QImage>
#include <filesystem>

#include "utilities_fixture.h"
#include "vesk/data_access/connection_text.h"

namespace vesk::database_utilities::testing {
namespace {

const RecordedMessageBox kCannotFix{
    "Cannot fix table fields because database connections could not be made.", 48,
    "Fix Fields Error"};

class CatalogConnectionsTest : public BuildTest {
protected:
    // The boxes of a failed connection: its description, then the repair's refusal; no event.
    void ExpectConnectionFailure(const std::string& descriptionPart) {
        ASSERT_EQ(m_ui.MessageBoxes().size(), 2u);
        const RecordedMessageBox& first = m_ui.MessageBoxes()[0];
        EXPECT_NE(first.text.find(descriptionPart), std::string::npos) << first.text;
        EXPECT_EQ(first.flags, 48);
        EXPECT_EQ(first.title, "Connection Error");
        EXPECT_EQ(m_ui.MessageBoxes()[1], kCannotFix);
        EXPECT_TRUE(m_listener.events.empty());
    }

    const std::vector<std::string> kTemplate = {"CREATE TABLE Grades (Grade Integer)"};
};

INSTANTIATE_TEST_SUITE_P(Builds, CatalogConnectionsTest, kBothBuilds, BuildName);

TEST_P(CatalogConnectionsTest, MissingTemplateIsReportedWithoutEventsOrClipboardChange) {
    MakeMain({});
    m_utilities.SetTemplateFilePath(m_folder.Path("none.mdb"));
    m_ui.SetClipboardPicture(picture::Picture(QImage(2, 2, QImage::Format_RGB32)));
    m_utilities.FixFields();
    EXPECT_EQ(m_ui.MessageBoxes(),
              (std::vector<RecordedMessageBox>{
                  {"Template file not found", 0, "Vesk Database Utilities"}, kCannotFix}));
    EXPECT_TRUE(m_listener.events.empty());
    EXPECT_NE(m_ui.GetClipboardPicture().Handle(), 0u);

    m_utilities.SetTemplateFilePath(m_folder.Path());  // a folder is no template file
    EXPECT_FALSE(m_utilities.CheckConnections());
    EXPECT_EQ(m_ui.MessageBoxes().back().text, "Template file not found");
}

TEST_P(CatalogConnectionsTest, WrongPasswordLeavesUnconnectedCatalogsUntilCleanUp) {
    MakeTemplate(kTemplate);
    MakeMain({});
    m_utilities.TemplatePWD = "wrong";
    m_utilities.FixFields();
    ExpectConnectionFailure("not a valid password");

    m_utilities.TemplatePWD = "tpw";
    EXPECT_TRUE(m_utilities.CheckConnections()) << "set, though not connected";
    m_utilities.FixFields();
    EXPECT_EQ(m_ui.MessageBoxes().size(), 3u) << "no new connection was tried";
    EXPECT_EQ(m_ui.MessageBoxes()[2], kCannotFix);
    EXPECT_TRUE(m_listener.events.empty());

    m_utilities.DoCleanUp();
    m_utilities.FixFields();
    EXPECT_EQ(m_ui.MessageBoxes().size(), 3u);
    EXPECT_EQ(m_statements, std::vector<std::string>{"CREATE TABLE Grades (Grade Integer)"});
    EXPECT_EQ(Events("ProcessDone"), std::vector<std::string>{"ProcessDone(1,0)"});
}

TEST_P(CatalogConnectionsTest, MissingMainConnectionIsAConnectionError) {
    MakeTemplate(kTemplate);
    m_utilities.FixFields();
    ExpectConnectionFailure("connection cannot be used");
}

// A main connection opened with its password given apart from its connection text: the fix
// connection is opened alike, with that password, and carries the statements.
TEST_P(CatalogConnectionsTest, PasswordGivenApartFromTheTextReachesTheFixConnection) {
    MakeTemplate(kTemplate);
    MakeDatabase("main.mdb", "m;p\"w'", {});
    auto main = std::make_shared<data_access::Connection>();
    main->Open(data_access::EmbeddedConnectionText(m_folder.Path("main.mdb")), {}, "m;p\"w'");
    m_utilities.MainFileConnection = main;
    m_utilities.FixFields();
    EXPECT_EQ(m_statements, std::vector<std::string>{"CREATE TABLE Grades (Grade Integer)"});
    EXPECT_TRUE(m_utilities.FailedStatements().empty());
    EXPECT_TRUE(m_ui.MessageBoxes().empty());
}

// The host's connection stays open on a file that has gone from its path since: the fix
// connection cannot open, and nothing is reported as done.
TEST_P(CatalogConnectionsTest, FixConnectionThatCannotOpenIsAConnectionError) {
    MakeTemplate(kTemplate);
    m_utilities.MainFileConnection = MakeDatabase("main.mdb", "mpw", {});
    std::filesystem::rename(m_folder.Path("main.mdb"), m_folder.Path("moved.mdb"));
    m_utilities.FixFields();
    ExpectConnectionFailure("Could not find file");
    EXPECT_TRUE(m_statements.empty());
}

}  // namespace
}  // namespace vesk::database_utilities::testing
