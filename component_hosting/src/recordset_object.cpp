#include "recordset_object.h"

#include "field_object.h"

namespace vesk::component_hosting {

namespace {

constexpr IID kRecordsetIid{
    0xFC29D290, 0xE3D5, 0x48E8, {0xA2, 0x24, 0x15, 0x7D, 0x73, 0x62, 0x61, 0x49}};

using Table = DispatchTable<RecordsetObject>;

// A method of the record set that takes and returns nothing.
Table::Handler Run(void (data_access::Recordset::*operation)()) {
    return [operation](RecordsetObject& self, Call&) { (self.Target().*operation)(); };
}

// The field at a 0-based position, or of a name.
data_access::Field FieldAt(data_access::Recordset& rows, const Call& call) {
    const VARIANT index = call.Arguments().Value(0);
    if (index.vt == VT_BSTR) {
        return rows.Fields().Item(call.Text(0));
    }
    return rows.Fields().Item(static_cast<long>(call.Long(0)));
}

void Build(Table& table) {
    table
        .Get("RecordCount", kLong,
             [](RecordsetObject& self, Call& call) {
                 call.Return(static_cast<std::int32_t>(self.Target().RecordCount()));
             })
        .Get("EOF", kBoolean,
             [](RecordsetObject& self, Call& call) { call.Return(self.Target().IsEOF()); })
        .Get("BOF", kBoolean,
             [](RecordsetObject& self, Call& call) { call.Return(self.Target().IsBOF()); })
        .Method("MoveFirst", kVoid, {}, Run(&data_access::Recordset::MoveFirst))
        .Method("MoveLast", kVoid, {}, Run(&data_access::Recordset::MoveLast))
        .Method("MoveNext", kVoid, {}, Run(&data_access::Recordset::MoveNext))
        .Method("MovePrevious", kVoid, {}, Run(&data_access::Recordset::MovePrevious))
        .Method("Fields", kField, {{"Index", kAnyValue}},
                [](RecordsetObject& self, Call& call) {
                    call.Return(FieldObject::Make(self.Rows(), FieldAt(self.Target(), call)));
                })
        .Method("AddNew", kVoid, {}, Run(&data_access::Recordset::AddNew))
        .Method("Update", kVoid, {}, Run(&data_access::Recordset::Update));
}

}  // namespace

ComPtr<IDispatch> RecordsetObject::Wrap(data_access::RecordsetPtr rows) {
    return rows ? Make(std::move(rows)) : nullptr;
}

const DispatchTable<RecordsetObject>& RecordsetObject::Table() {
    static const DispatchTable<RecordsetObject> table("Recordset", kRecordsetIid, Build);
    return table;
}

}  // namespace vesk::component_hosting
