#include "db_compact_command.h"

namespace vesk::host {

void InstallDbCompactCommands(CLI::App& /*db*/, CommandAction& /*action*/) {}

}  // namespace vesk::host
