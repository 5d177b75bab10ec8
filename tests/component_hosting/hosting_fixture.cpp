#include "hosting_fixture.h"

#include <cstdlib>

#include "vesk/component_hosting/component_library.h"
#include "vesk/data_access/catalog.h"
#include "vesk/data_access/connection_text.h"
#include "vesk/data_access/recordset.h"

namespace vesk::component_hosting::testing {

void HostingTest::SetUp() {
    m_dataHome.emplace("XDG_DATA_HOME", m_folder.Path("data"));
    m_configDirs.emplace("XDG_CONFIG_DIRS", m_folder.Path("config") + ":" + m_folder.Path("more"));
    for (const std::string& path : {kPhotoLibrary, kPayLibrary, kLegacyLibrary}) {
        ASSERT_EQ(ComponentLibrary::Load(path).Register(), S_OK) << path;
    }
}

void HostingTest::TearDown() {
    m_configDirs.reset();
    m_dataHome.reset();
}

std::string HostingTest::MakeDatabase(const std::string& name, const std::string& password,
                                      const std::vector<std::string>& statements) {
    const std::string text = data_access::EmbeddedConnectionText(m_folder.Path(name), password);
    data_access::Catalog catalog;
    data_access::ConnectionPtr connection = catalog.Create(text);
    for (const std::string& statement : statements) {
        connection->Execute(statement);
    }
    return text;
}

long HostingTest::Count(const std::string& connectionText, const std::string& sql) {
    auto connection = std::make_shared<data_access::Connection>();
    connection->Open(connectionText);
    data_access::Recordset rows;
    rows.Open(sql, connection, data_access::adOpenStatic, data_access::adLockReadOnly);
    return static_cast<long>(rows.Fields().Item(0L).Value().ToInt64());
}

EventHandler EventRecorder::Handler() {
    return [this](const std::string& event, const ArgumentList& arguments) {
        std::string line = event + "(";
        for (std::size_t arg_idx = 0; arg_idx < arguments.Count(); ++arg_idx) {
            line += (arg_idx > 0 ? "," : "") + arguments.Get(arg_idx).ToText();
        }
        events.push_back(line + ")");
        if (answer) {
            answer(event, arguments);
        }
    };
}

std::vector<std::string> EventRecorder::Named(const std::string& name) const {
    std::vector<std::string> found;
    for (const std::string& event : events) {
        if (event.starts_with(name + "(")) {
            found.push_back(event);
        }
    }
    return found;
}

}  // namespace vesk::component_hosting::testing
