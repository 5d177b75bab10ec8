#pragma once

#include <string>

namespace vesk::bench {

// The password of the benchmarks' database files.
inline constexpr const char* kBenchPassword = "pw";

// A table Staff of ten columns, narrow enough to be many rows: in the file dialect, and as the
// server writes it.
inline constexpr const char* kStaffSchema =
    "CREATE TABLE Staff (Code Text (20), Name Text (60), Dept Text (20), Salary DOUBLE, "
    "Bonus DOUBLE, Grade Integer, Hired Date, Active YESNO, Notes Memo, Ref Integer)";
inline constexpr const char* kServerStaffSchema =
    "CREATE TABLE Staff (Code varchar(20), Name varchar(60), Dept varchar(20), Salary double "
    "precision, Bonus double precision, Grade integer, Hired timestamp, Active boolean, Notes "
    "text, Ref integer)";

// Creates the keyed file `path` holding Staff with `rows` numbered rows EMP1, EMP2, ...
// Returns `path`.
std::string MakeStaffSource(const std::string& path, int rows);

// The number in the environment variable `variable`, else `fallback`.
int RowsFromEnvironment(const char* variable, int fallback);

}  // namespace vesk::bench
