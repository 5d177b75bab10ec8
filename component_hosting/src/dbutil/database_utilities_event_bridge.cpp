#include "database_utilities_event_bridge.h"

#include "event_call.h"

namespace vesk::component_hosting {

void DatabaseUtilitiesEventBridge::ProcessDone(std::int16_t& TablesCreates,
                                               std::int16_t& FieldsCreated) {
    EventCall().Arg(TablesCreates).Arg(FieldsCreated).Fire(m_point, 1);
}

void DatabaseUtilitiesEventBridge::Progress(std::string& TableName, std::int16_t& TotalTables,
                                            std::int16_t& TotalFields, std::int16_t& FieldNo,
                                            std::int16_t& TableNo) {
    EventCall()
        .Arg(TableName)
        .Arg(TotalTables)
        .Arg(TotalFields)
        .Arg(FieldNo)
        .Arg(TableNo)
        .Fire(m_point, 2);
}

void DatabaseUtilitiesEventBridge::ProgressUpsize(std::string& TableName, std::int16_t& TotalTables,
                                                  std::int16_t& TotalFields,
                                                  std::int16_t& TableNo) {
    EventCall().Arg(TableName).Arg(TotalTables).Arg(TotalFields).Arg(TableNo).Fire(m_point, 3);
}

void DatabaseUtilitiesEventBridge::DatabaseCreated() {
    EventCall().Fire(m_point, 4);
}

}  // namespace vesk::component_hosting
