#include "utilities_fixture.h"

#include <fmt/format.h>

#include "vesk/data_access/connection_text.h"

namespace vesk::database_utilities::testing {

void RecordingListener::ProcessDone(std::int16_t& TablesCreates, std::int16_t& FieldsCreated) {
    events.push_back(fmt::format("ProcessDone({},{})", TablesCreates, FieldsCreated));
}

void RecordingListener::Progress(std::string& TableName, std::int16_t& TotalTables,
                                 std::int16_t& TotalFields, std::int16_t& FieldNo,
                                 std::int16_t& TableNo) {
    events.push_back(fmt::format("Progress({},{},{},{},{})", TableName, TotalTables, TotalFields,
                                 FieldNo, TableNo));
    if (onProgress) {
        onProgress(TableName);
    }
}

std::unique_ptr<DatabaseUtilities> MakeUtilities(Build build) {
    if (build == Build::Legacy) {
        return std::make_unique<legacy::DatabaseUtilities>();
    }
    return std::make_unique<DatabaseUtilities>();
}

std::string BuildName(const ::testing::TestParamInfo<Build>& info) {
    return info.param == Build::Legacy ? "Legacy" : "Current";
}

UtilitiesTest::UtilitiesTest(Build build)
    : m_build(build), m_object(MakeUtilities(build)), m_utilities(*m_object) {
    m_utilities.Advise(&m_listener);
    m_utilities.SetStatementTrace([this](data_access::StatementKind kind, std::string_view sql) {
        if (kind == data_access::StatementKind::Command) {
            m_statements.emplace_back(sql);
        }
    });
}

data_access::ConnectionPtr UtilitiesTest::MakeDatabase(const std::string& name,
                                                       const std::string& password,
                                                       const std::vector<std::string>& statements) {
    data_access::Catalog catalog;
    data_access::ConnectionPtr connection =
        catalog.Create(data_access::EmbeddedConnectionText(m_folder.Path(name), password));
    for (const std::string& statement : statements) {
        connection->Execute(statement);
    }
    return connection;
}

void UtilitiesTest::MakeTemplate(const std::vector<std::string>& statements) {
    MakeDatabase("template.mdb", "tpw", statements);
    m_utilities.SetTemplateFilePath(m_folder.Path("template.mdb"));
    m_utilities.TemplatePWD = "tpw";
}

data_access::ConnectionPtr UtilitiesTest::MakeMain(const std::vector<std::string>& statements) {
    m_utilities.MainFileConnection = MakeDatabase("main.mdb", "mpw", statements);
    return m_utilities.MainFileConnection;
}

bool UtilitiesTest::Compact(const std::string& path, std::string& tempFolder,
                            const std::string& password) {
    if (m_build == Build::Legacy && password.empty()) {
        auto& legacy = static_cast<legacy::DatabaseUtilities&>(m_utilities);
        return legacy.CompactDatabase(path, tempFolder);
    }
    return m_utilities.CompactDatabase(path, tempFolder, password);
}

std::vector<std::string> UtilitiesTest::Events(const std::string& name) const {
    std::vector<std::string> found;
    for (const std::string& event : m_listener.events) {
        if (event.starts_with(name + "(")) {
            found.push_back(event);
        }
    }
    return found;
}

}  // namespace vesk::database_utilities::testing
