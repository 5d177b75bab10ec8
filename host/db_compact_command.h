#pragma once

#include "command_registry.h"

namespace vesk::host {

// Adds the `vesk db` subcommands that compact and repair database files.
void InstallDbCompactCommands(CLI::App& db, CommandAction& action);

}  // namespace vesk::host
