// The photo store on a server photo table, in both storage forms.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "photo_table.h"
#include "server_cluster.h"
#include "vesk/data_access/catalog.h"
#include "vesk/data_access/recordset.h"
#include "vesk/photo_store/photo_table.h"

namespace vesk::photo_store::testing {
namespace {

// A photo larger than the size a server row read holds: its column is read in pieces.
constexpr std::size_t kLargePhoto = 200000;

class ServerPhotoStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto cluster = data_access::testing::RequireServerCluster();
        if (!cluster) {
            return;
        }
        m_cluster = *cluster;
        m_database = std::make_unique<data_access::testing::ScratchServerDatabase>(*cluster);
        m_connection = std::make_shared<data_access::Connection>();
        m_connection->Open(m_database->ConnectionText());
        CreatePhotoTable(m_connection);
        photo_store::UsePhotoTable(m_store);
        m_store.Advise(&m_listener);
    }

    void UseFileStorage() {
        std::filesystem::create_directory(PhotosFolder());
        m_store.SaveAsFile = true;
        m_store.PhotosFolder = PhotosFolder();
    }
    std::string PhotosFolder() const { return m_folder.Path("photos"); }

    // Saves a new photo of owner E1 in group EMP through the store.
    void Save(const std::string& description, bool isDefault, const Picture& picture) {
        m_store.SetPhotoDescription(description);
        m_store.SetPhotoComments("about " + description);
        m_store.SetDefaultPhoto(isDefault);
        m_store.SetPhoto(picture);
        m_store.SavePhotoDetails(true);
    }

    std::string Joined(const std::string& sql) {
        data_access::Recordset rows;
        rows.Open(sql, m_connection, data_access::adOpenStatic, data_access::adLockReadOnly);
        std::string joined;
        for (; !rows.IsEOF(); rows.MoveNext()) {
            joined += (joined.empty() ? "" : "|") + rows.Fields().Item(0L).Value().ToText();
        }
        return joined;
    }

    vesk::test::ScratchFolder m_folder;
    std::string m_cluster;
    std::unique_ptr<data_access::testing::ScratchServerDatabase> m_database;
    data_access::ConnectionPtr m_connection;
    CPicture m_store;
    RecordingListener m_listener;
};

TEST_F(ServerPhotoStoreTest, TableStorageSavesFindsReplacesAndDeletes) {
    m_store.Init("E1", "EMP", {}, nullptr, m_connection);
    Save("Front", true, PictureOfSize(2000));
    Save("Side", false, PictureOfSize(kLargePhoto));
    m_store.UnSetDefaultPhoto("E1", {});
    Save("Back", true, PictureOfSize(16385));
    EXPECT_EQ(Joined("SELECT PhotoDescription || ':' || DefaultPhoto || ':' || octet_length(Photo) "
                     "FROM Photos ORDER BY PhotoDescription"),
              "Back:1:16385|Front:0:2000|Side:0:200000");

    m_store.Init("E1", "EMP", {}, nullptr, m_connection);
    m_store.LoadData(true);
    EXPECT_EQ(m_store.PhotoDescription(), "Back") << "the default photo";
    m_store.CheckIfDescriptionExists("front");
    EXPECT_EQ(m_listener.Named("DescriptionExists"),
              std::vector<std::string>{"DescriptionExists(1)"});
    m_store.SearchForRecord({}, "SIDE");
    EXPECT_EQ(m_store.PhotoDescription(), "Side");
    EXPECT_EQ(m_store.Photo().ToBytes(), PictureOfSize(kLargePhoto).ToBytes());

    m_store.SetPhotoComments("retaken");
    m_store.SavePhotoDetails(false);
    EXPECT_EQ(Joined("SELECT PhotoComments FROM Photos WHERE PhotoDescription = 'Side'"),
              "retaken");
    EXPECT_EQ(Joined("SELECT octet_length(Photo) FROM Photos WHERE PhotoDescription = 'Side'"),
              "200000");

    m_store.FirstRecord();
    m_store.DeleteRecord();
    EXPECT_EQ(Joined("SELECT count(*) FROM Photos"), "2");
    EXPECT_EQ(m_listener.Named("ErrorDescrption"), std::vector<std::string>{});
}

