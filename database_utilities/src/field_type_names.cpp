// The SQL type names that schema repair writes for the ADO type codes a catalog reports, in
// the file dialect (DBDefault), the server dialect (DBSqlServer) and PostgreSQL's
// (DBPostgreSQL). The legacy build names a few file-dialect codes apart (its flavour's
// fileTypeNames).
#include <array>
#include <optional>
#include <span>

#include <fmt/format.h>

#include "build_flavour.h"
#include "vesk/database_utilities/database_utilities.h"

namespace vesk::database_utilities {

namespace {

struct TypeName {
    const char* text;
    bool sized;  // the defined size follows as " (n)"
};

struct TypeNameRow {
    int code;
    TypeName fileDialect;
    TypeName serverDialect;
    TypeName postgresDialect;
};

constexpr TypeName Sized(const char* text) {
    return {text, true};
}

constexpr TypeName Plain(const char* text) {
    return {text, false};
}

// Letter case matters: "TEXT" is the server's long text, "Text" its short one. The PostgreSQL
// names keep what the codes hold: a currency is a fixed-point number with four decimals
// (numeric(19,4), its whole range, exact and without the locale that money is written in);
// an unsigned type takes the next wider signed one; adDate holds a time of day as well.
constexpr std::array<TypeNameRow, 35> kTypeNames{{
    {0, Sized("Text"), Plain("Text"), Plain("text")},                // adEmpty
    {2, Plain("Integer"), Plain("smallint"), Plain("smallint")},     // adSmallInt
    {3, Plain("Integer"), Plain("INT"), Plain("integer")},           // adInteger
    {4, Plain("FLOAT"), Plain("REAL"), Plain("real")},               // adSingle
    {5, Plain("FLOAT"), Plain("FLOAT"), Plain("double precision")},  // adDouble
    {6, Plain("FLOAT"), Plain("MONEY"), Plain("numeric(19,4)")},     // adCurrency
    {7, Plain("Date"), Plain("DATETIME"), Plain("timestamp")},       // adDate
    {8, Sized("Text"), Sized("VARCHAR"), Sized("varchar")},          // adBSTR
    {9, Sized("Text"), Plain("Text"), Plain("text")},                // adIDispatch
    {10, Sized("Text"), Plain("Text"), Plain("text")},               // adError
    {11, Plain("YESNO"), Plain("BIT"), Plain("boolean")},            // adBoolean
    {12, Plain("Memo"), Plain("TEXT"), Plain("text")},               // adVariant
    {13, Plain("Memo"), Plain("Text"), Plain("text")},               // adIUnknown
    {14, Plain("FLOAT"), Plain("FLOAT"), Plain("numeric")},          // adDecimal
    {16, Plain("Integer"), Plain("tinyint"), Plain("smallint")},     // adTinyInt
    {17, Plain("Integer"), Plain("tinyint"), Plain("smallint")},     // adUnsignedTinyInt
    {18, Plain("Integer"), Plain("smallint"), Plain("integer")},     // adUnsignedSmallInt
    {19, Plain("Integer"), Plain("INT"), Plain("bigint")},           // adUnsignedInt
    {20, Plain("Integer"), Plain("INT"), Plain("bigint")},           // adBigInt
    {21, Plain("Integer"), Plain("INT"), Plain("numeric(20)")},      // adUnsignedBigInt
    {72, Sized("Text"), Plain("Text"), Plain("uuid")},               // adGUID
    {128, Plain("Binary"), Plain("IMAGE"), Plain("bytea")},          // adBinary
    {129, Sized("Text"), Sized("VARCHAR"), Sized("varchar")},        // adChar
    {130, Sized("Text"), Plain("CHAR"), Sized("char")},              // adWChar
    {131, Plain("FLOAT"), Plain("MONEY"), Plain("numeric")},         // adNumeric
    {132, Plain("Memo"), Plain("TEXT"), Plain("text")},              // adUserDefined
    {133, Plain("Date"), Plain("DATETIME"), Plain("date")},          // adDBDate
    {134, Plain("Date"), Plain("DATETIME"), Plain("time")},          // adDBTime
    {135, Plain("Date"), Plain("DATETIME"), Plain("timestamp")},     // adDBTimeStamp
    {136, Plain("Memo"), Plain("TEXT"), Plain("text")},              // adChapter
    {201, Sized("Text"), Sized("VARCHAR"), Sized("varchar")},        // adLongVarChar
    {202, Sized("Text"), Sized("nVARCHAR"), Sized("varchar")},       // adVarWChar
    {203, Sized("Text"), Plain("Text"), Plain("text")},              // adLongVarWChar
    {204, Plain("Binary"), Plain("IMAGE"), Plain("bytea")},          // adVarBinary
    {205, Plain("IMAGE"), Plain("IMAGE"), Plain("bytea")},           // adLongVarBinary
}};

const TypeNameRow* FindRow(int code) {
    for (const TypeNameRow& row : kTypeNames) {
        if (row.code == code) {
            return &row;
        }
    }
    return nullptr;
}

// The name of `code` in `dialect`, the build's own file-dialect names before the common ones.
std::optional<TypeName> FindTypeName(int code, DBTypes dialect,
                                     std::span<const FileTypeName> fileTypeNames) {
    const TypeNameRow* row = FindRow(code);
    if (row == nullptr ||
        (dialect != DBDefault && dialect != DBSqlServer && dialect != DBPostgreSQL)) {
        return std::nullopt;
    }
    if (dialect == DBSqlServer) {
        return row->serverDialect;
    }
    if (dialect == DBPostgreSQL) {
        return row->postgresDialect;
    }
    for (const FileTypeName& name : fileTypeNames) {
        if (name.code == code) {
            return Plain(name.text);
        }
    }
    return row->fileDialect;
}

}  // namespace

std::string DatabaseUtilities::GetFieldTypeName(int typeCode, double size,
                                                std::string& sizeSuffix) const {
    sizeSuffix.clear();
    std::optional<TypeName> name = FindTypeName(typeCode, DBType, m_flavour->fileTypeNames);
    if (!name) {
        return {};
    }
    if (name->sized) {
        sizeSuffix = fmt::format(" ({:.0f})", size);
        if (DBType == DBPostgreSQL) {
            sizeSuffix.erase(0, 1);  // varchar(50): no blank before the size
        }
    }
    return name->text;
}

}  // namespace vesk::database_utilities
