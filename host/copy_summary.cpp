#include "copy_summary.h"

#include <stdexcept>
#include <string>

#include <fmt/format.h>
#include "vesk/errors/error.h"

namespace vesk::host {

namespace {

std::string SummaryLine(const database_utilities::TableCopyReport& report) {
    if (report.skipped) {
        return fmt::format("{}: {} rows read, skipped: {}", report.table, report.rowsRead,
                           report.skipReason);
    }
    std::string line =
        fmt::format("{}: {} rows read, {} added, {} already there, {} refused", report.table,
                    report.rowsRead, report.rowsAdded, report.rowsAlreadyThere, report.rowsRefused);
    if (report.rowsRefused > 0) {
        line += fmt::format(" (first: {})", report.firstRefusal);
    }
    return line;
}

}  // namespace

void PrintCopySummary(const std::vector<database_utilities::TableCopyReport>& reports,
                      std::ostream& out) {
    for (const database_utilities::TableCopyReport& report : reports) {
        out << SummaryLine(report) << '\n';
    }
}

void RequireNothingLeftBehind(const std::vector<database_utilities::TableCopyReport>& reports) {
    long rows = 0;
    std::string tables;
    for (const database_utilities::TableCopyReport& report : reports) {
        if (report.RowsLeftBehind() > 0) {
            rows += report.RowsLeftBehind();
            tables += (tables.empty() ? "" : ", ") + report.table;
        }
    }
    if (rows > 0) {
        throw Error(
            fmt::format("{} rows were not copied (refused, or in a table the destination cannot "
                        "take): {}",
                        rows, tables));
    }
}

}  // namespace vesk::host
