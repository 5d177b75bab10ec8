#include "db_copy_command.h"

namespace vesk::host {

void InstallDbCopyCommand(CLI::App& /*db*/, CommandAction& /*action*/) {}

}  // namespace vesk::host
