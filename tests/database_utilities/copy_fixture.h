#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "server_cluster.h"
#include "utilities_fixture.h"
#include "vesk/data_access/connection.h"

namespace vesk::database_utilities::testing {

// Records each ProgressUpsize as "Name,TotalTables,TotalFields,TableNo"; `onUpsize` runs
// inside, as a host's handler would.
class UpsizeListener : public DatabaseUtilitiesEvents {
public:
    std::vector<std::string> events;
    std::function<void(std::int16_t&)> onUpsize;

    void ProgressUpsize(std::string& TableName, std::int16_t& TotalTables,
                        std::int16_t& TotalFields, std::int16_t& TableNo) override;
};

// Which side of a copy is on the server, if any.
enum class Route { FileToFile, FileToServer, ServerToFile };

struct CopyCase {
    Build build;
    Route route;
};

// "Current" and "Legacy" between files; "ToServer" and "FromServer" with the server.
std::string CopyCaseName(const ::testing::TestParamInfo<CopyCase>& info);

// The server's names for the file dialect's types in the statements of these tests.
std::string InServerDialect(const std::string& statement);

// A copy between a source and a destination database, either of which may be on the server
// (one scratch database there, made for the test), through the build of the parameter.
class CopyTest : public UtilitiesTest, public ::testing::WithParamInterface<CopyCase> {
protected:
    CopyTest();
    ~CopyTest() override;
    void SetUp() override;

    // The source, or the destination, database holding `statements` (in the file dialect;
    // translated for the server): the file `name`, or the server database.
    data_access::ConnectionPtr MakeSource(const std::string& name,
                                          const std::vector<std::string>& statements);
    data_access::ConnectionPtr MakeDestination(const std::string& name,
                                               const std::vector<std::string>& statements);
    // A second connection to the destination made by MakeDestination(name, ...), as another
    // part of the host would hold.
    data_access::ConnectionPtr OpenDestinationAgain(const std::string& name) const;
    // A new connection to the server database.
    data_access::ConnectionPtr ServerConnection() const;
    // Drops every other session on the server database, waiting until they are gone.
    void TerminateOtherSessions() const;

    // The values of `column` in `table`, in row order, as their type and text.
    static std::vector<std::string> Column(const data_access::ConnectionPtr& connection,
                                           const std::string& table, const std::string& column);
    // A file source of `rows` numbered rows "K1", "K2", ... in table T (Code, Name); the row
    // numbered `unnamed` has no name, which the destinations of these tests refuse.
    data_access::ConnectionPtr NumberedSource(int rows, int unnamed);

    UpsizeListener m_upsize;
    std::unique_ptr<data_access::testing::ScratchServerDatabase> m_server;

private:
    data_access::ConnectionPtr MakeOn(bool onServer, const std::string& name,
                                      const std::vector<std::string>& statements);
};

// "Text:K1", "Text:K2", ... up to `rows`, leaving out the number `leftOut`.
std::vector<std::string> NumberedCodes(int rows, int leftOut);

}  // namespace vesk::database_utilities::testing
