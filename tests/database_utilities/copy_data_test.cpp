#include <gtest/gtest.h>

#include <fmt/format.h>

#include "utilities_fixture.h"
#include "vesk/data_access/recordset.h"

namespace vesk::dbutil::testing {
namespace {

using data::Variant;

// Records each ProgressUpsize as "Name,TotalTables,TotalFields,TableNo"; `onUpsize` runs
// inside, as a host's handler would.
class UpsizeListener : public DatabaseUtilitiesEvents {
public:
    std::vector<std::string> events;
    std::function<void(std::int16_t&)> onUpsize;

    void ProgressUpsize(std::string& TableName, std::int16_t& TotalTables,
                        std::int16_t& TotalFields, std::int16_t& TableNo) override {
        events.push_back(fmt::format("{},{},{},{}", TableName, TotalTables, TotalFields, TableNo));
        if (onUpsize) {
            onUpsize(TableNo);
        }
    }
};

class CopyDataTest : public BuildTest {
protected:
    CopyDataTest() { m_utilities.Advise(&m_upsize); }
    ~CopyDataTest() override { m_utilities.Unadvise(&m_upsize); }

    // The values of `column` in `table`, in row order, as their type and text.
    static std::vector<std::string> Column(const data::ConnectionPtr& connection,
                                           const std::string& table, const std::string& column) {
        data::Recordset rows;
        rows.Open("SELECT * FROM " + table, connection, data::adOpenKeyset, data::adLockReadOnly);
        std::vector<std::string> values;
        for (; !rows.IsEOF(); rows.MoveNext()) {
            Variant value = rows.Fields()[column].Value();
            values.push_back(
                fmt::format("{}:{}", data::VariantTypeName(value.Type()), value.ToText()));
        }
        return values;
    }

