#pragma once

#include <string>

#include "command_registry.h"

namespace vesk::host {

// `vesk db` and its subcommands: create (a new, empty database file) and fix (schema repair
// against a template, optionally as a dry run on a throwaway copy), with copy, compact and
// repair; all but create take --legacy, which runs them through the legacy build.
void InstallDbCommands(CLI::App& app, CommandAction& action);

// Makes a template and an older payroll database in `folder` (replacing earlier demo files),
// repairs the older one and a newly created one against the template, printing each step.
void RunDatabaseUtilitiesDemo(const std::string& folder, Output& output);

}  // namespace vesk::host
