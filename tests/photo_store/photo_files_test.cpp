#include <gtest/gtest.h>

#include <filesystem>

#include "photo_file_name.h"
#include "photo_table.h"

namespace vesk::photo_store::testing {
namespace {

TEST(PhotoFileName, OrdinaryNamesAreUnchangedAndOthersStayOneName) {
    EXPECT_EQ(PhotoFileBaseName("E1", "Front view (2024)", "EMP"), "E1_Front view (2024)_EMP");
    EXPECT_EQ(PhotoFileBaseName("E1", "100% me", "EMP"), "E1_100% me_EMP");
    EXPECT_EQ(EncodeFileName("../x"), "..%2Fx");
    EXPECT_EQ(EncodeFileName(std::string("a\0b", 3)), "a%00b");
    EXPECT_EQ(EncodeFileName("%2F"), "%252F") << "a text that looks encoded must not collide";
    EXPECT_NE(EncodeFileName("a/b"), EncodeFileName("a%2Fb"));
}

class ExtractToFilesTest : public PhotoTableTest {
protected:
    void SetUp() override {
        PhotoTableTest::SetUp();
        m_connection->Execute(
            "CREATE TABLE OldPhotos (PhotoCode Text (20), PhotoGroup Text (20), "
            "QualifierPhoto LONGBINARY)");
        m_connection->Execute("INSERT INTO OldPhotos VALUES (' E1 ', 'EMP', x'0102030405')");
        m_connection->Execute("INSERT INTO OldPhotos VALUES ('E2', 'EMP', zeroblob(40000))");
        m_connection->Execute("INSERT INTO OldPhotos VALUES (NULL, 'EMP', x'09')");
        m_connection->Execute("INSERT INTO OldPhotos VALUES ('E3', 'DEP', x'01')");
        m_connection->Execute("INSERT INTO OldPhotos VALUES ('../E4', 'EMP', x'07')");
        m_store.Init("E1", "EMP", {}, nullptr, m_connection);
        std::filesystem::create_directory(m_folder.Path("out"));
    }

    std::uintmax_t SizeOf(const std::string& name) {
        return std::filesystem::file_size(m_folder.Path(name));
    }
};

TEST_F(ExtractToFilesTest, WritesEachCodesPictureAndRemovesOnlyExtractedRows) {
    m_store.ExtractToFiles("OldPhotos", "EMP", m_folder.Path("out") + "/");
    EXPECT_EQ(SizeOf("out/E1"), 5u);
    EXPECT_EQ(SizeOf("out/E2"), 40000u);
    EXPECT_EQ(SizeOf("out/..%2FE4"), 1u);
    EXPECT_FALSE(std::filesystem::exists(m_folder.Path("E4")));
    data_access::Recordset left;
    left.Open("SELECT group_concat(coalesce(PhotoCode, 'null')) FROM OldPhotos", m_connection,
              data_access::adOpenStatic, data_access::adLockReadOnly);
    EXPECT_EQ(left.Fields().Item(0L).Value().ToText(), "null,E3")
        << "a row without a code could not be extracted and stays";
}

TEST_F(ExtractToFilesTest, RowsWithoutAFileOfTheirOwnStayAndNoFileOrFolderIsRemoved) {
    for (const char* row :
         {"'EMP001', 'DUP', x'01'", "'EMP001', 'DUP', x'0202'", "'EMP001 ', 'DUP', x'030303'",
          "'E9', 'DUP', x'09'", "'   ', 'DUP', x'05'"}) {
        m_connection->Execute(std::string("INSERT INTO OldPhotos VALUES (") + row + ")");
    }
    m_folder.Write("out/E9", "theirs");
    m_store.ExtractToFiles("OldPhotos", "DUP", m_folder.Path("out") + "/");
    EXPECT_EQ(SizeOf("out/EMP001"), 1u);
    EXPECT_EQ(SizeOf("out/E9"), 6u) << "a file the extraction did not make is never replaced";
    data_access::Recordset left;
    left.Open("SELECT count(*) FROM OldPhotos WHERE PhotoGroup = 'DUP'", m_connection,
              data_access::adOpenStatic, data_access::adLockReadOnly);
    EXPECT_EQ(left.Fields().Item(0L).Value().ToInt64(), 4);

    m_connection->Execute("INSERT INTO OldPhotos VALUES ('  ', 'BLANK', x'01')");
    std::filesystem::create_directory(m_folder.Path("empty"));
    m_store.ExtractToFiles("OldPhotos", "BLANK", m_folder.Path("empty") + "/");
    EXPECT_TRUE(std::filesystem::is_directory(m_folder.Path("empty")));
}

TEST_F(ExtractToFilesTest, FolderWithoutSlashPutsFilesBesideIt) {
    m_store.ExtractToFiles("OldPhotos", "DEP", m_folder.Path("out"));
    EXPECT_EQ(SizeOf("outE3"), 1u);
}

TEST_F(ExtractToFilesTest, MissingTableChangesNothing) {
    m_store.ExtractToFiles("Missing", "EMP", m_folder.Path("out") + "/");
    EXPECT_TRUE(std::filesystem::is_empty(m_folder.Path("out")));
    EXPECT_EQ(m_listener.events, std::vector<std::string>{});
}

}  // namespace
}  // namespace vesk::photo_store::testing
