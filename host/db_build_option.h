#pragma once

#include <memory>

#include <CLI/CLI.hpp>

#include "vesk/database_utilities/database_utilities.h"

namespace vesk::host {

// Adds --legacy to a `vesk db` command: run the operation through the legacy build of the
// database utilities (libVeskDatabaseUtilities.so) instead of the current one. Returns it.
CLI::Option* AddLegacyOption(CLI::App& command, bool& legacy);

// A new utilities object of the current build, or of the legacy build when `legacy`.
std::unique_ptr<database_utilities::DatabaseUtilities> MakeUtilities(bool legacy);

}  // namespace vesk::host
