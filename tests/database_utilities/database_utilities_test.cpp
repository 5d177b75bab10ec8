#include <gtest/gtest.h>

#include "utilities_fixture.h"
#include "vesk/data_access/recordset.h"

namespace vesk::dbutil::testing {
namespace {

TEST(DatabaseUtilitiesObjectTest, StartsWithDefaultsAndCleansUpQuietly) {
    DatabaseUtilities utilities;
    EXPECT_FALSE(utilities.OperationCancelled);
    EXPECT_EQ(utilities.MainFileConnection, nullptr);
    EXPECT_EQ(utilities.TemplatePWD, "");
    EXPECT_EQ(utilities.DBType, DBDefault);
    EXPECT_EQ(utilities.TemplateFilePath(), "");
    EXPECT_EQ(utilities.TempFolderPath(), "");
    utilities.DoCleanUp();
    utilities.SetTempFolderPath(" /tmp/x\\ ");
    EXPECT_EQ(utilities.TempFolderPath(), " /tmp/x\\ ");
}

TEST(FixQuotesTest, DoublesEverySingleQuote) {
    DatabaseUtilities utilities;
    EXPECT_EQ(utilities.FixQuotes("O'Brien"), "O''Brien");
    EXPECT_EQ(utilities.FixQuotes("ends'"), "ends''");
    EXPECT_EQ(utilities.FixQuotes("it''s"), "it''''s");
    EXPECT_EQ(utilities.FixQuotes("'''"), "''''''");
    EXPECT_EQ(utilities.FixQuotes("plain"), "plain");
    EXPECT_EQ(utilities.FixQuotes(""), "");
    EXPECT_EQ(utilities.FixQuotes(std::string(40000, '\'')).size(), 80000u);
}

TEST_F(UtilitiesTest, QuotedValuesComeBackAsTheyWere) {
    data::ConnectionPtr connection = MakeDatabase("quotes.mdb", "", {"CREATE TABLE T (V Memo)"});
    for (std::string value : {"O'Brien", "it''s", "'", "x'''"}) {
        connection->Execute("DELETE FROM T");
        connection->Execute("INSERT INTO T VALUES ('" + m_utilities.FixQuotes(value) + "')");
        data::Recordset rows;
        rows.Open("SELECT * FROM T", connection, data::adOpenKeyset, data::adLockReadOnly);
        EXPECT_EQ(rows.Fields()["V"].Value().ToText(), value);
    }
}

}  // namespace
}  // namespace vesk::dbutil::testing
