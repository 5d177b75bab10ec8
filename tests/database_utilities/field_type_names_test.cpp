#include <gtest/gtest.h>

#include <map>

#include "utilities_fixture.h"

namespace vesk::database_utilities::testing {
namespace {

struct TypeNameCase {
    int code;
    const char* file;      // name and suffix for DBDefault
    const char* server;    // for DBSqlServer
    const char* postgres;  // for DBPostgreSQL
};

std::string NameWithSuffix(DBTypes dialect, int code, double size, Build build = Build::Current) {
    std::unique_ptr<DatabaseUtilities> utilities = MakeUtilities(build);
    utilities->DBType = dialect;
    std::string suffix = "stale";
    std::string name = utilities->GetFieldTypeName(code, size, suffix);
    return name + "|" + suffix;
}

TEST(GetFieldTypeNameTest, NamesAndSizeSuffixesOfEachDialect) {
    const TypeNameCase cases[] = {
        {202, "Text| (50)", "nVARCHAR| (50)", "varchar|(50)"},
        {129, "Text| (50)", "VARCHAR| (50)", "varchar|(50)"},
        {130, "Text| (50)", "CHAR|", "char|(50)"},
        {203, "Text| (50)", "Text|", "text|"},
        {12, "Memo|", "TEXT|", "text|"},
        {13, "Memo|", "Text|", "text|"},
        {11, "YESNO|", "BIT|", "boolean|"},
        {6, "FLOAT|", "MONEY|", "numeric(19,4)|"},
        {4, "FLOAT|", "REAL|", "real|"},
        {5, "FLOAT|", "FLOAT|", "double precision|"},
        {17, "Integer|", "tinyint|", "smallint|"},
        {20, "Integer|", "INT|", "bigint|"},
        {7, "Date|", "DATETIME|", "timestamp|"},
        {133, "Date|", "DATETIME|", "date|"},
        {72, "Text| (50)", "Text|", "uuid|"},
        {128, "Binary|", "IMAGE|", "bytea|"},
        {205, "IMAGE|", "IMAGE|", "bytea|"},
        {200, "|", "|", "|"},
        {64, "|", "|", "|"},
    };
    for (const TypeNameCase& expected : cases) {
        EXPECT_EQ(NameWithSuffix(DBDefault, expected.code, 50), expected.file) << expected.code;
        EXPECT_EQ(NameWithSuffix(DBSqlServer, expected.code, 50), expected.server) << expected.code;
        EXPECT_EQ(NameWithSuffix(DBPostgreSQL, expected.code, 50), expected.postgres)
            << expected.code;
    }
}

TEST(GetFieldTypeNameTest, OtherDialectsHaveNoNames) {
    EXPECT_EQ(NameWithSuffix(DBOracle, 202, 50), "|");
    EXPECT_EQ(NameWithSuffix(static_cast<DBTypes>(4), 3, 4), "|");
    EXPECT_EQ(NameWithSuffix(static_cast<DBTypes>(7), 3, 4), "|");
    EXPECT_EQ(NameWithSuffix(DBDefault, 202, 255), "Text| (255)");
}

TEST(GetFieldTypeNameTest, LegacyBuildDiffersInSixFileDialectNamesOnly) {
    struct Apart {
        const char* current;
        const char* legacy;
    };
    const std::map<int, Apart> apart = {
        {4, {"FLOAT|", "Integer|"}},   {5, {"FLOAT|", "Currency|"}},  {6, {"FLOAT|", "Currency|"}},
        {14, {"FLOAT|", "Currency|"}}, {131, {"FLOAT|", "Integer|"}}, {205, {"IMAGE|", "Binary|"}},
    };
    for (DBTypes dialect : {DBDefault, DBSqlServer, DBOracle, DBPostgreSQL}) {
        for (int code = -1; code <= 256; ++code) {
            std::string current = NameWithSuffix(dialect, code, 50);
            std::string legacy = NameWithSuffix(dialect, code, 50, Build::Legacy);
            auto found = apart.find(code);
            if (dialect == DBDefault && found != apart.end()) {
                EXPECT_EQ(current, found->second.current) << code;
                EXPECT_EQ(legacy, found->second.legacy) << code;
            } else {
                EXPECT_EQ(legacy, current) << dialect << " " << code;
            }
        }
    }
}

}  // namespace
}  // namespace vesk::database_utilities::testing
