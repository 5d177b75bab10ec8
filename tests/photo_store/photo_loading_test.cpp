#include <gtest/gtest.h>

#include <filesystem>

#include "photo_table.h"
#include "vesk/files/file_system.h"

namespace vesk::photo_store::testing {
namespace {

using Events = std::vector<std::string>;

class PhotoLoadingTest : public PhotoTableTest {
protected:
    // Three rows of owner E1 in group EMP, each with its own picture, plus rows of others.
    void AddThreePhotos() {
        AddRow("E1", "Front", "EMP", false, PictureOfSize(2000, 10).ToBytes());
        AddRow("E1", "Side", "EMP", true, PictureOfSize(3000, 20).ToBytes());
        AddRow("E1", "Back", "EMP", false);
        AddRow("E2", "Front", "EMP", true);
        AddRow("E1", "Front", "DEP", true);
    }
};

TEST_F(PhotoLoadingTest, NavigationTellsPositionsAndEnds) {
    AddThreePhotos();
    m_store.Init("E1", "EMP", {}, nullptr, m_connection);
    m_store.FirstRecord();
    EXPECT_EQ(m_listener.events, (Events{"RecordPosition(1,3)", "IsFirstRecord(1)"}));
    EXPECT_EQ(m_store.PhotoDescription(), "Front");
    EXPECT_TRUE(m_store.RecordBOF());
    EXPECT_FALSE(m_store.RecordEOF());

    m_listener.events.clear();
    m_store.NextRecord();
    m_store.NextRecord();
    EXPECT_EQ(m_store.PhotoDescription(), "Back");
    EXPECT_TRUE(m_store.RecordBOF()) << "a step within the set leaves the ends as they were";
    m_store.NextRecord();  // at the end: reloads the last row
    EXPECT_EQ(m_listener.events, (Events{"RecordPosition(2,3)", "RecordPosition(3,3)",
                                         "IsLastRecord(1)", "RecordPosition(3,3)"}));
    EXPECT_EQ(m_store.PhotoDescription(), "Back");
    EXPECT_TRUE(m_store.RecordEOF());
    EXPECT_FALSE(m_store.RecordBOF());

    m_listener.events.clear();
    m_store.PreviousRecord();
    m_store.PreviousRecord();
    m_store.PreviousRecord();  // at the start: reloads the first row
    EXPECT_EQ(m_listener.events, (Events{"RecordPosition(2,3)", "RecordPosition(1,3)",
                                         "IsFirstRecord(1)", "RecordPosition(1,3)"}));
    EXPECT_EQ(m_store.PhotoDescription(), "Front");

    m_listener.events.clear();
    m_store.LastRecord();
    EXPECT_EQ(m_listener.events, (Events{"RecordPosition(3,3)", "IsLastRecord(1)"}));
    EXPECT_EQ(m_store.PhotoComments(), "about Back");
}

TEST_F(PhotoLoadingTest, ListenersWriteBacksTakeEffect) {
    AddThreePhotos();
    m_store.Init("E1", "EMP", {}, nullptr, m_connection);
    m_listener.onIsFirstRecord = [](bool& isFirst) { isFirst = false; };
    m_listener.onRecordPosition = [](std::int32_t& position, std::int32_t& total) {
        position += 10;
        total = 99;
    };
    m_store.FirstRecord();
    EXPECT_FALSE(m_store.RecordBOF());
    EXPECT_EQ(m_store.RecordPositionCounter(), 11);
    EXPECT_EQ(m_store.TotalRecordsCounter(), 99);
    m_listener.onRecordPosition = nullptr;
    m_store.NextRecord();
    EXPECT_EQ(m_store.RecordPositionCounter(), 12);
}

TEST_F(PhotoLoadingTest, EmptySetFiresNothing) {
    m_store.Init("NOBODY", "EMP", {}, nullptr, m_connection);
    m_store.FirstRecord();
    m_store.LastRecord();
    m_store.NextRecord();
    m_store.PreviousRecord();
    EXPECT_EQ(m_listener.events, Events{});
}

TEST_F(PhotoLoadingTest, NavigationWithoutRowsOpenedIsReported) {
    EXPECT_THROW(m_store.FirstRecord(), std::exception);
    m_store.NextRecord();
    EXPECT_EQ(m_listener.Named("ErrorDescrption").size(), 1u);
}

TEST_F(PhotoLoadingTest, NullPictureNeverShowsThePreviousRowsPicture) {
    AddThreePhotos();
    m_store.Init("E1", "EMP", {}, nullptr, m_connection);
    m_store.LastRecord();
    EXPECT_EQ(m_store.Photo().Handle(), 0u);
    m_store.PreviousRecord();
    EXPECT_EQ(m_store.Photo().ToBytes(), PictureOfSize(3000, 20).ToBytes());
    m_store.NextRecord();
    EXPECT_EQ(m_store.Photo().Handle(), 0u);
}

TEST_F(PhotoLoadingTest, OwnerWithoutRowsGetsOneDashedRow) {
    m_store.Init("E9", "EMP", {}, nullptr, m_connection);
    m_store.SetDefaultPhoto(true);
    m_store.LoadData();
    EXPECT_EQ(CountRows("PhotoCode = 'E9' AND PhotoDescription = '-' AND PhotoComments = '-' AND "
                        "PhotoGroup = 'EMP' AND DefaultPhoto = 1 AND Photo IS NULL"),
              1);
    EXPECT_EQ(m_store.PhotoDescription(), "-");
    EXPECT_EQ(m_listener.Named("RecordPosition"), Events{"RecordPosition(1,1)"});
    // Table storage measures an empty picture by saving it, which the picture service refuses.
    EXPECT_EQ(m_listener.Named("ErrorDescrption").size(), 1u);
}

TEST_F(PhotoLoadingTest, DefaultPhotoIsTheFirstMarkedRowElseTheFirstRow) {
    AddThreePhotos();
    m_store.Init("E1", "EMP", {}, nullptr, m_connection);
    m_store.LoadData(true);
    EXPECT_EQ(m_store.PhotoDescription(), "Side");
    EXPECT_TRUE(m_store.DefaultPhoto());
    m_store.LoadData(true, true);  // converting: no seeking
    EXPECT_EQ(m_store.PhotoDescription(), "Side");

    m_connection->Execute("UPDATE Photos SET DefaultPhoto = 0");
    m_store.Init("E1", "EMP", {}, nullptr, m_connection);
    m_store.LoadData(true);
    EXPECT_EQ(m_store.PhotoDescription(), "Front");
    EXPECT_EQ(m_listener.events, Events{});
}

TEST_F(PhotoLoadingTest, DefaultSeekWithoutMarkColumnReportsEachRowAndEndsOnTheFirst) {
    AddThreePhotos();
    m_store.OwnerDefaultPhotoField = "";
    m_store.Init("E1", "EMP", {}, nullptr, m_connection);
    m_store.LoadData(true);
    EXPECT_EQ(m_listener.Named("ErrorDescrption").size(), 3u);
    EXPECT_EQ(m_store.PhotoDescription(), "Front");
}

TEST_F(PhotoLoadingTest, GetPhotoReturnsTheDefaultRowsPicture) {
    AddThreePhotos();
    EXPECT_EQ(m_store.GetPhoto("EMP", "E1", m_connection).ToBytes(),
              PictureOfSize(3000, 20).ToBytes());
    CPicture fresh;
    fresh.TableName = "Photos";
    fresh.OwnerIDField = "PhotoCode";
    fresh.OwnerDescField = "PhotoDescription";
    fresh.OwnerGroupField = "PhotoGroup";
    fresh.OwnerPhotoField = "Photo";
    EXPECT_EQ(fresh.GetPhoto("EMP", "E7", m_connection).Handle(), 0u);
    EXPECT_EQ(CountRows("PhotoCode = 'E7' AND PhotoDescription = '-'"), 1);
}

TEST_F(PhotoLoadingTest, SearchFindsByCodeDescriptionOrBothIgnoringCase) {
    AddThreePhotos();
    AddRow("E1", "O'Neill's day", "EMP");
    m_store.Init("E1", "EMP", {}, nullptr, m_connection);
    m_store.FirstRecord();
    m_listener.events.clear();

    m_store.SearchForRecord({}, "side");
    EXPECT_EQ(m_store.PhotoDescription(), "Side");
    m_store.SearchForRecord("e1", "BACK");
    EXPECT_EQ(m_store.PhotoDescription(), "Back");
    m_store.SearchForRecord({}, "o'neill's DAY");
    EXPECT_EQ(m_store.PhotoDescription(), "O'Neill's day");
    m_store.SearchForRecord("e1");
    EXPECT_EQ(m_store.PhotoDescription(), "Front");
    m_store.SearchForRecord({}, "Nothing");
    EXPECT_EQ(m_store.PhotoDescription(), "Front") << "nothing found keeps the members";
    m_store.SearchForRecord({}, {});
    EXPECT_EQ(m_listener.events, (Events{"RecordExists(1)", "RecordExists(1)", "RecordExists(1)",
                                         "RecordExists(1)", "RecordExists(0)", "RecordExists(0)"}));
    EXPECT_EQ(m_store.RecordPositionCounter(), 1) << "a search moves no counter";
}

TEST_F(PhotoLoadingTest, FileStorageWritesAColumnHeldPictureToItsFile) {
    AddThreePhotos();
    UseFileStorage();
    m_store.Init("E1", "EMP", {}, nullptr, m_connection);
    m_store.FirstRecord();
    std::string file = PhotosFolderPath() + "/E1_Front_EMP.vpc";
    ASSERT_TRUE(std::filesystem::exists(file));
    EXPECT_EQ(Picture::Load(file).ToBytes(), PictureOfSize(2000, 10).ToBytes());
    EXPECT_EQ(CountRows("PhotoCode = 'E1' AND PhotoDescription = 'Front' AND PhotoGroup = 'EMP' "
                        "AND Photo IS NULL"),
              1)
        << "the row keeps no binary copy once its file is written";
    m_store.NextRecord();
    m_store.PreviousRecord();
    EXPECT_EQ(m_store.Photo().ToBytes(), PictureOfSize(2000, 10).ToBytes())
        << "loaded from the file";
}

TEST_F(PhotoLoadingTest, PictureThatCannotReachItsFileStaysInTheTableAndIsReported) {
    AddThreePhotos();
    m_store.SaveAsFile = true;
    m_store.PhotosFolder = m_folder.Write("not-a-folder", "x") + "/photos";
    m_store.Init("E1", "EMP", {}, nullptr, m_connection);
    m_store.FirstRecord();
    EXPECT_EQ(m_store.Photo().ToBytes(), PictureOfSize(2000, 10).ToBytes());
    ASSERT_EQ(m_listener.Named("ErrorDescrption").size(), 1u);
    EXPECT_NE(m_listener.Named("ErrorDescrption")[0].find("stays in the table"), std::string::npos);
    EXPECT_EQ(
        CountRows("PhotoCode = 'E1' AND PhotoDescription = 'Front' AND PhotoGroup = 'EMP' AND "
                  "length(Photo) = 2000"),
        1);
}

TEST_F(PhotoLoadingTest, ConfiguredFolderGainsItsSlashButIsNotCreatedByLoading) {
    AddThreePhotos();
    m_store.SaveAsFile = true;
    m_store.PhotosFolder = "  " + m_folder.Path("later") + " ";
    m_store.Init("E1", "EMP", {}, nullptr, m_connection);
    m_store.LastRecord();  // the Back row has no picture: nothing to write
    EXPECT_EQ(m_store.PhotosFolder, m_folder.Path("later") + "/");
    EXPECT_FALSE(std::filesystem::exists(m_folder.Path("later")));
}

TEST_F(PhotoLoadingTest, EmptyFolderMeansVskPhotosBesideTheComponent) {
    AddThreePhotos();
    m_store.SaveAsFile = true;
    m_store.Init("E1", "EMP", {}, nullptr, m_connection);
    static const int anchor = 0;
    std::string expected = files::LibraryFolder(&anchor) + "/VskPhotos/";
    bool existed = std::filesystem::exists(expected);
    m_store.LastRecord();
    EXPECT_EQ(m_store.PhotosFolder, expected);
    EXPECT_TRUE(std::filesystem::is_directory(expected));
    if (!existed) {
        std::filesystem::remove_all(expected);
    }
}

}  // namespace
}  // namespace vesk::photo_store::testing
