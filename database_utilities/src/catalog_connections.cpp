// The two schema catalogs that FixFields works on: the template's and the main database's.
#include <exception>
#include <memory>

#include "messages.h"
#include "vesk/data_access/connection_text.h"
#include "vesk/database_utilities/database_utilities.h"
#include "vesk/files/file_system.h"
#include "vesk/ui/current_ui.h"

namespace vesk::database_utilities {

namespace {

// A path or password that holds ';' or a quote goes between quotes, any other as it is.
std::string TemplateConnectionText(const std::string& path, const std::string& password) {
    return "Driver=Microsoft Access Driver (*.mdb);DBQ=" + data_access::ConnectionTextValue(path) +
           ";PWD=" + data_access::ConnectionTextValue(password);
}

}  // namespace

// Both catalogs exist before either is connected, so a failed connect leaves them set but
// unconnected until DoCleanUp, and CheckConnections does not try again.
bool DatabaseUtilities::MakeConnections() {
    try {
        m_templateCatalog.reset();
        m_mainCatalog.reset();
        if (files::FirstMatch(m_templateFilePath).empty()) {
            ui::Ui().MessageBox(messages::kTemplateNotFound, messages::kOkOnly,
                                messages::kDefaultTitle);
            return false;
        }
        m_templateCatalog = std::make_shared<data_access::Catalog>();
        m_mainCatalog = std::make_shared<data_access::Catalog>();
        m_templateCatalog->SetActiveConnection(
            TemplateConnectionText(m_templateFilePath, TemplatePWD));
        m_mainCatalog->SetActiveConnection(MainFileConnection);
        return true;
    } catch (const std::exception& error) {
        ui::Ui().MessageBox(error.what(), messages::kExclamation, messages::kConnectionErrorTitle);
        return false;
    }
}

bool DatabaseUtilities::CheckConnections() {
    if ((!m_templateCatalog || !m_mainCatalog) && !MakeConnections()) {
        return false;
    }
    return m_templateCatalog && m_mainCatalog;
}

}  // namespace vesk::database_utilities
