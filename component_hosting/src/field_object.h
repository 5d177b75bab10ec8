#pragma once

#include "dispatch_object.h"
#include "dispatch_table.h"
#include "vesk/data_access/recordset.h"

namespace vesk::component_hosting {

// A column of a record set's current row as a late-bound host sees it: Name, Type (the ADO
// type code), ActualSize, and Value (get and put; binary values cannot be read this way).
// Keeps its record set alive.
class FieldObject final : public DispatchObject<FieldObject> {
public:
    FieldObject(data_access::RecordsetPtr rows, data_access::Field field)
        : m_rows(std::move(rows)), m_field(field) {}

    static const DispatchTable<FieldObject>& Table();
    data_access::Field& Target() { return m_field; }

private:
    data_access::RecordsetPtr m_rows;
    data_access::Field m_field;
};

}  // namespace vesk::component_hosting
