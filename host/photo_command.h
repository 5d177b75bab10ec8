#pragma once

#include "command_registry.h"
#include "vesk/data_access/connection.h"

namespace vesk::host {

// `vesk photo` and its subcommands: create-table, add, list, get, delete, edit, convert,
// extract, verify.
void InstallPhotoCommands(CLI::App& app, CommandAction& action);

// Stores generated portraits for the demo employees in table and in file storage (in
// `folder`/photos) and reads them back, printing what it did.
void RunPhotoDemo(const data_access::ConnectionPtr& connection, const std::string& folder,
                  Output& output);

}  // namespace vesk::host
