// The photo store driven by a late-binding host: names, by-reference arguments, objects and
// events, on a real photo table.
#include <gtest/gtest.h>

#include "dispatch_object.h"
#include "dispatch_table.h"
#include "hosting_fixture.h"
#include "picture_files.h"

namespace vesk::component_hosting::testing {
namespace {

// An image control of the host, with the properties CPicture::ResizePhoto uses.
class FakeImageControl final : public DispatchObject<FakeImageControl> {
public:
    struct State {
        bool Visible = true;
        bool Stretch = true;
        double Width = 0;
        double Height = 0;
        double Left = 0;
        double Top = 0;
        std::int32_t BorderStyle = 1;
    };

    static const DispatchTable<FakeImageControl>& Table() {
        static const DispatchTable<FakeImageControl> table(
            "ImageControl", Guid{}, [](DispatchTable<FakeImageControl>& built) {
                built.GetPutMember("Visible", &State::Visible)
                    .GetPutMember("Stretch", &State::Stretch)
                    .GetPutMember("Width", &State::Width)
                    .GetPutMember("Height", &State::Height)
                    .GetPutMember("Left", &State::Left)
                    .GetPutMember("Top", &State::Top)
                    .GetPutMember("BorderStyle", &State::BorderStyle);
            });
        return table;
    }
    State& Target() { return state; }

    State state;
};

// The photo table's column-name properties and the columns they name.
const std::pair<const char*, const char*> kColumns[] = {{"OwnerIDField", "PhotoCode"},
                                                        {"OwnerDescField", "PhotoDescription"},
                                                        {"OwnerGroupField", "PhotoGroup"},
                                                        {"OwnerCommentsField", "PhotoComments"},
                                                        {"OwnerDefaultPhotoField", "DefaultPhoto"},
                                                        {"OwnerPhotoField", "Photo"}};

class PhotoBinding : public HostingTest {
protected:
    void SetUp() override {
        HostingTest::SetUp();
        m_connection = MakeDatabase(
            "pay.mdb", "pw",
            {"CREATE TABLE Photos (PhotoCode Text (50), PhotoDescription Text (100), PhotoGroup "
             "Text (50), PhotoComments Memo, DefaultPhoto YESNO, Photo LONGBINARY)"});
        m_photos = CreateObject(kPhotoClass);
        m_photos.Put("TableName", "Photos");
        for (const auto& [property, column] : kColumns) {
            m_photos.Put(property, column);
        }
    }

    // A picture file: an enhanced metafile of width x height HIMETRIC, `bytes` long.
    std::string PictureFile(const std::string& name, int width, int height, std::size_t bytes) {
        return m_folder.Write(name, test::Emf(width, height, bytes));
    }

    // Stores a photo of `code` through the object, as the editor does.
    void AddPhoto(const std::string& code, const std::string& description,
                  const std::string& picturePath) {
        m_photos.Call("Init", {code, "EMP", Variant::Missing(), Variant::Missing(), m_connection});
        m_photos.Put("PhotoDescription", description);
        m_photos.PutRef("Photo", picturePath);
        m_photos.Call("SavePhotoDetails", {true});
    }

