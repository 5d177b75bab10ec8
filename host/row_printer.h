#pragma once

#include <iosfwd>
#include <string>

#include "vesk/data_access/recordset.h"

namespace vesk::host {

// How rows are printed. `Text` is for people: tab-separated, Null and the empty text both
// empty. The others are for scripts and keep Null apart from the empty text: `Tsv` escapes
// tab, newline, carriage return and backslash as \t \n \r \\ and prints Null as \N; `Csv`
// follows RFC 4180 (CRLF line ends, fields quoted when they hold a comma, quote or line end;
// Null an empty field, the empty text ""); `Json` prints an array of objects, Null as null.
enum class RowStyle { Text, Tsv, Csv, Json };

struct RowFormat {
    RowStyle style = RowStyle::Text;
    bool header = true;     // a line of column names first (not in Json)
    bool hexBlobs = false;  // binary values as hex instead of their size
};

// Reads a --format word ("text", "tsv", "csv", "json"); throws std::invalid_argument.
RowStyle RowStyleNamed(const std::string& name);

// Prints the rows of an open record set from its current row on, in `format`. A binary
// value prints as "<N bytes>" (in Json {"bytes": N}), or with hexBlobs as "\x" and its hex
// digits (in Json {"hex": "..."}); a large value is never read just to give its size.
// Returns the number of rows printed.
long PrintRows(data::Recordset& rows, std::ostream& out, const RowFormat& format = {});

}  // namespace vesk::host
