#pragma once

#include <cstdint>
#include <string_view>

namespace vesk::data_access {

// ADO data type codes, as hosts and the schema catalogs report them.
enum DataTypeEnum : int {
    adEmpty = 0,
    adSmallInt = 2,
    adInteger = 3,
    adSingle = 4,
    adDouble = 5,
    adCurrency = 6,
    adDate = 7,
    adBSTR = 8,
    adIDispatch = 9,
    adError = 10,
    adBoolean = 11,
    adVariant = 12,
    adIUnknown = 13,
    adDecimal = 14,
    adTinyInt = 16,
    adUnsignedTinyInt = 17,
    adUnsignedSmallInt = 18,
    adUnsignedInt = 19,
    adBigInt = 20,
    adUnsignedBigInt = 21,
    adGUID = 72,
    adBinary = 128,
    adChar = 129,
    adWChar = 130,
    adNumeric = 131,
    adUserDefined = 132,
    adDBDate = 133,
    adDBTime = 134,
    adDBTimeStamp = 135,
    adChapter = 136,
    adVarChar = 200,
    adLongVarChar = 201,
    adVarWChar = 202,
    adLongVarWChar = 203,
    adVarBinary = 204,
    adLongVarBinary = 205,
};

// A column's type as the catalog reports it: the ADO code and the defined size.
struct ColumnType {
    DataTypeEnum code = adVariant;
    std::int64_t definedSize = 0;

    friend bool operator==(const ColumnType&, const ColumnType&) = default;
};

// Maps a declared type text ("Text (50)", "YESNO", "nVARCHAR(20)", "IMAGE") to its ADO code
// and defined size. Names compare ignoring case, except that "TEXT" in capitals is the long
// text of the server dialect while any other spelling of "Text" is the 255-character text of
// the file dialect; "Text (0)", as schema repair writes a long text, is a long text too. An
// unknown name maps by the embedded engine's affinity rules.
ColumnType ColumnTypeFromDeclared(std::string_view declaredType);

// True for the codes whose values are binary (read and written as bytes).
bool IsBinaryType(DataTypeEnum code);
// True for the codes whose values are text.
bool IsTextType(DataTypeEnum code);

}  // namespace vesk::data_access
