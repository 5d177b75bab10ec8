#include "vesk/data_access/data_types.h"

#include <charconv>
#include <map>
#include <optional>
#include <string>

#include "text_util.h"

namespace vesk::data_access {

namespace {

struct TypeRule {
    DataTypeEnum code;
    std::int64_t sizeWhenUnsized;
    bool takesSize;  // a "(n)" after the name is the defined size
};

// Upper-cased type names of the file and server dialects.
const std::map<std::string, TypeRule, std::less<>>& TypeRules() {
    static const std::map<std::string, TypeRule, std::less<>> rules = {
        {"TEXT", {adVarWChar, 255, true}},
        {"VARCHAR", {adVarWChar, 255, true}},
        {"NVARCHAR", {adVarWChar, 255, true}},
        {"CHARACTER VARYING", {adVarWChar, 255, true}},
        {"CHAR", {adWChar, 255, true}},
        {"NCHAR", {adWChar, 255, true}},
        {"CHARACTER", {adWChar, 255, true}},
        {"MEMO", {adLongVarWChar, 0, false}},
        {"LONGTEXT", {adLongVarWChar, 0, false}},
        {"NTEXT", {adLongVarWChar, 0, false}},
        {"INTEGER", {adInteger, 4, false}},
        {"INT", {adInteger, 4, false}},
        {"LONG", {adInteger, 4, false}},
        {"COUNTER", {adInteger, 4, false}},
        {"AUTOINCREMENT", {adInteger, 4, false}},
        {"SMALLINT", {adSmallInt, 2, false}},
        {"SHORT", {adSmallInt, 2, false}},
        {"TINYINT", {adUnsignedTinyInt, 1, false}},
        {"BYTE", {adUnsignedTinyInt, 1, false}},
        {"BIGINT", {adBigInt, 8, false}},
        {"YESNO", {adBoolean, 2, false}},
        {"BIT", {adBoolean, 2, false}},
        {"BOOLEAN", {adBoolean, 2, false}},
        {"LOGICAL", {adBoolean, 2, false}},
        {"REAL", {adSingle, 4, false}},
        {"SINGLE", {adSingle, 4, false}},
        {"FLOAT", {adDouble, 8, false}},
        {"DOUBLE", {adDouble, 8, false}},
        {"DOUBLE PRECISION", {adDouble, 8, false}},
        {"CURRENCY", {adCurrency, 8, false}},
        {"MONEY", {adCurrency, 8, false}},
        {"DECIMAL", {adNumeric, 19, false}},
        {"NUMERIC", {adNumeric, 19, false}},
        {"DATE", {adDate, 8, false}},
        {"TIME", {adDate, 8, false}},
        {"DATETIME", {adDate, 8, false}},
        {"TIMESTAMP", {adDate, 8, false}},
        {"BINARY", {adVarBinary, 510, true}},
        {"VARBINARY", {adVarBinary, 510, true}},
        {"IMAGE", {adLongVarBinary, 0, false}},
        {"BLOB", {adLongVarBinary, 0, false}},
        {"LONGBINARY", {adLongVarBinary, 0, false}},
        {"OLEOBJECT", {adLongVarBinary, 0, false}},
        {"GUID", {adGUID, 16, false}},
        {"UNIQUEIDENTIFIER", {adGUID, 16, false}},
    };
    return rules;
}

// The embedded engine's affinity rules, for type names no dialect defines.
ColumnType TypeFromAffinity(const std::string& upperName) {
    if (upperName.empty()) {
        return {adVariant, 0};
    }
    if (upperName.find("INT") != std::string::npos) {
        return {adInteger, 4};
    }
    if (upperName.find("CHAR") != std::string::npos ||
        upperName.find("CLOB") != std::string::npos ||
        upperName.find("TEXT") != std::string::npos) {
        return {adVarWChar, 255};
    }
    if (upperName.find("BLOB") != std::string::npos) {
        return {adLongVarBinary, 0};
    }
    if (upperName.find("REAL") != std::string::npos ||
        upperName.find("FLOA") != std::string::npos ||
        upperName.find("DOUB") != std::string::npos) {
        return {adDouble, 8};
    }
    return {adNumeric, 19};
}

// Collapses runs of blanks to one and trims, so "DOUBLE   PRECISION" reads as one name.
std::string NormaliseName(std::string_view name) {
    std::string result;
    for (char c : detail::Trim(name)) {
        bool blank = c == ' ' || c == '\t' || c == '\n' || c == '\r';
        if (blank && !result.empty() && result.back() == ' ') {
            continue;
        }
        result += blank ? ' ' : c;
    }
    return result;
}

// The first number inside the parentheses, if any.
std::optional<std::int64_t> SizeArgument(std::string_view arguments) {
    arguments = detail::Trim(arguments);
    std::int64_t size = 0;
    auto [end, error] =
        std::from_chars(arguments.data(), arguments.data() + arguments.size(), size);
    if (error != std::errc() || end == arguments.data()) {
        return std::nullopt;
    }
    return size;
}

}  // namespace

ColumnType ColumnTypeFromDeclared(std::string_view declaredType) {
    std::size_t open = declaredType.find('(');
    std::string name = NormaliseName(declaredType.substr(0, open));
    std::optional<std::int64_t> size;
    if (open != std::string_view::npos) {
        std::size_t close = declaredType.find(')', open);
        size = SizeArgument(declaredType.substr(open + 1, close - open - 1));
    }
    if (name == "TEXT" && !size) {
        return {adLongVarWChar, 0};  // the server dialect's long text, written in capitals
    }
    std::string upperName = detail::ToUpperAscii(name);
    if (upperName == "TEXT" && size == 0) {
        return {adLongVarWChar, 0};  // how schema repair writes a long text: its size is 0
    }
    auto rule = TypeRules().find(upperName);
    if (rule == TypeRules().end()) {
        return TypeFromAffinity(upperName);
    }
    std::int64_t definedSize = rule->second.sizeWhenUnsized;
    if (rule->second.takesSize && size) {
        definedSize = *size;
    }
    return {rule->second.code, definedSize};
}

bool IsBinaryType(DataTypeEnum code) {
    return code == adBinary || code == adVarBinary || code == adLongVarBinary;
}

bool IsTextType(DataTypeEnum code) {
    switch (code) {
        case adBSTR:
        case adChar:
        case adWChar:
        case adVarChar:
        case adLongVarChar:
        case adVarWChar:
        case adLongVarWChar:
        case adGUID:
            return true;
        default:
            return false;
    }
}

}  // namespace vesk::data_access
