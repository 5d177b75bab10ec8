// The dispatch interface _CPicture and the event interface __CPicture: every operation of
// CPicture in the order hosts bind to (slot order), a property's get and put sharing one
// dispatch identifier.
#include "c_picture_object.h"
#include "image_control_adapter.h"
#include "object_arguments.h"
#include "photo_ids.h"

namespace vesk::component_hosting {

namespace {

using photo_store::CPicture;
using Table = DispatchTable<CPictureObject>;

// A method of CPicture without arguments or result.
Table::Handler Run(void (CPicture::*operation)()) {
    return [operation](CPictureObject& self, Call&) { (self.Target().*operation)(); };
}

// The public data members, then the object members and the first operations.
void AddMembers(Table& table) {
    table.GetPutMember("PhotosMaxSize", &CPicture::PhotosMaxSize)
        .GetPutMember("TableName", &CPicture::TableName)
        .GetPutMember("OwnerIDField", &CPicture::OwnerIDField)
        .GetPutMember("OwnerDescField", &CPicture::OwnerDescField)
        .GetPutMember("OwnerGroupField", &CPicture::OwnerGroupField)
        .GetPutMember("OwnerCommentsField", &CPicture::OwnerCommentsField)
        .GetPutMember("OwnerDefaultPhotoField", &CPicture::OwnerDefaultPhotoField)
        .GetPutMember("OwnerPhotoField", &CPicture::OwnerPhotoField)
        .GetPutMember("BackColor", &CPicture::BackColor)
        .Get("OwnerPhoto", kPicture,
             [](CPictureObject& self, Call& call) {
                 call.Return(PictureResult(self.Target().OwnerPhoto));
             })
        .PutRef("OwnerPhoto", kPicture,
                [](CPictureObject& self, Call& call) {
                    self.Target().OwnerPhoto = PictureArgument(call, 0);
                })
        .Get("m_rsPhotoDetails", kRecordset,
             [](CPictureObject& self, Call& call) {
                 call.Return(RecordsetResult(self.Target().m_rsPhotoDetails));
             })
        .PutRef("m_rsPhotoDetails", kRecordset,
                [](CPictureObject& self, Call& call) {
                    self.Target().m_rsPhotoDetails = RecordsetArgument(call, 0);
                })
        .PutGetAccessors("PhotosOwnerName", &CPicture::SetPhotosOwnerName,
                         &CPicture::PhotosOwnerName)
        .Method("DeletePhotos", kVoid, {}, Run(&CPicture::DeletePhotos));
}

// From Photo to DeleteRecord.
void AddRecordProperties(Table& table) {
    table
        .PutRef("Photo", kPicture,
                [](CPictureObject& self, Call& call) {
                    self.Target().SetPhoto(PictureArgument(call, 0));
                })
        .Get("Photo", kPicture,
             [](CPictureObject& self, Call& call) {
                 call.Return(PictureResult(self.Target().Photo()));
             })
        .PutAccessor("MaxCommentsLength", &CPicture::SetMaxCommentsLength)
        .PutAccessor("DefaultPhoto", &CPicture::SetDefaultPhoto)
        .GetAccessor("MaxCommentsLength", &CPicture::MaxCommentsLength)
        .GetAccessor("DefaultPhoto", &CPicture::DefaultPhoto)
        .Method("UnSetDefaultPhoto", kVoid,
                {{"strCode", kText, ByRef}, {"strDescription", kText, ByRef}},
                [](CPictureObject& self, Call& call) {
                    self.Target().UnSetDefaultPhoto(call.Text(0), call.Text(1));
                })
        .PutGetAccessors("MaxQualifierLength", &CPicture::SetMaxQualifierLength,
                         &CPicture::MaxQualifierLength)
        .PutGetAccessors("PhotoComments", &CPicture::SetPhotoComments, &CPicture::PhotoComments)
        .PutGetAccessors("PhotosGroup", &CPicture::SetPhotosGroup, &CPicture::PhotosGroup)
        .PutGetAccessors("MaxDescriptionLength", &CPicture::SetMaxDescriptionLength,
                         &CPicture::MaxDescriptionLength)
        .PutGetAccessors("MaxCodeLength", &CPicture::SetMaxCodeLength, &CPicture::MaxCodeLength)
        .Method("SavePhotoDetails", kVoid,
                {{"bNewRecord", kBoolean, ByRef | Optional},
                 {"bConverting", kBoolean, ByRef | Optional}},
                [](CPictureObject& self, Call& call) {
                    self.Target().SavePhotoDetails(call.Boolean(0), call.Boolean(1));
                })
        .PutGetAccessors("RecordBOF", &CPicture::SetRecordBOF, &CPicture::RecordBOF)
        .PutGetAccessors("RecordEOF", &CPicture::SetRecordEOF, &CPicture::RecordEOF)
        .PutGetAccessors("PhotoCode", &CPicture::SetPhotoCode, &CPicture::PhotoCode)
        .Method("DeleteRecord", kVoid, {}, Run(&CPicture::DeleteRecord));
}

// From PhotoDescription to DBConnection: loading, navigating and existence checks.
void AddNavigation(Table& table) {
    table
        .PutGetAccessors("PhotoDescription", &CPicture::SetPhotoDescription,
                         &CPicture::PhotoDescription)
        .Method("FirstRecord", kVoid, {}, Run(&CPicture::FirstRecord))
        .Method("LoadData", kVoid,
                {{"bDefaultPhoto", kBoolean, ByRef | Optional},
                 {"bConverting", kBoolean, ByRef | Optional}},
                [](CPictureObject& self, Call& call) {
                    self.Target().LoadData(call.Boolean(0), call.Boolean(1));
                })
        .Method("SearchForRecord", kVoid,
                {{"sCode", kText, ByValue | Optional}, {"sDescription", kText, ByRef | Optional}},
                [](CPictureObject& self, Call& call) {
                    self.Target().SearchForRecord(call.Text(0), call.Text(1));
                })
        .Method("LastRecord", kVoid, {}, Run(&CPicture::LastRecord))
        .Method("NextRecord", kVoid, {}, Run(&CPicture::NextRecord))
        .Method("PreviousRecord", kVoid, {}, Run(&CPicture::PreviousRecord))
        .Method(
            "CheckIfCodeExists", kVoid, {{"vData", kText, ByValue}},
            [](CPictureObject& self, Call& call) { self.Target().CheckIfCodeExists(call.Text(0)); })
        .Method("CheckIfDescriptionExists", kVoid, {{"vData", kText, ByRef}},
                [](CPictureObject& self, Call& call) {
                    self.Target().CheckIfDescriptionExists(call.Text(0));
                })
        .Get("DBConnection", kConnection, [](CPictureObject& self, Call& call) {
            call.Return(ConnectionResult(self.Target().DBConnection()));
        });
}

// Init, files and size checks.
void AddOpeningAndChecks(Table& table) {
    table
        .Method("Init", kVoid,
                {{"strCode", kText, ByRef},
                 {"strQualifier", kText, ByRef},
                 {"strQulifierName", kText, ByRef | Optional},
                 {"rsSource", kRecordset, ByRef | Optional},
                 {"cnn", kConnection, ByRef | Optional}},
                [](CPictureObject& self, Call& call) {
                    self.Target().Init(call.Text(0), call.Text(1), call.Text(2),
                                       RecordsetArgument(call, 3), ConnectionArgument(call, 4));
                })
        .Method("ExtractToFiles", kVoid,
                {{"sTableName", kText, ByValue},
                 {"sQualifier", kText, ByValue},
                 {"sFolderPath", kText, ByRef}},
                [](CPictureObject& self, Call& call) {
                    self.Target().ExtractToFiles(call.Text(0), call.Text(1), call.Text(2));
                })
        .Method(
            "GetTempPixName", kText, {},
            [](CPictureObject& self, Call& call) { call.Return(self.Target().GetTempPixName()); })
        .Method("CheckPicDiskSize", kText,
                {{"Picx", kPicture, ByRef}, {"dSize", kDouble, ByRef | Optional}},
                [](CPictureObject& self, Call& call) {
                    call.Return(self.Target().CheckPicDiskSize(PictureArgument(call, 0),
                                                               call.OptionalDoubleRef(1)));
                })
        .Method("VerifyPhotoSize", kText,
                {{"Picx", kPicture, ByRef}, {"bSizeOver", kBoolean, ByRef | Optional}},
                [](CPictureObject& self, Call& call) {
                    call.Return(self.Target().VerifyPhotoSize(PictureArgument(call, 0),
                                                              call.OptionalBooleanRef(1)));
                });
}

// From EditPhoto to the end.
void AddHostOperations(Table& table) {
    table
        .Method("EditPhoto", kPicture,
                {{"PhotosGroup", kText, ByValue},
                 {"OwnerID", kText, ByValue},
                 {"OwnerDescription", kText, ByValue},
                 {"cnn", kConnection, ByRef}},
                [](CPictureObject& self, Call& call) {
                    call.Return(PictureResult(self.Target().EditPhoto(
                        call.Text(0), call.Text(1), call.Text(2), ConnectionArgument(call, 3))));
                })
        .Method(
            "GetPhoto", kPicture,
            {{"PhotosGroup", kText, ByRef}, {"OwnerID", kText, ByRef}, {"cnn", kConnection, ByRef}},
            [](CPictureObject& self, Call& call) {
                call.Return(PictureResult(self.Target().GetPhoto(call.Text(0), call.Text(1),
                                                                 ConnectionArgument(call, 2))));
            })
        .Method("ResizePhoto", kVoid,
                {{"imgCtrl", kImageControl, ByRef},
                 {"MaxWidth", kDouble, ByRef},
                 {"MaxHeight", kDouble, ByRef}},
                [](CPictureObject& self, Call& call) {
                    IDispatch* control = call.Object(0);
                    if (control == nullptr) {
                        throw ArgumentError{DISP_E_TYPEMISMATCH, 0};
                    }
                    ImageControlAdapter adapter(ComPtr<IDispatch>::Share(control));
                    self.Target().ResizePhoto(adapter, call.Double(1), call.Double(2));
                })
        .GetPutMember("SaveAsFile", &CPicture::SaveAsFile)
        .GetPutMember("PhotosFolder", &CPicture::PhotosFolder)
        .Method("ConvertAllToFiles", kBoolean, {{"cnn", kConnection, ByRef | Optional}},
                [](CPictureObject& self, Call& call) {
                    call.Return(self.Target().ConvertAllToFiles(ConnectionArgument(call, 0)));
                })
        .Method("ConvertAllToBlobs", kBoolean, {{"cnn", kConnection, ByRef | Optional}},
                [](CPictureObject& self, Call& call) {
                    call.Return(self.Target().ConvertAllToBlobs(ConnectionArgument(call, 0)));
                });
}

void Build(Table& table) {
    AddMembers(table);
    AddRecordProperties(table);
    AddNavigation(table);
    AddOpeningAndChecks(table);
    AddHostOperations(table);
}

// __CPicture: identifiers 1 to 11 in this order, every argument by reference.
void AddEvents(InterfaceShape& events) {
    events.AddEvent("DataValidated", {{"bValid", kBoolean}, {"sMsg", kText}});
    events.AddEvent("RecordPosition", {{"lRecordPosition", kLong}, {"lTotalRecords", kLong}});
    events.AddEvent("IsFirstRecord", {{"bIsFirstRecord", kBoolean}});
    events.AddEvent("IsLastRecord", {{"bIsLastRecord", kBoolean}});
    events.AddEvent("CodeExists", {{"bExists", kBoolean}});
    events.AddEvent("DescriptionExists", {{"bExists", kBoolean}});
    events.AddEvent("RecordExists", {{"bExists", kBoolean}});
    events.AddEvent("TableError", {{"sTableError", kText}});
    events.AddEvent("ErrorDescrption", {{"sErrDescrption", kText}});
    events.AddEvent("ErrorSavingPhoto", {{"sErrMsg", kText}});
    events.AddEvent("ConversionProgress", {{"msg", kText}, {"Pos", kLong}, {"TotalRecs", kLong}});
}

}  // namespace

const DispatchTable<CPictureObject>& CPictureObject::Table() {
    static const DispatchTable<CPictureObject> table("_CPicture", photo_ids::kCPictureInterface,
                                                     Build);
    return table;
}

const InterfaceShape& CPictureObject::EventShape() {
    static const InterfaceShape events("__CPicture", photo_ids::kCPictureEvents, AddEvents);
    return events;
}

}  // namespace vesk::component_hosting
