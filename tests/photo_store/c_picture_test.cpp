#include <gtest/gtest.h>

#include "picture_files.h"
#include "recording_listener.h"
#include "scratch_folder.h"
#include "vesk/data_access/catalog.h"
#include "vesk/data_access/connection_text.h"
#include "vesk/photo_store/c_picture.h"
#include "vesk/photo_store/photo_table.h"

namespace vesk::photo_store::testing {
namespace {

TEST(CPictureDefaults, NewInstanceHoldsZeroesAndAnEmptyPicture) {
    CPicture picture;
    EXPECT_EQ(picture.Photo().Handle(), 0u);
    EXPECT_TRUE(picture.OwnerPhoto.IsEmpty());
    EXPECT_EQ(picture.PhotosMaxSize, 0);
    EXPECT_FALSE(picture.SaveAsFile);
    EXPECT_EQ(picture.PhotosFolder, "");
    EXPECT_EQ(picture.TableName, "");
    EXPECT_EQ(picture.OwnerPhotoField, "");
    EXPECT_EQ(picture.BackColor, 0);
    EXPECT_EQ(picture.m_rsPhotoDetails, nullptr);
    EXPECT_EQ(picture.DBConnection(), nullptr);
    EXPECT_EQ(picture.PhotoCode(), "");
    EXPECT_EQ(picture.PhotoDescription(), "");
    EXPECT_EQ(picture.PhotosGroup(), "");
    EXPECT_EQ(picture.PhotosOwnerName(), "");
    EXPECT_EQ(picture.PhotoComments(), "");
    EXPECT_FALSE(picture.DefaultPhoto());
    EXPECT_FALSE(picture.RecordBOF());
    EXPECT_FALSE(picture.RecordEOF());
    EXPECT_EQ(picture.MaxCodeLength(), 0);
    EXPECT_EQ(picture.MaxDescriptionLength(), 0);
    EXPECT_EQ(picture.MaxQualifierLength(), 0);
    EXPECT_EQ(picture.MaxCommentsLength(), 0);
    EXPECT_EQ(picture.RecordPositionCounter(), 0);
    EXPECT_EQ(picture.TotalRecordsCounter(), 0);
}

TEST(CPictureValidation, EverySetOfCodeOrDescriptionTellsWhetherAllThreeAreFilled) {
    CPicture picture;
    RecordingListener listener;
    picture.Advise(&listener);
    picture.SetPhotoCode("E1");
    picture.SetPhotoDescription("Front");
    picture.SetPhotosGroup("EMP");  // no notice for the group itself
    picture.SetPhotoDescription("Front");
    picture.SetPhotoCode("");
    picture.SetPhotoCode("E1");
    EXPECT_EQ(listener.events, (std::vector<std::string>{"DataValidated(0,)", "DataValidated(0,)",
                                                         "DataValidated(1,)", "DataValidated(0,)",
                                                         "DataValidated(1,)"}));
    EXPECT_EQ(picture.PhotoCode(), "E1") << "a listener's write-back is not used";
    picture.Unadvise(&listener);
    picture.SetPhotoCode("E2");
    EXPECT_EQ(listener.events.size(), 5u);
}

class CPictureInitTest : public ::testing::Test {
protected:
    void SetUp() override {
        data_access::Catalog catalog;
        m_connection =
            catalog.Create(data_access::EmbeddedConnectionText(m_folder.Path("pay.mdb"), "pw"));
        CreatePhotoTable(m_connection);
        Insert("E1", "Front", "EMP");
        Insert("E1", "Side", "EMP");
        Insert("E1", "Other group", "DEP");
        Insert("E2", "Front", "EMP");
        Insert("", "No code", "EMP");
        Insert("O'Brien", "Portrait", "EMP");
        m_picture.TableName = "Photos";
        m_picture.OwnerIDField = "PhotoCode";
        m_picture.OwnerDescField = "PhotoDescription";
        m_picture.OwnerGroupField = "PhotoGroup";
        m_picture.Advise(&m_listener);
    }

    void Insert(const std::string& code, const std::string& description, const std::string& group) {
        data_access::Recordset rows;
        rows.Open("SELECT * FROM Photos", m_connection, data_access::adOpenKeyset,
                  data_access::adLockOptimistic);
        rows.AddNew();
        rows.Fields()["PhotoCode"].SetValue(code);
        rows.Fields()["PhotoDescription"].SetValue(description);
        rows.Fields()["PhotoGroup"].SetValue(group);
        rows.Update();
    }

    std::vector<std::string> SelectedDescriptions() {
        std::vector<std::string> descriptions;
        data_access::Recordset& rows = *m_picture.m_rsPhotoDetails;
        for (rows.MoveFirst(); !rows.IsEOF(); rows.MoveNext()) {
            descriptions.push_back(rows.Fields()["PhotoDescription"].Value().ToText());
        }
        return descriptions;
    }

