#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "photo_table.h"

namespace vesk::photo_store::testing {
namespace {

using Events = std::vector<std::string>;

class PhotoConversionTest : public PhotoTableTest {
protected:
    void SetUp() override {
        PhotoTableTest::SetUp();
        AddRow("E1", "Front", "EMP", true, PictureOfSize(2000).ToBytes());
        AddRow("E1", "Side", "EMP", false, PictureOfSize(20000).ToBytes());
        AddRow("E2", "Front", "DEP", true, PictureOfSize(40000).ToBytes());
    }

    std::string FileOf(const std::string& name) { return PhotosFolderPath() + "/" + name; }

    std::string Lengths() {
        data_access::Recordset rows;
        rows.Open("SELECT group_concat(coalesce(length(Photo), 'null')) FROM Photos", m_connection,
                  data_access::adOpenStatic, data_access::adLockReadOnly);
        return rows.Fields().Item(0L).Value().ToText();
    }
};

TEST_F(PhotoConversionTest, ToFilesAndBackRestoresTheSameBytes) {
    UseFileStorage();
    ASSERT_TRUE(m_store.ConvertAllToFiles(m_connection));
    EXPECT_EQ(m_listener.events, (Events{"ConversionProgress(Converting to Files...,1,3)",
                                         "ConversionProgress(Converting to Files...,2,3)",
                                         "ConversionProgress(Converting to Files...,3,3)"}));
    EXPECT_EQ(Lengths(), "null,null,null");
    EXPECT_EQ(Picture::Load(FileOf("E1_Side_EMP.vpc")).ToBytes(), PictureOfSize(20000).ToBytes());
    EXPECT_EQ(Picture::Load(FileOf("E2_Front_DEP.vpc")).ToBytes(), PictureOfSize(40000).ToBytes());
    EXPECT_TRUE(m_store.m_rsPhotoDetails->IsEOF());
    EXPECT_EQ(m_store.m_rsPhotoDetails->RecordCount(), 3) << "the rows are the whole table";

    m_listener.events.clear();
    m_store.SaveAsFile = false;
    ASSERT_TRUE(m_store.ConvertAllToBlobs());
    EXPECT_EQ(m_listener.events, (Events{"ConversionProgress(Adding photos to Database...,1,3)",
                                         "ConversionProgress(Adding photos to Database...,2,3)",
                                         "ConversionProgress(Adding photos to Database...,3,3)",
                                         "ConversionProgress(Deleting old photo files...,2,3)",
                                         "ConversionProgress(Deleting old photo files...,1,3)",
                                         "ConversionProgress(Deleting old photo files...,0,3)"}));
    EXPECT_EQ(Lengths(), "2000,20000,40000");
    EXPECT_TRUE(std::filesystem::is_empty(PhotosFolderPath()));
    m_store.Init("E1", "EMP", {}, nullptr, m_connection);
    m_store.LastRecord();
    EXPECT_EQ(m_store.Photo().ToBytes(), PictureOfSize(20000).ToBytes());
    EXPECT_EQ(m_store.PhotoDescription(), "Side");
}

TEST_F(PhotoConversionTest, WrongStorageFormChangesNothing) {
    m_store.Init("E1", "EMP", {}, nullptr, m_connection);
    data_access::RecordsetPtr before = m_store.m_rsPhotoDetails;
    EXPECT_FALSE(m_store.ConvertAllToFiles(m_connection));
    m_store.SaveAsFile = true;
    EXPECT_FALSE(m_store.ConvertAllToBlobs(m_connection));
    EXPECT_EQ(m_store.m_rsPhotoDetails, before);
    EXPECT_EQ(m_listener.events, Events{});
    EXPECT_EQ(Lengths(), "2000,20000,40000");
}

TEST_F(PhotoConversionTest, UnwritableFolderKeepsEveryBinaryCopyAndReportsEachRow) {
    m_store.SaveAsFile = true;
    m_store.PhotosFolder = m_folder.Write("not-a-folder", "x") + "/photos";
    EXPECT_TRUE(m_store.ConvertAllToFiles(m_connection));
    EXPECT_EQ(m_listener.Named("ErrorDescrption").size(), 3u);
    EXPECT_EQ(Lengths(), "2000,20000,40000");
}

TEST_F(PhotoConversionTest, RowsWithoutPicturesOrFilesAndOtherFilesAreSpared) {
    AddRow("E3", "Blank", "EMP");
    UseFileStorage();
    ASSERT_TRUE(m_store.ConvertAllToFiles(m_connection));
    EXPECT_FALSE(std::filesystem::exists(FileOf("E3_Blank_EMP.vpc"))) << "no picture, no file";
    EXPECT_EQ(m_listener.Named("ErrorDescrption"), Events{});

    std::ofstream(FileOf("notes.txt")) << "not a photo";
    std::filesystem::remove(FileOf("E1_Side_EMP.vpc"));
    m_store.SaveAsFile = false;
    ASSERT_TRUE(m_store.ConvertAllToBlobs(m_connection));
    EXPECT_EQ(m_listener.Named("ErrorDescrption").size(), 2u)
        << "E1 Side and E3 Blank have no file";
    EXPECT_EQ(Lengths(), "2000,null,40000,null");
    EXPECT_TRUE(std::filesystem::exists(FileOf("notes.txt")));
    EXPECT_EQ(m_listener.Named("ConversionProgress").back(),
              "ConversionProgress(Deleting old photo files...,2,4)");
}

// The conversion turns the overwriting of freed pages off for itself only: the connection
// has its setting back afterwards, whatever it was and however the conversion ended.
TEST_F(PhotoConversionTest, TheConnectionGetsItsFreedSpaceSettingBack) {
    UseFileStorage();
    ASSERT_TRUE(m_store.ConvertAllToFiles(m_connection));
    EXPECT_EQ(m_connection->SetOverwritesFreedSpace(true), true) << "this build's default";

    m_store.SaveAsFile = false;
    ASSERT_TRUE(m_store.ConvertAllToBlobs(m_connection));
    m_connection->SetOverwritesFreedSpace(false);
    m_store.SaveAsFile = true;
    ASSERT_TRUE(m_store.ConvertAllToFiles(m_connection));
    EXPECT_EQ(m_connection->SetOverwritesFreedSpace(true), false) << "the host's own choice";

    m_store.TableName = "Missing";
    EXPECT_FALSE(m_store.ConvertAllToFiles(m_connection));
    EXPECT_EQ(m_connection->SetOverwritesFreedSpace(true), true) << "after a failure";
}

// Rows are cleared many to a commit: more rows than one commit takes all lose their copies,
// and a row the table refuses to clear keeps its copy without keeping the others'.
TEST_F(PhotoConversionTest, ARefusedRowAmongManyKeepsOnlyItsOwnCopy) {
    for (int row = 0; row < 70; ++row) {
        AddRow("M" + std::to_string(row), "Many", "EMP", false, PictureOfSize(500).ToBytes());
    }
    m_connection->Execute(
        "CREATE TRIGGER KeepSide BEFORE UPDATE OF Photo ON Photos WHEN OLD.PhotoDescription = "
        "'Side' BEGIN SELECT RAISE(ABORT, 'kept by policy'); END");
    UseFileStorage();
    ASSERT_TRUE(m_store.ConvertAllToFiles(m_connection));
    ASSERT_EQ(m_listener.Named("ErrorDescrption").size(), 1u);
    EXPECT_NE(m_listener.Named("ErrorDescrption")[0].find("E1_Side_EMP.vpc, but its copy in the "
                                                          "table could not be cleared"),
              std::string::npos);
    data_access::Recordset kept;
    kept.Open(
        "SELECT group_concat(PhotoCode || ' ' || PhotoDescription) FROM Photos WHERE Photo "
        "IS NOT NULL",
        m_connection, data_access::adOpenStatic, data_access::adLockReadOnly);
    EXPECT_EQ(kept.Fields().Item(0L).Value().ToText(), "E1 Side");
    EXPECT_TRUE(std::filesystem::exists(FileOf("M69_Many_EMP.vpc")));
}

// A commit that fails leaves every row of its group with its copy, each reported, and every
// file in place: no photo is left with neither.
TEST_F(PhotoConversionTest, AFailedCommitKeepsTheGroupsCopiesAndReportsEachRow) {
    m_connection->Execute("PRAGMA foreign_keys = ON");
    m_connection->Execute("CREATE TABLE Owners (Code TEXT PRIMARY KEY)");
    m_connection->Execute(
        "CREATE TABLE Audit (Owner TEXT REFERENCES Owners (Code) DEFERRABLE INITIALLY DEFERRED)");
    m_connection->Execute(
        "CREATE TRIGGER AuditSide AFTER UPDATE OF Photo ON Photos WHEN OLD.PhotoDescription = "
        "'Side' BEGIN INSERT INTO Audit VALUES ('nobody'); END");
    UseFileStorage();
    ASSERT_TRUE(m_store.ConvertAllToFiles(m_connection));
    Events errors = m_listener.Named("ErrorDescrption");
    ASSERT_EQ(errors.size(), 3u);
    EXPECT_NE(errors[2].find("E2_Front_DEP.vpc, but its copy in the table could not be cleared: "),
              std::string::npos)
        << errors[2];
    EXPECT_NE(errors[2].find("FOREIGN KEY constraint failed"), std::string::npos) << errors[2];
    EXPECT_EQ(Lengths(), "2000,20000,40000");
    for (const char* file : {"E1_Front_EMP.vpc", "E1_Side_EMP.vpc", "E2_Front_DEP.vpc"}) {
        EXPECT_TRUE(std::filesystem::exists(FileOf(file))) << file;
    }
}

TEST_F(PhotoConversionTest, EmptyTableConvertsTrivially) {
    m_connection->Execute("DELETE FROM Photos");
    UseFileStorage();
    EXPECT_TRUE(m_store.ConvertAllToFiles(m_connection));
    m_store.SaveAsFile = false;
    EXPECT_TRUE(m_store.ConvertAllToBlobs(m_connection));
    EXPECT_EQ(m_listener.events, Events{});
}

TEST_F(PhotoConversionTest, MissingTableFailsAndSaysWhy) {
    m_store.TableName = "Missing";
    UseFileStorage();
    EXPECT_FALSE(m_store.ConvertAllToFiles(m_connection));
    m_store.SaveAsFile = false;
    EXPECT_FALSE(m_store.ConvertAllToBlobs(m_connection));
    ASSERT_EQ(m_listener.events.size(), 2u);
    EXPECT_NE(m_listener.events[0].find("The conversion to files stopped"), std::string::npos);
    EXPECT_NE(m_listener.events[1].find("no such table: Missing"), std::string::npos);
}

}  // namespace
}  // namespace vesk::photo_store::testing
