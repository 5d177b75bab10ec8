#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

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

// Adds --format, --header and --no-header as a listing offers them; `header` gives the
// listing's default.
void AddRowFormatOptions(CLI::App& command, std::string& style, bool& header);

// One value of a row: Null, a number (bare in Json), a boolean ("True"/"False"; bare true or
// false in Json), a text, or a binary value (its size, or its hex digits when hexBlobs is set).
struct Cell {
    enum Kind { Null, Bare, Bool, Text, Binary } kind = Null;
    std::string text;
};

// Writes rows in a format, one at a time: the header (or Json's opening) with the first call,
// the end with Finish() or the destructor.
class RowWriter {
public:
    RowWriter(std::ostream& out, RowFormat format, std::vector<std::string> columns);
    ~RowWriter();
    RowWriter(const RowWriter&) = delete;
    RowWriter& operator=(const RowWriter&) = delete;

    // Writes one row; `cells` has a value for each column.
    void Row(const std::vector<Cell>& cells);
    // Ends the output (Json's closing bracket); a second call does nothing.
    void Finish();

private:
    void Start();

    std::ostream& m_out;
    RowFormat m_format;
    std::vector<std::string> m_columns;
    long m_rows = 0;
    bool m_started = false;
    bool m_finished = false;
};

// Prints the rows of an open record set from its current row on, in `format`. A binary
// value prints as "<N bytes>" (in Json {"bytes": N}), or with hexBlobs as "\x" and its hex
// digits (in Json {"hex": "..."}); a large value is never read just to give its size.
// Returns the number of rows printed.
long PrintRows(data_access::Recordset& rows, std::ostream& out, const RowFormat& format = {});

}  // namespace vesk::host
