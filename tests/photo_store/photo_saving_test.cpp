#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "photo_table.h"

namespace vesk::photo_store::testing {
namespace {

using Events = std::vector<std::string>;

class PhotoSavingTest : public PhotoTableTest {
protected:
    void Describe(const std::string& code, const std::string& description,
                  const std::string& comments, bool isDefault, const Picture& picture) {
        m_store.SetPhotoCode(code);
        m_store.SetPhotoDescription(description);
        m_store.SetPhotoComments(comments);
        m_store.SetDefaultPhoto(isDefault);
        m_store.SetPhoto(picture);
        m_listener.events.clear();
    }

    std::string Column(const std::string& column, const std::string& where) {
        data_access::Recordset rows;
        rows.Open("SELECT " + column + " FROM Photos WHERE " + where, m_connection,
                  data_access::adOpenStatic, data_access::adLockReadOnly);
        return rows.Fields().Item(0L).Value().ToText();
    }

    void Touch(const std::string& name) { std::ofstream(PhotosFolderPath() + "/" + name) << "x"; }
};

TEST_F(PhotoSavingTest, NewRowIsStoredLoadedAndCounted) {
    m_store.Init("E1", "EMP", {}, nullptr, m_connection);
    Describe("E1", "Front", "first day", true, PictureOfSize(40000));
    std::uint32_t handleSaved = m_store.Photo().Handle();
    m_store.SavePhotoDetails(true);
    EXPECT_NE(m_store.Photo().Handle(), handleSaved)
        << "the stored row is loaded as a picture of its own";
    EXPECT_EQ(m_listener.events, (Events{"RecordPosition(1,1)", "IsLastRecord(1)"}));
    EXPECT_EQ(CountRows("PhotoCode = 'E1' AND PhotoComments = 'first day' AND DefaultPhoto = 1"),
              1);
    EXPECT_EQ(m_store.Photo().ToBytes(), PictureOfSize(40000).ToBytes());
}

TEST_F(PhotoSavingTest, PicturesSurviveTheChunkedTransferUnchanged) {
    m_store.Init("E1", "EMP", {}, nullptr, m_connection);
    for (std::size_t size : {std::size_t{16384}, std::size_t{16385}, std::size_t{40000}}) {
        Describe("E1", "Size " + std::to_string(size), {}, false, PictureOfSize(size));
        m_store.SavePhotoDetails(true);
        EXPECT_EQ(Column("length(Photo)", "PhotoDescription = 'Size " + std::to_string(size) + "'"),
                  std::to_string(size));
        m_store.FirstRecord();
        m_store.LastRecord();
        EXPECT_EQ(m_store.Photo().ToBytes(), PictureOfSize(size).ToBytes()) << size;
    }
}

TEST_F(PhotoSavingTest, EmptyMembersAreWrittenAsDashes) {
    m_store.Init("", "EMP", {}, nullptr, m_connection);
    m_store.SetPhotosGroup("");
    m_store.SavePhotoDetails(true);
    EXPECT_EQ(CountRows("PhotoCode = '-' AND PhotoDescription = '-' AND PhotoGroup = '-' AND "
                        "PhotoComments = '-' AND Photo IS NULL"),
              1);
}

TEST_F(PhotoSavingTest, SavingOverReplacesTheRowAndReloadsNothing) {
    AddRow("E1", "Front", "EMP", false, PictureOfSize(2000).ToBytes());
    AddRow("E1", "Side", "EMP");
    m_connection->Execute(
        "CREATE UNIQUE INDEX OnePhoto ON Photos (PhotoCode, PhotoDescription, PhotoGroup)");
    m_store.Init("E1", "EMP", {}, nullptr, m_connection);
    m_store.FirstRecord();
    m_store.SetPhotoComments("retaken");
    m_listener.events.clear();
    m_store.SavePhotoDetails(false);
    EXPECT_EQ(m_listener.events, Events{});
    EXPECT_EQ(CountRows("PhotoCode = 'E1'"), 2);
    EXPECT_EQ(Column("PhotoComments", "PhotoDescription = 'Front'"), "retaken");
    EXPECT_EQ(Column("length(Photo)", "PhotoDescription = 'Front'"), "2000");
    EXPECT_EQ(m_store.m_rsPhotoDetails->RecordCount(), 2);
}

TEST_F(PhotoSavingTest, FailedReplacementKeepsTheOldRow) {
    AddRow("E1", "Front", "EMP", false, PictureOfSize(2000).ToBytes());
    m_connection->Execute(
        "CREATE TRIGGER NoBadComments BEFORE INSERT ON Photos WHEN NEW.PhotoComments = 'bad' "
        "BEGIN SELECT RAISE(ABORT, 'comments refused'); END");
    m_store.Init("E1", "EMP", {}, nullptr, m_connection);
    m_store.FirstRecord();
    m_store.SetPhotoComments("bad");
    m_listener.events.clear();
    m_store.SavePhotoDetails(false);
    ASSERT_EQ(m_listener.Named("ErrorDescrption").size(), 1u);
    EXPECT_NE(m_listener.events[0].find("comments refused"), std::string::npos);
    EXPECT_EQ(Column("PhotoComments", "PhotoDescription = 'Front'"), "about Front");
    EXPECT_EQ(Column("length(Photo)", "PhotoDescription = 'Front'"), "2000");
    EXPECT_EQ(m_store.m_rsPhotoDetails->RecordCount(), 1);
}

TEST_F(PhotoSavingTest, UnwritablePictureColumnIsReportedAndKeepsTheOldRow) {
    AddRow("E1", "Front", "EMP", false, PictureOfSize(2000).ToBytes());
    m_store.Init("E1", "EMP", {}, nullptr, m_connection);
    m_store.FirstRecord();
    m_store.OwnerPhotoField = "NoSuchColumn";
    m_store.SetPhoto(PictureOfSize(3000));
    m_store.SetPhotoComments("new picture");
    m_listener.events.clear();
    m_store.SavePhotoDetails(false);
    EXPECT_EQ(m_listener.Named("ErrorDescrption").size(), 1u);
    EXPECT_EQ(Column("PhotoComments || length(Photo)", "PhotoCode = 'E1'"), "about Front2000");
}

TEST_F(PhotoSavingTest, FileStorageWritesTheFileAndLeavesTheColumnNull) {
    UseFileStorage();
    m_store.Init("E1", "EMP", {}, nullptr, m_connection);
    Describe("E1", "Front", {}, false, PictureOfSize(5000));
    m_store.SavePhotoDetails(true);
    EXPECT_EQ(Picture::Load(PhotosFolderPath() + "/E1_Front_EMP.vpc").ToBytes(),
              PictureOfSize(5000).ToBytes());
    EXPECT_EQ(CountRows("PhotoDescription = 'Front' AND Photo IS NULL"), 1);

    Describe("E1", "Blank", {}, false, Picture());
    m_store.SavePhotoDetails(true);
    EXPECT_FALSE(std::filesystem::exists(PhotosFolderPath() + "/E1_Blank_EMP.vpc"));
    EXPECT_EQ(CountRows("PhotoDescription = 'Blank' AND Photo IS NULL"), 1);
    EXPECT_EQ(m_listener.Named("ErrorDescrption"), Events{});
}

TEST_F(PhotoSavingTest, UnwritablePhotoFolderIsReported) {
    m_store.SaveAsFile = true;
    m_store.PhotosFolder = m_folder.Write("not-a-folder", "x") + "/photos";
    m_store.Init("E1", "EMP", {}, nullptr, m_connection);
    Describe("E1", "Front", {}, false, PictureOfSize(5000));
    m_store.SavePhotoDetails(true);
    ASSERT_EQ(m_listener.Named("ErrorDescrption").size(), 1u);
    EXPECT_NE(m_listener.events[0].find("could not be written"), std::string::npos);
}

TEST_F(PhotoSavingTest, FileNamesStayInsideThePhotoFolder) {
    UseFileStorage();
    m_store.Init("E1", "EMP", {}, nullptr, m_connection);
    Describe("E1", "../escape", {}, false, PictureOfSize(3000));
    m_store.SavePhotoDetails(true);
    Describe("E1", "a/b", {}, false, PictureOfSize(4000));
    m_store.SavePhotoDetails(true);
    EXPECT_TRUE(std::filesystem::exists(PhotosFolderPath() + "/E1_..%2Fescape_EMP.vpc"));
    EXPECT_TRUE(std::filesystem::exists(PhotosFolderPath() + "/E1_a%2Fb_EMP.vpc"));
    EXPECT_FALSE(std::filesystem::exists(m_folder.Path("escape_EMP.vpc")));
    m_store.SearchForRecord({}, "../escape");
    EXPECT_EQ(m_store.Photo().ToBytes(), PictureOfSize(3000).ToBytes());
}

TEST_F(PhotoSavingTest, DeleteRecordRemovesTheRowAndOnlyItsFiles) {
    UseFileStorage();
    AddRow("E1", "a*", "EMP");
    AddRow("E1", "abc", "EMP");
    AddRow("E1", "Side", "EMP");
    for (const char* name :
         {"E1_a*_EMP.vpc", "E1_a*_EMP.bmp", "E1_abc_EMP.vpc", "E1_Side_EMP.vpc"}) {
        Touch(name);
    }
    m_store.Init("E1", "EMP", {}, nullptr, m_connection);
    m_store.FirstRecord();
    ASSERT_EQ(m_store.PhotoDescription(), "a*");
    m_listener.events.clear();
    m_store.DeleteRecord();
    EXPECT_EQ(m_listener.events, Events{});
    EXPECT_EQ(CountRows("PhotoCode = 'E1'"), 2);
    EXPECT_FALSE(std::filesystem::exists(PhotosFolderPath() + "/E1_a*_EMP.vpc"));
    EXPECT_FALSE(std::filesystem::exists(PhotosFolderPath() + "/E1_a*_EMP.bmp"));
    EXPECT_TRUE(std::filesystem::exists(PhotosFolderPath() + "/E1_abc_EMP.vpc"));
    EXPECT_TRUE(std::filesystem::exists(PhotosFolderPath() + "/E1_Side_EMP.vpc"));
    EXPECT_EQ(m_store.RecordPositionCounter(), 2);
    EXPECT_EQ(m_store.TotalRecordsCounter(), 2);
    EXPECT_EQ(m_store.Photo().Handle(), 0u);
    EXPECT_EQ(m_store.m_rsPhotoDetails->Fields()["PhotoDescription"].Value().ToText(), "Side");
}

TEST_F(PhotoSavingTest, DeleteRecordAtAnEndDeletesNothingButMovesToTheLastRow) {
    AddRow("E1", "Front", "EMP");
    AddRow("E1", "Side", "EMP");
    m_store.Init("E1", "EMP", {}, nullptr, m_connection);
    m_store.m_rsPhotoDetails->MoveNext();  // Init stands on the last row; now at the end
    m_store.DeleteRecord();
    EXPECT_EQ(CountRows(), 2);
    EXPECT_FALSE(m_store.m_rsPhotoDetails->IsEOF());
    m_store.Init("NOBODY", "EMP", {}, nullptr, m_connection);
    m_store.DeleteRecord();
    EXPECT_EQ(m_listener.events, Events{});
}

TEST_F(PhotoSavingTest, DeletePhotosUsesTheOwnerNameAsGroup) {
    AddRow("E1", "Front", "Employees");
    AddRow("E1", "Front", "EMP");
    m_store.Init("E1", "EMP", "Employees", nullptr, m_connection);
    m_store.DeletePhotos();
    EXPECT_EQ(CountRows("PhotoGroup = 'Employees'"), 0);
    EXPECT_EQ(CountRows("PhotoGroup = 'EMP'"), 1);
}

TEST_F(PhotoSavingTest, UnSetDefaultPhotoClearsTheOwnersMarksInTheGroup) {
    AddRow("O'Hara", "Front", "EMP", true);
    AddRow("O'Hara", "Side", "EMP", true);
    AddRow("O'Hara", "Front", "DEP", true);
    m_store.Init("O'Hara", "EMP", {}, nullptr, m_connection);
    m_store.UnSetDefaultPhoto("O'Hara", "Front");
    EXPECT_EQ(CountRows("DefaultPhoto = 1"), 1);
    EXPECT_NO_THROW(m_store.UnSetDefaultPhoto("NOBODY", ""));
    m_store.OwnerDefaultPhotoField = "Missing";
    EXPECT_THROW(m_store.UnSetDefaultPhoto("O'Hara", ""), std::exception);
}

TEST_F(PhotoSavingTest, ExistenceChecksIgnoreCaseAndClearTheirFilter) {
    AddRow("E1", "Front", "EMP");
    AddRow("E1", "It's me", "EMP");
    CPicture unopened;
    RecordingListener quiet;
    unopened.Advise(&quiet);
    unopened.CheckIfCodeExists("E1");
    EXPECT_EQ(quiet.events, Events{});

    m_store.Init("E1", "EMP", {}, nullptr, m_connection);
    m_store.CheckIfDescriptionExists("FRONT");
    m_store.CheckIfDescriptionExists("it's ME");
    m_store.CheckIfDescriptionExists("Back");
    m_store.CheckIfCodeExists("e1");
    EXPECT_EQ(m_listener.events, (Events{"DescriptionExists(1)", "DescriptionExists(1)",
                                         "DescriptionExists(0)", "CodeExists(1)"}));
    EXPECT_EQ(m_store.m_rsPhotoDetails->RecordCount(), 2);
    m_store.OwnerDescField = "Missing";
    m_store.CheckIfDescriptionExists("x");
    EXPECT_EQ(m_listener.Named("ErrorDescrption").size(), 1u);
}

}  // namespace
}  // namespace vesk::photo_store::testing
