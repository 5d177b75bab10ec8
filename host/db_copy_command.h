#pragma once

#include <string>

#include "command_registry.h"

namespace vesk::host {

// Adds `vesk db copy --from CONN --to CONN [--from-password PW] [--to-password PW]
// [--rows-per-commit N]`: adds the rows of every source table that the destination table of
// the same name lacks, and prints what became of each table's rows. Fails (exit 1) when the
// copy stopped early or left rows behind.
void InstallDbCopyCommand(CLI::App& db, CommandAction& action);

// Makes a small demo database in `folder` and upsizes it into a second new one there,
// printing what was read and added per table (run twice: the second run adds nothing).
void RunDataCopyDemo(const std::string& folder, Output& output);

}  // namespace vesk::host
