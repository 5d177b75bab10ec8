// Record sets give the rows of a statement as written, in the order the engine gives them,
// whatever its select list and clauses; a statement whose rows are a table's own stays live.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "test_database.h"
#include "vesk/data_access/data_access_error.h"

namespace vesk::data_access::testing {
namespace {

class KeysetOrderTest : public EngineTest {
protected:
    // Rows inserted in an order no statement below sorts them in. The table has no key, so
    // that the server tells its rows apart by their row versions.
    ConnectionPtr WithRows() {
        auto connection = CreateDatabase("order.mdb");
        connection->Execute("CREATE TABLE Ob (K varchar(5), N integer)");
        connection->Execute(
            "INSERT INTO Ob VALUES ('c', 2), ('a', 4), ('d', 1), ('b', 5), ('e', 3)");
        return connection;
    }
};

TEST_P(KeysetOrderTest, EveryCursorTypeGivesTheRowsInTheStatementsOwnOrder) {
    const std::vector<std::pair<std::string, std::string>> statements = {
        {"SELECT K, N FROM Ob ORDER BY 1", "a|b|c|d|e"},
        {"SELECT K, N FROM Ob ORDER BY 2", "d|c|e|a|b"},
        {"SELECT K AS Label, N FROM Ob ORDER BY Label DESC", "e|d|c|b|a"},
        {"SELECT K FROM Ob ORDER BY N % 3, K", "e|a|d|b|c"},
        {"SELECT K, N * 10 AS Tens FROM Ob ORDER BY Tens DESC", "b|a|e|c|d"},
        {"SELECT K FROM Ob WHERE N IN (SELECT N FROM Ob WHERE N > 2) ORDER BY N", "e|a|b"},
        {"SELECT DISTINCT N % 2 AS Parity FROM Ob ORDER BY 1 DESC", "1|0"},
        {"SELECT N % 2, count(*) FROM Ob GROUP BY N % 2 ORDER BY 2", "0|1"},
        {"SELECT K FROM Ob WHERE N < 3 UNION SELECT K FROM Ob WHERE N > 4 ORDER BY 1 DESC",
         "d|c|b"},
        {"SELECT K, N FROM Ob ORDER BY N DESC LIMIT 3 OFFSET 1", "a|e|c"},
        {"SELECT s.K FROM (SELECT K, N FROM Ob WHERE N > 1) s ORDER BY s.N", "c|e|a|b"},
        {"WITH w AS (SELECT K, N FROM Ob WHERE N < 5) SELECT K FROM w ORDER BY N DESC", "a|e|c|d"},
    };
    auto connection = WithRows();
    for (CursorTypeEnum type : {adOpenForwardOnly, adOpenKeyset, adOpenDynamic, adOpenStatic}) {
        for (const auto& [sql, expected] : statements) {
            EXPECT_EQ(Joined(connection, sql, type), expected) << sql << " (type " << type << ")";
        }
    }
}

TEST_P(KeysetOrderTest, RowsOfAnAliasedSortedSelectStayLiveAndInOrder) {
    auto connection = WithRows();
    auto rows = OpenRows(connection, "SELECT K AS Label, N FROM Ob ORDER BY 2;");
    rows->MoveLast();
    rows->Fields()["Label"].SetValue("z");
    rows->Update();
    EXPECT_EQ(Joined(connection, "SELECT K FROM Ob WHERE N = 5"), "z");
    connection->Execute("UPDATE Ob SET N = 0 WHERE K = 'z'");
    rows->Requery();
    EXPECT_EQ(rows->Fields()["Label"].Value(), Variant("z"));
    EXPECT_EQ(rows->RecordCount(), 5);
}

TEST_P(KeysetOrderTest, RowsThatAreNoTablesOwnAreReadOnly) {
    auto connection = WithRows();
    for (const char* sql : {"SELECT DISTINCT N FROM Ob", "SELECT K FROM Ob ORDER BY K LIMIT 2",
                            "SELECT K, N * 10 AS Tens FROM Ob"}) {
        auto rows = OpenRows(connection, sql);
        EXPECT_THROW(rows->AddNew(), DataAccessError) << sql;
    }
}

VESK_ON_EACH_ENGINE(KeysetOrderTest);

}  // namespace
}  // namespace vesk::data_access::testing
