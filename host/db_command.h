#pragma once

#include "command_registry.h"

namespace vesk::host {

// `vesk db` and its subcommands.
void InstallDbCommands(CLI::App& app, CommandAction& action);

}  // namespace vesk::host
