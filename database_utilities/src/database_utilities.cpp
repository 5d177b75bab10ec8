#include "vesk/database_utilities/database_utilities.h"

#include <algorithm>

#include "build_flavour.h"
#include "vesk/data_access/sql_text.h"

namespace vesk::database_utilities {

DatabaseUtilities::DatabaseUtilities() : DatabaseUtilities(kCurrentBuild) {}

DatabaseUtilities::DatabaseUtilities(const BuildFlavour& flavour) : m_flavour(&flavour) {}

void DatabaseUtilities::Advise(DatabaseUtilitiesEvents* listener) {
    m_listeners.Add(listener);
}

void DatabaseUtilities::Unadvise(DatabaseUtilitiesEvents* listener) {
    m_listeners.Remove(listener);
}

void DatabaseUtilities::DoCleanUp() {
    m_templateCatalog.reset();
    m_mainCatalog.reset();
}

// Every quote is doubled, also one that is already followed by another: input is never taken
// to be escaped already, so a lone quote and a doubled pair both survive the round trip.
std::string DatabaseUtilities::FixQuotes(const std::string& text) const {
    return data_access::EscapeSqlText(text);
}

}  // namespace vesk::database_utilities
