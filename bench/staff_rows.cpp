#include "staff_rows.h"

#include <cstdlib>

#include "bench_report.h"

namespace vesk::bench {

std::string MakeStaffSource(const std::string& path, int rows) {
    return CreateNumberedDatabase(path, kBenchPassword, kStaffSchema, "Staff",
                                  "'EMP' || i, 'Name ' || i, 'D' || (i % 17), i * 1.5, i % 100, "
                                  "i % 9, '2020-01-02 10:30', i % 2, 'note ' || i, i",
                                  rows);
}

int RowsFromEnvironment(const char* variable, int fallback) {
    const char* rows = std::getenv(variable);
    return rows != nullptr ? std::atoi(rows) : fallback;
}

}  // namespace vesk::bench
