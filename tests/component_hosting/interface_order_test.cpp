// The type descriptions the libraries hand a host: the slot order hosts bind to, dispatch
// identifiers, events, and the identifiers that keep the two database utilities builds apart.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "hosting_fixture.h"
#include "vesk/component_hosting/component_library.h"

namespace vesk::component_hosting::testing {
namespace {

const TypeLibraryDescription& Library(const std::string& path) {
    return ComponentLibrary::Load(path).Description();
}

const ClassDescription& OnlyClass(const std::string& path) {
    const TypeLibraryDescription& library = Library(path);
    EXPECT_EQ(library.classCount, 1u);
    return library.classes[0];
}

// "get Name", "put Name", "putref Name" or "Name()" for each slot, in slot order.
std::vector<std::string> Slots(const InterfaceDescription& description) {
    std::vector<std::string> slots;
    for (std::uint32_t member_idx = 0; member_idx < description.memberCount; ++member_idx) {
        const MemberDescription& member = description.members[member_idx];
        const std::string name = member.name;
        switch (member.kind) {
            case INVOKE_PROPERTYGET:
                slots.push_back("get " + name);
                break;
            case INVOKE_PROPERTYPUT:
                slots.push_back("put " + name);
                break;
            case INVOKE_PROPERTYPUTREF:
                slots.push_back("putref " + name);
                break;
            default:
                slots.push_back(name + "()");
                break;
        }
    }
    return slots;
}

// The member names in the order they first appear, each with its dispatch identifier; fails
// when one name has two identifiers.
std::vector<std::pair<std::string, DISPID>> Identifiers(const InterfaceDescription& description) {
    std::vector<std::pair<std::string, DISPID>> ids;
    std::map<std::string, DISPID> seen;
    for (std::uint32_t member_idx = 0; member_idx < description.memberCount; ++member_idx) {
        const MemberDescription& member = description.members[member_idx];
        auto [place, added] = seen.emplace(member.name, member.id);
        EXPECT_EQ(place->second, member.id) << member.name;
        if (added) {
            ids.emplace_back(member.name, member.id);
        }
    }
    return ids;
}

const MemberDescription& Member(const InterfaceDescription& description, const std::string& name) {
    for (std::uint32_t member_idx = 0; member_idx < description.memberCount; ++member_idx) {
        if (description.members[member_idx].name == name) {
            return description.members[member_idx];
        }
    }
    throw std::runtime_error("no member " + name);
}

std::vector<std::string> GetPut(const std::vector<std::string>& names) {
    std::vector<std::string> slots;
    for (const std::string& name : names) {
        slots.insert(slots.end(), {"get " + name, "put " + name});
    }
    return slots;
}

std::vector<std::string> PutGet(const std::vector<std::string>& names) {
    std::vector<std::string> slots;
    for (const std::string& name : names) {
        slots.insert(slots.end(), {"put " + name, "get " + name});
    }
    return slots;
}

std::vector<std::string> Join(const std::vector<std::vector<std::string>>& pieces) {
    std::vector<std::string> joined;
    for (const auto& piece : pieces) {
        joined.insert(joined.end(), piece.begin(), piece.end());
    }
    return joined;
}

TEST(InterfaceOrder, PictureInterfaceFollowsItsSlotOrder) {
    const std::vector<std::string> expected = Join({
        GetPut({"PhotosMaxSize", "TableName", "OwnerIDField", "OwnerDescField", "OwnerGroupField",
                "OwnerCommentsField", "OwnerDefaultPhotoField", "OwnerPhotoField", "BackColor"}),
        {"get OwnerPhoto", "putref OwnerPhoto", "get m_rsPhotoDetails", "putref m_rsPhotoDetails"},
        PutGet({"PhotosOwnerName"}),
        {"DeletePhotos()", "putref Photo", "get Photo", "put MaxCommentsLength", "put DefaultPhoto",
         "get MaxCommentsLength", "get DefaultPhoto", "UnSetDefaultPhoto()"},
        PutGet({"MaxQualifierLength", "PhotoComments", "PhotosGroup", "MaxDescriptionLength",
                "MaxCodeLength"}),
        {"SavePhotoDetails()"},
        PutGet({"RecordBOF", "RecordEOF", "PhotoCode"}),
        {"DeleteRecord()"},
        PutGet({"PhotoDescription"}),
        {"FirstRecord()", "LoadData()", "SearchForRecord()", "LastRecord()", "NextRecord()",
         "PreviousRecord()", "CheckIfCodeExists()", "CheckIfDescriptionExists()",
         "get DBConnection", "Init()", "ExtractToFiles()", "GetTempPixName()", "CheckPicDiskSize()",
         "VerifyPhotoSize()", "EditPhoto()", "GetPhoto()", "ResizePhoto()"},
        GetPut({"SaveAsFile", "PhotosFolder"}),
        {"ConvertAllToFiles()", "ConvertAllToBlobs()"},
    });
    const ClassDescription& picture = OnlyClass(kPhotoLibrary);
    EXPECT_EQ(std::string(picture.defaultInterface->name), "_CPicture");
    EXPECT_EQ(Slots(*picture.defaultInterface), expected);

    // Identifiers count up from 1 in the order names first appear.
    const auto ids = Identifiers(*picture.defaultInterface);
    for (std::size_t name_idx = 0; name_idx < ids.size(); ++name_idx) {
        EXPECT_EQ(ids[name_idx].second, static_cast<DISPID>(name_idx + 1)) << ids[name_idx].first;
    }
}

TEST(InterfaceOrder, PictureArgumentsCarryTheirFlags) {
    const InterfaceDescription& picture = *OnlyClass(kPhotoLibrary).defaultInterface;
    const MemberDescription& init = Member(picture, "Init");
    ASSERT_EQ(init.parameterCount, 5u);
    EXPECT_EQ(std::string(init.parameters[2].name), "strQulifierName");
    EXPECT_EQ(init.parameters[0].type, VT_BSTR | VT_BYREF);
    EXPECT_EQ(init.parameters[0].flags, PARAMFLAG_NONE);
    EXPECT_EQ(init.parameters[4].flags, PARAMFLAG_FOPT);
    EXPECT_EQ(std::string(init.parameters[4].typeName), "Connection");

    const MemberDescription& search = Member(picture, "SearchForRecord");
    EXPECT_EQ(search.parameters[0].type, VT_BSTR);  // sCode goes by value
    EXPECT_EQ(search.parameters[1].type, VT_BSTR | VT_BYREF);

    const MemberDescription& size = Member(picture, "CheckPicDiskSize");
    EXPECT_EQ(size.resultType, VT_BSTR);
    EXPECT_EQ(size.parameters[1].type, VT_R8 | VT_BYREF);
    EXPECT_EQ(Member(picture, "ConvertAllToFiles").resultType, VT_BOOL);
    EXPECT_EQ(std::string(Member(picture, "GetPhoto").resultTypeName), "Picture");
}

TEST(InterfaceOrder, PictureEventsAreNumberedOneToEleven) {
    const InterfaceDescription& events = *OnlyClass(kPhotoLibrary).eventInterface;
    EXPECT_EQ(std::string(events.name), "__CPicture");
    const std::vector<std::pair<std::string, DISPID>> expected = {
        {"DataValidated", 1},     {"RecordPosition", 2},     {"IsFirstRecord", 3},
        {"IsLastRecord", 4},      {"CodeExists", 5},         {"DescriptionExists", 6},
        {"RecordExists", 7},      {"TableError", 8},         {"ErrorDescrption", 9},
        {"ErrorSavingPhoto", 10}, {"ConversionProgress", 11}};
    EXPECT_EQ(Identifiers(events), expected);
    const MemberDescription& position = Member(events, "RecordPosition");
    EXPECT_EQ(position.parameters[0].type, VT_I4 | VT_BYREF);
}

const std::vector<std::string> kUtilitiesOperations = {
    "MainFileConnection", "TemplatePWD",   "DBType",          "TempFolderPath", "TemplateFilePath",
    "CreateDatabase",     "FixFields",     "CompactDatabase", "RepairDatabase", "DoCleanUp",
    "CopyDataFromDBtoDB", "CopyLargeField"};

std::vector<std::string> Names(const InterfaceDescription& description) {
    std::vector<std::string> names;
    for (const auto& [name, id] : Identifiers(description)) {
        names.push_back(name);
    }
    return names;
}

TEST(InterfaceOrder, CurrentUtilitiesPutOperationCancelledFirst) {
    const InterfaceDescription& utilities = *OnlyClass(kPayLibrary).defaultInterface;
    std::vector<std::string> expected = {"OperationCancelled"};
    expected.insert(expected.end(), kUtilitiesOperations.begin(), kUtilitiesOperations.end());
    EXPECT_EQ(Names(utilities), expected);
    EXPECT_EQ(Slots(utilities)[0], "get OperationCancelled");
    EXPECT_EQ(Slots(utilities)[3], "putref MainFileConnection");
    EXPECT_EQ(Slots(utilities)[8], "put TempFolderPath");  // put before get
    EXPECT_EQ(Member(utilities, "CompactDatabase").parameterCount, 3u);
}

TEST(InterfaceOrder, LegacyUtilitiesPutOperationCancelledLastAndCompactWithoutPassword) {
    const InterfaceDescription& utilities = *OnlyClass(kLegacyLibrary).defaultInterface;
    std::vector<std::string> expected = kUtilitiesOperations;
    expected.push_back("OperationCancelled");
    EXPECT_EQ(Names(utilities), expected);
    const std::vector<std::string> slots = Slots(utilities);
    EXPECT_EQ(slots.back(), "put OperationCancelled");
    const MemberDescription& compact = Member(utilities, "CompactDatabase");
    ASSERT_EQ(compact.parameterCount, 2u);
    EXPECT_EQ(std::string(compact.parameters[1].name), "TempFolder");
    EXPECT_EQ(Member(utilities, "OperationCancelled").id, 13);
}

TEST(InterfaceOrder, BothUtilitiesBuildsNumberTheirEventsOneToFour) {
    for (const std::string& path : {kPayLibrary, kLegacyLibrary}) {
        const InterfaceDescription& events = *OnlyClass(path).eventInterface;
        const std::vector<std::pair<std::string, DISPID>> expected = {
            {"ProcessDone", 1}, {"Progress", 2}, {"ProgressUpsize", 3}, {"DatabaseCreated", 4}};
        EXPECT_EQ(Identifiers(events), expected) << path;
        EXPECT_EQ(Member(events, "Progress").parameters[4].type, VT_I2 | VT_BYREF);
    }
}

TEST(InterfaceOrder, LibrariesCarryTheirNamesVersionsAndOwnIdentifiers) {
    const TypeLibraryDescription& photos = Library(kPhotoLibrary);
    const TypeLibraryDescription& pay = Library(kPayLibrary);
    const TypeLibraryDescription& legacy = Library(kLegacyLibrary);
    EXPECT_EQ(std::string(photos.name) + " " + std::to_string(photos.majorVersion) + "." +
                  std::to_string(photos.minorVersion),
              "VeskPhotos 1.1");
    EXPECT_EQ(std::string(pay.description), "Vesk Payroll Database Utilities");
    EXPECT_EQ(pay.majorVersion * 10 + pay.minorVersion, 10);
    EXPECT_EQ(std::string(legacy.description), "Vesk Database Utilities");
    EXPECT_EQ(legacy.majorVersion * 10 + legacy.minorVersion, 21);
    EXPECT_NE(photos.classes[0].flags & CLASSFLAG_APPOBJECT, 0u);
    EXPECT_EQ(pay.classes[0].flags & CLASSFLAG_APPOBJECT, 0u);

    std::set<std::string> ids;
    for (const TypeLibraryDescription* library : {&photos, &pay, &legacy}) {
        const ClassDescription& described = library->classes[0];
        for (const Guid& id : {library->libraryId, described.clsid, described.defaultInterface->iid,
                               described.eventInterface->iid}) {
            EXPECT_TRUE(ids.insert(ToString(id)).second) << ToString(id);
        }
    }
}

}  // namespace
}  // namespace vesk::component_hosting::testing
