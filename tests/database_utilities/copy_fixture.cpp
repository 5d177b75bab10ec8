#include "copy_fixture.h"

#include <regex>

#include <fmt/format.h>

#include "vesk/data_access/connection_text.h"
#include "vesk/data_access/recordset.h"

namespace vesk::database_utilities::testing {

void UpsizeListener::ProgressUpsize(std::string& TableName, std::int16_t& TotalTables,
                                    std::int16_t& TotalFields, std::int16_t& TableNo) {
    events.push_back(fmt::format("{},{},{},{}", TableName, TotalTables, TotalFields, TableNo));
    if (onUpsize) {
        onUpsize(TableNo);
    }
}

std::string CopyCaseName(const ::testing::TestParamInfo<CopyCase>& info) {
    switch (info.param.route) {
        case Route::FileToServer:
            return "ToServer";
        case Route::ServerToFile:
            return "FromServer";
        default:
            return BuildName(::testing::TestParamInfo<Build>(info.param.build, info.index));
    }
}

std::string InServerDialect(const std::string& statement) {
    static const std::pair<std::regex, const char*> kNames[] = {
        {std::regex(R"(\bText \((\d+)\))"), "varchar($1)"},
        {std::regex(R"(\bDOUBLE\b)"), "double precision"},
        {std::regex(R"(\bYESNO\b)"), "boolean"},
        {std::regex(R"(\bDate\b)"), "timestamp"},
        {std::regex(R"(\bIMAGE\b)"), "bytea"},
        {std::regex(R"(\bGUID\b)"), "uuid"},
    };
    std::string result = statement;
    for (const auto& [pattern, name] : kNames) {
        result = std::regex_replace(result, pattern, name);
    }
    return result;
}

CopyTest::CopyTest() : UtilitiesTest(GetParam().build) {
    m_utilities.Advise(&m_upsize);
}

CopyTest::~CopyTest() {
    m_utilities.Unadvise(&m_upsize);
}

void CopyTest::SetUp() {
    if (GetParam().route != Route::FileToFile) {
        if (auto cluster = data_access::testing::RequireServerCluster()) {
            m_server = std::make_unique<data_access::testing::ScratchServerDatabase>(*cluster);
        }
    }
}

data_access::ConnectionPtr CopyTest::MakeSource(const std::string& name,
                                                const std::vector<std::string>& statements) {
    return MakeOn(GetParam().route == Route::ServerToFile, name, statements);
}

data_access::ConnectionPtr CopyTest::MakeDestination(const std::string& name,
                                                     const std::vector<std::string>& statements) {
    return MakeOn(GetParam().route == Route::FileToServer, name, statements);
}

data_access::ConnectionPtr CopyTest::MakeOn(bool onServer, const std::string& name,
                                            const std::vector<std::string>& statements) {
    if (!onServer || !m_server) {
        return MakeDatabase(name, "", statements);
    }
    data_access::ConnectionPtr connection = ServerConnection();
    for (const std::string& statement : statements) {
        connection->Execute(InServerDialect(statement));
    }
    return connection;
}

data_access::ConnectionPtr CopyTest::OpenDestinationAgain(const std::string& name) const {
    if (GetParam().route == Route::FileToServer) {
        return ServerConnection();
    }
    auto connection = std::make_shared<data_access::Connection>();
    connection->Open(data_access::EmbeddedConnectionText(m_folder.Path(name)));
    return connection;
}

data_access::ConnectionPtr CopyTest::ServerConnection() const {
    auto connection = std::make_shared<data_access::Connection>();
    connection->Open(m_server->ConnectionText());
    return connection;
}

void CopyTest::TerminateOtherSessions() const {
    ServerConnection()->Execute(
        "SELECT pg_terminate_backend(pid, 5000) FROM pg_stat_activity "
        "WHERE datname = current_database() AND pid <> pg_backend_pid()");
}

std::vector<std::string> CopyTest::Column(const data_access::ConnectionPtr& connection,
                                          const std::string& table, const std::string& column) {
    data_access::Recordset rows;
    rows.Open("SELECT * FROM " + table, connection, data_access::adOpenKeyset,
              data_access::adLockReadOnly);
    std::vector<std::string> values;
    for (; !rows.IsEOF(); rows.MoveNext()) {
        data_access::Variant value = rows.Fields()[column].Value();
        values.push_back(
            fmt::format("{}:{}", data_access::VariantTypeName(value.Type()), value.ToText()));
    }
    return values;
}

data_access::ConnectionPtr CopyTest::NumberedSource(int rows, int unnamed) {
    data_access::ConnectionPtr from =
        MakeDatabase("source.mdb", "", {"CREATE TABLE T (Code Text (10), Name Text (20))"});
    from->Execute(fmt::format(
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < {}) "
        "INSERT INTO T SELECT 'K' || i, CASE WHEN i = {} THEN NULL ELSE 'N' || i END FROM n",
        rows, unnamed));
    return from;
}

std::vector<std::string> NumberedCodes(int rows, int leftOut) {
    std::vector<std::string> codes;
    for (int number = 1; number <= rows; ++number) {
        if (number != leftOut) {
            codes.push_back(fmt::format("Text:K{}", number));
        }
    }
    return codes;
}

}  // namespace vesk::database_utilities::testing