    UpsizeListener m_upsize;
};

const std::vector<std::string> kEmployees = {
    "CREATE TABLE Employees (Code Text (10), Name Text (50), Salary DOUBLE, Active YESNO, "
    "HireDate Date, Photo IMAGE, Id GUID)",
};

INSTANTIATE_TEST_SUITE_P(Builds, CopyDataTest, kBothBuilds, BuildName);

TEST_P(CopyDataTest, UpsizingAddsOnlyMissingRowsConvertedByColumnType) {
    std::vector<std::string> source = kEmployees;
    source.insert(
        source.end(),
        {
            "INSERT INTO Employees VALUES ('E1', 'Replacement', 9, 1, NULL, NULL, NULL)",
            "INSERT INTO Employees VALUES ('E2', '  abc  ', 2.5, 1, '2009-03-05 14:30', X'00FF01', "
            "'{6F9619FF-8B86-D011-B42D-00C04FC964FF}')",
            "INSERT INTO Employees VALUES ('E3', '   ', NULL, NULL, NULL, NULL, NULL)",
            "INSERT INTO Employees VALUES ('E4', '', 7, 0, NULL, NULL, NULL)",
            "INSERT INTO Employees VALUES ('O''Brien', 'it''s', 1, 1, NULL, NULL, NULL)",
            "CREATE TABLE Departments (DeptCode Text (10), DeptName Text (60))",
            "CREATE VIEW ActiveStaff AS SELECT Code FROM Employees",
        });
    data::ConnectionPtr from = MakeDatabase("source.mdb", "spw", source);
    data::ConnectionPtr to =
        MakeDatabase("dest.mdb", "dpw",
                     {"CREATE TABLE Employees (Code Text (10), Name Text (50), Salary DOUBLE, "
                      "Active YESNO, HireDate Date, Picture IMAGE, Id GUID)",
                      "INSERT INTO Employees (Code, Name) VALUES ('E1', 'Kept')",
                      "CREATE TABLE Departments (DeptCode Text (10), DeptName Text (60))",
                      "CREATE TABLE ActiveStaff (Code Text (10))"});

    m_utilities.CopyDataFromDBtoDB(from, to);

    EXPECT_EQ(m_upsize.events,
              (std::vector<std::string>{"Employees,3,7,0", "Departments,3,2,1", "ActiveStaff,3,1,2",
                                        "ActiveStaff,3,1,3"}));
    EXPECT_EQ(
        Column(to, "Employees", "Code"),
        (std::vector<std::string>{"Text:E1", "Text:E2", "Text:E3", "Text:E4", "Text:O'Brien"}));
    EXPECT_EQ(Column(to, "Employees", "Name"),
              (std::vector<std::string>{"Text:Kept", "Text:abc", "Text:", "Null:", "Text:it's"}));
    EXPECT_EQ(
        Column(to, "Employees", "Salary"),
        (std::vector<std::string>{"Null:", "Double:2.5", "Double:0", "Double:7", "Double:1"}));
    EXPECT_EQ(Column(to, "Employees", "Active"),
              (std::vector<std::string>{"Null:", "Boolean:True", "Boolean:False", "Boolean:False",
                                        "Boolean:True"}));
    EXPECT_EQ(Column(to, "Employees", "HireDate"),
              (std::vector<std::string>{"Null:", "Date:2009-03-05", "Null:", "Null:", "Null:"}));
    EXPECT_EQ(Column(to, "Employees", "Picture"),
              (std::vector<std::string>{"Null:", std::string("Binary:\0\xFF\x01", 10),
                                        "Null:", "Null:", "Null:"}));
    EXPECT_EQ(Column(to, "Employees", "Id"), std::vector<std::string>(5, "Null:"));
    EXPECT_TRUE(Column(to, "ActiveStaff", "Code").empty());
    EXPECT_TRUE(Column(to, "Departments", "DeptCode").empty());
    EXPECT_EQ(m_ui.EventPumpCount(), 5);
    EXPECT_TRUE(m_ui.MessageBoxes().empty());
}

TEST_P(CopyDataTest, DateIsStoredAsDayMonthYearTextInATextColumn) {
    std::vector<std::string> source = {"CREATE TABLE T (Code Text (10), Hired Date)",
                                       "INSERT INTO T VALUES ('A', '2009-03-05 14:30')"};
    data::ConnectionPtr from = MakeDatabase("source.mdb", "", source);
    data::ConnectionPtr to =
        MakeDatabase("dest.mdb", "", {"CREATE TABLE T (Code Text (10), Hired Text (20))"});
    m_utilities.CopyDataFromDBtoDB(from, to);
    EXPECT_EQ(Column(to, "T", "Hired"), std::vector<std::string>{"Text:05 Mar 2009"});
}

TEST_P(CopyDataTest, NumbersKeepTheirLeadingNumberAndDuplicateSourceKeysAreAddedOnce) {
    data::ConnectionPtr from = MakeDatabase(
        "source.mdb", "",
        {"CREATE TABLE T (Code Text (10), Amount DOUBLE)", "INSERT INTO T VALUES ('A', '12.5kg')",
         "INSERT INTO T VALUES ('a', '-1.5E2x')", "INSERT INTO T VALUES ('A', 'none')",
         "INSERT INTO T VALUES ('7', 3)", "INSERT INTO T VALUES ('7', 4)"});
    data::ConnectionPtr to =
        MakeDatabase("dest.mdb", "", {"CREATE TABLE T (Code Text (10), Amount DOUBLE)"});
    m_utilities.CopyDataFromDBtoDB(from, to);
    EXPECT_EQ(Column(to, "T", "Amount"),
              (std::vector<std::string>{"Double:12.5", "Double:-150", "Double:3"}));
}

TEST_P(CopyDataTest, TableMissingInDestinationIsSkippedSilently) {
    data::ConnectionPtr from =
        MakeDatabase("source.mdb", "",
                     {"CREATE TABLE Archive (Code Text (10))", "INSERT INTO Archive VALUES ('A')",
                      "CREATE TABLE T (Code Text (10))", "INSERT INTO T VALUES ('B')"});
    data::ConnectionPtr to = MakeDatabase("dest.mdb", "", {"CREATE TABLE T (Code Text (10))"});
    m_utilities.CopyDataFromDBtoDB(from, to);
    EXPECT_EQ(Column(to, "T", "Code"), std::vector<std::string>{"Text:B"});
    EXPECT_EQ(m_upsize.events.size(), 3U);
    EXPECT_TRUE(m_ui.MessageBoxes().empty());
}

TEST_P(CopyDataTest, ListenerThatWritesTableNoMovesTheLoop) {
    data::ConnectionPtr from =
        MakeDatabase("source.mdb", "",
                     {"CREATE TABLE A (Code Text (10))", "INSERT INTO A VALUES ('1')",
                      "CREATE TABLE B (Code Text (10))", "INSERT INTO B VALUES ('2')",
                      "CREATE TABLE C (Code Text (10))", "INSERT INTO C VALUES ('3')"});
    data::ConnectionPtr to =
        MakeDatabase("dest.mdb", "",
                     {"CREATE TABLE A (Code Text (10))", "CREATE TABLE B (Code Text (10))",
                      "CREATE TABLE C (Code Text (10))"});
    m_upsize.onUpsize = [](std::int16_t& TableNo) {
        if (TableNo == 0) {
            TableNo = 1;
        }
    };
    m_utilities.CopyDataFromDBtoDB(from, to);
    // The pass over A went on as entry B; the loop then went on with C.
    EXPECT_EQ(m_upsize.events, (std::vector<std::string>{"A,3,1,0", "C,3,1,2", "C,3,1,3"}));
    EXPECT_EQ(Column(to, "B", "Code"), std::vector<std::string>{"Text:1"});
    EXPECT_TRUE(Column(to, "A", "Code").empty());
    EXPECT_EQ(Column(to, "C", "Code"), std::vector<std::string>{"Text:3"});
}

TEST_P(CopyDataTest, ClosedSourceCopiesNothingAndRaisesNoEvent) {
    data::ConnectionPtr from = MakeDatabase(
        "source.mdb", "", {"CREATE TABLE T (Code Text (10))", "INSERT INTO T VALUES ('A')"});
    data::ConnectionPtr to = MakeDatabase("dest.mdb", "", {"CREATE TABLE T (Code Text (10))"});
    from->Close();
    m_utilities.CopyDataFromDBtoDB(from, to);
    m_utilities.CopyDataFromDBtoDB(nullptr, to);
    EXPECT_TRUE(m_upsize.events.empty());
    EXPECT_TRUE(Column(to, "T", "Code").empty());
    EXPECT_TRUE(m_ui.MessageBoxes().empty());
}

TEST_P(CopyDataTest, RowTheDestinationRefusesIsDroppedAndTheOthersStay) {
    data::ConnectionPtr from = MakeDatabase(
        "source.mdb", "",
        {"CREATE TABLE T (Code Text (10), Name Text (50))", "INSERT INTO T VALUES ('A', 'x')",
         "INSERT INTO T VALUES ('B', NULL)", "INSERT INTO T VALUES ('C', 'z')"});
    data::ConnectionPtr to =
        MakeDatabase("dest.mdb", "", {"CREATE TABLE T (Code Text (10), Name Text (50) NOT NULL)"});
    m_utilities.CopyDataFromDBtoDB(from, to);
    EXPECT_EQ(Column(to, "T", "Code"), (std::vector<std::string>{"Text:A", "Text:C"}));
}

TEST_P(CopyDataTest, EmptyCatalogRaisesNoEvent) {
    data::ConnectionPtr from = MakeDatabase("source.mdb", "", {});
    data::ConnectionPtr to = MakeDatabase("dest.mdb", "", {});
    m_utilities.CopyDataFromDBtoDB(from, to);
    EXPECT_TRUE(m_upsize.events.empty());
}

}  // namespace
}  // namespace vesk::dbutil::testing
