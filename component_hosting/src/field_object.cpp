#include "field_object.h"

#include "data_variants.h"

namespace vesk::component_hosting {

namespace {

constexpr IID kFieldIid{
    0x6391E6AE, 0xD624, 0x40C4, {0xBF, 0x4E, 0xCB, 0xF7, 0x7F, 0xC5, 0x42, 0x19}};

using Table = DispatchTable<FieldObject>;

void Build(Table& table) {
    table.GetAccessor("Name", &data_access::Field::Name)
        .Get("Type", kLong,
             [](FieldObject& self, Call& call) {
                 call.Return(static_cast<std::int32_t>(self.Target().Type()));
             })
        .Get("ActualSize", kDouble,
             [](FieldObject& self, Call& call) {
                 call.Return(static_cast<double>(self.Target().ActualSize()));
             })
        .Get(
            "Value", kAnyValue,
            [](FieldObject& self, Call& call) { call.Return(ToComVariant(self.Target().Value())); })
        .Put("Value", kAnyValue, [](FieldObject& self, Call& call) {
            self.Target().SetValue(ToDataVariant(call.Arguments().Value(0)));
        });
}

}  // namespace

const DispatchTable<FieldObject>& FieldObject::Table() {
    static const DispatchTable<FieldObject> table("Field", kFieldIid, Build);
    return table;
}

}  // namespace vesk::component_hosting
