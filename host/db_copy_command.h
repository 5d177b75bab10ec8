#pragma once

#include "command_registry.h"

namespace vesk::host {

// Adds the `vesk db` subcommands that copy data between databases.
void InstallDbCopyCommand(CLI::App& db, CommandAction& action);

}  // namespace vesk::host
