#include "vesk/dbutil/legacy_database_utilities.h"

#include "build_flavour.h"

namespace vesk::dbutil::legacy {

DatabaseUtilities::DatabaseUtilities() : dbutil::DatabaseUtilities(kLegacyBuild) {}

// The flavour keeps the password from the engine; passing none here says the same.
bool DatabaseUtilities::CompactDatabase(const std::string& FileName, std::string& TempFolder) {
    return dbutil::DatabaseUtilities::CompactDatabase(FileName, TempFolder);
}

}  // namespace vesk::dbutil::legacy
