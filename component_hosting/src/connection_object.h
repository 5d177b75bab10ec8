#pragma once

#include "dispatch_object.h"
#include "dispatch_table.h"
#include "vesk/data_access/connection.h"

namespace vesk::component_hosting {

// A database connection of this library as a late-bound host sees it: ConnectionString,
// State, Execute(sql) -> rows affected, OpenRecordset(source) -> a keyset record set open for
// editing, Close(). Shares the connection with the component that handed it out.
class ConnectionObject final : public DispatchObject<ConnectionObject> {
public:
    explicit ConnectionObject(data_access::ConnectionPtr connection)
        : m_connection(std::move(connection)) {}

    // The object for `connection`; no object for none.
    static ComPtr<IDispatch> Wrap(data_access::ConnectionPtr connection);

    static const DispatchTable<ConnectionObject>& Table();
    data_access::Connection& Target() { return *m_connection; }
    const data_access::ConnectionPtr& Connection() const { return m_connection; }

private:
    data_access::ConnectionPtr m_connection;
};

}  // namespace vesk::component_hosting
