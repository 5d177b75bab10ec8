#include "photo_command.h"

namespace vesk::host {

void InstallPhotoCommands(CLI::App& /*app*/, CommandAction& /*action*/) {}

}  // namespace vesk::host
