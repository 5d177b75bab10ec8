#pragma once

#include <string>
#include <vector>

#include "command_registry.h"

namespace vesk::host {

// `vesk components` and its subcommands: register and unregister component libraries in the
// user's registry or (--system) the system-wide one (by default the three libraries this
// program uses), list the registered classes, and describe the type library of a registered
// class.
void InstallComponentsCommands(CLI::App& app, CommandAction& action);

// The files of the component libraries this program has loaded, links resolved: photo, current
// and legacy database utilities (an installed program's are those of its prefix).
std::vector<std::string> UsedComponentLibraries();

}  // namespace vesk::host
