#include "vesk/database_utilities/legacy_database_utilities.h"

#include "build_flavour.h"

namespace vesk::database_utilities::legacy {

DatabaseUtilities::DatabaseUtilities() : database_utilities::DatabaseUtilities(kLegacyBuild) {}

// The flavour keeps the password from the engine; passing none here says the same.
bool DatabaseUtilities::CompactDatabase(const std::string& FileName, std::string& TempFolder) {
    return database_utilities::DatabaseUtilities::CompactDatabase(FileName, TempFolder);
}

}  // namespace vesk::database_utilities::legacy
