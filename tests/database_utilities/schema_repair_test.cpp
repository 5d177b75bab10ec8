#include <gtest/gtest.h>

#include "utilities_fixture.h"
#include "vesk/data_access/connection_text.h"
#include "vesk/data_access/data_access_error.h"
#include "vesk/data_access/recordset.h"

namespace vesk::database_utilities::testing {
namespace {

using Texts = std::vector<std::string>;

// The template of a payroll database, and an older main database of it with rows.
class SchemaRepairTest : public UtilitiesTest {
protected:
    void SetUp() override {
        MakeTemplate({
            "CREATE TABLE Employees (Code Text (10), FirstName Text (50), LastName Text (50), "
            "Notes Memo, Active YESNO, Rate DOUBLE, Hired Date, Grade Integer, Photo IMAGE)",
            "CREATE TABLE Departments (DeptCode Text (10), DeptName Text (60))",
            "CREATE VIEW Active AS SELECT * FROM Employees WHERE Active <> 0",
        });
        MakeMain({
            "CREATE TABLE Employees (Code Text (10) NOT NULL, FirstName Text (30), "
            "LastName Text (30), Legacy Text (5))",
            "CREATE UNIQUE INDEX EmployeeCodes ON Employees (Code)",
            "INSERT INTO Employees VALUES ('E1', 'Amara', 'Okafor', 'x')",
            "INSERT INTO Employees VALUES ('E2', 'Chiara', 'O''Neill', NULL)",
            "INSERT INTO Employees VALUES ('E3', 'Dmitri', 'Volkov', 'y')",
        });
    }

    // Every row of the main Employees table as "Code,FirstName,LastName,Legacy".
    Texts EmployeeRows() {
        data_access::Recordset rows;
        rows.Open("SELECT * FROM Employees ORDER BY Code", m_utilities.MainFileConnection,
                  data_access::adOpenKeyset, data_access::adLockReadOnly);
        Texts found;
        for (; !rows.IsEOF(); rows.MoveNext()) {
            std::string row;
            for (const char* column : {"Code", "FirstName", "LastName", "Legacy"}) {
                row += (row.empty() ? "" : ",") + rows.Fields()[column].Value().ToText();
            }
            found.push_back(row);
        }
        return found;
    }
};

TEST_F(SchemaRepairTest, MainEndsUpWithTheTemplateSchemaAndKeepsItsRows) {
    Texts rowsBefore = EmployeeRows();
    m_utilities.FixFields();
    EXPECT_TRUE(m_utilities.FailedStatements().empty());
    EXPECT_EQ(Events("ProcessDone"), Texts{"ProcessDone(1,9)"});

    data_access::Catalog templateCatalog;
    templateCatalog.SetActiveConnection(
        data_access::EmbeddedConnectionText(m_folder.Path("template.mdb"), "tpw"));
    data_access::Catalog mainCatalog;
    mainCatalog.SetActiveConnection(
        data_access::EmbeddedConnectionText(m_folder.Path("main.mdb"), "mpw"));
    for (const char* table : {"Employees", "Departments"}) {
        const data_access::Columns& expected = templateCatalog.Tables().Item(table).Columns();
        const data_access::Columns& found = mainCatalog.Tables().Item(table).Columns();
        for (long column_idx = 0; column_idx < expected.Count(); ++column_idx) {
            const data_access::Column& column = expected.Item(column_idx);
            ASSERT_NO_THROW(found.Item(column.Name())) << table << "." << column.Name();
            EXPECT_EQ(found.Item(column.Name()).Type(), column.Type()) << column.Name();
            EXPECT_EQ(found.Item(column.Name()).DefinedSize(), column.DefinedSize())
                << column.Name();
        }
    }
    EXPECT_THROW(mainCatalog.Tables().Item("Active"), data_access::DataAccessError);
    EXPECT_EQ(EmployeeRows(), rowsBefore);
    EXPECT_THROW(
        m_utilities.MainFileConnection->Execute("INSERT INTO Employees (Code) VALUES ('E1')"),
        data_access::DataAccessError)
        << "the unique index survived the rebuilds";
}

TEST_F(SchemaRepairTest, SecondRunFindsNothingToDo) {
    m_utilities.FixFields();
    m_statements.clear();
    m_listener.events.clear();
    m_utilities.FixFields();
    EXPECT_TRUE(m_statements.empty());
    EXPECT_EQ(Events("ProcessDone"), Texts{"ProcessDone(0,0)"});
}

}  // namespace
}  // namespace vesk::database_utilities::testing
