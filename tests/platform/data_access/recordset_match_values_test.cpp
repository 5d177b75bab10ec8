// Recordset::MatchValues: which of many values a table's column holds, and which of them are
// equal, by the engine's own comparison with the column.
#include <gtest/gtest.h>

#include "test_database.h"
#include "vesk/data_access/data_access_error.h"

namespace vesk::data_access::testing {
namespace {

class RecordsetMatchValuesTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        if (IsSkipped() || HasFailure()) {
            return;
        }
        m_connection = CreateDatabase("match.mdb");
        // A padded key on the server, a key compared ignoring case on the embedded engine.
        m_connection->Execute(
            OnServer()
                ? "CREATE TABLE K (Code char(10), Num integer, Name varchar(20))"
                : "CREATE TABLE K (Code Text (10) COLLATE NOCASE, Num Integer, Name Text (20))");
        m_connection->Execute("INSERT INTO K VALUES ('A1', 7, 'O''Brien')");
        m_connection->Execute("INSERT INTO K VALUES ('B2', NULL, 'Straße')");
        m_rows = OpenRows(m_connection, "SELECT * FROM K WHERE 1=0");
    }

    std::vector<ValueMatch> Match(const std::string& column, const std::vector<Variant>& values) {
        return m_rows->MatchValues(column, values);
    }

    ConnectionPtr m_connection;
    RecordsetPtr m_rows;
};

TEST_P(RecordsetMatchValuesTest, TextsCompareAsTheColumnDoes) {
    const bool ignoresCase = !OnServer();
    EXPECT_EQ(Match("Code", {Variant("A1"), Variant("a1"), Variant("C3"), Variant("c3"),
                             Variant("B2"), Variant("A1")}),
              (std::vector<ValueMatch>{{true, 0},
                                       {ignoresCase, ignoresCase ? 0u : 1u},
                                       {false, 2},
                                       {false, ignoresCase ? 2u : 3u},
                                       {true, 4},
                                       {true, 0}}));
    EXPECT_EQ(Match("name", {Variant("O'Brien"), Variant("Straße"), Variant("STRASSE"),
                             Variant::Null(), Variant::Null()}),
              (std::vector<ValueMatch>{{true, 0}, {true, 1}, {false, 2}, {false, 3}, {false, 4}}))
        << "Null equals nothing, not even Null";
    EXPECT_TRUE(Match("Code", {}).empty());
}

TEST_P(RecordsetMatchValuesTest, NumbersCompareByTheColumnsTypeAndTheSetStaysAsItWas) {
    const std::vector<Variant> numbers = {Variant(std::int64_t{7}), Variant("007"), Variant(7.0),
                                          Variant(8)};
    const std::vector<ValueMatch> expected = {{true, 0}, {true, 0}, {true, 0}, {false, 3}};
    EXPECT_EQ(Match("Num", numbers), expected);
    m_connection->Execute("CREATE INDEX K_Num ON K (Num)");
    EXPECT_EQ(Match("Num", numbers), expected) << "searching the table's index";
    EXPECT_EQ(m_rows->RecordCount(), 0);
    EXPECT_THROW(Match("Missing", {Variant(1)}), DataAccessError);
    if (OnServer()) {
        EXPECT_THROW(Match("Num", {Variant("seven")}), DataAccessError)
            << "the server cannot read it as a whole number";
    }
    auto snapshot = OpenRows(m_connection, "SELECT Code FROM K UNION SELECT Name FROM K");
    EXPECT_THROW(snapshot->MatchValues("Code", {Variant("A1")}), DataAccessError);
}

VESK_ON_EACH_ENGINE(RecordsetMatchValuesTest);

}  // namespace
}  // namespace vesk::data_access::testing
