// The store's current record, its text comparisons and its failures, as a host driving it sees
// them: the row under the cursor is the one the members describe, and a failed step leaves the
// table and the photo folder as they were.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <limits>

#include "photo_table.h"
#include "vesk/data_access/recordset.h"

namespace vesk::photo_store::testing {
namespace {

namespace fs = std::filesystem;

class RecordTruthTest : public PhotoTableTest {
protected:
    std::string Descriptions() {
        data_access::Recordset rows;
        rows.Open(
            "SELECT group_concat(PhotoDescription || ':' || PhotoComments, ' ') FROM "
            "(SELECT * FROM Photos ORDER BY PhotoDescription)",
            m_connection, data_access::adOpenStatic, data_access::adLockReadOnly);
        return rows.Fields().Item(0L).Value().ToText();
    }
    std::string CurrentDescription() {
        return m_store.m_rsPhotoDetails->Fields()["PhotoDescription"].Value().ToText();
    }
    bool DescriptionExists(const std::string& description) {
        m_listener.events.clear();
        m_store.CheckIfDescriptionExists(description);
        return m_listener.Named("DescriptionExists") ==
               std::vector<std::string>{"DescriptionExists(1)"};
    }
};

TEST_F(RecordTruthTest, ReplacingSavesAndDeletesActOnTheRowTheMembersDescribe) {
    AddRow("E1", "Portrait", "EMP", true, PictureOfSize(2000).ToBytes());
    AddRow("E1", "Badge", "EMP", false, PictureOfSize(3000).ToBytes());
    m_store.Init("E1", "EMP", {}, nullptr, m_connection);
    m_store.FirstRecord();
    ASSERT_EQ(m_store.PhotoDescription(), "Portrait");

    m_store.SetPhotoComments("once");
    m_store.SavePhotoDetails(false);
    EXPECT_EQ(CurrentDescription(), "Portrait") << "the cursor follows the replacement row";
    m_store.SetPhotoComments("twice");
    m_store.SavePhotoDetails(false);
    EXPECT_EQ(Descriptions(), "Badge:about Badge Portrait:twice");

    m_store.DeleteRecord();
    EXPECT_EQ(Descriptions(), "Badge:about Badge");
    EXPECT_TRUE(m_listener.Named("ErrorDescrption").empty());
}

TEST_F(RecordTruthTest, ExistenceChecksSeeOtherWritersAndLeaveCursorAndFilterAlone) {
    AddRow("E1", "Portrait", "EMP");
    AddRow("E1", "Badge", "EMP");
    AddRow("E1", "Scan", "EMP");
    m_store.Init("E1", "EMP", {}, nullptr, m_connection);
    m_store.FirstRecord();
    m_store.NextRecord();
    AddRow("E1", "Added elsewhere", "EMP");  // after the rows were opened

    EXPECT_TRUE(DescriptionExists("ADDED ELSEWHERE"));
    EXPECT_FALSE(DescriptionExists("Nothing"));
    EXPECT_TRUE(DescriptionExists("badge"));  // matches only some rows
    EXPECT_EQ(m_store.m_rsPhotoDetails->Filter(), "");
    EXPECT_EQ(m_store.m_rsPhotoDetails->RecordCount(), 4);
    EXPECT_EQ(CurrentDescription(), "Badge") << "the cursor is back on the current record";
}

TEST_F(RecordTruthTest, DescriptionsCompareUnderOneLetterCaseRule) {
    for (const char* description : {"Straße", "STRASSE", "ǅemal", "Iğdır", "ığdır", "ΟΔΟΣ"}) {
        AddRow("E1", description, "EMP");
    }
    m_store.Init("E1", "EMP", {}, nullptr, m_connection);
    const char* found[][2] = {{"straße", "Straße"}, {"STRAẞE", "Straße"}, {"strasse", "STRASSE"},
                              {"Ǆemal", "ǅemal"},   {"iğdır", "Iğdır"},   {"IĞDıR", "Iğdır"},
                              {"ığdır", "ığdır"},   {"οδος", "ΟΔΟΣ"},     {"ΟΔΟσ", "ΟΔΟΣ"}};
    for (const auto& [wanted, row] : found) {
        m_listener.events.clear();
        m_store.SearchForRecord({}, wanted);
        EXPECT_EQ(m_listener.Named("RecordExists"), std::vector<std::string>{"RecordExists(1)"})
            << wanted;
        EXPECT_EQ(m_store.PhotoDescription(), row) << wanted;
        EXPECT_TRUE(DescriptionExists(wanted)) << wanted;
    }
    for (const char* absent : {"Strasse ", "İğdır", "IĞDIR", "Straβe", "Stra\u00DF\u0301e"}) {
        EXPECT_FALSE(DescriptionExists(absent)) << absent;
    }
}

TEST_F(RecordTruthTest, AFailedSaveLeavesTableAndFolderAsTheyWere) {
    UseFileStorage();
    AddRow("E1", "Portrait", "EMP", true);
    m_connection->Execute(
        "CREATE TRIGGER NoScans BEFORE INSERT ON Photos WHEN NEW.PhotoDescription = 'Scan' "
        "BEGIN SELECT RAISE(ABORT, 'scans are refused'); END");
    m_store.Init("E1", "EMP", {}, nullptr, m_connection);
    m_store.SetPhotoDescription("Scan");
    m_store.SetPhoto(PictureOfSize(2000));
    m_store.SavePhotoDetails(true);
    EXPECT_FALSE(m_listener.Named("ErrorDescrption").empty());
    EXPECT_EQ(CountRows(), 1);
    EXPECT_TRUE(fs::is_empty(PhotosFolderPath())) << "no file without its row";

    m_listener.events.clear();
    m_store.SetPhotoDescription(std::string(300, 'x'));  // no file can have this name
    m_store.SavePhotoDetails(true);
    EXPECT_FALSE(m_listener.Named("ErrorDescrption").empty());
    EXPECT_EQ(CountRows(), 1) << "no row without its file";
    EXPECT_EQ(CountRows("DefaultPhoto = 1"), 1);
}

TEST_F(RecordTruthTest, AReplacedPhotoFileComesBackWhenTheRowIsRefused) {
    UseFileStorage();
    AddRow("E1", "Portrait", "EMP");
    m_store.Init("E1", "EMP", {}, nullptr, m_connection);
    m_store.FirstRecord();
    m_store.SetPhoto(PictureOfSize(2000));
    m_store.SavePhotoDetails(false);
    const std::string file = PhotosFolderPath() + "/E1_Portrait_EMP.vpc";
    ASSERT_EQ(fs::file_size(file), 2000u);
    m_connection->Execute(
        "CREATE TRIGGER NoChanges BEFORE INSERT ON Photos "
        "BEGIN SELECT RAISE(ABORT, 'the table is closed'); END");

    m_store.SetPhoto(PictureOfSize(5000));
    m_store.SavePhotoDetails(false);
    EXPECT_EQ(fs::file_size(file), 2000u);
    EXPECT_EQ(CountRows("PhotoDescription = 'Portrait'"), 1);
    EXPECT_EQ(std::distance(fs::directory_iterator(PhotosFolderPath()), {}), 1)
        << "nothing held aside is left behind";
}

TEST_F(RecordTruthTest, TableStorageStoresNothingWhenTheTemporaryFolderIsUnusable) {
    AddRow("E1", "Portrait", "EMP", true);
    m_store.Init("E1", "EMP", {}, nullptr, m_connection);
    const char* previous = std::getenv("TMPDIR");
    std::string saved = previous ? previous : "";
    setenv("TMPDIR", m_folder.Path("missing").c_str(), 1);
    m_store.SetPhotoDescription("Large");
    m_store.SetPhoto(PictureOfSize(3'000'000));  // beyond what a new value keeps in memory
    m_store.SavePhotoDetails(true);
    previous ? setenv("TMPDIR", saved.c_str(), 1) : unsetenv("TMPDIR");
    EXPECT_FALSE(m_listener.Named("ErrorDescrption").empty());
    EXPECT_EQ(CountRows(), 1);
}

TEST_F(RecordTruthTest, DeletingWithoutAPhotoFolderIsNoFailure) {
    AddRow("E1", "Portrait", "EMP");
    AddRow("E1", "Badge", "EMP");
    m_store.SaveAsFile = true;
    m_store.PhotosFolder = m_folder.Path("never-made");
    m_store.Init("E1", "EMP", {}, nullptr, m_connection);
    m_store.FirstRecord();
    m_store.DeleteRecord();
    EXPECT_TRUE(m_listener.Named("ErrorDescrption").empty());
    EXPECT_EQ(CountRows(), 1);
    EXPECT_EQ(m_store.TotalRecordsCounter(), 1);
    EXPECT_TRUE(m_store.Photo().IsEmpty());
}

TEST_F(RecordTruthTest, ConversionToFilesClearsRowsWithNullPartsAndReportsRefusals) {
    AddRow("E1", "Portrait", "EMP", false, PictureOfSize(2000).ToBytes());
    AddRow("E2", "Side", "EMP", false, PictureOfSize(3000).ToBytes());
    m_connection->Execute("UPDATE Photos SET PhotoDescription = NULL WHERE PhotoCode = 'E2'");
    UseFileStorage();
    ASSERT_TRUE(m_store.ConvertAllToFiles(m_connection));
    EXPECT_EQ(CountRows("Photo IS NOT NULL"), 0);
    EXPECT_EQ(fs::file_size(PhotosFolderPath() + "/E2__EMP.vpc"), 3000u);

    AddRow("E3", "Front", "EMP", false, PictureOfSize(4000).ToBytes());
    m_connection->Execute(
        "CREATE TRIGGER KeepPictures BEFORE UPDATE OF Photo ON Photos "
        "BEGIN SELECT RAISE(ABORT, 'pictures may not change'); END");
    m_listener.events.clear();
    ASSERT_TRUE(m_store.ConvertAllToFiles(m_connection));
    std::vector<std::string> problems = m_listener.Named("ErrorDescrption");
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_NE(problems[0].find("E3_Front_EMP.vpc"), std::string::npos) << problems[0];
    EXPECT_NE(problems[0].find("could not be cleared"), std::string::npos) << problems[0];
    EXPECT_EQ(CountRows("Photo IS NOT NULL"), 1);
}

TEST_F(RecordTruthTest, SizeLimitsMustBeNumbersAndSizesMustBeMeasured) {
    for (double limit : {-1.0, std::numeric_limits<double>::quiet_NaN(),
                         std::numeric_limits<double>::infinity()}) {
        m_store.PhotosMaxSize = limit;
        m_store.Init("E1", "EMP", {}, nullptr, m_connection);
        EXPECT_THROW(m_store.VerifyPhotoSize(PictureOfSize(2048)), std::invalid_argument) << limit;
    }
    m_store.PhotosMaxSize = 1;
    m_store.Init("E1", "EMP", {}, nullptr, m_connection);
    const char* previous = std::getenv("TMPDIR");
    std::string saved = previous ? previous : "";
    setenv("TMPDIR", m_folder.Path("missing").c_str(), 1);
    bool over = false;
    EXPECT_EQ(m_store.VerifyPhotoSize(PictureOfSize(2048), &over), "2");
    previous ? setenv("TMPDIR", saved.c_str(), 1) : unsetenv("TMPDIR");
    EXPECT_TRUE(over) << "a temporary folder that cannot be used does not make a photo small";
}

}  // namespace
}  // namespace vesk::photo_store::testing