    vesk::test::ScratchFolder m_folder;
    data_access::ConnectionPtr m_connection;
    CPicture m_picture;
    RecordingListener m_listener;
};

TEST_F(CPictureInitTest, SelectsExactlyTheOwnersRowsOfTheGroup) {
    m_picture.SetPhoto(Picture::FromBytes(vesk::test::Emf(10, 10)));
    m_picture.PhotosMaxSize = 40;
    m_picture.Init("E1", "EMP", "Ann Lee", nullptr, m_connection);
    EXPECT_EQ(m_listener.events, std::vector<std::string>{});
    EXPECT_EQ(SelectedDescriptions(), (std::vector<std::string>{"Front", "Side"}));
    EXPECT_EQ(m_picture.TotalRecordsCounter(), 2);
    EXPECT_EQ(m_picture.DBConnection(), m_connection);
    EXPECT_EQ(m_picture.PhotoCode(), "E1");
    EXPECT_EQ(m_picture.PhotosGroup(), "EMP");
    EXPECT_EQ(m_picture.PhotosOwnerName(), "Ann Lee");
    EXPECT_TRUE(m_picture.Photo().IsEmpty()) << "Init clears the current picture";
}

TEST_F(CPictureInitTest, CodeWithAQuoteSelectsItsOwnRows) {
    m_picture.Init("O'Brien", "EMP", {}, nullptr, m_connection);
    EXPECT_EQ(m_listener.events, std::vector<std::string>{});
    EXPECT_EQ(SelectedDescriptions(), std::vector<std::string>{"Portrait"});
}

TEST_F(CPictureInitTest, EmptyCodeKeepsThePreviousCodeButSelectsRowsWithoutCode) {
    m_picture.Init("E1", "EMP", {}, nullptr, m_connection);
    m_picture.Init("", "EMP", {}, nullptr, m_connection);
    EXPECT_EQ(m_picture.PhotoCode(), "E1");
    EXPECT_EQ(SelectedDescriptions(), std::vector<std::string>{"No code"});
    EXPECT_EQ(m_picture.TotalRecordsCounter(), 1);
}

TEST_F(CPictureInitTest, OwnerWithoutRowsKeepsThePreviousTotal) {
    m_picture.Init("E1", "EMP", {}, nullptr, m_connection);
    m_picture.Init("NOBODY", "EMP", {}, nullptr, m_connection);
    EXPECT_EQ(m_picture.m_rsPhotoDetails->RecordCount(), 0);
    EXPECT_EQ(m_picture.TotalRecordsCounter(), 2);
}

TEST_F(CPictureInitTest, CallersRecordsetIsTakenAsItIsAndTheConnectionKept) {
    m_picture.Init("E2", "EMP", {}, nullptr, m_connection);
    auto callers = std::make_shared<data_access::Recordset>();
    callers->Open("SELECT * FROM Photos WHERE PhotoGroup = 'DEP'", m_connection,
                  data_access::adOpenKeyset, data_access::adLockOptimistic);
    m_picture.Init("X9", "GRP", {}, callers, nullptr);
    EXPECT_EQ(m_picture.m_rsPhotoDetails, callers);
    EXPECT_EQ(m_picture.DBConnection(), m_connection);
    EXPECT_EQ(m_picture.PhotoCode(), "X9");
    EXPECT_EQ(m_picture.TotalRecordsCounter(), 1);
}

TEST_F(CPictureInitTest, FailingQueryGivesOneTableErrorAndLeavesTheInstanceUsable) {
    m_picture.Init("E1", "EMP", {}, nullptr, m_connection);
    m_picture.TableName = "Missing";
    m_picture.Init("E2", "EMP", {}, nullptr, m_connection);
    ASSERT_EQ(m_listener.events.size(), 1u);
    EXPECT_NE(m_listener.events[0].find("TableError("), std::string::npos);
    EXPECT_NE(m_listener.events[0].find("no such table: Missing"), std::string::npos);
    EXPECT_EQ(m_picture.m_rsPhotoDetails->State(), data_access::adStateClosed)
        << "the previous owner's rows must not stay in place";

    m_picture.TableName = "Photos";
    m_picture.Init("E2", "EMP", {}, nullptr, m_connection);
    EXPECT_EQ(SelectedDescriptions(), std::vector<std::string>{"Front"});
    EXPECT_EQ(m_listener.events.size(), 1u);
}

TEST_F(CPictureInitTest, MissingConnectionIsATableError) {
    m_picture.Init("E1", "EMP");
    ASSERT_EQ(m_listener.events.size(), 1u);
    EXPECT_NE(m_listener.events[0].find("TableError("), std::string::npos);
}

}  // namespace
}  // namespace vesk::photo_store::testing
