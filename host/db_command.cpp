#include "db_command.h"

namespace vesk::host {

void InstallDbCommands(CLI::App& /*app*/, CommandAction& /*action*/) {}

}  // namespace vesk::host
