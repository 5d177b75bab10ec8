#pragma once

#include "command_registry.h"

namespace vesk::host {

// Adds `vesk manual` (the manual page, in roff, made from the commands' own help texts) and
// `vesk completion` (a bash completion script for every command and option). Both describe
// `app` as it stands when they run, so they are installed after the other commands' installers
// or before: the whole tree is there by then.
void InstallDocumentationCommands(CLI::App& app, CommandAction& action);

}  // namespace vesk::host
