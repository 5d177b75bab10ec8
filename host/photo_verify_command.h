#pragma once

#include "command_registry.h"
#include "photo_store_session.h"

namespace vesk::host {

// `vesk photo verify`, added to the `photo` command.
void InstallPhotoVerifyCommand(CLI::App& photo, std::shared_ptr<PhotoStoreOptions> options,
                               CommandAction& action);

}  // namespace vesk::host
