#include <gtest/gtest.h>

#include "utilities_fixture.h"
#include "vesk/data_access/recordset.h"

namespace vesk::database_utilities::testing {
namespace {

class DatabaseUtilitiesObjectTest : public ::testing::TestWithParam<Build> {
protected:
    std::unique_ptr<DatabaseUtilities> m_object = MakeUtilities(GetParam());
    DatabaseUtilities& m_utilities = *m_object;
};

INSTANTIATE_TEST_SUITE_P(Builds, DatabaseUtilitiesObjectTest, kBothBuilds, BuildName);

TEST_P(DatabaseUtilitiesObjectTest, StartsWithDefaultsAndCleansUpQuietly) {
    EXPECT_FALSE(m_utilities.OperationCancelled);
    EXPECT_EQ(m_utilities.MainFileConnection, nullptr);
    EXPECT_EQ(m_utilities.TemplatePWD, "");
    EXPECT_EQ(m_utilities.DBType, DBDefault);
    EXPECT_EQ(m_utilities.TemplateFilePath(), "");
    EXPECT_EQ(m_utilities.TempFolderPath(), "");
    m_utilities.DoCleanUp();
    m_utilities.SetTempFolderPath(" /tmp/x\\ ");
    EXPECT_EQ(m_utilities.TempFolderPath(), " /tmp/x\\ ");
}

TEST_P(DatabaseUtilitiesObjectTest, FixQuotesDoublesEverySingleQuote) {
    EXPECT_EQ(m_utilities.FixQuotes("O'Brien"), "O''Brien");
    EXPECT_EQ(m_utilities.FixQuotes("ends'"), "ends''");
    EXPECT_EQ(m_utilities.FixQuotes("it''s"), "it''''s");
    EXPECT_EQ(m_utilities.FixQuotes("'''"), "''''''");
    EXPECT_EQ(m_utilities.FixQuotes("plain"), "plain");
    EXPECT_EQ(m_utilities.FixQuotes(""), "");
    EXPECT_EQ(m_utilities.FixQuotes(std::string(40000, '\'')).size(), 80000u);
}

TEST_F(UtilitiesTest, QuotedValuesComeBackAsTheyWere) {
    data_access::ConnectionPtr connection =
        MakeDatabase("quotes.mdb", "", {"CREATE TABLE T (V Memo)"});
    for (std::string value : {"O'Brien", "it''s", "'", "x'''"}) {
        connection->Execute("DELETE FROM T");
        connection->Execute("INSERT INTO T VALUES ('" + m_utilities.FixQuotes(value) + "')");
        data_access::Recordset rows;
        rows.Open("SELECT * FROM T", connection, data_access::adOpenKeyset,
                  data_access::adLockReadOnly);
        EXPECT_EQ(rows.Fields()["V"].Value().ToText(), value);
    }
}

}  // namespace
}  // namespace vesk::database_utilities::testing
