#include "connection_object.h"

#include "recordset_object.h"
#include "vesk/data_access/recordset.h"

namespace vesk::component_hosting {

namespace {

constexpr IID kConnectionIid{
    0x33729C13, 0x3446, 0x4675, {0x85, 0x4A, 0x1D, 0xF5, 0xA4, 0x96, 0xEE, 0xFF}};

using Table = DispatchTable<ConnectionObject>;

void Build(Table& table) {
    table.GetAccessor("ConnectionString", &data_access::Connection::ConnectionString)
        .Get("State", kLong,
             [](ConnectionObject& self, Call& call) {
                 call.Return(static_cast<std::int32_t>(self.Target().State()));
             })
        .Method("Execute", kLong, {{"CommandText", kText}},
                [](ConnectionObject& self, Call& call) {
                    call.Return(static_cast<std::int32_t>(self.Target().Execute(call.Text(0))));
                })
        .Method("OpenRecordset", kRecordset, {{"Source", kText}},
                [](ConnectionObject& self, Call& call) {
                    auto rows = std::make_shared<data_access::Recordset>();
                    rows->Open(call.Text(0), self.Connection(), data_access::adOpenKeyset,
                               data_access::adLockOptimistic);
                    call.Return(RecordsetObject::Wrap(std::move(rows)));
                })
        .Method("Close", kVoid, {}, [](ConnectionObject& self, Call&) { self.Target().Close(); });
}

}  // namespace

ComPtr<IDispatch> ConnectionObject::Wrap(data_access::ConnectionPtr connection) {
    return connection ? Make(std::move(connection)) : nullptr;
}

const DispatchTable<ConnectionObject>& ConnectionObject::Table() {
    static const DispatchTable<ConnectionObject> table("Connection", kConnectionIid, Build);
    return table;
}

}  // namespace vesk::component_hosting
