#include <exception>

#include "messages.h"
#include "vesk/data_access/catalog.h"
#include "vesk/dbutil/database_utilities.h"
#include "vesk/ui/current_ui.h"

namespace vesk::dbutil {

// The blank before ';' belongs to the text hosts know; the data-access layer trims values.
// The catalog, and with it the new file's connection, is released before the event fires.
bool DatabaseUtilities::CreateDatabase(const std::string& sPath) {
    try {
        data::Catalog catalog;
        catalog.Create("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + sPath +
                       " ;Jet OLEDB:Database Password=" + TemplatePWD);
    } catch (const std::exception& error) {
        platform::Ui().MessageBox(error.what(), messages::kInformation,
                                  messages::kCreateErrorTitle);
        return false;
    }
    Fire([](DatabaseUtilitiesEvents& listener) { listener.DatabaseCreated(); });
    return true;
}

}  // namespace vesk::dbutil
