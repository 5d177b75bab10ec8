#pragma once

#include <string>

#include <CLI/CLI.hpp>

#include "password_input.h"
#include "vesk/data_access/connection.h"

namespace vesk::host {

// The --db and password options that name a database.
struct DatabaseOptions {
    std::string database;
    PasswordInput password;
};

// Adds --db (required) and the password options (--password, --password-file,
// --password-prompt, $VESK_PASSWORD) to a command.
void AddDatabaseOptions(CLI::App& command, DatabaseOptions& options);

// Whether `database` is a full connection text or URI rather than the path of a file: a URI,
// a text that begins with Provider= or Driver=, or one that reads as a connection text (a
// path may hold "provider=" too).
bool IsConnectionText(const std::string& database);

// The connection text for CONN: a full connection text is used as it stands (with the
// password, when given, in place of its own); anything else is the path of an embedded file.
std::string ConnectionTextFor(const std::string& database, const std::string& password);

// Throws Error, saying how to make one, when there is no file at `path`.
void RequireDatabaseFile(const std::string& path);

// Opens the database the options name. Throws DataAccessError, or Error when
// the file named does not exist.
data_access::ConnectionPtr OpenDatabase(const DatabaseOptions& options);

}  // namespace vesk::host
