#pragma once

#include <string>

#include "vesk/database_utilities/database_utilities.h"

namespace vesk::database_utilities::legacy {

// The older build of the database utilities (libVeskDatabaseUtilities.so), kept for hosts
// built against it. It shares every member, event and message with the current build and
// differs in the file-dialect names of six type codes, in which catalog entries FixFields
// walks (a view's columns too, without statements), in leaving the clipboard alone, and in
// CompactDatabase below.
class DatabaseUtilities : public database_utilities::DatabaseUtilities {
public:
    DatabaseUtilities();

    // Compacts the unkeyed database file `FileName` through a new temporary file TempFolder +
    // "Temp-" + a unique part + ".mdb" (a '/' is
    // appended to `TempFolder` when it lacks one), then opens the compacted file once. False,
    // silently, when the file is missing; false with a message box when a step fails: a
    // keyed file, whose password this build cannot pass, or a failing open after the file
    // was already replaced by its compacted copy.
    bool CompactDatabase(const std::string& FileName, std::string& TempFolder);
};

}  // namespace vesk::database_utilities::legacy
