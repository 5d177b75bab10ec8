#pragma once

#include "command_registry.h"

namespace vesk::host {

// `vesk demo [--dir DIR]`: builds a password-protected demo payroll database and walks through
// what the components do with it, printing each step.
void InstallDemoCommand(CLI::App& app, CommandAction& action);

}  // namespace vesk::host
