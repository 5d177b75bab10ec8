#pragma once

#include <string>

#include "command_registry.h"

namespace vesk::host {

// Adds the `vesk db` subcommands that compact and repair database files.
void InstallDbCompactCommands(CLI::App& db, CommandAction& action);

// Deletes most rows of the demo database at `databasePath` (key `password`), compacts it and
// prints its size before and after. Throws when the compaction fails.
void RunCompactionDemo(const std::string& databasePath, const std::string& password,
                       Output& output);

}  // namespace vesk::host
