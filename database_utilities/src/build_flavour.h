#pragma once

#include <span>

// Everything that sets the two builds of the database utilities apart. The code is one for
// both: each object reads its build's flavour where the builds differ, and nowhere else.
namespace vesk::database_utilities {

// A type name of the file dialect (DBDefault) that a build gives in place of the common one;
// such a name takes no size suffix.
struct FileTypeName {
    int code;
    const char* text;
};

struct BuildFlavour {
    // FixFields: whether the system clipboard is cleared before the first table.
    bool clearsClipboard;
    // FixFields: true, only "TABLE" entries are picked; false, every entry the name picks is
    // walked column by column, and the type test only keeps other entries from statements.
    bool picksTablesOnly;
    // GetFieldTypeName: file-dialect names that differ from the common table.
    std::span<const FileTypeName> fileTypeNames;

    // CompactDatabase: the temporary file's name in the temporary folder starts with this
    // stem and ends with the extension; a unique part stands between.
    const char* compactionTempStem;
    const char* compactionTempExtension;
    // CompactDatabase: whether the password reaches the engine (a keyed file needs it).
    bool compactsWithPassword;
    // CompactDatabase: whether the compacted file is opened once more after the rename.
    bool opensAfterCompaction;
};

inline constexpr BuildFlavour kCurrentBuild{
    .clearsClipboard = true,
    .picksTablesOnly = true,
    .fileTypeNames = {},
    .compactionTempStem = "CompactTemp",
    .compactionTempExtension = ".vsk",
    .compactsWithPassword = true,
    .opensAfterCompaction = false,
};

inline constexpr FileTypeName kLegacyFileTypeNames[] = {
    {4, "Integer"},    // adSingle
    {5, "Currency"},   // adDouble
    {6, "Currency"},   // adCurrency
    {14, "Currency"},  // adDecimal
    {131, "Integer"},  // adNumeric
    {205, "Binary"},   // adLongVarBinary
};

// The older build, shipped for hosts built against it: CompactDatabase takes no password (the
// order of its interface is its dispatch table's).
inline constexpr BuildFlavour kLegacyBuild{
    .clearsClipboard = false,
    .picksTablesOnly = false,
    .fileTypeNames = kLegacyFileTypeNames,
    .compactionTempStem = "Temp",
    .compactionTempExtension = ".mdb",
    .compactsWithPassword = false,
    .opensAfterCompaction = true,
};

}  // namespace vesk::database_utilities