TEST_F(ServerPhotoStoreTest, FileStorageKeepsPicturesInFilesOnly) {
    UseFileStorage();
    m_store.Init("E1", "EMP", {}, nullptr, m_connection);
    Save("Front", true, PictureOfSize(30000));
    std::string file = PhotosFolder() + "/E1_Front_EMP.vpc";
    ASSERT_TRUE(std::filesystem::exists(file));
    EXPECT_EQ(Joined("SELECT count(*) FROM Photos WHERE Photo IS NULL AND DefaultPhoto = 1"), "1");

    m_store.Init("E1", "EMP", {}, nullptr, m_connection);
    m_store.FirstRecord();
    EXPECT_EQ(m_store.Photo().ToBytes(), PictureOfSize(30000).ToBytes());
    m_store.DeleteRecord();
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_EQ(Joined("SELECT count(*) FROM Photos"), "0");
    EXPECT_EQ(m_listener.Named("ErrorDescrption"), std::vector<std::string>{});
}

TEST_F(ServerPhotoStoreTest, ConversionMovesPicturesToFilesAndBack) {
    m_store.Init("E1", "EMP", {}, nullptr, m_connection);
    Save("Front", true, PictureOfSize(2000));
    Save("Side", false, PictureOfSize(kLargePhoto));

    UseFileStorage();
    ASSERT_TRUE(m_store.ConvertAllToFiles(m_connection));
    EXPECT_EQ(Joined("SELECT count(*) FROM Photos WHERE Photo IS NULL"), "2");
    EXPECT_EQ(Picture::Load(PhotosFolder() + "/E1_Side_EMP.vpc").ToBytes(),
              PictureOfSize(kLargePhoto).ToBytes());

    m_store.SaveAsFile = false;
    ASSERT_TRUE(m_store.ConvertAllToBlobs(m_connection));
    EXPECT_EQ(Joined("SELECT octet_length(Photo) FROM Photos ORDER BY PhotoDescription"),
              "2000|200000");
    EXPECT_TRUE(std::filesystem::is_empty(PhotosFolder()));
    EXPECT_EQ(m_listener.Named("ErrorDescrption"), std::vector<std::string>{});
}

TEST_F(ServerPhotoStoreTest, ReplacingSavesAndDeletesActOnTheRowTheMembersDescribe) {
    m_store.Init("E1", "EMP", {}, nullptr, m_connection);
    Save("Portrait", true, PictureOfSize(2000));
    Save("Badge", false, PictureOfSize(3000));
    m_store.Init("E1", "EMP", {}, nullptr, m_connection);
    m_store.SearchForRecord({}, "portrait");
    m_store.SetPhotoComments("once");
    m_store.SavePhotoDetails(false);
    m_store.SetPhotoComments("twice");
    m_store.SavePhotoDetails(false);
    EXPECT_EQ(Joined("SELECT PhotoDescription || ':' || PhotoComments FROM Photos ORDER BY 1"),
              "Badge:about Badge|Portrait:twice");
    m_store.DeleteRecord();
    EXPECT_EQ(Joined("SELECT PhotoDescription FROM Photos"), "Badge");
    EXPECT_EQ(m_listener.Named("ErrorDescrption"), std::vector<std::string>{});
}

TEST_F(ServerPhotoStoreTest, AReaderWhoMayNotWriteIsToldWhichRowsWereLeft) {
    m_store.Init("E1", "EMP", {}, nullptr, m_connection);
    Save("Front", true, PictureOfSize(2000));
    Save("Side", false, PictureOfSize(3000));
    data_access::testing::ServerLogin reader(m_cluster, *m_database, "may;read'only");
    m_connection->Execute("GRANT SELECT ON Photos TO " + reader.User());
    auto readOnly = std::make_shared<data_access::Connection>();
    readOnly->Open(reader.ConnectionText(), {}, reader.Password());

    CPicture store;
    photo_store::UsePhotoTable(store);
    RecordingListener listener;
    store.Advise(&listener);
    std::filesystem::create_directory(PhotosFolder());
    store.SaveAsFile = true;
    store.PhotosFolder = PhotosFolder();
    ASSERT_TRUE(store.ConvertAllToFiles(readOnly));
    std::vector<std::string> problems = listener.Named("ErrorDescrption");
    ASSERT_EQ(problems.size(), 2u) << "one for each row";
    EXPECT_NE(problems[0].find("could not be cleared"), std::string::npos) << problems[0];
    EXPECT_EQ(Joined("SELECT count(*) FROM Photos WHERE Photo IS NOT NULL"), "2");
}

}  // namespace
}  // namespace vesk::photo_store::testing
