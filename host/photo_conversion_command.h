#pragma once

#include "command_registry.h"
#include "photo_store_session.h"

namespace vesk::host {

// `vesk photo convert --to files|blobs` and `vesk photo extract`, added to the `photo` command.
void InstallPhotoConversionCommands(CLI::App& photo, std::shared_ptr<PhotoStoreOptions> options,
                                    CommandAction& action);

// Converts every photo of the options' table to files (`toFiles`) or back into the table,
// printing a summary; throws when the conversion could not run.
void ConvertPhotos(const PhotoStoreOptions& options, bool toFiles,
                   const data_access::ConnectionPtr& connection, Output& output);

}  // namespace vesk::host
