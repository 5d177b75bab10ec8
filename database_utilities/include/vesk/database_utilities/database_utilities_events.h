#pragma once

#include <cstdint>
#include <string>

namespace vesk::database_utilities {

// The notifications of DatabaseUtilities (its outgoing interface), in dispatch order 1 to 4.
// Every argument is passed by reference and the calls arrive synchronously inside the
// operation that fires them. For ProcessDone and Progress the counters are FixFields' running
// counters themselves, so a listener that changes one changes what FixFields counts on with.
// The defaults do nothing; a listener overrides what it wants.
class DatabaseUtilitiesEvents {
public:
    virtual ~DatabaseUtilitiesEvents() = default;

    virtual void ProcessDone(std::int16_t& /*TablesCreates*/, std::int16_t& /*FieldsCreated*/) {}
    virtual void Progress(std::string& /*TableName*/, std::int16_t& /*TotalTables*/,
                          std::int16_t& /*TotalFields*/, std::int16_t& /*FieldNo*/,
                          std::int16_t& /*TableNo*/) {}
    virtual void ProgressUpsize(std::string& /*TableName*/, std::int16_t& /*TotalTables*/,
                                std::int16_t& /*TotalFields*/, std::int16_t& /*TableNo*/) {}
    virtual void DatabaseCreated() {}
};

}  // namespace vesk::database_utilities
