// The dispatch interface _DatabaseUtilities of both builds and their event interface
// __DatabaseUtilities. The builds differ in where the OperationCancelled accessors stand
// (first in the current build, last in the legacy one) and in CompactDatabase, which takes no
// password in the legacy build.
#include <type_traits>

#include "data_variants.h"
#include "database_utilities_ids.h"
#include "database_utilities_object.h"
#include "object_arguments.h"

namespace vesk::component_hosting {

namespace {

using database_utilities::DatabaseUtilities;  // the members both builds share
template <typename Object>
using Table = DispatchTable<Object>;

template <typename Object>
constexpr bool kLegacy = std::is_same_v<Object, LegacyDatabaseUtilitiesObject>;

template <typename Object>
void AddOperationCancelled(Table<Object>& table) {
    table.GetPutMember("OperationCancelled", &DatabaseUtilities::OperationCancelled);
}

// From MainFileConnection to TemplateFilePath.
template <typename Object>
void AddSettings(Table<Object>& table) {
    table
        .Get("MainFileConnection", kConnection,
             [](Object& self, Call& call) {
                 call.Return(ConnectionResult(self.Target().MainFileConnection));
             })
        .PutRef("MainFileConnection", kConnection,
                [](Object& self, Call& call) {
                    self.Target().MainFileConnection = ConnectionArgument(call, 0);
                })
        .GetPutMember("TemplatePWD", &DatabaseUtilities::TemplatePWD)
        .GetPutMember("DBType", &DatabaseUtilities::DBType)
        .PutGetAccessors("TempFolderPath", &DatabaseUtilities::SetTempFolderPath,
                         &DatabaseUtilities::TempFolderPath)
        .PutGetAccessors("TemplateFilePath", &DatabaseUtilities::SetTemplateFilePath,
                         &DatabaseUtilities::TemplateFilePath);
}

// TempFolder is written back: the operation appends the '/' it lacks.
template <typename Object>
void AddCompactDatabase(Table<Object>& table) {
    if constexpr (kLegacy<Object>) {
        table.Method("CompactDatabase", kBoolean,
                     {{"FileName", kText, ByRef}, {"TempFolder", kText, ByRef}},
                     [](Object& self, Call& call) {
                         call.Return(self.Target().CompactDatabase(call.Text(0), call.TextRef(1)));
                     });
    } else {
        table.Method("CompactDatabase", kBoolean,
                     {{"FileName", kText, ByRef},
                      {"TempFolder", kText, ByRef},
                      {"sDBPassword", kText, ByRef | Optional}},
                     [](Object& self, Call& call) {
                         call.Return(self.Target().CompactDatabase(call.Text(0), call.TextRef(1),
                                                                   call.Text(2)));
                     });
    }
}

template <typename Object>
void CopyLargeField(Object& self, Call& call) {
    data_access::Field source = FieldArgument(call, 0);
    data_access::Field destination = FieldArgument(call, 1);
    data_access::RecordsetPtr rows = RecordsetArgument(call, 2);
    data_access::Recordset unused;  // the operation does not read it; a host may pass no object
    call.Return(
        ToComVariant(self.Target().CopyLargeField(source, destination, rows ? *rows : unused)));
}

// From CreateDatabase to CopyLargeField.
template <typename Object>
void AddOperations(Table<Object>& table) {
    table
        .Method("CreateDatabase", kBoolean, {{"sPath", kText, ByRef}},
                [](Object& self, Call& call) {
                    call.Return(self.Target().CreateDatabase(call.Text(0)));
                })
        .Method("FixFields", kVoid, {{"TableName", kText, ByRef | Optional}},
                [](Object& self, Call& call) { self.Target().FixFields(call.Text(0)); });
    AddCompactDatabase(table);
    table
        .Method("RepairDatabase", kBoolean, {{"FileName", kText, ByRef}},
                [](Object& self, Call& call) {
                    call.Return(self.Target().RepairDatabase(call.Text(0)));
                })
        .Method("DoCleanUp", kVoid, {}, [](Object& self, Call&) { self.Target().DoCleanUp(); })
        .Method("CopyDataFromDBtoDB", kVoid,
                {{"SourceConnection", kConnection, ByRef}, {"DestConnection", kConnection, ByRef}},
                [](Object& self, Call& call) {
                    self.Target().CopyDataFromDBtoDB(ConnectionArgument(call, 0),
                                                     ConnectionArgument(call, 1));
                })
        .Method("CopyLargeField", kAnyValue,
                {{"fldSource", kField, ByRef},
                 {"fldDestination", kField, ByRef},
                 {"rsSorc", kRecordset, ByRef}},
                CopyLargeField<Object>);
}

template <typename Object>
void Build(Table<Object>& table) {
    if constexpr (!kLegacy<Object>) {
        AddOperationCancelled(table);
    }
    AddSettings(table);
    AddOperations(table);
    if constexpr (kLegacy<Object>) {
        AddOperationCancelled(table);
    }
}

// __DatabaseUtilities, the same in both builds: identifiers 1 to 4 in this order.
void AddEvents(InterfaceShape& events) {
    events.AddEvent("ProcessDone", {{"TablesCreates", kInteger}, {"FieldsCreated", kInteger}});
    events.AddEvent("Progress", {{"TableName", kText},
                                 {"TotalTables", kInteger},
                                 {"TotalFields", kInteger},
                                 {"FieldNo", kInteger},
                                 {"TableNo", kInteger}});
    events.AddEvent("ProgressUpsize", {{"TableName", kText},
                                       {"TotalTables", kInteger},
                                       {"TotalFields", kInteger},
                                       {"TableNo", kInteger}});
    events.AddEvent("DatabaseCreated", {});
}

template <typename Object>
const DispatchTable<Object>& TableOf(const DatabaseUtilitiesIds& ids) {
    static const DispatchTable<Object> table("_DatabaseUtilities", ids.defaultInterface,
                                             Build<Object>);
    return table;
}

template <typename Object>
const InterfaceShape& EventsOf(const DatabaseUtilitiesIds& ids) {
    static const InterfaceShape events("__DatabaseUtilities", ids.eventInterface, AddEvents);
    return events;
}

}  // namespace

template <>
const DispatchTable<PayDatabaseUtilitiesObject>& PayDatabaseUtilitiesObject::Table() {
    return TableOf<PayDatabaseUtilitiesObject>(kPayDatabaseUtilitiesIds);
}

template <>
const InterfaceShape& PayDatabaseUtilitiesObject::EventShape() {
    return EventsOf<PayDatabaseUtilitiesObject>(kPayDatabaseUtilitiesIds);
}

template <>
const DispatchTable<LegacyDatabaseUtilitiesObject>& LegacyDatabaseUtilitiesObject::Table() {
    return TableOf<LegacyDatabaseUtilitiesObject>(kLegacyDatabaseUtilitiesIds);
}

template <>
const InterfaceShape& LegacyDatabaseUtilitiesObject::EventShape() {
    return EventsOf<LegacyDatabaseUtilitiesObject>(kLegacyDatabaseUtilitiesIds);
}

}  // namespace vesk::component_hosting
