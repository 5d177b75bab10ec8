#include "picture_object.h"

namespace vesk::component_hosting {

namespace {

constexpr IID kPictureIid{
    0x321A7EC7, 0x4D35, 0x4F50, {0xA0, 0xAB, 0x1F, 0xFA, 0xA6, 0x5D, 0x63, 0xEE}};

using Table = DispatchTable<PictureObject>;

// A read-only 32-bit property of the picture.
Table::Handler Measure(std::int32_t (*measure)(const picture::Picture&)) {
    return [measure](PictureObject& self, Call& call) { call.Return(measure(self.Target())); };
}

void Build(Table& table) {
    table
        .Get("Handle", kLong, Measure([](const picture::Picture& picture) {
                 return static_cast<std::int32_t>(picture.Handle());
             }))
        .Get("Width", kLong, Measure([](const picture::Picture& picture) {
                 return static_cast<std::int32_t>(picture.WidthHimetric());
             }))
        .Get("Height", kLong, Measure([](const picture::Picture& picture) {
                 return static_cast<std::int32_t>(picture.HeightHimetric());
             }))
        .Get("Type", kInteger,
             [](PictureObject& self, Call& call) {
                 call.Return(static_cast<std::int16_t>(self.Target().Kind()));
             })
        .Method("Save", kVoid, {{"Path", kText}},
                [](PictureObject& self, Call& call) { self.Target().Save(call.Text(0)); });
}

}  // namespace

const DispatchTable<PictureObject>& PictureObject::Table() {
    static const DispatchTable<PictureObject> table("Picture", kPictureIid, Build);
    return table;
}

}  // namespace vesk::component_hosting
