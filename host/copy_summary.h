#pragma once

#include <ostream>
#include <vector>

#include "vesk/database_utilities/copy_report.h"

namespace vesk::host {

// Prints one line per table of a copy: rows read, added, already there and refused (with the
// first refusal's reason), or why the table was skipped.
void PrintCopySummary(const std::vector<database_utilities::TableCopyReport>& reports,
                      std::ostream& out);

// Throws, naming how many rows the copy left behind and in which tables, when it left any.
void RequireNothingLeftBehind(const std::vector<database_utilities::TableCopyReport>& reports);

}  // namespace vesk::host
