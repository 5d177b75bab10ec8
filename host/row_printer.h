#pragma once

#include <iosfwd>

#include "vesk/data_access/recordset.h"

namespace vesk::host {

// Prints the rows of an open record set from its current row on: a header line of column
// names, then one line per row, tab-separated; Null prints as an empty field and binary values
// as "<N bytes>". Returns the number of rows printed.
long PrintRows(data::Recordset& rows, std::ostream& out);

}  // namespace vesk::host