    std::string m_connection;
    LateBoundObject m_photos;
};

TEST_F(PhotoBinding, StoresAndReadsBackAPhotoByName) {
    AddPhoto("EMP001", "Portrait", PictureFile("portrait.emf", 2000, 1000, 600));
    EXPECT_EQ(Count(m_connection,
                    "SELECT count(*) FROM Photos WHERE PhotoCode='EMP001' AND "
                    "PhotoDescription='Portrait' AND PhotoGroup='EMP'"),
              1);

    LateBoundObject fresh = CreateObject(kPhotoClass);
    fresh.Put("tablename", "Photos");  // names ignore letter case
    for (const auto& [property, column] : kColumns) {
        fresh.Put(property, m_photos.Get(property));
    }
    LateBoundObject photo(fresh.Call("GetPhoto", {"EMP", "EMP001", m_connection}));
    EXPECT_NE(photo.Get("Handle").ToInt32(), 0);
    EXPECT_EQ(photo.Get("Width").ToInt32(), 2000);
    EXPECT_EQ(photo.Get("Height").ToInt32(), 1000);
    EXPECT_EQ(photo.Get("Type").ToInt32(), 4);
    EXPECT_EQ(fresh.Get("PhotoDescription").ToText(), "Portrait");

    // The record set and connection the object holds, as objects of the library.
    LateBoundObject rows(fresh.Get("m_rsPhotoDetails"));
    EXPECT_EQ(rows.Get("RecordCount").ToInt32(), 1);
    LateBoundObject connection(fresh.Get("DBConnection"));
    EXPECT_EQ(connection.Get("ConnectionString").ToText(), m_connection);
    // A new object reads an empty picture, never no object.
    EXPECT_EQ(LateBoundObject(CreateObject(kPhotoClass).Get("Photo")).Get("Handle").ToInt32(), 0);
}

TEST_F(PhotoBinding, ByReferenceArgumentsAreWrittenBack) {
    const std::string picture = PictureFile("big.emf", 1000, 1000, 3072);
    Variant size(0.0);
    EXPECT_EQ(m_photos.Call("CheckPicDiskSize", {picture, Variant::Ref(size)}).ToText(), "3.00 KB");
    EXPECT_EQ(size.ToDouble(), 3072);

    m_photos.Put("PhotosMaxSize", 2.0);
    m_photos.Call("Init", {"EMP001", "EMP", Variant::Missing(), Variant::Missing(), m_connection});
    Variant over(false);
    EXPECT_EQ(m_photos.Call("VerifyPhotoSize", {picture, Variant::Ref(over)}).ToText(), "3");
    EXPECT_EQ(over.Raw().boolVal, VARIANT_TRUE);
    // Left out, the flag is simply not written.
    EXPECT_EQ(m_photos.Call("VerifyPhotoSize", {picture}).ToText(), "3");
}

TEST_F(PhotoBinding, RecordPositionSinkChangesThePositionCounter) {
    for (const char* description : {"One", "Two", "Three"}) {
        AddPhoto("EMP001", description, PictureFile("p.emf", 100, 100, 200));
    }
    m_photos.Call("Init", {"EMP001", "EMP", Variant::Missing(), Variant::Missing(), m_connection});
    EventRecorder recorder;
    bool moved = false;
    recorder.answer = [&moved](const std::string& event, const ArgumentList& arguments) {
        if (event == "RecordPosition" && !moved) {
            moved = true;
            ASSERT_EQ(arguments.Set(0, Variant(std::int32_t{2}).Raw()), S_OK);
        }
    };
    EventConnection connection = m_photos.Advise(recorder.Handler());
    m_photos.Call("FirstRecord");
    m_photos.Call("NextRecord");  // counts on from the 2 the sink wrote
    EXPECT_EQ(recorder.Named("RecordPosition"),
              (std::vector<std::string>{"RecordPosition(1,3)", "RecordPosition(3,3)"}));
    EXPECT_EQ(recorder.Named("IsFirstRecord"), std::vector<std::string>{"IsFirstRecord(True)"});

    // The sink's value for IsLastRecord is stored in RecordEOF.
    recorder.answer = [](const std::string& event, const ArgumentList& arguments) {
        if (event == "IsLastRecord") {
            arguments.Set(0, Variant(false).Raw());
        }
    };
    m_photos.Call("LastRecord");
    EXPECT_FALSE(m_photos.Get("RecordEOF").ToBool());
    connection.Disconnect();
    m_photos.Call("FirstRecord");
    EXPECT_EQ(recorder.Named("RecordPosition").size(), 3u);  // no more after Unadvise
}

TEST_F(PhotoBinding, NoticesArriveAsEvents) {
    EventRecorder recorder;
    EventConnection connection = m_photos.Advise(recorder.Handler());
    m_photos.Put("PhotoCode", "EMP001");
    m_photos.Put("TableName", "Missing");
    m_photos.Call("Init", {"EMP001", "EMP", Variant::Missing(), Variant::Missing(), m_connection});
    ASSERT_EQ(recorder.events.size(), 2u);
    EXPECT_EQ(recorder.events[0], "DataValidated(False,)");
    EXPECT_TRUE(recorder.events[1].starts_with("TableError(")) << recorder.events[1];
}

TEST_F(PhotoBinding, ResizePhotoWorksOnTheHostsImageControl) {
    ComPtr<IDispatch> control = FakeImageControl::Make();
    auto& state = static_cast<FakeImageControl*>(control.Get())->state;
    state.Width = 4000;
    state.Height = 2000;
    m_photos.Call("ResizePhoto", {control, 2050.0, 2050.0});
    EXPECT_EQ(state.Width, 2000);
    EXPECT_EQ(state.Height, 1000);
    EXPECT_EQ(state.Left, 0);
    EXPECT_EQ(state.Top, 500);
    EXPECT_TRUE(state.Stretch);
    EXPECT_TRUE(state.Visible);
    EXPECT_EQ(state.BorderStyle, 0);
}

}  // namespace
}  // namespace vesk::component_hosting::testing
