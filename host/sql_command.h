#pragma once

#include "command_registry.h"

namespace vesk::host {

// `vesk sql --db CONN [--password PW] "STATEMENT"`: runs one statement and prints the rows it
// returns.
void InstallSqlCommand(CLI::App& app, CommandAction& action);

}  // namespace vesk::host
