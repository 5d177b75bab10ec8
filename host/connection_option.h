#pragma once

#include <string>

#include <CLI/CLI.hpp>

#include "vesk/data_access/connection.h"

namespace vesk::host {

// The --db and --password options that name a database.
struct DatabaseOptions {
    std::string database;
    std::string password;
};

// Adds --db (required) and --password to a command.
void AddDatabaseOptions(CLI::App& command, DatabaseOptions& options);

// Whether `database` is a full connection text or URI rather than the path of a file.
bool IsConnectionText(const std::string& database);

// The connection text for CONN: a full connection text is used as it stands (with the
// password, when given, in place of its own); anything else is the path of an embedded file.
std::string ConnectionTextFor(const std::string& database, const std::string& password);

// Opens the database the options name. Throws DataAccessError.
data::ConnectionPtr OpenDatabase(const DatabaseOptions& options);

}  // namespace vesk::host
