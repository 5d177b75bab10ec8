#include "db_build_option.h"

#include "vesk/database_utilities/legacy_database_utilities.h"

namespace vesk::host {

CLI::Option* AddLegacyOption(CLI::App& command, bool& legacy) {
    return command.add_flag("--legacy", legacy,
                            "run it through the legacy build of the database utilities");
}

std::unique_ptr<database_utilities::DatabaseUtilities> MakeUtilities(bool legacy) {
    if (legacy) {
        return std::make_unique<database_utilities::legacy::DatabaseUtilities>();
    }
    return std::make_unique<database_utilities::DatabaseUtilities>();
}

}  // namespace vesk::host
