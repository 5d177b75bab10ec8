#include <exception>

#include "messages.h"
#include "vesk/data_access/catalog.h"
#include "vesk/data_access/connection_text.h"
#include "vesk/database_utilities/database_utilities.h"
#include "vesk/ui/current_ui.h"

namespace vesk::database_utilities {

// The blank before ';' belongs to the text hosts know; the data-access layer trims values.
// A path or password that holds ';' or a quote goes between quotes, and any other as it is.
// The catalog, and with it the new file's connection, is released before the event fires.
bool DatabaseUtilities::CreateDatabase(const std::string& sPath) {
    try {
        data_access::Catalog catalog;
        catalog.Create("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" +
                       data_access::ConnectionTextValue(sPath) + " ;Jet OLEDB:Database Password=" +
                       data_access::ConnectionTextValue(TemplatePWD));
    } catch (const std::exception& error) {
        ui::Ui().MessageBox(error.what(), messages::kInformation, messages::kCreateErrorTitle);
        return false;
    }
    Fire([](DatabaseUtilitiesEvents& listener) { listener.DatabaseCreated(); });
    return true;
}

}  // namespace vesk::database_utilities
