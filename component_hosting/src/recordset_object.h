#pragma once

#include "dispatch_object.h"
#include "dispatch_table.h"
#include "vesk/data_access/recordset.h"

namespace vesk::component_hosting {

// A record set of this library as a late-bound host sees it: RecordCount, EOF, BOF,
// MoveFirst, MoveLast, MoveNext, MovePrevious, Fields(index or name) -> Field, AddNew,
// Update. Shares the rows with the component that handed them out.
class RecordsetObject final : public DispatchObject<RecordsetObject> {
public:
    explicit RecordsetObject(data_access::RecordsetPtr rows) : m_rows(std::move(rows)) {}

    // The object for `rows`; no object for none.
    static ComPtr<IDispatch> Wrap(data_access::RecordsetPtr rows);

    static const DispatchTable<RecordsetObject>& Table();
    data_access::Recordset& Target() { return *m_rows; }
    const data_access::RecordsetPtr& Rows() const { return m_rows; }

private:
    data_access::RecordsetPtr m_rows;
};

}  // namespace vesk::component_hosting
