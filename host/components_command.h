#pragma once

#include <string>
#include <vector>

#include "command_registry.h"

namespace vesk::host {

// `vesk components` and its subcommands: register and unregister component libraries in the
// per-user registry (by default the three libraries of this build), list the registered
// classes, and describe the type library of a registered class.
void InstallComponentsCommands(CLI::App& app, CommandAction& action);

// The paths of the component libraries of this build: photo, current and legacy database
// utilities.
std::vector<std::string> BuiltComponentLibraries();

}  // namespace vesk::host
