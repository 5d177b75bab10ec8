#include <gtest/gtest.h>

#include "test_database.h"
#include "vesk/data_access/data_types.h"

namespace vesk::data_access::testing {
namespace {

struct DeclaredCase {
    const char* declared;
    DataTypeEnum code;
    std::int64_t size;
};

// Every type text of the file and server dialects, with the code and size it reports.
const DeclaredCase kCases[] = {
    {"Text (50)", adVarWChar, 50},
    {"Text", adVarWChar, 255},
    {"VARCHAR (30)", adVarWChar, 30},
    {"nVARCHAR (20)", adVarWChar, 20},
    {"nvarchar(20)", adVarWChar, 20},
    {"VARCHAR", adVarWChar, 255},
    {"CHAR (10)", adWChar, 10},
    {"Memo", adLongVarWChar, 0},
    {"TEXT", adLongVarWChar, 0},
    {"TEXT(50)", adVarWChar, 50},
    {"text (30)", adVarWChar, 30},
    {"Integer", adInteger, 4},
    {"INT", adInteger, 4},
    {"smallint", adSmallInt, 2},
    {"tinyint", adUnsignedTinyInt, 1},
    {"BIGINT", adBigInt, 8},
    {"YESNO", adBoolean, 2},
    {"BIT", adBoolean, 2},
    {"BOOLEAN", adBoolean, 2},
    {"REAL", adSingle, 4},
    {"SINGLE", adSingle, 4},
    {"FLOAT", adDouble, 8},
    {"DOUBLE", adDouble, 8},
    {"Currency", adCurrency, 8},
    {"MONEY", adCurrency, 8},
    {"DECIMAL (18, 2)", adNumeric, 19},
    {"NUMERIC", adNumeric, 19},
    {"Date", adDate, 8},
    {"DATETIME", adDate, 8},
    {"TIMESTAMP", adDate, 8},
    {"Binary (16)", adVarBinary, 16},
    {"Binary", adVarBinary, 510},
    {"VARBINARY", adVarBinary, 510},
    {"IMAGE", adLongVarBinary, 0},
    {"BLOB", adLongVarBinary, 0},
    {"LONGBINARY", adLongVarBinary, 0},
    {"GUID", adGUID, 16},
};

TEST(DataTypes, EveryDeclaredTypeMapsToItsCodeAndSize) {
    for (const DeclaredCase& item : kCases) {
        ColumnType type = ColumnTypeFromDeclared(item.declared);
        EXPECT_EQ(type.code, item.code) << item.declared;
        EXPECT_EQ(type.definedSize, item.size) << item.declared;
    }
}

TEST(DataTypes, UnknownNamesFollowTheEngineAffinity) {
    EXPECT_EQ(ColumnTypeFromDeclared("MEDIUMINT").code, adInteger);
    EXPECT_EQ(ColumnTypeFromDeclared("CLOB").code, adVarWChar);
    EXPECT_EQ(ColumnTypeFromDeclared("").code, adVariant);
    EXPECT_EQ(ColumnTypeFromDeclared("WHATEVER").code, adNumeric);
}

class DataTypesRoundTrip : public DatabaseTest {};

TEST_F(DataTypesRoundTrip, CreatedAndAddedColumnsReportTheirCodeAndSizeAgain) {
    auto connection = CreateDatabase("types.mdb");
    connection->Execute("CREATE TABLE Created (Id Integer)");
    connection->Execute("CREATE TABLE Added (Id Integer)");
    int column_idx = 0;
    for (const DeclaredCase& item : kCases) {
        std::string name = "C" + std::to_string(column_idx++);
        connection->Execute("ALTER TABLE Created ADD COLUMN " + name + " " + item.declared);
        connection->Execute("ALTER Table Added ADD " + name + " " + item.declared);
    }
    Catalog catalog;
    catalog.SetActiveConnection(connection);
    for (const char* table : {"Created", "Added"}) {
        const Columns& columns = catalog.Tables().Item(table).Columns();
        for (std::size_t case_idx = 0; case_idx < std::size(kCases); ++case_idx) {
            const Column& column = columns.Item(static_cast<long>(case_idx) + 1);
            EXPECT_EQ(column.Type(), kCases[case_idx].code)
                << table << " " << kCases[case_idx].declared;
            EXPECT_EQ(column.DefinedSize(), kCases[case_idx].size) << kCases[case_idx].declared;
        }
    }
}

}  // namespace
}  // namespace vesk::data_access::testing
