#pragma once

#include "database_utilities_event_bridge.h"
#include "dispatch_table.h"
#include "event_source_object.h"
#include "vesk/database_utilities/database_utilities.h"
#include "vesk/database_utilities/legacy_database_utilities.h"

namespace vesk::component_hosting {

// A DatabaseUtilities of one build as a late-bound host sees it: the dispatch interface
// _DatabaseUtilities in that build's slot order and the event interface __DatabaseUtilities
// (database_utilities_table.cpp). Utilities is database_utilities::DatabaseUtilities (the current
// build) or database_utilities::legacy::DatabaseUtilities.
template <typename Utilities>
class DatabaseUtilitiesObject final : public EventSourceObject<DatabaseUtilitiesObject<Utilities>> {
public:
    DatabaseUtilitiesObject() { m_utilities.Advise(&m_bridge); }
    ~DatabaseUtilitiesObject() override { m_utilities.Unadvise(&m_bridge); }

    static const DispatchTable<DatabaseUtilitiesObject>& Table();
    static const InterfaceShape& EventShape();
    Utilities& Target() { return m_utilities; }

private:
    Utilities m_utilities;
    DatabaseUtilitiesEventBridge m_bridge{this->Events()};
};

using PayDatabaseUtilitiesObject = DatabaseUtilitiesObject<database_utilities::DatabaseUtilities>;
using LegacyDatabaseUtilitiesObject =
    DatabaseUtilitiesObject<database_utilities::legacy::DatabaseUtilities>;

template <>
const DispatchTable<PayDatabaseUtilitiesObject>& PayDatabaseUtilitiesObject::Table();
template <>
const InterfaceShape& PayDatabaseUtilitiesObject::EventShape();
template <>
const DispatchTable<LegacyDatabaseUtilitiesObject>& LegacyDatabaseUtilitiesObject::Table();
template <>
const InterfaceShape& LegacyDatabaseUtilitiesObject::EventShape();

}  // namespace vesk::component_hosting
