#pragma once

#include <string>

namespace vesk::database_utilities {

// What CopyDataFromDBtoDB did with the rows of one source table. Every row read is added,
// already there (the destination holds its key), or refused; a table the destination lacks
// is skipped whole, with the reason.
struct TableCopyReport {
    std::string table;
    long rowsRead = 0;
    long rowsAdded = 0;
    long rowsAlreadyThere = 0;  // the destination held the key, or the copy had just added it
    long rowsRefused = 0;       // the destination refused the row, or could not compare its key
    std::string firstRefusal;   // why the first refused row was refused
    bool skipped = false;       // nothing was added: the destination has no such table
    std::string skipReason;

    // Rows the copy left behind: refused, or read from a skipped table.
    long RowsLeftBehind() const { return rowsRefused + (skipped ? rowsRead : 0); }
};

}  // namespace vesk::database_utilities
