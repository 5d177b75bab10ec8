#pragma once

#include "command_registry.h"

namespace vesk::host {

// `vesk photo` and its subcommands.
void InstallPhotoCommands(CLI::App& app, CommandAction& action);

}  // namespace vesk::host
