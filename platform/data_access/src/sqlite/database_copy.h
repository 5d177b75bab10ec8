#pragma once

#include <string>

#include "sqlite/sqlite_handle.h"
#include "vesk/data_access/database_file.h"

// Whole-database work on an open session, shared by the file-level operations.
namespace vesk::data_access::detail {

// Writes the database of `source` into the empty file `copyPath`, keyed with `password`:
// schema, rows and user version, without free pages. The copy is not synced; a failure may
// leave a partial copy behind.
void ExportInto(const SqliteDatabase& source, const std::string& copyPath,
                const std::string& password);

// The schema, the rows (counted and summed) of every table and the user version of `database`.
DatabaseContents ReadContentsOf(const SqliteDatabase& database);

// Opens the existing file `path` with `password` (empty: none).
SqliteDatabasePtr OpenFile(const std::string& path, const std::string& password);

}  // namespace vesk::data_access::detail
