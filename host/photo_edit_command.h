#pragma once

#include <memory>

#include <CLI/CLI.hpp>

#include "command_registry.h"
#include "photo_store_session.h"

namespace vesk::host {

// `vesk photo edit`: opens the photo editor dialog over one owner's photos.
void InstallPhotoEditCommand(CLI::App& photo, std::shared_ptr<PhotoStoreOptions> options,
                             CommandAction& action);

}  // namespace vesk::host
