// The SQL type names that schema repair writes for the ADO type codes a catalog reports, in
// the file dialect (DBDefault) and the server dialect (DBSqlServer). The legacy build names a
// few file-dialect codes apart (its flavour's fileTypeNames).
#include <array>
#include <optional>
#include <span>

#include <fmt/format.h>

#include "build_flavour.h"
#include "vesk/dbutil/database_utilities.h"

namespace vesk::dbutil {

namespace {

struct TypeName {
    const char* text;
    bool sized;  // the defined size follows as " (n)"
};

struct TypeNameRow {
    int code;
    TypeName fileDialect;
    TypeName serverDialect;
};

constexpr TypeName Sized(const char* text) {
    return {text, true};
}

constexpr TypeName Plain(const char* text) {
    return {text, false};
}

// Letter case matters: "TEXT" is the server's long text, "Text" its short one.
constexpr std::array<TypeNameRow, 35> kTypeNames{{
    {0, Sized("Text"), Plain("Text")},          // adEmpty
    {2, Plain("Integer"), Plain("smallint")},   // adSmallInt
    {3, Plain("Integer"), Plain("INT")},        // adInteger
    {4, Plain("FLOAT"), Plain("REAL")},         // adSingle
    {5, Plain("FLOAT"), Plain("FLOAT")},        // adDouble
    {6, Plain("FLOAT"), Plain("MONEY")},        // adCurrency
    {7, Plain("Date"), Plain("DATETIME")},      // adDate
    {8, Sized("Text"), Sized("VARCHAR")},       // adBSTR
    {9, Sized("Text"), Plain("Text")},          // adIDispatch
    {10, Sized("Text"), Plain("Text")},         // adError
    {11, Plain("YESNO"), Plain("BIT")},         // adBoolean
    {12, Plain("Memo"), Plain("TEXT")},         // adVariant
    {13, Plain("Memo"), Plain("Text")},         // adIUnknown
    {14, Plain("FLOAT"), Plain("FLOAT")},       // adDecimal
    {16, Plain("Integer"), Plain("tinyint")},   // adTinyInt
    {17, Plain("Integer"), Plain("tinyint")},   // adUnsignedTinyInt
    {18, Plain("Integer"), Plain("smallint")},  // adUnsignedSmallInt
    {19, Plain("Integer"), Plain("INT")},       // adUnsignedInt
    {20, Plain("Integer"), Plain("INT")},       // adBigInt
    {21, Plain("Integer"), Plain("INT")},       // adUnsignedBigInt
    {72, Sized("Text"), Plain("Text")},         // adGUID
    {128, Plain("Binary"), Plain("IMAGE")},     // adBinary
    {129, Sized("Text"), Sized("VARCHAR")},     // adChar
    {130, Sized("Text"), Plain("CHAR")},        // adWChar
    {131, Plain("FLOAT"), Plain("MONEY")},      // adNumeric
    {132, Plain("Memo"), Plain("TEXT")},        // adUserDefined
    {133, Plain("Date"), Plain("DATETIME")},    // adDBDate
    {134, Plain("Date"), Plain("DATETIME")},    // adDBTime
    {135, Plain("Date"), Plain("DATETIME")},    // adDBTimeStamp
    {136, Plain("Memo"), Plain("TEXT")},        // adChapter
    {201, Sized("Text"), Sized("VARCHAR")},     // adLongVarChar
    {202, Sized("Text"), Sized("nVARCHAR")},    // adVarWChar
    {203, Sized("Text"), Plain("Text")},        // adLongVarWChar
    {204, Plain("Binary"), Plain("IMAGE")},     // adVarBinary
    {205, Plain("IMAGE"), Plain("IMAGE")},      // adLongVarBinary
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
    if (row == nullptr || (dialect != DBDefault && dialect != DBSqlServer)) {
        return std::nullopt;
    }
    if (dialect == DBSqlServer) {
        return row->serverDialect;
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
    }
    return name->text;
}

}  // namespace vesk::dbutil
