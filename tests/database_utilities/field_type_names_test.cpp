#include <gtest/gtest.h>

#include "vesk/dbutil/database_utilities.h"

namespace vesk::dbutil {
namespace {

struct TypeNameCase {
    int code;
    const char* file;    // name and suffix for DBDefault
    const char* server;  // for DBSqlServer
};

std::string NameWithSuffix(DBTypes dialect, int code, double size) {
    DatabaseUtilities utilities;
    utilities.DBType = dialect;
    std::string suffix = "stale";
    std::string name = utilities.GetFieldTypeName(code, size, suffix);
    return name + "|" + suffix;
}

TEST(GetFieldTypeNameTest, NamesAndSizeSuffixesOfBothDialects) {
    const TypeNameCase cases[] = {
        {202, "Text| (50)", "nVARCHAR| (50)"},
        {129, "Text| (50)", "VARCHAR| (50)"},
        {130, "Text| (50)", "CHAR|"},
        {203, "Text| (50)", "Text|"},
        {12, "Memo|", "TEXT|"},
        {13, "Memo|", "Text|"},
        {11, "YESNO|", "BIT|"},
        {6, "FLOAT|", "MONEY|"},
        {4, "FLOAT|", "REAL|"},
        {17, "Integer|", "tinyint|"},
        {128, "Binary|", "IMAGE|"},
        {205, "IMAGE|", "IMAGE|"},
        {200, "|", "|"},
        {64, "|", "|"},
    };
    for (const TypeNameCase& expected : cases) {
        EXPECT_EQ(NameWithSuffix(DBDefault, expected.code, 50), expected.file) << expected.code;
        EXPECT_EQ(NameWithSuffix(DBSqlServer, expected.code, 50), expected.server) << expected.code;
    }
}

TEST(GetFieldTypeNameTest, OtherDialectsHaveNoNames) {
    EXPECT_EQ(NameWithSuffix(DBOracle, 202, 50), "|");
    EXPECT_EQ(NameWithSuffix(static_cast<DBTypes>(7), 3, 4), "|");
    EXPECT_EQ(NameWithSuffix(DBDefault, 202, 255), "Text| (255)");
}

}  // namespace
}  // namespace vesk::dbutil
