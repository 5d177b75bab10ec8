#pragma once

#include "connection_point.h"
#include "vesk/database_utilities/database_utilities_events.h"

namespace vesk::component_hosting {

// Hands the notifications of a DatabaseUtilities to the sinks of its object's connection
// point as the events of __DatabaseUtilities (identifiers 1 to 4). The C++ arguments are
// references, so what a sink writes back reaches the counters the operation goes on with.
class DatabaseUtilitiesEventBridge final : public database_utilities::DatabaseUtilitiesEvents {
public:
    explicit DatabaseUtilitiesEventBridge(const ConnectionPoint& point) : m_point(point) {}

    void ProcessDone(std::int16_t& TablesCreates, std::int16_t& FieldsCreated) override;
    void Progress(std::string& TableName, std::int16_t& TotalTables, std::int16_t& TotalFields,
                  std::int16_t& FieldNo, std::int16_t& TableNo) override;
    void ProgressUpsize(std::string& TableName, std::int16_t& TotalTables,
                        std::int16_t& TotalFields, std::int16_t& TableNo) override;
    void DatabaseCreated() override;

private:
    const ConnectionPoint& m_point;
};

}  // namespace vesk::component_hosting
